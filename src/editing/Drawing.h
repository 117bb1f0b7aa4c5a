#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QPolygon>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <vector>

class QPainter;

namespace varnel {

class Picture;

// One shape drawn over the picture, in picture pixels. It stays an object
// (movable, removable, not yet pixels) until the drawing is merged.
struct DrawnShape {
    // Select is the tool that picks shapes up; no shape is of that kind.
    enum Kind { Rectangle, Ellipse, Arrow, Pen, Text, Stamp, Select, Step, Redact, Highlight };
    static constexpr int kKinds = 10;
    // Behind a text: nothing, a white box, a box of the inverse colour, or
    // an outline of that inverse around each letter.
    enum TextBack { Plain, WhiteBox, InverseBox, Outline };
    Kind kind = Rectangle;
    // Rectangle, Ellipse, Redact: two opposite corners. Arrow: tail, head.
    // Pen, Highlight: every point of the stroke. Text, Stamp: the top-left
    // corner. Step: the centre.
    std::vector<QPointF> points;
    QColor colour = Qt::red;
    int width = 2;       // the tool bar's line width
    bool filled = false; // rectangles and ellipses
    QString text;
    QFont font;
    int textSize = 0; // letter height in picture pixels; 0: from the width
    bool bold = false;
    TextBack back = Plain;
    int number = 0; // Step
    QImage stamp;

    // The area the shape paints on, pen and arrow head included.
    QRectF bounds() const;
    void translate(const QPointF& by);
    // Points a user can drag to reshape: a box's four corners (clockwise
    // from top-left), an arrow's two ends; none for the rest.
    std::vector<QPointF> handles() const;
    void moveHandle(int handle, const QPointF& to);
    // Shapes whose colour and width the tool bar can change.
    bool hasLineWidth() const { return kind != Text && kind != Stamp && kind != Redact; }

    static int stepDiameter(int width) { return 12 + 4 * std::max(1, width); }
    static int highlightWidth(int width) { return 4 + 4 * std::max(1, width); }
    // Letter heights the tool bar offers as small, medium and large.
    static constexpr int kTextSizes[3] = {14, 20, 32};
    int letterHeight() const { return textSize > 0 ? textSize : std::max(8, width * 4 + 8); }
};

// The shapes drawn on the overlay, oldest first, and the one rule that
// turns them into pixels: what the overlay shows is what merging paints.
//
// Every change is one step the user can take back: add, remove, move,
// reshape, restyle, a text typed again, renumbering. A step keeps the whole
// list before and after; shapes are few and their pictures shared.
class Drawing {
public:
    // What a step brings back: the shapes and the next step number.
    struct State {
        std::vector<DrawnShape> shapes;
        int nextNumber = 1;
    };

    bool isEmpty() const { return m_state.shapes.empty(); }
    int count() const { return int(m_state.shapes.size()); }
    const std::vector<DrawnShape>& shapes() const { return m_state.shapes; }
    const DrawnShape& shape(int i) const { return m_state.shapes[size_t(i)]; }
    // Changes made through this are no step until record() is called.
    DrawnShape& shape(int i) { return m_state.shapes[size_t(i)]; }
    const State& state() const { return m_state; }

    // Each of these is one step.
    void add(DrawnShape shape);
    void removeAt(int i);
    // Places a step marker with the next number, which then counts on.
    void addStep(const QPointF& centre, const QColor& colour, int width);
    // Numbers the markers again from the lowest one present, in the order
    // of their numbers, and counts on from there. False when nothing changed.
    bool renumber();

    // Makes the changes since `before` (made through shape()) one step.
    void record(State before);

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    bool undo();
    bool redo();
    // Drops the steps, keeping the shapes.
    void forgetSteps();
    // Drops shapes and steps; the step numbers count on.
    void clear();

    // The number the next marker gets. Not a step: it carries over from one
    // picture to the next and is reset only by the user.
    int nextNumber() const { return m_state.nextNumber; }
    void setNextNumber(int n) { m_state.nextNumber = std::max(1, n); }

    // The top-most shape whose painted area lies within `slack` of at, or -1.
    int hitTest(const QPointF& at, double slack) const;
    // The shape last drawn, or -1.
    int current() const { return count() - 1; }

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
    static constexpr size_t kMaxSteps = 500;
    void push(State before);

    State m_state;
    std::vector<std::pair<State, State>> m_undo; // before, after
    std::vector<std::pair<State, State>> m_redo;
};

} // namespace varnel
