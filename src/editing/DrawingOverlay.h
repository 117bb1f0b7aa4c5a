#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "Drawing.h"

class QLineEdit;

namespace varnel {

class PictureSurface;

// The layer over the picture that takes drawing input and shows the shapes
// not yet merged. It lies over the surface's viewport; while drawing input
// is off every mouse event passes through to the range selection below.
class DrawingOverlay : public QWidget {
    Q_OBJECT
public:
    explicit DrawingOverlay(PictureSurface* surface);

    Drawing& drawing() { return m_drawing; }
    const Drawing& drawing() const { return m_drawing; }
    // Shapes waiting to become pixels, text being typed included.
    bool hasShapes() const;

    void setInputEnabled(bool on);
    bool inputEnabled() const { return m_input; }

    void setTool(DrawnShape::Kind tool);
    DrawnShape::Kind tool() const { return m_tool; }
    // With a shape selected, the colour and width (and a text's size, bold
    // and background) restyle it as one step.
    void setColour(const QColor& c);
    QColor colour() const { return m_colour; }
    void setLineWidth(int w);
    int lineWidth() const { return m_width; }
    void setTextSize(int pixels);
    int textSize() const { return m_textSize; }
    void setTextBold(bool on);
    void setTextBack(DrawnShape::TextBack back);
    void setClickSize(int size) { m_clickSize = std::max(1, size); }
    void setFilled(bool on) { m_filled = on; }
    // The picture a stamp click places (already with its see-through colour).
    void setStamp(const QImage& stamp) { m_stamp = stamp; }
    const QImage& stamp() const { return m_stamp; }

    // The inline text editor while a text is typed; null otherwise.
    QLineEdit* textEditor() const;
    // Ends typing: a non-empty text becomes a shape.
    void commitText();
    // Drops every shape, text being typed included.
    void discard();

    // The shape the select tool picked up, or -1.
    int selected() const;
    void select(int index);
    // Steps of the shapes; each also emits changed().
    bool undo();
    bool redo();
    // Numbers the markers again from the lowest (one step).
    void renumberSteps();
    void setNextNumber(int n);

signals:
    // Shapes were added, changed or taken back.
    void changed();
    void nextNumberChanged(int next);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QPointF toPicture(const QPointF& viewportPos) const;
    void startText(const QPointF& at, const QString& text = {});
    void add(DrawnShape s);
    void stepDone();
    // Applies f to the selected shape as one step when it changes it.
    void restyle(const std::function<bool(DrawnShape&)>& f);
    int handleAt(const QPointF& viewportPos) const;
    void pressSelect(const QPointF& viewportPos);

    PictureSurface* m_surface;
    Drawing m_drawing;
    std::optional<DrawnShape> m_live;
    QPointer<QLineEdit> m_editor;
    QPointF m_textAt;
    bool m_input = false;
    DrawnShape::Kind m_tool = DrawnShape::Rectangle;
    QColor m_colour = Qt::red;
    int m_width = 3;
    int m_textSize = DrawnShape::kTextSizes[1];
    bool m_bold = false;
    DrawnShape::TextBack m_back = DrawnShape::Plain;
    int m_selected = -1;
    int m_reedit = -1; // the text shape being typed again
    // A drag of the select tool: the whole shape (handle -1) or one handle.
    struct Drag {
        int handle = -1;
        QPointF from;
        Drawing::State before;
        DrawnShape original;
    };
    std::optional<Drag> m_drag;
    int m_clickSize = 50;
    bool m_filled = false;
    QImage m_stamp;
};

} // namespace varnel
