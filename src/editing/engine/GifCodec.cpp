#include "GifCodec.h"

#include <gif_lib.h>

#include <algorithm>
#include <vector>

namespace varnel {

namespace {

int appendOutput(GifFileType* gif, const GifByteType* data, int n)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), n);
    return n;
}

} // namespace

QByteArray GifCodec::encode(const QImage& img, int tableBits)
{
    if (img.isNull() || img.format() != QImage::Format_Indexed8 || img.colorCount() < 1 || img.colorCount() > 256)
        return {};
    QByteArray out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, appendOutput, &err);
    if (!gif)
        return {};
    const int bits = std::clamp(std::max(tableBits, GifBitSize(int(img.colorCount()))), 1, 8);
    const int size = 1 << bits;
    std::vector<GifColorType> colours(size_t(size), GifColorType{0, 0, 0});
    for (int i = 0; i < img.colorCount(); ++i) {
        const QRgb c = img.color(i);
        colours[size_t(i)] = GifColorType{GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))};
    }
    ColorMapObject* map = GifMakeMapObject(size, colours.data());
    bool ok = map && EGifPutScreenDesc(gif, img.width(), img.height(), bits, 0, map) == GIF_OK
        && EGifPutImageDesc(gif, 0, 0, img.width(), img.height(), false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(size_t(img.width()));
    for (int y = 0; ok && y < img.height(); ++y) {
        const uchar* s = img.constScanLine(y);
        std::copy(s, s + img.width(), line.begin());
        ok = EGifPutLine(gif, line.data(), img.width()) == GIF_OK;
    }
    if (map)
        GifFreeMapObject(map);
    if (EGifCloseFile(gif, &err) != GIF_OK)
        ok = false;
    return ok ? out : QByteArray();
}

} // namespace varnel
