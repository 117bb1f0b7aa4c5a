#include "DrawingOverlay.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "PictureSurface.h"

namespace varnel {

DrawingOverlay::DrawingOverlay(PictureSurface* surface)
    : QWidget(surface->viewport()), m_surface(surface)
{
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    setAttribute(Qt::WA_NoSystemBackground, true);
    setGeometry(surface->viewport()->rect());
    surface->viewport()->installEventFilter(this);
    hide();
}

QLineEdit* DrawingOverlay::textEditor() const
{
    return m_editor;
}

bool DrawingOverlay::hasShapes() const
{
    return !m_drawing.isEmpty() || (m_editor && !m_editor->text().isEmpty());
}

void DrawingOverlay::setInputEnabled(bool on)
{
    m_input = on;
    setAttribute(Qt::WA_TransparentForMouseEvents, !on);
    setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
    if (!on)
        commitText();
}

void DrawingOverlay::setTool(DrawnShape::Kind tool)
{
    commitText();
    m_tool = tool;
    setCursor(tool == DrawnShape::Text ? Qt::IBeamCursor : Qt::CrossCursor);
}

bool DrawingOverlay::eventFilter(QObject* o, QEvent* e)
{
    if (o == parent() && e->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    if (o == m_editor && e->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
        // Escape drops the text being typed.
        m_editor->clear();
        commitText();
        return true;
    }
    return QWidget::eventFilter(o, e);
}

QPointF DrawingOverlay::toPicture(const QPointF& pos) const
{
    return m_surface->pictureToViewport().inverted().map(pos);
}

void DrawingOverlay::add(DrawnShape s)
{
    m_drawing.add(std::move(s));
    update();
    emit shapeAdded();
}

void DrawingOverlay::mousePressEvent(QMouseEvent* e)
{
    if (!m_input || e->button() != Qt::LeftButton || !m_surface->hasPicture()) {
        // The context menu and the rest belong to the surface below.
        e->ignore();
        return;
    }
    commitText();
    const QPointF at = toPicture(e->position());
    if (m_tool == DrawnShape::Text) {
        startText(at);
        return;
    }
    if (m_tool == DrawnShape::Stamp) {
        if (m_stamp.isNull())
            return;
        DrawnShape s;
        s.kind = DrawnShape::Stamp;
        // The click is the stamp's centre.
        s.points = {at - QPointF(m_stamp.width() / 2.0, m_stamp.height() / 2.0)};
        s.stamp = m_stamp;
        s.width = 0;
        add(std::move(s));
        return;
    }
    DrawnShape s;
    s.kind = m_tool;
    s.colour = m_colour;
    s.width = m_width;
    s.filled = m_filled;
    s.points = {at, at};
    m_live = std::move(s);
    update();
}

void DrawingOverlay::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_live) {
        e->ignore();
        return;
    }
    const QPointF at = toPicture(e->position());
    if (m_live->kind == DrawnShape::Pen)
        m_live->points.push_back(at);
    else
        m_live->points[1] = at;
    update();
}

void DrawingOverlay::mouseReleaseEvent(QMouseEvent* e)
{
    if (!m_live || e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    DrawnShape s = std::move(*m_live);
    m_live.reset();
    const QPointF d = s.points.back() - s.points.front();
    const bool moved = std::abs(d.x()) >= 2 || std::abs(d.y()) >= 2 || s.points.size() > 2;
    if (!moved) {
        // A plain click places a box or ellipse of the bar's size; a line
        // needs a direction, so a click draws none.
        if (s.kind == DrawnShape::Rectangle || s.kind == DrawnShape::Ellipse)
            s.points[1] = s.points[0] + QPointF(m_clickSize, m_clickSize);
        else if (s.kind == DrawnShape::Arrow) {
            update();
            return;
        }
    }
    if (s.kind == DrawnShape::Rectangle) {
        // Whole pixels, so that the box and the range it may become agree.
        for (QPointF& p : s.points)
            p = QPointF(std::round(p.x()), std::round(p.y()));
    }
    add(std::move(s));
}

void DrawingOverlay::wheelEvent(QWheelEvent* e)
{
    // Scrolling and Ctrl + wheel zoom belong to the surface; the overlay
    // lies exactly over its viewport, so positions carry over as they are.
    QCoreApplication::sendEvent(m_surface->viewport(), e);
}

void DrawingOverlay::startText(const QPointF& at)
{
    m_textAt = at;
    auto* ed = new QLineEdit(this);
    ed->setFrame(true);
    ed->setAttribute(Qt::WA_InputMethodEnabled, true);
    QFont f = font();
    const double scale = m_surface->displayScale();
    f.setPixelSize(std::max(8, int((m_width * 4 + 8) * scale + 0.5)));
    ed->setFont(f);
    QPalette pal = ed->palette();
    pal.setColor(QPalette::Text, m_colour);
    ed->setPalette(pal);
    const QPointF vp = m_surface->pictureToViewport().map(at);
    ed->move(vp.toPoint() - QPoint(3, 3));
    ed->resize(std::max(120, width() - ed->x() - 4), ed->sizeHint().height());
    ed->installEventFilter(this);
    connect(ed, &QLineEdit::returnPressed, this, [this] { commitText(); });
    connect(ed, &QLineEdit::editingFinished, this, [this] { commitText(); });
    m_editor = ed;
    ed->show();
    ed->setFocus(Qt::MouseFocusReason);
}

void DrawingOverlay::commitText()
{
    if (!m_editor)
        return;
    QLineEdit* ed = m_editor;
    m_editor = nullptr;
    const QString text = ed->text();
    ed->hide();
    ed->deleteLater();
    if (text.isEmpty())
        return;
    DrawnShape s;
    s.kind = DrawnShape::Text;
    s.points = {m_textAt};
    s.text = text;
    s.colour = m_colour;
    s.width = m_width;
    s.font = font();
    add(std::move(s));
}

void DrawingOverlay::discard()
{
    if (m_editor) {
        m_editor->hide();
        m_editor->deleteLater();
        m_editor = nullptr;
    }
    m_live.reset();
    m_drawing.clear();
    update();
}

void DrawingOverlay::paintEvent(QPaintEvent*)
{
    if (!m_surface->hasPicture())
        return;
    QPainter p(this);
    const QTransform t = m_surface->pictureToViewport();
    m_drawing.paint(p, t);
    if (m_live)
        Drawing::paintShape(p, *m_live, t);
}

} // namespace varnel
