#include "editing/engine/Picture.h"

#include <QSet>
#include <gtest/gtest.h>

using varnel::Picture;
using varnel::RegionShape;
using varnel::RegionSide;

namespace {

// Every pixel different: red = x, green = y, blue = a hash of both.
QImage numbered(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x & 255, y & 255, (x * 7 + y * 13) & 255));
    return img;
}

QRgb at(const Picture& p, int x, int y)
{
    return p.image().pixel(x, y) | 0xff000000u;
}

QPolygon rect(int l, int t, int r, int b)
{
    return QPolygon({QPoint(l, t), QPoint(r, t), QPoint(r, b), QPoint(l, b)});
}

} // namespace

TEST(Crop, InclusiveEdgesClippedAndNormalised)
{
    const QImage src = numbered(10, 8);
    Picture p(src);
    ASSERT_TRUE(p.crop(2, 1, 5, 3));
    EXPECT_EQ(p.width(), 4);
    EXPECT_EQ(p.height(), 3);
    EXPECT_EQ(at(p, 0, 0), src.pixel(2, 1));
    EXPECT_EQ(at(p, 3, 2), src.pixel(5, 3));

    Picture q(src);
    ASSERT_TRUE(q.crop(7, 6, 20, 30)); // past the edge: clipped
    EXPECT_EQ(q.width(), 3);
    EXPECT_EQ(q.height(), 2);
    ASSERT_TRUE(q.crop(2, 1, 0, 0)); // reversed corners
    EXPECT_EQ(q.width(), 3);
    EXPECT_EQ(q.height(), 2);
    EXPECT_FALSE(q.crop(50, 50, 60, 60));
    EXPECT_EQ(q.width(), 3);

    Picture mono(src);
    ASSERT_TRUE(mono.convertDepth(1, true));
    ASSERT_TRUE(mono.crop(1, 1, 8, 6));
    EXPECT_EQ(mono.depthCode(), 1);
    EXPECT_EQ(mono.width(), 8);
}

TEST(Rotate, QuarterTurnsAreExactAtEveryDepth)
{
    const QImage src = numbered(5, 3);
    Picture left(src);
    ASSERT_TRUE(left.rotate(9000, false, false, true, qRgb(255, 255, 255)));
    ASSERT_EQ(left.width(), 3);
    ASSERT_EQ(left.height(), 5);
    // Counter-clockwise: the top-right corner becomes the top-left.
    EXPECT_EQ(at(left, 0, 0), src.pixel(4, 0));
    EXPECT_EQ(at(left, 2, 4), src.pixel(0, 2));
    EXPECT_EQ(at(left, 1, 3), src.pixel(1, 1));

    Picture right(src);
    ASSERT_TRUE(right.rotate(-9000, false, false, true, 0));
    EXPECT_EQ(at(right, 0, 0), src.pixel(0, 2));
    EXPECT_EQ(at(right, 2, 4), src.pixel(4, 0));

    Picture a(src), b(src);
    ASSERT_TRUE(a.rotate(18000, false, false, true, 0));
    ASSERT_TRUE(b.rotate(-18000, false, false, true, 0));
    EXPECT_EQ(a.image(), b.image());
    EXPECT_EQ(at(a, 0, 0), src.pixel(4, 2));

    Picture m(src);
    ASSERT_TRUE(m.rotate(0, true, false, false, 0));
    EXPECT_EQ(at(m, 0, 1), src.pixel(4, 1));
    ASSERT_TRUE(m.rotate(0, true, false, false, 0));
    EXPECT_EQ(m.image(), Picture(src).image());
    ASSERT_TRUE(m.rotate(0, false, true, false, 0));
    EXPECT_EQ(at(m, 3, 0), src.pixel(3, 2));

    for (int code : {1, 4, 8, 80, 16, 32}) {
        SCOPED_TRACE(code);
        Picture p(numbered(7, 4));
        ASSERT_TRUE(p.convertDepth(code, false));
        const QImage before = p.image().convertToFormat(QImage::Format_ARGB32);
        ASSERT_TRUE(p.rotate(-9000, false, false, false, 0));
        EXPECT_EQ(p.depthCode(), code);
        const QImage after = p.image().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(after.size(), QSize(4, 7));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(after.pixel(3 - y, x), before.pixel(x, y));
    }
}

TEST(Rotate, OtherAnglesGrowThePictureAndFillTheCorners)
{
    Picture p(numbered(40, 20));
    ASSERT_TRUE(p.rotate(4500, false, false, true, qRgb(255, 0, 255)));
    EXPECT_GE(p.width(), 42);
    EXPECT_GE(p.height(), 42);
    EXPECT_EQ(at(p, 0, 0), qRgb(255, 0, 255));
    EXPECT_EQ(at(p, p.width() - 1, p.height() - 1), qRgb(255, 0, 255));
    EXPECT_EQ(p.depthCode(), 24);

    Picture pal(numbered(16, 16));
    ASSERT_TRUE(pal.convertDepth(8, false));
    ASSERT_TRUE(pal.rotate(1000, false, false, false, qRgb(255, 255, 255)));
    EXPECT_EQ(pal.depthCode(), 8);
}

TEST(Resize, AreaAverageWhenReducingAndAnyTargetSize)
{
    QImage src(4, 4, QImage::Format_RGB888);
    int v = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x, v += 10)
            src.setPixel(x, y, qRgb(v, 255 - v, (v * 3) & 255));
    Picture p(src);
    ASSERT_TRUE(p.resize(2, 2, true));
    ASSERT_EQ(p.width(), 2);
    for (int by = 0; by < 2; ++by)
        for (int bx = 0; bx < 2; ++bx) {
            int r = 0, g = 0, b = 0;
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 2; ++x) {
                    const QRgb c = src.pixel(2 * bx + x, 2 * by + y);
                    r += qRed(c);
                    g += qGreen(c);
                    b += qBlue(c);
                }
            EXPECT_EQ(at(p, bx, by), qRgb((r + 2) / 4, (g + 2) / 4, (b + 2) / 4));
        }

    Picture big(numbered(400, 300));
    ASSERT_TRUE(big.resize(200, 150, true));
    EXPECT_EQ(big.width(), 200);
    EXPECT_EQ(big.height(), 150);
    ASSERT_TRUE(big.resize(333, 77, true));
    EXPECT_EQ(big.width(), 333);
    EXPECT_EQ(big.height(), 77);

    // A flat picture stays flat when enlarged smoothly.
    QImage flat(3, 3, QImage::Format_RGB888);
    flat.fill(qRgb(10, 20, 30));
    Picture f(flat);
    ASSERT_TRUE(f.resize(10, 7, true));
    EXPECT_EQ(at(f, 9, 6), qRgb(10, 20, 30));
    EXPECT_EQ(at(f, 4, 3), qRgb(10, 20, 30));

    // Without smoothing a palette picture keeps its palette and depth.
    Picture pal(numbered(6, 6));
    ASSERT_TRUE(pal.convertDepth(4, false));
    const QList<QRgb> table = pal.image().colorTable();
    ASSERT_TRUE(pal.resize(12, 3, false));
    EXPECT_EQ(pal.depthCode(), 4);
    EXPECT_EQ(pal.image().colorTable(), table);

    EXPECT_FALSE(pal.resize(0, 5, true));
    EXPECT_FALSE(pal.resize(5, 20000, true));
}

TEST(Region, InsideOutsideAndWholeForBrighten)
{
    QImage grey(10, 8, QImage::Format_RGB888);
    grey.fill(qRgb(100, 100, 100));
    Picture in(grey);
    in.setRegion(RegionSide::Inside, RegionShape::Polygon, rect(2, 2, 5, 4));
    ASSERT_TRUE(in.brighten(55, 55, 55));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x <= 5 && y >= 2 && y <= 4;
            ASSERT_EQ(at(in, x, y), inside ? qRgb(155, 155, 155) : qRgb(100, 100, 100)) << x << "," << y;
        }

    Picture out(grey);
    out.setRegion(RegionSide::Outside, RegionShape::Polygon, rect(2, 2, 5, 4));
    ASSERT_TRUE(out.brighten(55, 0, -200));
    EXPECT_EQ(at(out, 0, 0), qRgb(155, 100, 0));
    EXPECT_EQ(at(out, 3, 3), qRgb(100, 100, 100));
    EXPECT_EQ(at(out, 6, 4), qRgb(155, 100, 0));

    Picture whole(grey);
    whole.setRegion(RegionSide::Inside, RegionShape::Whole);
    ASSERT_TRUE(whole.brighten(200, 200, 200));
    EXPECT_EQ(at(whole, 9, 7), qRgb(255, 255, 255));

    // A triangle: its corners and inside are hit, the far corner is not.
    Picture tri(grey);
    tri.setRegion(RegionSide::Inside, RegionShape::Polygon, QPolygon({QPoint(0, 0), QPoint(9, 0), QPoint(0, 7)}));
    ASSERT_TRUE(tri.brighten(10, 10, 10));
    EXPECT_EQ(at(tri, 1, 1), qRgb(110, 110, 110));
    EXPECT_EQ(at(tri, 9, 7), qRgb(100, 100, 100));
}

TEST(Highlight, RelativeWashesOutTheSurroundingAndMarkerInksTheRange)
{
    QImage img(12, 6, QImage::Format_RGB888);
    img.fill(qRgb(255, 255, 255));
    for (int x = 0; x < 12; ++x)
        img.setPixel(x, 3, qRgb(0, 0, 0)); // a line of "text"
    Picture rel(img);
    rel.setRegion(RegionSide::Outside, RegionShape::Polygon, rect(4, 1, 8, 4));
    ASSERT_TRUE(rel.brighten(55, 55, 55));
    ASSERT_TRUE(rel.adjustStrength(-100));
    // Outside: black text becomes light grey, still visible; inside untouched.
    EXPECT_EQ(at(rel, 0, 3), qRgb(155, 155, 155));
    EXPECT_EQ(at(rel, 0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(at(rel, 5, 3), qRgb(0, 0, 0));

    Picture deep(img);
    deep.setRegion(RegionSide::Inside, RegionShape::Whole);
    ASSERT_TRUE(deep.adjustStrength(100));
    EXPECT_LT(qRed(at(deep, 0, 0)), 255);

    Picture ink(img);
    ink.setRegion(RegionSide::Inside, RegionShape::Polygon, rect(4, 1, 8, 4));
    ASSERT_TRUE(ink.marker(0, 0, -1));
    const QRgb paper = at(ink, 5, 1);
    EXPECT_EQ(qRed(paper), 255);
    EXPECT_EQ(qGreen(paper), 255);
    EXPECT_LT(qBlue(paper), 80); // yellow ink
    EXPECT_EQ(at(ink, 5, 3), qRgb(0, 0, 0)); // text stays dark
    EXPECT_EQ(at(ink, 2, 1), qRgb(255, 255, 255));
}

TEST(Mosaic, BlocksAreOneColourButNotThePlainAverage)
{
    const QImage src = numbered(20, 12); // partial blocks at the right and bottom
    Picture p(src);
    p.setRegion(RegionSide::Inside, RegionShape::Whole);
    ASSERT_TRUE(p.mosaic(8, 8));
    int plainAverages = 0;
    for (int by = 0; by < 12; by += 8)
        for (int bx = 0; bx < 20; bx += 8) {
            const int x1 = std::min(bx + 8, 20), y1 = std::min(by + 8, 12);
            const QRgb block = at(p, bx, by);
            int r = 0, g = 0, b = 0, n = 0;
            for (int y = by; y < y1; ++y)
                for (int x = bx; x < x1; ++x) {
                    ASSERT_EQ(at(p, x, y), block) << x << "," << y;
                    const QRgb c = src.pixel(x, y);
                    r += qRed(c);
                    g += qGreen(c);
                    b += qBlue(c);
                    ++n;
                }
            const QRgb mean = qRgb((r + n / 2) / n, (g + n / 2) / n, (b + n / 2) / n);
            plainAverages += block == mean;
            // Still close to the mean: the look of a mosaic is kept.
            EXPECT_LE(std::abs(qRed(block) - qRed(mean)), 8);
            EXPECT_LE(std::abs(qGreen(block) - qGreen(mean)), 8);
        }
    EXPECT_EQ(plainAverages, 0);

    // The same picture twice gives different block colours: not a function of the pixels.
    Picture again(src);
    ASSERT_TRUE(again.mosaic(8, 8));
    EXPECT_NE(again.image(), p.image());
}

TEST(Mosaic, InsideARangeBlocksStartAtItsCorner)
{
    const QImage src = numbered(30, 20);
    Picture p(src);
    p.setRegion(RegionSide::Inside, RegionShape::Polygon, rect(3, 2, 18, 9));
    ASSERT_TRUE(p.mosaic(8, 8));
    EXPECT_EQ(at(p, 2, 2), src.pixel(2, 2));
    EXPECT_EQ(at(p, 19, 5), src.pixel(19, 5));
    EXPECT_EQ(at(p, 3, 10), src.pixel(3, 10));
    EXPECT_EQ(at(p, 3, 2), at(p, 10, 9));
    EXPECT_NE(at(p, 10, 2), at(p, 11, 2));
    EXPECT_EQ(at(p, 11, 2), at(p, 18, 9));

    Picture pal(src);
    ASSERT_TRUE(pal.convertDepth(8, true));
    pal.setRegion(RegionSide::Inside, RegionShape::Whole);
    ASSERT_TRUE(pal.mosaic(8, 8));
    EXPECT_EQ(pal.depthCode(), 8);
    EXPECT_EQ(pal.image().pixel(0, 0), pal.image().pixel(7, 7));
}

TEST(Stitch, HorizontalStripIsRemovedAndTheRestJoined)
{
    // A 100 x 6 picture and a range from column 10 to 19.
    const QImage src = numbered(100, 6);
    Picture main(src);
    const Picture scratch = main; // the duplicate in the second surface
    const int left = 10, right = 19, W = 100, H = 6;
    ASSERT_TRUE(main.pasteFrom(scratch, right + 1, 0, W, H, QPoint(left, 0)));
    main.setRegion(RegionSide::Inside, RegionShape::Polygon);
    ASSERT_TRUE(main.crop(0, 0, W - (right - left) - 2, H));
    ASSERT_EQ(main.width(), 90);
    ASSERT_EQ(main.height(), 6);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < 90; ++x)
            ASSERT_EQ(at(main, x, y), src.pixel(x < 10 ? x : x + 10, y)) << x << "," << y;
    // The scratch copy is untouched.
    EXPECT_EQ(scratch.image().pixel(10, 0) | 0xff000000u, src.pixel(10, 0));
}

TEST(Stitch, VerticalStripIsRemovedAndTheRestJoined)
{
    const QImage src = numbered(7, 40);
    Picture main(src);
    ASSERT_TRUE(main.convertDepth(16, true));
    const QImage before = main.image();
    const Picture scratch = main;
    const int top = 5, bottom = 14, W = 7, H = 40;
    ASSERT_TRUE(main.pasteFrom(scratch, 0, bottom + 1, W, H, QPoint(0, top)));
    ASSERT_TRUE(main.crop(0, 0, W, H - (bottom - top) - 2));
    ASSERT_EQ(main.height(), 30);
    EXPECT_EQ(main.depthCode(), 16);
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(main.image().pixel(3, y), before.pixel(3, y < 5 ? y : y + 10));
}

TEST(Paste, AcrossDepthsKeepsTheTargetDepthAndClips)
{
    Picture target(numbered(10, 10));
    ASSERT_TRUE(target.convertDepth(8, false));
    QImage red(4, 4, QImage::Format_RGB888);
    red.fill(qRgb(250, 0, 0));
    const Picture source(red);
    ASSERT_TRUE(target.pasteFrom(source, 0, 0, 3, 3, QPoint(8, 8)));
    EXPECT_EQ(target.depthCode(), 8);
    EXPECT_EQ(at(target, 9, 9), qRgb(250, 0, 0));
    EXPECT_EQ(at(target, 8, 8), qRgb(250, 0, 0));
    EXPECT_NE(at(target, 7, 7), qRgb(250, 0, 0));
    EXPECT_FALSE(target.pasteFrom(source, 0, 0, 3, 3, QPoint(20, 20)));
    EXPECT_FALSE(target.pasteFrom(Picture(), 0, 0, 3, 3, QPoint(0, 0)));
}

TEST(Operations, EmptyPictureReportsFailure)
{
    Picture p;
    EXPECT_FALSE(p.crop(0, 0, 1, 1));
    EXPECT_FALSE(p.resize(2, 2, true));
    EXPECT_FALSE(p.rotate(9000, false, false, true, 0));
    EXPECT_FALSE(p.brighten(1, 1, 1));
    EXPECT_FALSE(p.adjustStrength(-100));
    EXPECT_FALSE(p.marker(0, 0, -1));
    EXPECT_FALSE(p.mosaic(8, 8));
}

TEST(Operations, PalettePicturesKeepTheirDepthThroughColourWork)
{
    for (int code : {1, 4, 40, 8, 80}) {
        SCOPED_TRACE(code);
        Picture p(numbered(16, 16));
        ASSERT_TRUE(p.convertDepth(code, true));
        p.setRegion(RegionSide::Inside, RegionShape::Polygon, rect(2, 2, 9, 9));
        ASSERT_TRUE(p.brighten(55, 55, 55));
        ASSERT_TRUE(p.marker(0, 0, -1));
        EXPECT_EQ(p.depthCode(), code);
    }
}
