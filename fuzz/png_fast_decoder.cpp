// The one-pass PNG decoder of the capture road must fail cleanly on any bytes,
// and whatever it decodes must match the general decoder.
#include <QImage>

#include <cstdint>
#include <cstdlib>

#include "editing/engine/FastPngDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QImage out;
    if (varnel::FastPngDecoder::decode(bytes, out, 2048) != varnel::FastPngDecoder::Result::Decoded)
        return 0;
    const QImage ref = QImage::fromData(bytes, "PNG");
    if (ref.isNull())
        return 0; // the general decoder is stricter about ancillary chunks
    if (ref.size() != out.size())
        abort();
    const QImage a = ref.convertToFormat(QImage::Format_ARGB32);
    const QImage b = out.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                abort();
    return 0;
}
