#include "Picture.h"

#include <QImageReader>
#include <QImageWriter>
#include <QTransform>

// First cut of the engine on Qt's own conversions; the full engine replaces it.

namespace varnel {

namespace {
constexpr double kInchPerMetre = 39.37007874015748;

int bppOf(const QImage& img)
{
    switch (img.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return 1;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
        return 8;
    case QImage::Format_RGB555:
    case QImage::Format_RGB16:
        return 16;
    case QImage::Format_RGB888:
    case QImage::Format_RGB32:
        return 24;
    default:
        return img.hasAlphaChannel() ? 32 : 24;
    }
}
} // namespace

Picture::Picture(const QImage& image)
{
    setImage(image);
}

void Picture::clear()
{
    m_image = QImage();
    m_bpp = 0;
}

void Picture::setImage(const QImage& image, int bitsPerPixel)
{
    m_image = image;
    m_bpp = image.isNull() ? 0 : (bitsPerPixel ? bitsPerPixel : bppOf(image));
    if (m_bpp == 24 && m_image.format() != QImage::Format_RGB888)
        m_image = m_image.convertToFormat(QImage::Format_RGB888);
}

bool Picture::isGreyscale() const
{
    return m_image.isGrayscale();
}

int Picture::depthCode() const
{
    if ((m_bpp == 4 || m_bpp == 8) && isGreyscale())
        return m_bpp * 10;
    return m_bpp;
}

int Picture::dpiX() const
{
    return qRound(m_image.dotsPerMeterX() / kInchPerMetre);
}

int Picture::dpiY() const
{
    return qRound(m_image.dotsPerMeterY() / kInchPerMetre);
}

void Picture::setResolution(int x, int y)
{
    m_image.setDotsPerMeterX(qRound(x * kInchPerMetre));
    m_image.setDotsPerMeterY(qRound(y * kInchPerMetre));
}

bool Picture::convertDepth(int code, bool dither)
{
    if (!hasPicture())
        return false;
    const Qt::ImageConversionFlags f = dither ? Qt::DiffuseDither : Qt::ThresholdDither;
    QImage out;
    int bpp = 0;
    switch (code) {
    case 1: out = m_image.convertToFormat(QImage::Format_Mono, f); bpp = 1; break;
    case 4: case 8: out = m_image.convertToFormat(QImage::Format_Indexed8, f); bpp = code; break;
    case 40: case 80: out = m_image.convertToFormat(QImage::Format_Grayscale8); bpp = code / 10; break;
    case 16: out = m_image.convertToFormat(QImage::Format_RGB555); bpp = 16; break;
    case 24: out = m_image.convertToFormat(QImage::Format_RGB888); bpp = 24; break;
    case 32: out = m_image.convertToFormat(QImage::Format_ARGB32); bpp = 32; break;
    default: return false;
    }
    if (out.isNull())
        return false;
    m_image = out;
    m_bpp = bpp;
    return true;
}

bool Picture::crop(int left, int top, int right, int bottom)
{
    QRect r = QRect(QPoint(left, top), QPoint(right, bottom)).intersected(m_image.rect());
    if (!hasPicture() || r.isEmpty())
        return false;
    m_image = m_image.copy(r);
    return true;
}

bool Picture::resize(int w, int h, bool smooth)
{
    if (!hasPicture() || w <= 0 || h <= 0)
        return false;
    m_image = m_image.scaled(w, h, Qt::IgnoreAspectRatio,
                             smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
    return true;
}

bool Picture::rotate(int hundredths, bool mirror, bool flip, bool, QRgb)
{
    if (!hasPicture())
        return false;
    QImage img = m_image.mirrored(mirror, flip);
    if (hundredths % 36000 != 0)
        img = img.transformed(QTransform().rotate(-hundredths / 100.0));
    m_image = img;
    return true;
}

void Picture::setRegion(RegionSide side, RegionShape shape, const QPolygon& polygon)
{
    m_side = side;
    m_shape = shape;
    m_polygon = polygon;
}

bool Picture::brighten(int, int, int) { return false; }
bool Picture::adjustStrength(int) { return false; }
bool Picture::marker(int, int, int) { return false; }
bool Picture::mosaic(int, int) { return false; }
bool Picture::pasteFrom(const Picture&, int, int, int, int, const QPoint&) { return false; }

bool Picture::load(const QString& path)
{
    QImageReader r(path);
    QImage img;
    if (!r.read(&img))
        return false;
    setImage(img);
    return true;
}

bool Picture::save(const QString& path, ImageFormat format, int quality) const
{
    if (!hasPicture())
        return false;
    const char* fmt = nullptr;
    switch (format) {
    case ImageFormat::Bmp: fmt = "bmp"; break;
    case ImageFormat::Jpeg: fmt = "jpg"; break;
    case ImageFormat::Png: fmt = "png"; break;
    default: return false;
    }
    QImageWriter w(path, fmt);
    if (format == ImageFormat::Jpeg)
        w.setQuality(quality);
    return w.write(m_image);
}

} // namespace varnel
