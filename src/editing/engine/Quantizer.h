#pragma once
#include <QImage>
#include <QList>

#include <vector>

namespace varnel {

// Colour reduction for the palette depths. Screenshots are mostly flat areas
// and text with few colours, so a picture whose colours fit keeps them
// exactly; otherwise an adaptive palette (Wu's variance-minimising cut, with
// the entries of big flat areas snapped to their exact colour) and optional
// Floyd-Steinberg error diffusion that leaves pixels of palette colours alone,
// so flat areas stay free of dot patterns.
class Quantizer {
public:
    // An Indexed8 image with at most maxColours (2..256) palette entries.
    static QImage toPalette(const QImage& image, int maxColours, bool dither);
    // An Indexed8 image whose palette is grey: levels 256 gives the full grey
    // ramp, 16 the sixteen steps of grey 4 bit (or the picture's own greys
    // when at most 16 occur).
    static QImage toGrey(const QImage& image, int levels, bool dither);
    // A Mono image: the picture's own two colours when it has at most two,
    // black and white by luminance otherwise.
    static QImage toMono(const QImage& image, bool dither);

    // The colours of an image when there are at most maxColours of them, in
    // order of first appearance; empty when there are more.
    static QList<QRgb> exactColours(const QImage& image, int maxColours);
    // The adaptive palette Wu's cut finds for a true-colour image.
    static QList<QRgb> adaptivePalette(const QImage& image, int maxColours);

    // Luminance 0..255 of a colour (Rec. 601 weights).
    // The palette entry nearest to a colour (red and blue weighted 3 and 2,
    // green 4), lowest index on ties, searched in the palette sorted by green.
    struct Entry {
        int g, r, b, index;
    };
    static std::vector<Entry> byGreen(const QList<QRgb>& palette);
    static int nearestIndex(const std::vector<Entry>& byGreen, int r, int g, int b);

    static int luminance(QRgb c) { return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114 + 500) / 1000; }
};

} // namespace varnel
