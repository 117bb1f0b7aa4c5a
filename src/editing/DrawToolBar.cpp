#include "DrawToolBar.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QColorDialog>
#include <QGridLayout>
#include <QPainter>
#include <QSpinBox>
#include <QToolButton>

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
    for (int i = 0; i < 6; ++i) {
        auto* b = new QToolButton(this);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setIcon(toolIcon(DrawnShape::Kind(i)));
        b->setFixedSize(28, 26);
        m_group->addButton(b, i);
        grid->addWidget(b, i / 2, i % 2);
        m_tools[size_t(i)] = b;
    }
    m_tools[0]->setChecked(true);
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) { setTool(DrawnShape::Kind(id)); });

    int row = 3;
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
    const QString tips[] = {tr("四角形"), tr("楕円"), tr("矢印"), tr("ﾌﾘｰﾊﾝﾄﾞ"), tr("文字"), tr("ｽﾀﾝﾌﾟ")};
    for (size_t i = 0; i < m_tools.size(); ++i)
        m_tools[i]->setToolTip(tips[i]);
    m_colourButton->setToolTip(tr("色"));
    m_width->setToolTip(tr("線の太さ"));
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

void DrawToolBar::setTool(DrawnShape::Kind tool)
{
    m_tool = tool;
    m_tools[size_t(tool)]->setChecked(true);
    emit toolChanged(tool);
}

void DrawToolBar::setColour(const QColor& c)
{
    if (!c.isValid())
        return;
    m_colour = c;
    showColour();
    emit colourChanged(c);
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

} // namespace varnel
