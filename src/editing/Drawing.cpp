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
    f.setPixelSize(std::max(8, s.width * 4 + 8));
    return f;
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
    switch (kind) {
    case Rectangle:
    case Ellipse:
        r = cornerRect(*this);
        break;
    case Arrow:
    case Pen:
        for (const QPointF& p : points)
            r = r.united(QRectF(p, QSizeF(0.01, 0.01)));
        if (kind == Arrow && points.size() >= 2)
            r = r.united(arrowHead(points[0], points[1], width).boundingRect());
        break;
    case Text:
        if (!points.empty())
            r = QRectF(points[0], QFontMetricsF(textFont(*this)).size(0, text));
        break;
    case Stamp:
        if (!points.empty())
            r = QRectF(points[0], QSizeF(stamp.size()));
        break;
    }
    const double m = width / 2.0 + 1;
    return r.adjusted(-m, -m, m, m);
}

void Drawing::add(DrawnShape shape)
{
    m_shapes.push_back(std::move(shape));
}

void Drawing::removeAt(int i)
{
    if (i >= 0 && i < count())
        m_shapes.erase(m_shapes.begin() + i);
}

QPolygon Drawing::currentRectangle() const
{
    if (isEmpty() || m_shapes.back().kind != DrawnShape::Rectangle)
        return {};
    const QRect r = cornerRect(m_shapes.back()).toRect();
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
        p.drawText(QRectF(s.points[0], fm.size(0, s.text)), Qt::AlignLeft | Qt::AlignTop, s.text);
        break;
    }
    case DrawnShape::Stamp:
        if (!s.points.empty() && !s.stamp.isNull())
            p.drawImage(s.points[0], s.stamp);
        break;
    }
    p.restore();
}

void Drawing::paint(QPainter& p, const QTransform& toDevice) const
{
    for (const DrawnShape& s : m_shapes)
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
        for (const DrawnShape& s : m_shapes)
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
