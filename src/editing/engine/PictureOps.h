#pragma once
#include "Picture.h"

#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QRect>

#include <random>
#include <vector>

namespace varnel {

// Pixel work behind Picture, on plain QImages.
class PictureOps {
public:
    // Nearest-neighbour scaling in the image's own format (palettes kept).
    static QImage scaleNearest(const QImage& image, int width, int height);
    // Smooth scaling of an RGB32/ARGB32 image: the exact area average of the
    // covered source pixels along an axis that shrinks, linear interpolation
    // along one that grows.
    static QImage scaleSmooth(const QImage& image, int width, int height);
    // Quarter turns counter-clockwise (1, 2 or 3), pixel for pixel, in the
    // image's own format.
    static QImage rotateQuarter(const QImage& image, int quarters);

    // One byte per pixel, non-zero where an operation may act; empty means the
    // whole picture. bounds receives the rectangle the acting pixels lie in
    // (empty when none).
    static std::vector<uchar> regionMask(const QSize& size, RegionSide side, RegionShape shape,
                                         const QPolygon& polygon, QRect* bounds);

    // Calls fn(uchar rgb[3]) for every pixel the mask lets through, on an
    // RGB888 or ARGB32 image; fn changes the colour in place.
    template <typename Fn>
    static void forEachPixel(QImage& image, const std::vector<uchar>& mask, Fn fn)
    {
        const int w = image.width(), h = image.height();
        const bool argb = image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_RGB32;
        for (int y = 0; y < h; ++y) {
            uchar* p = image.scanLine(y);
            const uchar* m = mask.empty() ? nullptr : mask.data() + size_t(y) * size_t(w);
            for (int x = 0; x < w; ++x) {
                if (m && !m[x])
                    continue;
                if (argb) {
                    uchar* q = p + 4 * x; // B, G, R, A in memory
                    uchar rgb[3] = {q[2], q[1], q[0]};
                    fn(rgb);
                    q[2] = rgb[0];
                    q[1] = rgb[1];
                    q[0] = rgb[2];
                } else {
                    fn(p + 3 * x);
                }
            }
        }
    }

    // Blocks of blockW x blockH aligned to origin, each painted in one colour
    // over the pixels the mask lets through. The colour is the block's mean
    // moved by a few random steps per channel, so that the blocks cannot be
    // matched exactly against rendered guesses of what they hide.
    static void mosaic(QImage& image, const std::vector<uchar>& mask, const QPoint& origin, int blockW, int blockH,
                       std::mt19937& rng);

    // Copies srcRect of src to dst at dstPos; both in the same byte-aligned
    // format, rectangles already inside both images.
    static void copyRect(const QImage& src, const QRect& srcRect, QImage& dst, const QPoint& dstPos);
};

} // namespace varnel
