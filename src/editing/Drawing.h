#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QPolygon>
#include <QString>
#include <QTransform>
#include <vector>

class QPainter;

namespace varnel {

class Picture;

// One shape drawn over the picture, in picture pixels. It stays an object
// (movable, removable, not yet pixels) until the drawing is merged.
struct DrawnShape {
    enum Kind { Rectangle, Ellipse, Arrow, Pen, Text, Stamp };
    Kind kind = Rectangle;
    // Rectangle, Ellipse: two opposite corners. Arrow: tail, head.
    // Pen: every point of the stroke. Text, Stamp: the top-left corner.
    std::vector<QPointF> points;
    QColor colour = Qt::red;
    int width = 2;
    bool filled = false; // rectangles and ellipses
    QString text;
    QFont font;
    QImage stamp;

    // The area the shape paints on, pen and arrow head included.
    QRectF bounds() const;
};

// The shapes drawn on the overlay, oldest first, and the one rule that
// turns them into pixels: what the overlay shows is what merging paints.
class Drawing {
public:
    bool isEmpty() const { return m_shapes.empty(); }
    int count() const { return int(m_shapes.size()); }
    const std::vector<DrawnShape>& shapes() const { return m_shapes; }
    const DrawnShape& shape(int i) const { return m_shapes[size_t(i)]; }
    DrawnShape& shape(int i) { return m_shapes[size_t(i)]; }

    void add(DrawnShape shape);
    void clear() { m_shapes.clear(); }
    // The shape last drawn, or -1.
    int current() const { return count() - 1; }
    void removeAt(int i);

    // The current shape as a range when it is a rectangle: its four corners
    // clockwise from top-left, in whole picture pixels. Empty otherwise.
    QPolygon currentRectangle() const;

    // Paints every shape; toDevice maps picture pixels to the painter.
    void paint(QPainter& p, const QTransform& toDevice = {}) const;
    // smooth: antialiased edges (off for palette pictures).
    static void paintShape(QPainter& p, const DrawnShape& s, const QTransform& toDevice = {},
                           bool smooth = true);

    // Paints the shapes into the picture's pixels and forgets them, keeping
    // the resolution. A true-colour picture keeps its depth. A palette
    // picture is drawn on without smoothing and keeps its bits when the
    // result fits them exactly; otherwise it takes the next depth that does
    // (4, 8, then 24 bit), so no drawn colour changes. False, with the shapes
    // kept, when there is no picture or nothing to merge.
    bool mergeInto(Picture& picture);

    // A stamp picture as it is placed: white is see-through.
    static QImage stampFromFile(const QString& path, QRgb transparent = qRgb(255, 255, 255));

private:
    std::vector<DrawnShape> m_shapes;
};

} // namespace varnel
