#include "Drawing.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include "engine/Picture.h"

namespace varnel {

namespace {
// The head of an arrow from tail to head: a filled triangle whose size
// grows with the line, so thick arrows keep a visible point.
QPolygonF arrowHead(const QPointF& tail, const QPointF& head, int width)
{
    const QLineF line(tail, head);
    const double len = std::max(10.0, width * 4.0);
    const double a = qDegreesToRadians(line.angle());
    const double spread = qDegreesToRadians(25.0);
    // QLineF::angle is counter-clockwise with y up; the screen's y goes down.
    const QPointF back(-std::cos(a), std::sin(a));
    auto rotated = [&](double by) {
        const double c = std::cos(by), s = std::sin(by);
        return QPointF(back.x() * c - back.y() * s, back.x() * s + back.y() * c);
    };
    return QPolygonF({head, head + rotated(spread) * len, head + rotated(-spread) * len});
}

QFont textFont(const DrawnShape& s)
{
    QFont f = s.font;
    f.setPixelSize(s.letterHeight());
    f.setBold(s.bold);
    return f;
}

// Room around a text for its box or outline.
double textPadding(const DrawnShape& s)
{
    return s.back == DrawnShape::Plain ? 0 : std::max(2, s.letterHeight() / 6);
}

QColor inverse(const QColor& c)
{
    return QColor(255 - c.red(), 255 - c.green(), 255 - c.blue());
}

// White numbers on dark markers, black on light ones.
QColor readableOn(const QColor& c)
{
    return qGray(c.rgb()) > 150 ? Qt::black : Qt::white;
}

QRectF stepCircle(const DrawnShape& s)
{
    const double d = DrawnShape::stepDiameter(s.width);
    return QRectF(s.points[0] - QPointF(d / 2, d / 2), QSizeF(d, d));
}

bool isBox(DrawnShape::Kind k)
{
    return k == DrawnShape::Rectangle || k == DrawnShape::Ellipse || k == DrawnShape::Redact;
}

// Distinct colours of an RGB32 image, counting stops at limit.
int countColours(const QImage& img, int limit)
{
    std::vector<QRgb> seen;
    QRgb last = 0;
    bool any = false;
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = line[x] | 0xff000000u;
            if (any && c == last)
                continue;
            any = true;
            last = c;
            const auto it = std::lower_bound(seen.begin(), seen.end(), c);
            if (it == seen.end() || *it != c) {
                seen.insert(it, c);
                if (int(seen.size()) >= limit)
                    return int(seen.size());
            }
        }
    }
    return int(seen.size());
}

QRectF cornerRect(const DrawnShape& s)
{
    if (s.points.size() < 2)
        return {};
    return QRectF(s.points[0], s.points[1]).normalized();
}
} // namespace

QRectF DrawnShape::bounds() const
{
    QRectF r;
    double m = width / 2.0 + 1;
    switch (kind) {
    case Rectangle:
    case Ellipse:
    case Redact:
        r = cornerRect(*this);
        break;
    case Arrow:
    case Pen:
    case Highlight:
        for (const QPointF& p : points)
            r = r.united(QRectF(p, QSizeF(0.01, 0.01)));
        if (kind == Arrow && points.size() >= 2)
            r = r.united(arrowHead(points[0], points[1], width).boundingRect());
        if (kind == Highlight)
            m = highlightWidth(width) / 2.0 + 1;
        break;
    case Text:
        if (!points.empty()) {
            const double pad = textPadding(*this);
            r = QRectF(points[0], QFontMetricsF(textFont(*this)).size(0, text)).adjusted(-pad, -pad, pad, pad);
        }
        m = 1;
        break;
    case Stamp:
        if (!points.empty())
            r = QRectF(points[0], QSizeF(stamp.size()));
        break;
    case Step:
        if (!points.empty())
            r = stepCircle(*this);
        m = 1;
        break;
    case Select:
        break;
    }
    return r.adjusted(-m, -m, m, m);
}

void DrawnShape::translate(const QPointF& by)
{
    for (QPointF& p : points)
        p += by;
}

std::vector<QPointF> DrawnShape::handles() const
{
    if (points.size() < 2)
        return {};
    if (kind == Arrow)
        return {points[0], points[1]};
    if (!isBox(kind))
        return {};
    const QRectF r = cornerRect(*this);
    return {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
}

void DrawnShape::moveHandle(int handle, const QPointF& to)
{
    const std::vector<QPointF> h = handles();
    if (handle < 0 || handle >= int(h.size()))
        return;
    if (kind == Arrow) {
        points[size_t(handle)] = to;
        return;
    }
    // The corner across from the one dragged stays where it is.
    points = {h[size_t((handle + 2) % 4)], to};
}

void Drawing::push(State before)
{
    m_undo.emplace_back(std::move(before), m_state);
    if (m_undo.size() > kMaxSteps)
        m_undo.erase(m_undo.begin());
    m_redo.clear();
}

void Drawing::record(State before)
{
    push(std::move(before));
}

void Drawing::add(DrawnShape shape)
{
    State before = m_state;
    m_state.shapes.push_back(std::move(shape));
    push(std::move(before));
}

void Drawing::removeAt(int i)
{
    if (i < 0 || i >= count())
        return;
    State before = m_state;
    m_state.shapes.erase(m_state.shapes.begin() + i);
    push(std::move(before));
}

void Drawing::addStep(const QPointF& centre, const QColor& colour, int width)
{
    State before = m_state;
    DrawnShape s;
    s.kind = DrawnShape::Step;
    s.points = {centre};
    s.colour = colour;
    s.width = width;
    s.number = m_state.nextNumber++;
    m_state.shapes.push_back(std::move(s));
    push(std::move(before));
}

bool Drawing::renumber()
{
    std::vector<DrawnShape*> steps;
    for (DrawnShape& s : m_state.shapes)
        if (s.kind == DrawnShape::Step)
            steps.push_back(&s);
    if (steps.empty())
        return false;
    std::stable_sort(steps.begin(), steps.end(),
                     [](const DrawnShape* a, const DrawnShape* b) { return a->number < b->number; });
    const int first = steps.front()->number;
    bool changed = m_state.nextNumber != first + int(steps.size());
    for (size_t i = 0; i < steps.size(); ++i)
        changed = changed || steps[i]->number != first + int(i);
    if (!changed)
        return false;
    State before = m_state;
    for (size_t i = 0; i < steps.size(); ++i)
        steps[i]->number = first + int(i);
    m_state.nextNumber = first + int(steps.size());
    push(std::move(before));
    return true;
}

bool Drawing::undo()
{
    if (m_undo.empty())
        return false;
    auto step = std::move(m_undo.back());
    m_undo.pop_back();
    m_state = step.first;
    m_redo.push_back(std::move(step));
    return true;
}

bool Drawing::redo()
{
    if (m_redo.empty())
        return false;
    auto step = std::move(m_redo.back());
    m_redo.pop_back();
    m_state = step.second;
    m_undo.push_back(std::move(step));
    return true;
}

void Drawing::forgetSteps()
{
    m_undo.clear();
    m_redo.clear();
}

void Drawing::clear()
{
    m_state.shapes.clear();
    forgetSteps();
}

int Drawing::hitTest(const QPointF& at, double slack) const
{
    for (int i = count() - 1; i >= 0; --i)
        if (shape(i).bounds().adjusted(-slack, -slack, slack, slack).contains(at))
            return i;
    return -1;
}

QPolygon Drawing::currentRectangle() const
{
    if (isEmpty() || m_state.shapes.back().kind != DrawnShape::Rectangle)
        return {};
    const QRect r = cornerRect(m_state.shapes.back()).toRect();
    if (r.isEmpty())
        return {};
    // Right and bottom one past the box's last pixel column and row, as a
    // range has them.
    const int l = r.left(), t = r.top(), rt = r.left() + r.width(), b = r.top() + r.height();
    return QPolygon({QPoint(l, t), QPoint(rt, t), QPoint(rt, b), QPoint(l, b)});
}

void Drawing::paintShape(QPainter& p, const DrawnShape& s, const QTransform& toDevice, bool smooth)
{
    p.save();
    p.setTransform(toDevice);
    QPen pen(s.colour, std::max(1, s.width), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (s.kind) {
    case DrawnShape::Rectangle: {
        // Square corners and no smoothing: a box on a screenshot stays crisp.
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        p.setRenderHint(QPainter::Antialiasing, false);
        if (s.filled)
            p.setBrush(s.colour);
        p.drawRect(cornerRect(s));
        break;
    }
    case DrawnShape::Ellipse:
        p.setRenderHint(QPainter::Antialiasing, smooth);
        if (s.filled)
            p.setBrush(s.colour);
        p.drawEllipse(cornerRect(s));
        break;
    case DrawnShape::Arrow: {
        if (s.points.size() < 2)
            break;
        p.setRenderHint(QPainter::Antialiasing, smooth);
        const QPolygonF head = arrowHead(s.points[0], s.points[1], s.width);
        // The line stops inside the head so that a thick line keeps the point sharp.
        const QPointF base = (head[1] + head[2]) / 2;
        p.drawLine(s.points[0], (base + s.points[1]) / 2);
        p.setPen(QPen(s.colour, 1, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
        p.setBrush(s.colour);
        p.drawPolygon(head);
        break;
    }
    case DrawnShape::Pen: {
        if (s.points.empty())
            break;
        p.setRenderHint(QPainter::Antialiasing, smooth);
        if (s.points.size() == 1) {
            p.drawPoint(s.points[0]);
            break;
        }
        QPainterPath path(s.points[0]);
        for (size_t i = 1; i < s.points.size(); ++i)
            path.lineTo(s.points[i]);
        p.drawPath(path);
        break;
    }
    case DrawnShape::Text: {
        if (s.points.empty() || s.text.isEmpty())
            break;
        p.setRenderHint(QPainter::TextAntialiasing, smooth);
        QFont f = textFont(s);
        if (!smooth)
            f.setStyleStrategy(QFont::NoAntialias);
        p.setFont(f);
        const QFontMetricsF fm(f);
        const QRectF area(s.points[0], fm.size(0, s.text));
        if (s.back == DrawnShape::WhiteBox || s.back == DrawnShape::InverseBox) {
            const double pad = textPadding(s);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.fillRect(area.adjusted(-pad, -pad, pad, pad),
                       s.back == DrawnShape::WhiteBox ? QColor(Qt::white) : inverse(s.colour));
        }
        if (s.back == DrawnShape::Outline) {
            // The letters' outline stroked wide, the letters filled on top.
            QPainterPath path;
            const QStringList lines = s.text.split(QLatin1Char('\n'));
            for (int i = 0; i < lines.size(); ++i)
                path.addText(area.topLeft() + QPointF(0, fm.ascent() + i * fm.lineSpacing()), f, lines[i]);
            p.setRenderHint(QPainter::Antialiasing, smooth);
            p.strokePath(path, QPen(inverse(s.colour), textPadding(s), Qt::SolidLine, Qt::RoundCap,
                                    Qt::RoundJoin));
            p.fillPath(path, s.colour);
            break;
        }
        p.setPen(s.colour);
        p.drawText(area, Qt::AlignLeft | Qt::AlignTop, s.text);
        break;
    }
    case DrawnShape::Step: {
        if (s.points.empty())
            break;
        p.setRenderHint(QPainter::Antialiasing, smooth);
        p.setPen(Qt::NoPen);
        p.setBrush(s.colour);
        const QRectF circle = stepCircle(s);
        p.drawEllipse(circle);
        QFont f = s.font;
        f.setBold(true);
        const QString n = QString::number(s.number);
        // Two digits and more get smaller so that they stay inside.
        f.setPixelSize(std::max(6, int(circle.height() * (n.size() > 2 ? 0.42 : n.size() > 1 ? 0.5 : 0.62))));
        if (!smooth)
            f.setStyleStrategy(QFont::NoAntialias);
        p.setFont(f);
        p.setPen(readableOn(s.colour));
        p.drawText(circle, Qt::AlignCenter, n);
        break;
    }
    case DrawnShape::Redact:
        // Replaces what lies below: no smoothing, nothing mixed in.
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(cornerRect(s), QColor(s.colour.rgb()));
        break;
    case DrawnShape::Highlight: {
        if (s.points.empty())
            break;
        // Multiplied: the picture's dark text stays dark, white turns the
        // marker's colour. One path, so crossing strokes do not darken twice.
        p.setRenderHint(QPainter::Antialiasing, smooth);
        p.setCompositionMode(QPainter::CompositionMode_Multiply);
        QPainterPath path(s.points[0]);
        for (size_t i = 1; i < s.points.size(); ++i)
            path.lineTo(s.points[i]);
        if (s.points.size() == 1)
            path.lineTo(s.points[0] + QPointF(0.01, 0));
        QPainterPathStroker stroker(QPen(Qt::black, DrawnShape::highlightWidth(s.width), Qt::SolidLine,
                                         Qt::SquareCap, Qt::RoundJoin));
        p.fillPath(stroker.createStroke(path).simplified(), s.colour);
        break;
    }
    case DrawnShape::Select:
        break;
    case DrawnShape::Stamp:
        if (!s.points.empty() && !s.stamp.isNull())
            p.drawImage(s.points[0], s.stamp);
        break;
    }
    p.restore();
}

void Drawing::paint(QPainter& p, const QTransform& toDevice) const
{
    for (const DrawnShape& s : m_state.shapes)
        paintShape(p, s, toDevice);
}

bool Drawing::mergeInto(Picture& picture)
{
    if (!picture.hasPicture() || isEmpty())
        return false;
    const int code = picture.depthCode();
    const int dpiX = picture.dpiX(), dpiY = picture.dpiY();
    const bool palette = code == 1 || code == 4 || code == 40 || code == 8 || code == 80;
    QImage work = picture.image().convertToFormat(code == 32 ? QImage::Format_ARGB32
                                                             : QImage::Format_RGB32);
    if (work.isNull())
        return false;
    {
        QPainter p(&work);
        // Smoothing on a palette picture would add colours it cannot hold.
        p.setRenderHint(QPainter::Antialiasing, !palette);
        p.setRenderHint(QPainter::TextAntialiasing, !palette);
        for (const DrawnShape& s : m_state.shapes)
            paintShape(p, s, {}, !palette);
    }
    Picture merged;
    merged.setImage(work, code == 32 ? 32 : 24);
    if (palette) {
        // As few bits as before when the drawing still fits them exactly,
        // else more: what the user drew must keep its colours.
        const int bits = code == 40 ? 4 : code == 80 ? 8 : code;
        const int colours = countColours(work, 257);
        bool kept = false;
        for (int b : {1, 4, 8}) {
            if (b < bits || colours > (1 << b))
                continue;
            Picture candidate = merged;
            if (candidate.convertDepth(b, false) &&
                candidate.image().convertToFormat(QImage::Format_RGB32) == work) {
                merged = std::move(candidate);
                kept = true;
                break;
            }
        }
        if (!kept && merged.depthCode() != 24)
            merged.convertDepth(24, false);
    }
    if (dpiX > 0 && dpiY > 0)
        merged.setResolution(dpiX, dpiY);
    picture = std::move(merged);
    clear();
    return true;
}

QImage Drawing::stampFromFile(const QString& path, QRgb transparent)
{
    QImage img(path);
    if (img.isNull())
        return {};
    img = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0xffffff) == (transparent & 0xffffff))
                line[x] = 0;
    }
    return img;
}

} // namespace varnel
