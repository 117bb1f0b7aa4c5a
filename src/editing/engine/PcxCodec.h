#pragma once
#include <QByteArray>
#include <QImage>

namespace varnel {

// ZSoft PCX files, version 5 with run-length encoding.
class PcxCodec {
public:
    static constexpr int kMaxSide = 16384;

    // True when the bytes begin like a PCX header.
    static bool looksLikePcx(const QByteArray& data);
    // Reads 1 bit (one or four planes), 4 bit, 8 bit with its trailing
    // palette, and 24 bit as three planes. Malformed, truncated or oversized
    // files return false.
    static bool decode(const QByteArray& data, QImage* image, int* bitsPerPixel);
    // Writes 1 bit as one plane, 4 bit as four planes, 8 bit with a trailing
    // palette, and 16, 24 and 32 bit as three planes of 24 bit colour.
    static QByteArray encode(const QImage& image, int bitsPerPixel);
};

} // namespace varnel
