#pragma once
#include <QByteArray>
#include <QImage>

namespace varnel {

// A PNG encoder tuned for screenshots: palette pictures as palette (1, 4 or
// 8 bit), the full grey ramp as grey, true colour as RGB (RGBA when alpha is
// asked for). Rows are filtered with the cheaper of Sub and Up and the
// stream is deflated at a moderate level: much faster than an exhaustive
// filter search, at about the same size for this kind of content.
class PngWriter {
public:
    // paletteBits (1, 4 or 8) fixes the bit depth of a palette picture, so that
    // it loads back at its own depth; 0 takes the smallest that fits.
    static QByteArray encode(const QImage& image, bool alpha, int level = 3, int paletteBits = 0);
};

} // namespace varnel
