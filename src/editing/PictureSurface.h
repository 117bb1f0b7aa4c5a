#pragma once
#include <QAbstractScrollArea>
#include <QPixmap>

#include "engine/Picture.h"

namespace varnel {

// The picture surface: holds a Picture and shows it scaled to the surface
// (mode 1), at a zoom factor (mode 3) or not at all (mode 0), with the
// selection rectangle the user drags over it.
class PictureSurface : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PictureSurface(QWidget* parent = nullptr);

    Picture& picture() { return m_picture; }
    const Picture& picture() const { return m_picture; }
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

    bool overlayVisible() const { return m_overlayVisible; }
    void setOverlayVisible(bool on) { m_overlayVisible = on; viewport()->update(); }

    void setBusy(bool on);

    // Picture pixel under a viewport point.
    QPoint toPicture(const QPoint& viewportPos) const;

    // While a range is dragged: its size in pixels as shown beside the
    // pointer ("640 x 480"); empty otherwise.
    QString dragSizeText() const;

signals:
    void rightClicked(const QPoint& globalPos);
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void scrollContentsBy(int dx, int dy) override;

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
    bool m_overlayVisible = false;
    QPoint m_dragPointer; // viewport position of the pointer while dragging
};

} // namespace varnel
