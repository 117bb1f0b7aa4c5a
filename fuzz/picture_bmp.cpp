// The bytes as a bitmap file for our own BMP reader; what it accepts must
// encode and decode again at the same depth and size.
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <cstdlib>

#include "editing/BmpCodec.h"

using namespace varnel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QImage img;
    int bpp = 0;
    if (!BmpCodec::decode(input, &img, &bpp))
        return 0;
    if (img.isNull() || img.width() > BmpCodec::kMaxSide || img.height() > BmpCodec::kMaxSide)
        abort();
    QImage again;
    int bpp2 = 0;
    if (!BmpCodec::decode(BmpCodec::encode(img, bpp), &again, &bpp2) || bpp2 != bpp || again.size() != img.size())
        abort();
    return 0;
}
