#include "spSize.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "RangeList.h"

namespace varnel {

namespace {

// A fixed-pitch Japanese face lines the preset rows up; half-width katakana
// take one column in it.
QFont presetFont()
{
    for (const char* family : {"IPAGothic", "IPAゴシック", "VL Gothic", "Noto Sans Mono CJK JP"}) {
        const QString f = QString::fromUtf8(family);
        if (QFontDatabase::hasFamily(f)) {
            QFont font(f, 9);
            font.setFixedPitch(true);
            return font;
        }
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    return font;
}

QIcon calculatorIcon()
{
    QIcon themed = QIcon::fromTheme(QStringLiteral("accessories-calculator"));
    if (!themed.isNull())
        return themed;
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(QColor(220, 220, 220));
    p.drawRoundedRect(3, 1, 17, 21, 2, 2);
    p.setBrush(QColor(170, 210, 170));
    p.drawRect(6, 4, 11, 5);
    p.setBrush(QColor(90, 90, 90));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawRect(6 + col * 4, 11 + row * 3, 2, 1);
    return QIcon(pm);
}

} // namespace

QString spSize::messageBadName()
{
    return QStringLiteral("登録名に \":\" と \",\" は使えません");
}

QString spSize::messageNoCalculator()
{
    return QStringLiteral("電卓が見つかりません\n"
                          "(gnome-calculator, kcalc, qalculate-gtk, galculator, xcalc のいずれかを入れてください)");
}

spSize::spSize(Services services, QWidget* parent) : QDialog(parent), m_services(std::move(services))
{
    buildControls();
    retranslateUi();
}

spSize::~spSize()
{
    // The boxes lose the focus while QDialog takes them down; their handlers
    // must not reach a dialog that is no longer one.
    for (QWidget* w : findChildren<QWidget*>())
        w->disconnect(this);
}

void spSize::buildControls()
{
    auto* main = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    main->addLayout(top);

    lsHani = new QListWidget(this);
    lsHani->setSelectionMode(QAbstractItemView::SingleSelection);
    lsHani->setMinimumWidth(200);
    top->addWidget(lsHani, 1);

    auto* buttons = new QVBoxLayout;
    for (int i = 0; i < 5; ++i) {
        cmLst[size_t(i)] = new QPushButton(this);
        // Enter in a size box confirms the size; it must not press a button.
        cmLst[size_t(i)]->setAutoDefault(false);
        buttons->addWidget(cmLst[size_t(i)]);
        connect(cmLst[size_t(i)], &QPushButton::clicked, this, [this, i] { onListButton(i); });
    }
    buttons->addStretch();
    top->addLayout(buttons);

    auto* edit = new QVBoxLayout;
    top->addLayout(edit, 2);
    txCap = new QLineEdit(this);
    edit->addWidget(txCap);
    lbCap = new QLabel(this);
    edit->addWidget(lbCap);
    connect(txCap, &QLineEdit::textChanged, this, [this] {
        if (!EventsSuppressed)
            UpdateListButtons();
    });

    const QFont fixed = presetFont();
    for (int k = 0; k < 2; ++k) {
        const size_t i = size_t(k);
        opSize[i] = new QRadioButton(this);
        edit->addWidget(opSize[i]);
        auto* row = new QHBoxLayout;
        edit->addLayout(row);
        lsSize[i] = new QListWidget(this);
        lsSize[i]->setFont(fixed);
        lsSize[i]->setSelectionMode(QAbstractItemView::SingleSelection);
        lsSize[i]->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QLatin1Char('0')) * 22);
        row->addWidget(lsSize[i], 1);

        auto* side = new QVBoxLayout;
        row->addLayout(side);
        auto* pct = new QHBoxLayout;
        pct->addWidget(new QLabel(QStringLiteral("*"), this));
        txPsnt[i] = new QLineEdit(QStringLiteral("100"), this);
        txPsnt[i]->setMaximumWidth(50);
        pct->addWidget(txPsnt[i]);
        pct->addWidget(new QLabel(QStringLiteral("%"), this));
        side->addLayout(pct);
        auto* sizes = new QHBoxLayout;
        txSizeX[i] = new QLineEdit(QStringLiteral("0"), this);
        txSizeY[i] = new QLineEdit(QStringLiteral("0"), this);
        for (QLineEdit* box : {txSizeX[i], txSizeY[i]}) {
            box->setMaximumWidth(70);
            box->installEventFilter(this);
            sizes->addWidget(box);
            connect(box, &QLineEdit::editingFinished, this, [this, k] {
                if (!EventsSuppressed)
                    ShowSize(k);
            });
        }
        side->addLayout(sizes);
        chXY[i] = new QCheckBox(this);
        side->addWidget(chXY[i]);
        side->addStretch();

        auto choose = [this, k] {
            if (EventsSuppressed)
                return;
            opSize[size_t(k)]->setChecked(true);
            ApplyPreset(k);
        };
        connect(lsSize[i], &QListWidget::itemClicked, this, choose);
        connect(lsSize[i], &QListWidget::itemSelectionChanged, this, choose);
        connect(chXY[i], &QCheckBox::clicked, this, [this, k] {
            if (!EventsSuppressed)
                ApplyPreset(k);
        });
        connect(txPsnt[i], &QLineEdit::textChanged, this, [this, k] { onPercentChanged(k); });
        connect(txPsnt[i], &QLineEdit::editingFinished, this, [this, k] {
            if (!EventsSuppressed)
                ApplyPreset(k);
        });
    }
    opSize[0]->setChecked(true);

    connect(lsHani, &QListWidget::itemClicked, this, [this] { onListClicked(); });
    connect(lsHani, &QListWidget::itemSelectionChanged, this, [this] { onListClicked(); });

    auto* bottom = new QHBoxLayout;
    main->addLayout(bottom);
    ssCom = new QToolButton(this);
    ssCom->setIcon(calculatorIcon());
    ssCom->setIconSize(QSize(24, 24));
    ssCom->setAutoRaise(false);
    connect(ssCom, &QToolButton::clicked, this, [this] { onCalculator(); });
    bottom->addWidget(ssCom);
    bottom->addStretch();
    cmClose = new QPushButton(this);
    cmClose->setAutoDefault(false);
    connect(cmClose, &QPushButton::clicked, this, &QDialog::accept);
    bottom->addWidget(cmClose);
}

void spSize::retranslateUi()
{
    setWindowTitle(tr("選択･切取ｻｲｽﾞの登録"));
    const QString captions[] = {tr("↑"), tr("↓"), tr("削除"), tr("←修正"), tr("←追加")};
    for (size_t i = 0; i < cmLst.size(); ++i)
        cmLst[i]->setText(captions[i]);
    const QString tip = tr("既存の登録名が存在すれば､上書きとなります");
    cmLst[3]->setToolTip(tip);
    cmLst[4]->setToolTip(tip);
    opSize[0]->setText(tr("画像ｻｲｽﾞをﾋﾟｸｾﾙで指定する"));
    opSize[1]->setText(tr("印刷ｻｲｽﾞをｾﾝﾁで指定する"));
    for (QCheckBox* c : chXY)
        c->setText(tr("縦横入替"));
    cmClose->setText(tr("閉じる"));
}

void spSize::Act(QString& sHani, int nWd, int nHi)
{
    begin(sHani, nWd, nHi);
    exec();
    sHani = WorkList;
}

void spSize::begin(const QString& sHani, int nWd, int nHi)
{
    EventsSuppressed = true;
    txSizeX[0]->setText(QString::number(nWd));
    txSizeY[0]->setText(QString::number(nHi));
    txCap->setText(QStringLiteral("Temporary"));
    WorkList = RangeList::withTemporary(sHani, nWd, nHi);
    FillRangeList(true);
    FillPresetLists();
    // Centred over the main window once the lists know their size.
    adjustSize();
    if (QWidget* owner = parentWidget()) {
        const QRect m = owner->frameGeometry();
        move(m.left() + (m.width() - frameGeometry().width()) / 2,
             m.top() + (m.height() - frameGeometry().height()) / 2);
    }
    // A busy pointer left by the caller would stay over a dialog that waits
    // for the user.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    // Typing a name is what one comes here for.
    txCap->setFocus();
    txCap->selectAll();
    EventsSuppressed = false;
}

void spSize::ScrnSz(int& width, int& height) const
{
    const QRect r = m_services.workArea ? m_services.workArea() : QRect();
    width = r.width();
    height = r.height();
}

void spSize::FillPresetLists()
{
    int w = 0, h = 0;
    ScrnSz(w, h);
    // Filling a list moves its current row; that is no choice of a preset.
    const bool was = EventsSuppressed;
    EventsSuppressed = true;
    lsSize[0]->clear();
    lsSize[0]->addItems(RangeList::screenRows(w, h));
    lsSize[1]->clear();
    lsSize[1]->addItems(RangeList::paperRows());
    for (QListWidget* l : lsSize) {
        l->setCurrentRow(-1);
        l->clearSelection();
        // Tall enough for the rows and no more.
        l->setFixedHeight(l->sizeHintForRow(0) * l->count() + 2 * l->frameWidth() + 4);
    }
    EventsSuppressed = was;
}

void spSize::FillRangeList(bool selectFirst)
{
    const bool was = EventsSuppressed;
    EventsSuppressed = true;
    lsHani->clear();
    for (const QString& entry : WorkList.split(RangeList::kEntrySep, Qt::SkipEmptyParts))
        lsHani->addItem(RangeList::listLine(entry));
    EventsSuppressed = was;
    if (selectFirst) {
        selectLine(0);
        ShowRangeEntry(0, true);
    } else {
        selectLine(-1);
        ShowRangeEntry(-1, false);
    }
}

int spSize::selectedLine() const
{
    const QList<QListWidgetItem*> sel = lsHani->selectedItems();
    return sel.isEmpty() ? -1 : lsHani->row(sel.first());
}

void spSize::selectLine(int line)
{
    const bool was = EventsSuppressed;
    EventsSuppressed = true;
    if (line >= 0 && line < lsHani->count()) {
        lsHani->setCurrentRow(line);
    } else {
        lsHani->setCurrentRow(-1);
        lsHani->clearSelection();
    }
    EventsSuppressed = was;
}

void spSize::ShowRangeEntry(int sel, bool opened)
{
    EventsSuppressed = true;
    const int lines = lsHani->count();
    cmLst[0]->setEnabled(sel > 0);
    cmLst[1]->setEnabled(sel >= 0 && sel < lines - 1);
    cmLst[2]->setEnabled(sel >= 0);
    cmLst[3]->setEnabled(opened);
    cmLst[4]->setEnabled(false);
    if (sel < 0) {
        EventsSuppressed = false;
        return;
    }
    if (opened) {
        opSize[0]->setChecked(true);
        lbCap->setText(txSizeX[0]->text() + QLatin1String(" x ") + txSizeY[0]->text() + QLatin1String("px"));
    } else {
        const QStringList entries = WorkList.split(RangeList::kEntrySep, Qt::SkipEmptyParts);
        const RangeList::Entry e = RangeList::parse(entries.value(sel));
        txCap->setText(e.name);
        const size_t k = e.cm ? 1 : 0;
        opSize[k]->setChecked(true);
        const QString w = RangeList::plainNumber(e.width);
        const QString h = RangeList::plainNumber(e.height);
        txSizeX[k]->setText(w);
        txSizeY[k]->setText(h);
        lbCap->setText(w + QLatin1String(" x ") + h + e.unit());
    }
    for (QListWidget* l : lsSize) {
        l->setCurrentRow(-1);
        l->clearSelection();
    }
    EventsSuppressed = false;
}

void spSize::onListClicked()
{
    if (EventsSuppressed)
        return;
    ShowRangeEntry(selectedLine(), false);
}

QString spSize::BuildRangeEntry() const
{
    const size_t k = opSize[0]->isChecked() ? 0 : 1;
    return RangeList::BuildRangeEntry(txCap->text(), txSizeX[k]->text(), txSizeY[k]->text(), k == 1);
}

void spSize::onListButton(int index)
{
    const auto button = RangeList::Button(index);
    if ((button == RangeList::Replace || button == RangeList::Add) && !RangeList::nameIsAllowed(txCap->text())) {
        // Such a name would split into several entries, or shift the fields.
        if (m_services.message)
            m_services.message(messageBadName());
        txCap->setFocus();
        return;
    }
    EventsSuppressed = true;
    const QString entry = index >= RangeList::Replace ? BuildRangeEntry() : QString();
    const RangeList::Edited edited = RangeList::applyListButton(WorkList, button, selectedLine(), entry);
    WorkList = edited.list;
    FillRangeList(false);
    EventsSuppressed = true;
    selectLine(edited.target);
    EventsSuppressed = false;
}

void spSize::UpdateListButtons()
{
    cmLst[3]->setEnabled(selectedLine() >= 0);
    const QString name = txCap->text();
    if (name.isEmpty())
        return;
    cmLst[4]->setEnabled(!RangeList::hasName(WorkList, name));
}

void spSize::ApplyPreset(int k)
{
    const size_t i = size_t(k);
    const QList<QListWidgetItem*> sel = lsSize[i]->selectedItems();
    const QString row = sel.isEmpty() ? QString() : sel.first()->text();
    const auto preset = RangeList::applyPreset(row, txPsnt[i]->text(), chXY[i]->isChecked());
    if (!preset)
        return;
    txCap->setText(preset->caption);
    txSizeX[i]->setText(RangeList::plainNumber(preset->width));
    txSizeY[i]->setText(RangeList::plainNumber(preset->height));
    ShowSize(k);
}

void spSize::ShowSize(int k)
{
    const size_t i = size_t(k);
    opSize[i]->setChecked(true);
    lbCap->setText(txSizeX[i]->text() + QLatin1String(" x ") + txSizeY[i]->text()
                   + (k == 0 ? QLatin1String(" px") : QLatin1String(" cm")));
    UpdateListButtons();
}

void spSize::onPercentChanged(int k)
{
    if (EventsSuppressed)
        return;
    QLineEdit* box = txPsnt[size_t(k)];
    QPalette pal = box->palette();
    pal.setColor(QPalette::Text, RangeList::percentInRange(box->text()) ? QColor(Qt::black) : QColor(Qt::red));
    box->setPalette(pal);
}

void spSize::onCalculator()
{
    const bool started = m_services.startCalculator && m_services.startCalculator();
    if (!started && m_services.message)
        m_services.message(messageNoCalculator());
}

bool spSize::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::FocusIn) {
        // After the mouse press has placed the cursor, or the click would undo it.
        if (auto* box = qobject_cast<QLineEdit*>(o))
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(o, e);
}

} // namespace varnel
