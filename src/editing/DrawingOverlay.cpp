#include "DrawingOverlay.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "PictureSurface.h"

namespace varnel {

namespace {
// Half the side of a handle square on screen, and how near a click must be.
constexpr int kHandle = 4;
constexpr int kGrip = 6;
} // namespace

DrawingOverlay::DrawingOverlay(PictureSurface* surface)
    : QWidget(surface->viewport()), m_surface(surface)
{
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    setAttribute(Qt::WA_NoSystemBackground, true);
    setFocusPolicy(Qt::ClickFocus);
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
    if (!on) {
        commitText();
        select(-1);
    }
}

void DrawingOverlay::setTool(DrawnShape::Kind tool)
{
    commitText();
    m_tool = tool;
    if (tool != DrawnShape::Select)
        select(-1);
    setCursor(tool == DrawnShape::Text ? Qt::IBeamCursor
              : tool == DrawnShape::Select ? Qt::ArrowCursor
                                           : Qt::CrossCursor);
}

int DrawingOverlay::selected() const
{
    // Shapes can go under it (a merge, a step taken back).
    return m_selected < m_drawing.count() ? m_selected : -1;
}

void DrawingOverlay::select(int index)
{
    m_selected = index >= 0 && index < m_drawing.count() ? index : -1;
    update();
}

void DrawingOverlay::restyle(const std::function<bool(DrawnShape&)>& f)
{
    if (m_tool != DrawnShape::Select || selected() < 0)
        return;
    Drawing::State before = m_drawing.state();
    if (!f(m_drawing.shape(m_selected)))
        return;
    m_drawing.record(std::move(before));
    stepDone();
}

void DrawingOverlay::setColour(const QColor& c)
{
    m_colour = c;
    restyle([&](DrawnShape& s) {
        if (s.kind == DrawnShape::Stamp || s.colour == c)
            return false;
        s.colour = c;
        return true;
    });
}

void DrawingOverlay::setLineWidth(int w)
{
    m_width = std::max(1, w);
    restyle([&](DrawnShape& s) {
        if (!s.hasLineWidth() || s.width == m_width)
            return false;
        s.width = m_width;
        return true;
    });
}

void DrawingOverlay::setTextSize(int pixels)
{
    m_textSize = std::max(6, pixels);
    restyle([&](DrawnShape& s) {
        if (s.kind != DrawnShape::Text || s.letterHeight() == m_textSize)
            return false;
        s.textSize = m_textSize;
        return true;
    });
}

void DrawingOverlay::setTextBold(bool on)
{
    m_bold = on;
    restyle([&](DrawnShape& s) {
        if (s.kind != DrawnShape::Text || s.bold == on)
            return false;
        s.bold = on;
        return true;
    });
}

void DrawingOverlay::setTextBack(DrawnShape::TextBack back)
{
    m_back = back;
    restyle([&](DrawnShape& s) {
        if (s.kind != DrawnShape::Text || s.back == back)
            return false;
        s.back = back;
        return true;
    });
}

bool DrawingOverlay::eventFilter(QObject* o, QEvent* e)
{
    if (o == parent() && e->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    if (o == m_editor && e->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
        // Escape drops the text being typed; a text typed again stays as it was.
        if (m_reedit >= 0)
            m_editor->setText(m_drawing.shape(m_reedit).text);
        else
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

void DrawingOverlay::stepDone()
{
    if (m_selected >= m_drawing.count())
        m_selected = -1;
    update();
    emit changed();
    emit nextNumberChanged(m_drawing.nextNumber());
}

void DrawingOverlay::add(DrawnShape s)
{
    m_drawing.add(std::move(s));
    stepDone();
}

bool DrawingOverlay::undo()
{
    commitText();
    if (!m_drawing.undo())
        return false;
    stepDone();
    return true;
}

bool DrawingOverlay::redo()
{
    commitText();
    if (!m_drawing.redo())
        return false;
    stepDone();
    return true;
}

void DrawingOverlay::renumberSteps()
{
    if (m_drawing.renumber())
        stepDone();
}

void DrawingOverlay::setNextNumber(int n)
{
    m_drawing.setNextNumber(n);
    emit nextNumberChanged(m_drawing.nextNumber());
}

int DrawingOverlay::handleAt(const QPointF& pos) const
{
    if (selected() < 0)
        return -1;
    const QTransform t = m_surface->pictureToViewport();
    const std::vector<QPointF> hs = m_drawing.shape(m_selected).handles();
    for (int i = 0; i < int(hs.size()); ++i) {
        const QPointF d = t.map(hs[size_t(i)]) - pos;
        if (std::abs(d.x()) <= kGrip && std::abs(d.y()) <= kGrip)
            return i;
    }
    return -1;
}

void DrawingOverlay::pressSelect(const QPointF& pos)
{
    const QPointF at = toPicture(pos);
    int handle = handleAt(pos);
    if (handle < 0) {
        const double slack = kHandle / std::max(0.01, m_surface->displayScale());
        select(m_drawing.hitTest(at, slack));
    }
    if (m_selected < 0)
        return;
    m_drag = Drag{handle, at, m_drawing.state(), m_drawing.shape(m_selected)};
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
    switch (m_tool) {
    case DrawnShape::Select:
        setFocus(Qt::MouseFocusReason);
        pressSelect(e->position());
        return;
    case DrawnShape::Text:
        startText(at);
        return;
    case DrawnShape::Step:
        m_drawing.addStep(QPointF(std::round(at.x()), std::round(at.y())), m_colour, m_width);
        stepDone();
        return;
    case DrawnShape::Stamp: {
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
    default:
        break;
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
    const QPointF at = toPicture(e->position());
    if (m_drag && selected() >= 0) {
        DrawnShape s = m_drag->original;
        if (m_drag->handle >= 0) {
            s.moveHandle(m_drag->handle, at);
        } else {
            // Whole picture pixels, so that a box stays on the pixel grid.
            const QPointF d = at - m_drag->from;
            s.translate(QPointF(std::round(d.x()), std::round(d.y())));
        }
        m_drawing.shape(m_selected) = std::move(s);
        update();
        return;
    }
    if (!m_live) {
        e->ignore();
        return;
    }
    if (m_live->kind == DrawnShape::Pen || m_live->kind == DrawnShape::Highlight)
        m_live->points.push_back(at);
    else
        m_live->points[1] = at;
    update();
}

void DrawingOverlay::mouseReleaseEvent(QMouseEvent* e)
{
    if (m_drag && e->button() == Qt::LeftButton) {
        Drag drag = std::move(*m_drag);
        m_drag.reset();
        if (selected() < 0)
            return;
        DrawnShape& s = m_drawing.shape(m_selected);
        if (drag.handle >= 0 && s.kind != DrawnShape::Arrow)
            for (QPointF& p : s.points)
                p = QPointF(std::round(p.x()), std::round(p.y()));
        if (s.points != drag.original.points) {
            m_drawing.record(std::move(drag.before));
            stepDone();
        }
        return;
    }
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
        if (s.kind == DrawnShape::Rectangle || s.kind == DrawnShape::Ellipse || s.kind == DrawnShape::Redact)
            s.points[1] = s.points[0] + QPointF(m_clickSize, m_clickSize);
        else if (s.kind == DrawnShape::Arrow) {
            update();
            return;
        }
    }
    if (s.kind == DrawnShape::Rectangle || s.kind == DrawnShape::Redact) {
        // Whole pixels, so that the box and the range it may become agree.
        for (QPointF& p : s.points)
            p = QPointF(std::round(p.x()), std::round(p.y()));
    }
    add(std::move(s));
}

void DrawingOverlay::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (!m_input || e->button() != Qt::LeftButton ||
        (m_tool != DrawnShape::Select && m_tool != DrawnShape::Text)) {
        e->ignore();
        return;
    }
    commitText();
    const double slack = kHandle / std::max(0.01, m_surface->displayScale());
    const int hit = m_drawing.hitTest(toPicture(e->position()), slack);
    if (hit < 0 || m_drawing.shape(hit).kind != DrawnShape::Text) {
        if (m_tool == DrawnShape::Text)
            mousePressEvent(e); // a quick second click starts a text there
        return;
    }
    m_drag.reset();
    // Typed again in place; the shape stays as it was until the text is done.
    const DrawnShape& s = m_drawing.shape(hit);
    m_reedit = hit;
    select(hit);
    startText(s.points[0], s.text);
}

void DrawingOverlay::keyPressEvent(QKeyEvent* e)
{
    if (m_tool != DrawnShape::Select || selected() < 0) {
        e->ignore();
        return;
    }
    QPointF by;
    switch (e->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace: {
        const int i = m_selected;
        m_selected = -1;
        m_drawing.removeAt(i);
        stepDone();
        return;
    }
    case Qt::Key_Escape: select(-1); return;
    case Qt::Key_Left: by = {-1, 0}; break;
    case Qt::Key_Right: by = {1, 0}; break;
    case Qt::Key_Up: by = {0, -1}; break;
    case Qt::Key_Down: by = {0, 1}; break;
    default: e->ignore(); return;
    }
    Drawing::State before = m_drawing.state();
    m_drawing.shape(m_selected).translate(by);
    m_drawing.record(std::move(before));
    stepDone();
}

void DrawingOverlay::wheelEvent(QWheelEvent* e)
{
    // Scrolling and Ctrl + wheel zoom belong to the surface; the overlay
    // lies exactly over its viewport, so positions carry over as they are.
    QCoreApplication::sendEvent(m_surface->viewport(), e);
}

void DrawingOverlay::startText(const QPointF& at, const QString& text)
{
    m_textAt = at;
    auto* ed = new QLineEdit(this);
    ed->setFrame(true);
    ed->setAttribute(Qt::WA_InputMethodEnabled, true);
    const DrawnShape* again = m_reedit >= 0 ? &m_drawing.shape(m_reedit) : nullptr;
    QFont f = font();
    const double scale = m_surface->displayScale();
    f.setPixelSize(std::max(8, int((again ? again->letterHeight() : m_textSize) * scale + 0.5)));
    f.setBold(again ? again->bold : m_bold);
    ed->setFont(f);
    QPalette pal = ed->palette();
    pal.setColor(QPalette::Text, again ? again->colour : m_colour);
    ed->setPalette(pal);
    ed->setText(text);
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
    const int again = m_reedit;
    m_reedit = -1;
    if (again >= 0 && again < m_drawing.count()) {
        if (text == m_drawing.shape(again).text)
            return;
        if (text.isEmpty()) {
            // Typed away: the text goes, as one step.
            m_selected = -1;
            m_drawing.removeAt(again);
        } else {
            Drawing::State before = m_drawing.state();
            m_drawing.shape(again).text = text;
            m_drawing.record(std::move(before));
        }
        stepDone();
        return;
    }
    if (text.isEmpty())
        return;
    DrawnShape s;
    s.kind = DrawnShape::Text;
    s.points = {m_textAt};
    s.text = text;
    s.colour = m_colour;
    s.width = m_width;
    s.textSize = m_textSize;
    s.bold = m_bold;
    s.back = m_back;
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
    m_reedit = -1;
    m_live.reset();
    m_drag.reset();
    m_selected = -1;
    m_drawing.clear();
    update();
}

void DrawingOverlay::paintEvent(QPaintEvent*)
{
    if (!m_surface->hasPicture())
        return;
    QPainter p(this);
    const QTransform t = m_surface->pictureToViewport();
    for (int i = 0; i < m_drawing.count(); ++i)
        if (i != m_reedit) // the editor shows it while it is typed again
            Drawing::paintShape(p, m_drawing.shape(i), t);
    if (m_live)
        Drawing::paintShape(p, *m_live, t);
    if (selected() < 0)
        return;
    // The selection: a dashed frame and a square on each handle.
    const DrawnShape& s = m_drawing.shape(m_selected);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(0, 120, 215), 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(t.mapRect(s.bounds()));
    p.setPen(QPen(QColor(0, 120, 215), 1));
    p.setBrush(Qt::white);
    for (const QPointF& h : s.handles()) {
        const QPointF c = t.map(h);
        p.drawRect(QRectF(c.x() - kHandle, c.y() - kHandle, 2 * kHandle, 2 * kHandle));
    }
}

} // namespace varnel
