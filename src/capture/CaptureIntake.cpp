#include "CaptureIntake.h"

#include <QPainter>

#include "editing/engine/BmpCodec.h"
#include "editing/engine/FastPngDecoder.h"

namespace varnel {

QPoint CaptureIntake::stampPosition(const QSize& picture, const QSize& screen,
                                    const QPoint& pointerTopLeft,
                                    const std::optional<QPoint>& activeWindowOrigin)
{
    const bool fullScreen = picture.width() >= screen.width() && picture.height() >= screen.height();
    if (fullScreen || !activeWindowOrigin)
        return pointerTopLeft;
    return pointerTopLeft - *activeWindowOrigin;
}

void CaptureIntake::drawStamp(QImage& picture, const QImage& pointer, const QPoint& pos)
{
    if (pointer.isNull() || picture.isNull())
        return;
    if (!QRect(pos, pointer.size()).intersects(picture.rect()))
        return;
    // Paint in place: a whole-picture conversion would cost more than the
    // rest of the capture. Only palette pictures need a true-colour copy.
    const QImage::Format f = picture.format();
    if (f == QImage::Format_Indexed8 || f == QImage::Format_Mono || f == QImage::Format_MonoLSB)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    QPainter p(&picture);
    p.drawImage(pos, pointer);
}

QImage CaptureIntake::decode(const QByteArray& bytes, const QString& mime)
{
    QImage img;
    if (mime.compare(QLatin1String("image/png"), Qt::CaseInsensitive) == 0) {
        FastPngDecoder::decode(bytes, img);
    } else if (mime.contains(QLatin1String("bmp"), Qt::CaseInsensitive)
               || mime.compare(QLatin1String("image/x-win-bitmap"), Qt::CaseInsensitive) == 0) {
        int bits = 0;
        if (!BmpCodec::decode(bytes, &img, &bits))
            img = QImage();
    }
    return img;
}

bool CaptureIntake::grab(Clipboard& clipboard, Pointer& pointer, const PointerImage& stamp,
                         Picture& out, quint64 unlessKey)
{
    bool same = false;
    QImage img = unlessKey ? clipboard.takePictureUnless(unlessKey, &same) : clipboard.takePicture();
    if (img.isNull())
        return false;
    if (stamp.isValid()) {
        const QPoint pos = stampPosition(img.size(), pointer.screenSize(), stamp.topLeft,
                                         pointer.activeWindowOrigin());
        drawStamp(img, stamp.image, pos);
    }
    out = clipboardPicture(std::move(img));
    return out.hasPicture();
}

Picture CaptureIntake::clipboardPicture(QImage image)
{
    const int dpm = qRound(96 / 0.0254);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    Picture picture;
    picture.setImage(image);
    image = QImage(); // the picture holds the only copy
    picture.setResolution(96, 96);
    return picture;
}

} // namespace varnel
