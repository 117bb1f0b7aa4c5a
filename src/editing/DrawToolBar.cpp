#include "DrawToolBar.h"
#include "DrawingOverlay.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace varnel {

namespace {
// Tool glyphs drawn rather than shipped: they follow the current colour.
QIcon toolIcon(DrawnShape::Kind k)
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    switch (k) {
    case DrawnShape::Rectangle: p.drawRect(3, 5, 14, 10); break;
    case DrawnShape::Ellipse: p.drawEllipse(2, 5, 16, 10); break;
    case DrawnShape::Arrow:
        p.drawLine(3, 17, 15, 5);
        p.setBrush(Qt::black);
        p.drawPolygon(QPolygonF({QPointF(17, 3), QPointF(9, 6), QPointF(14, 11)}));
        break;
    case DrawnShape::Pen:
        p.drawPolyline(QPolygonF({QPointF(2, 14), QPointF(6, 6), QPointF(11, 14), QPointF(17, 5)}));
        break;
    case DrawnShape::Text: {
        QFont f = p.font();
        f.setPixelSize(15);
        f.setBold(true);
        p.setFont(f);
        p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    case DrawnShape::Stamp:
        p.setBrush(QColor(230, 120, 0));
        p.drawEllipse(4, 4, 12, 12);
        break;
    case DrawnShape::Select:
        // An arrow pointer.
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(5, 2), QPointF(5, 17), QPointF(9, 13), QPointF(12, 19),
                                 QPointF(14, 18), QPointF(11, 12), QPointF(16, 12)}));
        break;
    case DrawnShape::Step: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 0, 0));
        p.drawEllipse(1, 1, 18, 18);
        QFont f = p.font();
        f.setPixelSize(13);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("1"));
        break;
    }
    case DrawnShape::Redact:
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRect(2, 5, 16, 10);
        break;
    case DrawnShape::Highlight:
        p.setPen(QPen(QColor(255, 220, 0), 7, Qt::SolidLine, Qt::SquareCap));
        p.drawLine(3, 13, 17, 7);
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(4, 10, 16, 10);
        break;
    }
    return QIcon(pm);
}

QIcon swatchIcon(const QColor& c)
{
    QPixmap pm(14, 14);
    pm.fill(c);
    QPainter p(&pm);
    p.setPen(Qt::gray);
    p.drawRect(0, 0, 13, 13);
    return QIcon(pm);
}
} // namespace

const std::array<QColor, 6>& DrawToolBar::swatches()
{
    static const std::array<QColor, 6> list{QColor(255, 0, 0), QColor(0, 90, 255), QColor(0, 160, 60),
                                            QColor(255, 200, 0), QColor(0, 0, 0), QColor(255, 255, 255)};
    return list;
}

DrawToolBar::DrawToolBar(QWidget* owner) : QWidget(owner, Qt::Tool)
{
    setWindowTitle(QStringLiteral("ToolBar"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(1);
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    // In the order the bar shows them, two to a row.
    static const DrawnShape::Kind tools[] = {DrawnShape::Select, DrawnShape::Rectangle, DrawnShape::Ellipse,
                                             DrawnShape::Arrow,  DrawnShape::Pen,       DrawnShape::Highlight,
                                             DrawnShape::Text,   DrawnShape::Step,      DrawnShape::Redact,
                                             DrawnShape::Stamp};
    int cell = 0;
    for (DrawnShape::Kind kind : tools) {
        auto* b = new QToolButton(this);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setIcon(toolIcon(kind));
        b->setFixedSize(28, 26);
        m_group->addButton(b, int(kind));
        grid->addWidget(b, cell / 2, cell % 2);
        m_tools[size_t(kind)] = b;
        ++cell;
    }
    m_tools[DrawnShape::Rectangle]->setChecked(true);
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) { setTool(DrawnShape::Kind(id)); });

    int row = (cell + 1) / 2;
    for (size_t i = 0; i < swatches().size(); ++i) {
        auto* b = new QToolButton(this);
        b->setAutoRaise(true);
        b->setIcon(swatchIcon(swatches()[i]));
        b->setFixedSize(28, 18);
        const QColor c = swatches()[i];
        connect(b, &QToolButton::clicked, this, [this, c] { setColour(c); });
        grid->addWidget(b, row + int(i) / 2, int(i) % 2);
    }
    row += int(swatches().size()) / 2;

    m_colourButton = new QToolButton(this);
    m_colourButton->setFixedSize(57, 20);
    connect(m_colourButton, &QToolButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(m_colour, this);
        if (c.isValid())
            setColour(c);
    });
    grid->addWidget(m_colourButton, row++, 0, 1, 2);

    m_width = new QSpinBox(this);
    m_width->setRange(1, 20);
    m_width->setValue(3);
    m_width->setFixedWidth(57);
    connect(m_width, &QSpinBox::valueChanged, this, [this](int w) { emit lineWidthChanged(w); });
    grid->addWidget(m_width, row++, 0, 1, 2);

    // Text: size, bold, and what lies behind the letters.
    m_textSize = new QComboBox(this);
    m_textSize->setEditable(true);
    m_textSize->addItems({QString(), QString(), QString()});
    m_textSize->setCurrentIndex(1);
    m_textSize->setInsertPolicy(QComboBox::NoInsert);
    m_textSize->setFixedWidth(57);
    connect(m_textSize, &QComboBox::currentIndexChanged, this, [this] { readTextSize(); });
    connect(m_textSize->lineEdit(), &QLineEdit::editingFinished, this, [this] { readTextSize(); });
    grid->addWidget(m_textSize, row++, 0, 1, 2);
    m_bold = new QToolButton(this);
    m_bold->setCheckable(true);
    m_bold->setFixedSize(57, 20);
    connect(m_bold, &QToolButton::toggled, this, [this](bool on) { emit textBoldChanged(on); });
    grid->addWidget(m_bold, row++, 0, 1, 2);
    m_textBack = new QComboBox(this);
    m_textBack->addItems({QString(), QString(), QString(), QString()});
    m_textBack->setFixedWidth(57);
    connect(m_textBack, &QComboBox::currentIndexChanged, this,
            [this](int i) { emit textBackChanged(DrawnShape::TextBack(i)); });
    grid->addWidget(m_textBack, row++, 0, 1, 2);

    // Step markers: the next number (a click starts again at 1) and renumbering.
    m_next = new QToolButton(this);
    m_next->setFixedSize(57, 20);
    connect(m_next, &QToolButton::clicked, this, [this] { emit numbersResetRequested(); });
    grid->addWidget(m_next, row++, 0, 1, 2);
    m_renumber = new QToolButton(this);
    m_renumber->setFixedSize(57, 20);
    connect(m_renumber, &QToolButton::clicked, this, [this] { emit renumberRequested(); });
    grid->addWidget(m_renumber, row++, 0, 1, 2);
    showNextNumber(1);

    m_mosaic = new QSpinBox(this);
    m_mosaic->setRange(4, 32);
    m_mosaic->setValue(8);
    m_mosaic->setFixedWidth(57);
    grid->addWidget(m_mosaic, row++, 0, 1, 2);
    grid->setRowStretch(row, 1);
    showColour();
    retranslateUi();
    setFixedWidth(61);
    // A window of its own: it would stay on the screen while the main
    // window stands by, unless it follows it.
    if (owner)
        owner->installEventFilter(this);
}

void DrawToolBar::retranslateUi()
{
    const std::pair<DrawnShape::Kind, QString> tips[] = {
        {DrawnShape::Select, tr("選択")},   {DrawnShape::Rectangle, tr("四角形")},
        {DrawnShape::Ellipse, tr("楕円")},  {DrawnShape::Arrow, tr("矢印")},
        {DrawnShape::Pen, tr("ﾌﾘｰﾊﾝﾄﾞ")},   {DrawnShape::Highlight, tr("蛍光ﾍﾟﾝ")},
        {DrawnShape::Text, tr("文字")},     {DrawnShape::Step, tr("番号")},
        {DrawnShape::Redact, tr("塗りつぶし(隠す)")}, {DrawnShape::Stamp, tr("ｽﾀﾝﾌﾟ")}};
    for (const auto& [kind, tip] : tips)
        m_tools[size_t(kind)]->setToolTip(tip);
    m_colourButton->setToolTip(tr("色"));
    m_width->setToolTip(tr("線の太さ"));
    // The sizes are read back by their shown words.
    const QString sizes[] = {tr("小"), tr("中"), tr("大")};
    for (int i = 0; i < 3; ++i)
        m_textSize->setItemText(i, sizes[i]);
    m_textSize->setToolTip(tr("文字の大きさ(小・中・大、または数字)"));
    m_bold->setText(tr("太字"));
    m_bold->setToolTip(tr("太字"));
    const QString backs[] = {tr("なし"), tr("白地"), tr("反転"), tr("縁取")};
    for (int i = 0; i < 4; ++i)
        m_textBack->setItemText(i, backs[i]);
    m_textBack->setToolTip(tr("文字の背景(なし・白地・反転色の地・縁取り)"));
    m_next->setToolTip(tr("次の番号(ｸﾘｯｸで1に戻す)"));
    m_renumber->setText(tr("振直し"));
    m_renumber->setToolTip(tr("番号を振り直す"));
    m_mosaic->setToolTip(tr("ﾓｻﾞｲｸの大きさ"));
}

bool DrawToolBar::eventFilter(QObject* o, QEvent* e)
{
    if (o == parent()) {
        if (e->type() == QEvent::Hide && isVisible()) {
            m_hiddenWithOwner = true;
            hide();
        } else if (e->type() == QEvent::Show && m_hiddenWithOwner) {
            m_hiddenWithOwner = false;
            show();
        }
    }
    return QWidget::eventFilter(o, e);
}

void DrawToolBar::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    m_fits = 0;
    fitOnScreen();
    // A window manager may frame the bar without moving it (its title bar
    // then above the screen) and Qt tells no widget of the frame: look again
    // until the frame is known, for a second at most.
    auto* look = new QTimer(this);
    look->setInterval(50);
    connect(look, &QTimer::timeout, this, [this, look, left = 20]() mutable {
        const bool framed = windowHandle() && !windowHandle()->frameMargins().isNull();
        if (framed && isVisible())
            fitOnScreen();
        if (framed || !isVisible() || --left == 0)
            look->deleteLater();
    });
    look->start();
}

void DrawToolBar::moveEvent(QMoveEvent* e)
{
    QWidget::moveEvent(e);
    // The frame is known only once the window manager has framed the bar;
    // then the title bar may stick out above the screen.
    if (isVisible() && m_fits < 3)
        fitOnScreen();
}

void DrawToolBar::fitOnScreen()
{
    const QScreen* s = screen();
    if (!s)
        return;
    const QRect frame = frameGeometry();
    const QPoint to = keepOnScreen(frame, s->availableGeometry());
    if (to != frame.topLeft()) {
        ++m_fits;
        move(to);
    }
}

QPoint DrawToolBar::keepOnScreen(const QRect& frame, const QRect& available)
{
    QPoint p = frame.topLeft();
    p.setX(std::min(p.x(), available.right() + 1 - frame.width()));
    p.setY(std::min(p.y(), available.bottom() + 1 - frame.height()));
    // Top and left win: the title bar and the close box stay reachable.
    p.setX(std::max(p.x(), available.left()));
    p.setY(std::max(p.y(), available.top()));
    return p;
}

DrawToolBar::Placement DrawToolBar::placeBeside(const QRect& mainFrame, bool maximised)
{
    Placement pl;
    const int top = std::max(0, mainFrame.top());
    int left = mainFrame.left() - kRoom;
    if (left < 0) {
        if (maximised) {
            pl.restore = true;
            pl.shift = kRoom + 3;
        } else {
            pl.shift = kRoom - mainFrame.left();
        }
        left = 0;
    }
    pl.bar = QPoint(left, top);
    return pl;
}

void DrawToolBar::setSettings(int clickSize, int fill, const QColor& seeThrough)
{
    m_clickSize = std::max(1, clickSize);
    m_fill = fill;
    m_seeThrough = seeThrough;
}

int DrawToolBar::colourSlot(DrawnShape::Kind k)
{
    return k == DrawnShape::Redact ? 1 : k == DrawnShape::Highlight ? 2 : 0;
}

void DrawToolBar::setTool(DrawnShape::Kind tool)
{
    m_tool = tool;
    m_tools[size_t(tool)]->setChecked(true);
    emit toolChanged(tool);
    // Boxes that hide start black and the highlighter yellow; a colour the
    // user picks for either stays with it.
    if (m_colours[size_t(colourSlot(tool))] != m_colour)
        setColour(m_colours[size_t(colourSlot(tool))]);
}

void DrawToolBar::setColour(const QColor& c)
{
    if (!c.isValid())
        return;
    m_colour = c;
    m_colours[size_t(colourSlot(m_tool))] = c;
    showColour();
    emit colourChanged(c);
}

void DrawToolBar::setTextSize(int pixels)
{
    for (int i = 0; i < 3; ++i)
        if (DrawnShape::kTextSizes[i] == pixels) {
            m_textSize->setCurrentIndex(i);
            m_textSize->setEditText(m_textSize->itemText(i));
            readTextSize();
            return;
        }
    m_textSize->setEditText(QString::number(pixels));
    readTextSize();
}

void DrawToolBar::readTextSize()
{
    const QString t = m_textSize->currentText().trimmed();
    int px = 0;
    for (int i = 0; i < 3; ++i)
        if (t == m_textSize->itemText(i))
            px = DrawnShape::kTextSizes[i];
    bool ok = false;
    const int n = t.toInt(&ok);
    if (ok && n >= 6 && n <= 400)
        px = n;
    if (px == 0) {
        // Not a size: show the one in use again.
        setTextSize(m_textPixels);
        return;
    }
    if (px == m_textPixels)
        return;
    m_textPixels = px;
    emit textSizeChanged(px);
}

int DrawToolBar::mosaicBlock() const
{
    return m_mosaic->value();
}

void DrawToolBar::setMosaicBlock(int pixels)
{
    m_mosaic->setValue(pixels);
}

void DrawToolBar::showNextNumber(int n)
{
    m_next->setText(tr("次:%1").arg(n));
}

int DrawToolBar::lineWidth() const
{
    return m_width->value();
}

void DrawToolBar::setLineWidth(int w)
{
    m_width->setValue(w);
}

void DrawToolBar::showColour()
{
    QPixmap pm(44, 12);
    pm.fill(m_colour);
    m_colourButton->setIcon(QIcon(pm));
    m_colourButton->setIconSize(pm.size());
}

void DrawToolBar::closeEvent(QCloseEvent* e)
{
    QWidget::closeEvent(e);
    if (e->isAccepted())
        emit closed();
}

void DrawToolBar::drive(DrawingOverlay* ov)
{
    connect(this, &DrawToolBar::toolChanged, ov, &DrawingOverlay::setTool);
    connect(this, &DrawToolBar::colourChanged, ov, &DrawingOverlay::setColour);
    connect(this, &DrawToolBar::lineWidthChanged, ov, &DrawingOverlay::setLineWidth);
    connect(this, &DrawToolBar::textSizeChanged, ov, &DrawingOverlay::setTextSize);
    connect(this, &DrawToolBar::textBoldChanged, ov, &DrawingOverlay::setTextBold);
    connect(this, &DrawToolBar::textBackChanged, ov, &DrawingOverlay::setTextBack);
    connect(this, &DrawToolBar::renumberRequested, ov, &DrawingOverlay::renumberSteps);
    connect(this, &DrawToolBar::numbersResetRequested, ov, [ov] { ov->setNextNumber(1); });
    connect(ov, &DrawingOverlay::nextNumberChanged, this, &DrawToolBar::showNextNumber);
    ov->setColour(colour());
    ov->setLineWidth(lineWidth());
    ov->setTextSize(textSize());
}

void DrawToolBar::beginDrawing(DrawingOverlay* ov)
{
    ov->setInputEnabled(true);
    ov->setTool(tool());
    setSettings(50, 0, Qt::white);
    ov->setClickSize(clickSize());
    ov->setFilled(filled());
}

} // namespace varnel
