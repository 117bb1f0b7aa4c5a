// The bytes as a bitmap file for our own BMP reader. Reading from memory and
// reading from a device (pixels straight into the picture) must agree, and
// what is accepted must encode and decode again at the same depth and size.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <cstdlib>

#include "editing/engine/BmpCodec.h"

using namespace varnel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QImage img;
    int bpp = 0;
    const bool ok = BmpCodec::decode(input, &img, &bpp);

    QBuffer device;
    device.setData(input);
    device.open(QIODevice::ReadOnly);
    QImage fromDevice;
    int deviceBpp = 0;
    const bool deviceOk = BmpCodec::decodeFile(device, &fromDevice, &deviceBpp, 160);
    if (ok != deviceOk || (ok && (bpp != deviceBpp || img != fromDevice)))
        abort();
    if (!ok)
        return 0;
    if (img.isNull() || img.width() > BmpCodec::kMaxSide || img.height() > BmpCodec::kMaxSide)
        abort();
    QImage again;
    int bpp2 = 0;
    if (!BmpCodec::decode(BmpCodec::encode(img, bpp), &again, &bpp2) || bpp2 != bpp || again.size() != img.size())
        abort();
    return 0;
}
