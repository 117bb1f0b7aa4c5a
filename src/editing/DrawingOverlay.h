#pragma once
#include <QPointer>
#include <QWidget>
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
    void setColour(const QColor& c) { m_colour = c; }
    QColor colour() const { return m_colour; }
    void setLineWidth(int w) { m_width = std::max(1, w); }
    int lineWidth() const { return m_width; }
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

signals:
    void shapeAdded();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QPointF toPicture(const QPointF& viewportPos) const;
    void startText(const QPointF& at);
    void add(DrawnShape s);

    PictureSurface* m_surface;
    Drawing m_drawing;
    std::optional<DrawnShape> m_live;
    QPointer<QLineEdit> m_editor;
    QPointF m_textAt;
    bool m_input = false;
    DrawnShape::Kind m_tool = DrawnShape::Rectangle;
    QColor m_colour = Qt::red;
    int m_width = 3;
    int m_clickSize = 50;
    bool m_filled = false;
    QImage m_stamp;
};

} // namespace varnel
