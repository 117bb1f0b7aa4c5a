#pragma once
#include <QByteArray>
#include <QImage>

namespace varnel {

// GIF writing through giflib. Reading goes through Qt's GIF plugin.
class GifCodec {
public:
    // An Indexed8 image (at most 256 palette entries) as a GIF87a/89a file.
    // tableBits (1 to 8) is the least colour table size in bits, so that a
    // picture loads back at its own depth.
    static QByteArray encode(const QImage& indexed, int tableBits = 1);
};

} // namespace varnel
