#pragma once
#include <QByteArray>
#include <QIODevice>
#include <QImage>

#include <functional>

namespace varnel {

// Windows bitmap files at every depth the engine holds. Our own codec because
// Qt writes 16-bit pictures as 24 bit and does not tell the depth it read.
class BmpCodec {
public:
    // Largest width or height accepted from a file.
    static constexpr int kMaxSide = 16384;

    // Reads BI_RGB at 1, 2, 4, 8, 16, 24, 32 bits, RLE4, RLE8 and bit fields,
    // with any of the usual header versions. On success the image is in the
    // engine's format for its depth (Mono, Indexed8, RGB555, RGB888, ARGB32)
    // and bitsPerPixel is its true depth. Anything malformed, truncated or
    // larger than kMaxSide returns false.
    static bool decode(const QByteArray& data, QImage* image, int* bitsPerPixel);
    // The same from a file, reading uncompressed pixels without a second copy
    // when the headers and palette lie within the first headBytes.
    static bool decodeFile(QIODevice& device, QImage* image, int* bitsPerPixel, qint64 headBytes = 64 * 1024);

    // Writes an uncompressed bitmap of the given depth (1, 4, 8, 16, 24, 32);
    // the image is converted to that depth's engine format when it is not in it.
    static QByteArray encode(const QImage& image, int bitsPerPixel);
    // The same, handed to sink in pieces of about a megabyte, so that a big
    // picture goes to disk without a second copy of it in memory.
    static bool encodeTo(const QImage& image, int bitsPerPixel,
                         const std::function<bool(const char*, qint64)>& sink);

private:
    static bool decodeHead(const QByteArray& head, QIODevice& device, QImage* image, int* bitsPerPixel);
    // With a device, data is only the head of the file and the pixels are
    // read from the device (uncompressed 24 and 32 bit only).
    static bool decodeImpl(const QByteArray& data, QIODevice* device, QImage* image, int* bitsPerPixel);
};

} // namespace varnel
