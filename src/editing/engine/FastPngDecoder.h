#pragma once
#include <QByteArray>
#include <QImage>

namespace varnel {

// A one-pass decoder for the PNGs screenshots are made of (8-bit RGB or
// RGBA, not interlaced): the whole zlib stream is inflated at once and the
// rows unfiltered straight into the picture's storage. Everything else, and
// anything it doubts, is left to the general decoder.
class FastPngDecoder {
public:
    enum class Result { Decoded, NotHandled, Broken };

    // On Decoded, out is RGB888 or RGBA8888 with the file's resolution.
    static Result decode(const QByteArray& data, QImage& out, int maxSide = 16384);
    // Memory this thread keeps for the next decode.
    static size_t retainedBytes();
};

} // namespace varnel
