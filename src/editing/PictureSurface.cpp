#include "PictureSurface.h"

#include "DrawingOverlay.h"
#include "engine/PictureOps.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace varnel {

PictureSurface::PictureSurface(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::StyledPanel);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::CrossCursor);
    m_overlay = new DrawingOverlay(this);
}

bool PictureSurface::showPicture(int displayMode)
{
    m_mode = displayMode;
    updateScrollBars();
    viewport()->update();
    return m_picture.hasPicture();
}

void PictureSurface::setZoom(double factor)
{
    m_zoom = factor > 0 ? factor : 1.0;
    updateScrollBars();
    viewport()->update();
}

double PictureSurface::displayScale() const
{
    if (!m_picture.hasPicture())
        return 1.0;
    if (m_mode == 1) {
        // Fit inside the surface; small pictures stay at their own size.
        const QSize vp = viewport()->size();
        const double sx = double(vp.width()) / m_picture.width();
        const double sy = double(vp.height()) / m_picture.height();
        return std::min(1.0 / devicePixelRatioF(), std::min(sx, sy));
    }
    // Zoom counts screen pixels: at 100 % one picture pixel is one device
    // pixel, also on a screen scaled to 200 %.
    return m_zoom / devicePixelRatioF();
}

QRect PictureSurface::pictureRectOnViewport() const
{
    if (!m_picture.hasPicture() || m_mode == 0)
        return {};
    const double s = displayScale();
    const int w = std::max(1, int(m_picture.width() * s + 0.5));
    const int h = std::max(1, int(m_picture.height() * s + 0.5));
    if (m_mode == 1)
        return QRect(0, 0, w, h);
    return QRect(-horizontalScrollBar()->value(), -verticalScrollBar()->value(), w, h);
}

void PictureSurface::updateScrollBars()
{
    if (m_mode != 3 || !m_picture.hasPicture()) {
        horizontalScrollBar()->setRange(0, 0);
        verticalScrollBar()->setRange(0, 0);
        return;
    }
    const QSize vp = viewport()->size();
    const double scale = displayScale();
    const int w = int(m_picture.width() * scale + 0.5);
    const int h = int(m_picture.height() * scale + 0.5);
    horizontalScrollBar()->setRange(0, std::max(0, w - vp.width()));
    verticalScrollBar()->setRange(0, std::max(0, h - vp.height()));
    horizontalScrollBar()->setPageStep(vp.width());
    verticalScrollBar()->setPageStep(vp.height());
    // A wheel notch moves a tenth of the view (the wheel takes three single
    // steps per notch).
    horizontalScrollBar()->setSingleStep(std::max(1, vp.width() / 30));
    verticalScrollBar()->setSingleStep(std::max(1, vp.height() / 30));
}

void PictureSurface::setSelection(int left, int top, int right, int bottom)
{
    m_sel = QRect(left, top, right, bottom);
    viewport()->update();
    emit selectionChanged();
}

void PictureSurface::setBusy(bool on)
{
    if (on)
        viewport()->setCursor(Qt::BusyCursor);
    else
        viewport()->setCursor(Qt::CrossCursor);
}

QPoint PictureSurface::toPicture(const QPoint& pos) const
{
    const QRect r = pictureRectOnViewport();
    if (r.isEmpty())
        return {};
    const double s = displayScale();
    if (s <= 0)
        return {};
    int x = int((pos.x() - r.x()) / s);
    int y = int((pos.y() - r.y()) / s);
    x = std::clamp(x, 0, m_picture.width());
    y = std::clamp(y, 0, m_picture.height());
    return {x, y};
}

void PictureSurface::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    const QRect r = pictureRectOnViewport();
    if (r.isEmpty())
        return;
    const QImage& img = m_picture.image();
    if (r.size() == img.size()) {
        p.drawImage(r.topLeft(), img);
    } else if (m_mode == 1) {
        // Scaled for the device pixels, so that a high-density screen is sharp.
        const qreal dpr = devicePixelRatioF();
        const QSize device = (QSizeF(r.size()) * dpr).toSize();
        if (m_scaledKey != img.cacheKey() || m_scaled.size() != device) {
            // Palette and 16-bit pictures are scaled in true colour, so the
            // view shows blended colours instead of a dithered pattern. Qt
            // would copy and premultiply a 32-bit picture whole before
            // scaling it; the engine's scaler reads it as it is.
            QImage scaled;
            if (img.format() == QImage::Format_ARGB32)
                scaled = PictureOps::scaleSmooth(img, device.width(), device.height());
            if (scaled.isNull()) {
                const QImage src = img.format() == QImage::Format_RGB32 ? img : img.convertToFormat(QImage::Format_RGB32);
                scaled = src.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            }
            m_scaled = QPixmap::fromImage(scaled, Qt::ColorOnly | Qt::NoFormatConversion);
            m_scaled.setDevicePixelRatio(dpr);
            m_scaledKey = img.cacheKey();
        }
        p.drawPixmap(r.topLeft(), m_scaled);
    } else {
        // Zoomed: draw only what the viewport shows.
        const double s = displayScale();
        const QRect visible = viewport()->rect().intersected(r);
        const QRectF src((visible.x() - r.x()) / s, (visible.y() - r.y()) / s, visible.width() / s,
                         visible.height() / s);
        p.setRenderHint(QPainter::SmoothPixmapTransform, s * devicePixelRatioF() < 1.0);
        p.drawImage(QRectF(visible), img, src);
    }
    if (m_sel != QRect(0, 0, 0, 0)) {
        const double s = displayScale();
        QRectF sr(r.x() + m_sel.x() * s, r.y() + m_sel.y() * s, (m_sel.width() - m_sel.x()) * s,
                  (m_sel.height() - m_sel.y()) * s);
        p.setPen(QPen(Qt::white, 1));
        p.drawRect(sr);
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.drawRect(sr);
    }
    const QString size = dragSizeText();
    if (!size.isEmpty()) {
        // Beside the pointer, kept inside the view.
        const QFontMetrics fm(font());
        QRect box = fm.boundingRect(size).adjusted(-4, -2, 4, 2);
        box.moveTopLeft(m_dragPointer + QPoint(14, 14));
        if (box.right() > viewport()->width())
            box.moveRight(m_dragPointer.x() - 6);
        if (box.bottom() > viewport()->height())
            box.moveBottom(m_dragPointer.y() - 6);
        p.fillRect(box, QColor(255, 255, 225));
        p.setPen(Qt::black);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.drawText(box, Qt::AlignCenter, size);
    }
}

QString PictureSurface::dragSizeText() const
{
    if (!m_dragging || m_sel == QRect(0, 0, 0, 0))
        return {};
    // Right and bottom are not part of the range: the size a trimming to
    // this range gives.
    const QRect r = QRect(m_sel.x(), m_sel.y(), m_sel.width() - m_sel.x(), m_sel.height() - m_sel.y())
                        .normalized()
                        .intersected(QRect(QPoint(0, 0), m_picture.image().size()));
    return QStringLiteral("%1 x %2").arg(r.width()).arg(r.height());
}

void PictureSurface::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
}

void PictureSurface::scrollContentsBy(int, int)
{
    viewport()->update();
}

void PictureSurface::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton) {
        emit rightClicked(e->globalPosition().toPoint());
        return;
    }
    if (e->button() == Qt::LeftButton && m_picture.hasPicture()) {
        m_dragging = true;
        m_dragPointer = e->position().toPoint();
        m_dragStart = toPicture(e->position().toPoint());
        setSelection(0, 0, 0, 0);
    }
}

void PictureSurface::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_dragging)
        return;
    m_dragPointer = e->position().toPoint();
    const QPoint p = toPicture(e->position().toPoint());
    const QRect r = QRect(m_dragStart, p).normalized();
    setSelection(r.left(), r.top(), r.left() + std::abs(p.x() - m_dragStart.x()),
                 r.top() + std::abs(p.y() - m_dragStart.y()));
}

void PictureSurface::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        viewport()->update(); // the size label goes
    }
}

// --- drawing overlay ---

Picture& PictureSurface::picture()
{
    if (!m_merging && m_overlay->hasShapes())
        mergeDrawing();
    return m_picture;
}

bool PictureSurface::mergeDrawing()
{
    if (m_merging)
        return false;
    m_overlay->commitText();
    if (m_overlay->drawing().isEmpty() || !m_picture.hasPicture())
        return false;
    m_merging = true;
    if (m_beforeMerge)
        m_beforeMerge();
    const bool ok = m_overlay->drawing().mergeInto(m_picture);
    m_merging = false;
    m_overlay->update();
    viewport()->update();
    if (ok)
        emit drawingMerged();
    return ok;
}

bool PictureSurface::overlayVisible() const
{
    return m_overlay->isVisibleTo(viewport());
}

void PictureSurface::setOverlayVisible(bool on)
{
    m_overlay->setGeometry(viewport()->rect());
    m_overlay->setVisible(on);
    viewport()->update();
}

QTransform PictureSurface::pictureToViewport() const
{
    const QRect r = pictureRectOnViewport();
    const double s = displayScale();
    return QTransform(s, 0, 0, s, r.x(), r.y());
}

void PictureSurface::wheelEvent(QWheelEvent* e)
{
    if (!(e->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(e);
        return;
    }
    // One step per notch; fine-grained wheels add up to a notch first.
    m_wheelAngle += e->angleDelta().y();
    while (std::abs(m_wheelAngle) >= 120) {
        const int step = m_wheelAngle > 0 ? 1 : -1;
        m_wheelAngle -= step * 120;
        emit zoomStepRequested(step);
    }
    e->accept();
}

std::optional<std::array<int, 4>> PictureSurface::takeRange(bool drawnBoxCounts)
{
    if (!hasPicture())
        return std::nullopt;
    if (selLeft() > 0 || selRight() > 0 || selTop() > 0 || selBottom() > 0)
        return std::array{selLeft(), selRight(), selTop(), selBottom()};
    if (!drawnBoxCounts)
        return std::nullopt;
    const QPolygon box = m_overlay->drawing().currentRectangle();
    if (box.size() != 4)
        return std::nullopt;
    m_overlay->drawing().removeAt(m_overlay->drawing().current());
    m_overlay->update();
    return std::array{box[0].x(), box[2].x(), box[0].y(), box[2].y()};
}

} // namespace varnel
