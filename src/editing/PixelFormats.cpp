#include "PixelFormats.h"

#include <cstring>

namespace varnel {

QImage::Format engineFormat(int bpp)
{
    switch (bpp) {
    case 1: return QImage::Format_Mono;
    case 4:
    case 8: return QImage::Format_Indexed8;
    case 16: return QImage::Format_RGB555;
    case 24: return QImage::Format_RGB888;
    case 32: return QImage::Format_ARGB32;
    default: return QImage::Format_Invalid;
    }
}

int bitsPerPixelOf(const QImage& img)
{
    switch (img.format()) {
    case QImage::Format_Invalid: return 0;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: return 1;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8: return 8;
    case QImage::Format_RGB555:
    case QImage::Format_RGB16:
    case QImage::Format_RGB444: return 16;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_RGB32:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGB666:
    case QImage::Format_RGB30:
    case QImage::Format_BGR30:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBX16FPx4:
    case QImage::Format_RGBX32FPx4:
    case QImage::Format_Grayscale16: return 24;
    default: return img.hasAlphaChannel() ? 32 : 24;
    }
}

QImage toEngineFormat(const QImage& img, int bpp)
{
    const QImage::Format want = engineFormat(bpp);
    if (img.isNull() || want == QImage::Format_Invalid)
        return {};
    if (bpp == 4 || bpp == 8) {
        if (img.format() == QImage::Format_Indexed8)
            return img.colorCount() <= (1 << bpp) && img.colorCount() > 0 ? img : QImage();
        if (img.format() == QImage::Format_Mono || img.format() == QImage::Format_MonoLSB)
            return img.convertToFormat(QImage::Format_Indexed8);
        if (img.format() == QImage::Format_Grayscale8 && bpp == 8) {
            QImage out(img.size(), QImage::Format_Indexed8);
            if (out.isNull())
                return {};
            QList<QRgb> grey(256);
            for (int i = 0; i < 256; ++i)
                grey[i] = qRgb(i, i, i);
            out.setColorTable(grey);
            for (int y = 0; y < img.height(); ++y)
                std::memcpy(out.scanLine(y), img.constScanLine(y), size_t(img.width()));
            out.setDotsPerMeterX(img.dotsPerMeterX());
            out.setDotsPerMeterY(img.dotsPerMeterY());
            return out;
        }
        return {};
    }
    if (img.format() == want)
        return img;
    if (bpp == 1 && img.format() == QImage::Format_MonoLSB)
        return img.convertToFormat(QImage::Format_Mono);
    if (bpp == 1)
        return {};
    return img.convertToFormat(want);
}

bool isGreyImage(const QImage& img)
{
    if (img.isNull())
        return false;
    if (img.format() == QImage::Format_Grayscale8 || img.format() == QImage::Format_Grayscale16)
        return true;
    if (img.colorCount() > 0) {
        for (QRgb c : img.colorTable())
            if (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c))
                return false;
        return true;
    }
    return img.isGrayscale();
}

} // namespace varnel
