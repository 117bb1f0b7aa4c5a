#pragma once
#include <QAbstractScrollArea>
#include <QPixmap>
#include <QTransform>
#include <array>
#include <functional>
#include <optional>

#include "engine/Picture.h"

namespace varnel {

// The picture surface: holds a Picture and shows it scaled to the surface
// (mode 1), at a zoom factor (mode 3) or not at all (mode 0), with the
// selection rectangle the user drags over it.
class DrawingOverlay;

class PictureSurface : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PictureSurface(QWidget* parent = nullptr);

    // Shapes still on the drawing overlay become pixels first: whoever
    // reads or changes the picture gets what the user sees.
    Picture& picture();
    const Picture& picture() const { return m_picture; }
    // The picture as kept, drawn shapes not merged (the document works on it).
    Picture& storedPicture() { return m_picture; }
    bool hasPicture() const { return m_picture.hasPicture(); }

    // Lays out and paints the picture in a display mode; false without a picture.
    bool showPicture(int displayMode);
    int displayMode() const { return m_mode; }
    void setZoom(double factor);
    double zoom() const { return m_zoom; }
    // Scale actually used on screen in the current mode.
    double displayScale() const;

    // Selection in picture pixels; all zero for none.
    QRect selectionEdges() const { return m_sel; } // x=left, y=top, width=right, height=bottom as stored
    int selLeft() const { return m_sel.x(); }
    int selTop() const { return m_sel.y(); }
    int selRight() const { return m_sel.width(); }
    int selBottom() const { return m_sel.height(); }
    void setSelection(int left, int top, int right, int bottom);
    void clearSelection() { setSelection(0, 0, 0, 0); }
    // The range a command works on: the selection, else (drawnBoxCounts)
    // a box just drawn on the overlay, which is used up and so never
    // becomes pixels; none without a picture. Left, right, top, bottom.
    std::optional<std::array<int, 4>> takeRange(bool drawnBoxCounts);

    bool overlayVisible() const;
    void setOverlayVisible(bool on);

    // --- drawing overlay ---
    DrawingOverlay* overlay() const { return m_overlay; }
    // Paints the overlay's shapes into the picture; false when there were none.
    bool mergeDrawing();
    // Runs just before shapes become pixels (to keep the picture for undo).
    void setBeforeMerge(std::function<void()> f) { m_beforeMerge = std::move(f); }
    // Picture pixels to viewport coordinates in the current display.
    QTransform pictureToViewport() const;

    void setBusy(bool on);

    // Picture pixel under a viewport point.
    QPoint toPicture(const QPoint& viewportPos) const;

    // While a range is dragged: its size in pixels as shown beside the
    // pointer ("640 x 480"); empty otherwise.
    QString dragSizeText() const;

signals:
    // Shapes of the overlay became pixels (the depth may have changed).
    void drawingMerged();
    // Ctrl + wheel: +1 a step larger, -1 smaller.
    void zoomStepRequested(int step);
    void rightClicked(const QPoint& globalPos);
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent*) override;

private:
    void updateScrollBars();
    QRect pictureRectOnViewport() const;

    // The picture as last drawn scaled down, so that repaints do not scale
    // (and convert) a full-size screenshot again.
    QPixmap m_scaled;
    qint64 m_scaledKey = 0;

    Picture m_picture;
    int m_mode = 1;
    double m_zoom = 1.0;
    QRect m_sel{0, 0, 0, 0};
    bool m_dragging = false;
    QPoint m_dragStart;
    QPoint m_dragPointer; // viewport position of the pointer while dragging
    DrawingOverlay* m_overlay = nullptr;
    std::function<void()> m_beforeMerge;
    bool m_merging = false;
    int m_wheelAngle = 0;
};

} // namespace varnel
