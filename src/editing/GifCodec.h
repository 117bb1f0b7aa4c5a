#pragma once
#include <QByteArray>
#include <QImage>

namespace varnel {

// GIF writing through giflib. Reading goes through Qt's GIF plugin.
class GifCodec {
public:
    // An Indexed8 image (at most 256 palette entries) as a GIF87a/89a file.
    static QByteArray encode(const QImage& indexed);
};

} // namespace varnel
