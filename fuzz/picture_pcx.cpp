// The bytes as a PCX file for our own reader; what it accepts must encode
// and decode again at the same depth and size.
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <cstdlib>

#include "editing/engine/PcxCodec.h"

using namespace varnel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QImage img;
    int bpp = 0;
    if (!PcxCodec::decode(input, &img, &bpp))
        return 0;
    if (img.isNull() || img.width() > PcxCodec::kMaxSide || img.height() > PcxCodec::kMaxSide)
        abort();
    QImage again;
    int bpp2 = 0;
    if (!PcxCodec::decode(PcxCodec::encode(img, bpp), &again, &bpp2) || bpp2 != bpp || again.size() != img.size())
        abort();
    return 0;
}
