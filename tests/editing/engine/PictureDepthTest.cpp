#include "editing/engine/Picture.h"
#include "editing/engine/Quantizer.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QSet>
#include <climits>
#include <cmath>
#include <gtest/gtest.h>

using varnel::Picture;
using varnel::Quantizer;

namespace {

QImage argb(const Picture& p)
{
    return p.image().convertToFormat(QImage::Format_ARGB32);
}

QSet<QRgb> coloursOf(const QImage& img)
{
    QSet<QRgb> s;
    const QImage a = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            s.insert(a.pixel(x, y));
    return s;
}

// A screenshot in small: flat window areas, a title bar, "text", and a photo-like gradient.
QImage screenshotLike(int w = 160, int h = 120)
{
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(qRgb(255, 255, 255));
    QPainter p(&img);
    p.fillRect(0, 0, w, 16, QColor(40, 90, 170));
    p.fillRect(4, 24, 60, 40, QColor(236, 236, 236));
    p.setPen(Qt::black);
    for (int i = 0; i < 6; ++i)
        p.drawLine(8, 30 + 5 * i, 50, 30 + 5 * i);
    p.end();
    for (int y = h / 2; y < h; ++y)
        for (int x = w / 2; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7 + y) & 255, (y * 5 + x * 3) & 255, (x * y) & 255));
    return img;
}

double psnr(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    double se = 0;
    for (int j = 0; j < x.height(); ++j)
        for (int i = 0; i < x.width(); ++i) {
            const QRgb p = x.pixel(i, j), q = y.pixel(i, j);
            const double dr = qRed(p) - qRed(q), dg = qGreen(p) - qGreen(q), db = qBlue(p) - qBlue(q);
            se += dr * dr + dg * dg + db * db;
        }
    const double mse = se / (3.0 * x.width() * x.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

} // namespace

TEST(DepthDetection, CodesFollowFormatAndGreyness)
{
    Picture p;
    EXPECT_FALSE(p.hasPicture());
    EXPECT_EQ(p.depthCode(), 0);
    p.setImage(QImage(4, 4, QImage::Format_RGB32));
    EXPECT_EQ(p.depthCode(), 24);
    p.setImage(QImage(4, 4, QImage::Format_ARGB32));
    EXPECT_EQ(p.depthCode(), 32);
    p.setImage(QImage(4, 4, QImage::Format_RGB555));
    EXPECT_EQ(p.depthCode(), 16);
    QImage grey(4, 4, QImage::Format_Grayscale8);
    grey.fill(7);
    p.setImage(grey);
    EXPECT_EQ(p.depthCode(), 80);
    QImage idx(4, 4, QImage::Format_Indexed8);
    idx.setColorTable({qRgb(1, 2, 3), qRgb(200, 0, 0)});
    idx.fill(1);
    p.setImage(idx);
    EXPECT_EQ(p.depthCode(), 8);
    p.setImage(idx, 4);
    EXPECT_EQ(p.depthCode(), 4);
    EXPECT_EQ(p.image().pixel(2, 2), qRgb(200, 0, 0));

    // Palette images without a (big enough) palette are still held safely.
    QImage bare(4, 4, QImage::Format_Indexed8);
    bare.fill(7);
    p.setImage(bare);
    EXPECT_EQ(p.depthCode(), 80);
    EXPECT_EQ(p.image().pixel(1, 1), qRgb(7, 7, 7));
    idx.scanLine(0)[0] = 9; // beyond the two entries
    p.setImage(idx);
    EXPECT_EQ(p.depthCode(), 8);
    EXPECT_EQ(p.image().pixel(0, 0), qRgb(0, 0, 0));
    QImage mono(9, 2, QImage::Format_Mono);
    mono.setColorTable({});
    mono.fill(1);
    p.setImage(mono);
    EXPECT_EQ(p.depthCode(), 1);
    EXPECT_EQ(p.image().pixel(8, 1), qRgb(255, 255, 255));
}

TEST(DepthConversion, FewColoursAreKeptExactlyWithoutDitherNoise)
{
    QImage img(40, 30, QImage::Format_RGB888);
    img.fill(qRgb(250, 250, 250));
    QPainter(&img).fillRect(5, 5, 20, 10, QColor(12, 100, 200));
    QPainter(&img).fillRect(20, 12, 15, 15, QColor(201, 99, 13));
    for (int code : {8, 4, 1}) {
        SCOPED_TRACE(code);
        Picture p(img);
        if (code == 1) { // two colours for one bit
            QImage two(img.size(), QImage::Format_RGB888);
            two.fill(qRgb(250, 0, 0));
            QPainter(&two).fillRect(3, 3, 9, 9, QColor(0, 0, 90));
            p.setImage(two);
        }
        const QImage before = argb(p);
        ASSERT_TRUE(p.convertDepth(code, true));
        EXPECT_EQ(p.depthCode(), code);
        EXPECT_EQ(argb(p), before);
    }
}

TEST(DepthConversion, AdaptivePaletteBeatsAFixedCubeAndKeepsFlatAreasClean)
{
    const QImage src = screenshotLike();
    Picture p(src);
    ASSERT_TRUE(p.convertDepth(8, true));
    EXPECT_EQ(p.depthCode(), 8);
    EXPECT_LE(p.image().colorCount(), 256);
    EXPECT_GT(coloursOf(src).size(), 256);
    const double ours = psnr(src, p.image());
    const double cube = psnr(src, src.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither));
    EXPECT_GT(ours, cube);
    EXPECT_GT(ours, 30.0);
    // The white background, the title bar and the grey panel stay exact.
    const QImage out = argb(p);
    for (const QPoint& pt : {QPoint(2, 20), QPoint(70, 70), QPoint(150, 40), QPoint(100, 8), QPoint(30, 60)})
        EXPECT_EQ(out.pixel(pt), src.pixel(pt)) << pt.x() << "," << pt.y();
    int changed = 0;
    for (int y = 17; y < 60; ++y)
        for (int x = 0; x < 160; ++x)
            changed += out.pixel(x, y) != src.pixel(x, y);
    EXPECT_EQ(changed, 0);

    Picture sixteen(src);
    ASSERT_TRUE(sixteen.convertDepth(4, true));
    EXPECT_EQ(sixteen.depthCode(), 4);
    EXPECT_LE(sixteen.image().colorCount(), 16);
    EXPECT_GT(psnr(src, sixteen.image()), 18.0);
}

TEST(DepthConversion, DitheringKeepsLocalAveragesOfAGradient)
{
    QImage ramp(256, 16, QImage::Format_RGB888);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 256; ++x)
            ramp.setPixel(x, y, qRgb(x, x, x));
    auto blockError = [&](bool dither) {
        Picture p(ramp);
        EXPECT_TRUE(p.convertDepth(40, dither));
        EXPECT_EQ(p.depthCode(), 40);
        const QImage out = argb(p);
        double err = 0;
        for (int bx = 0; bx < 256; bx += 16) {
            double a = 0, b = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = bx; x < bx + 16; ++x) {
                    a += qGray(ramp.pixel(x, y));
                    b += qRed(out.pixel(x, y));
                }
            err += std::abs(a - b) / 256.0;
        }
        return err;
    };
    EXPECT_LT(blockError(true), blockError(false));
}

TEST(DepthConversion, GreyByLuminanceAndGreyFourBit)
{
    QImage img(3, 1, QImage::Format_RGB888);
    img.setPixel(0, 0, qRgb(255, 0, 0));
    img.setPixel(1, 0, qRgb(0, 255, 0));
    img.setPixel(2, 0, qRgb(0, 0, 255));
    Picture p(img);
    ASSERT_TRUE(p.convertDepth(80, false));
    EXPECT_EQ(p.depthCode(), 80);
    EXPECT_EQ(p.image().pixel(0, 0), qRgb(76, 76, 76));
    EXPECT_EQ(p.image().pixel(1, 0), qRgb(150, 150, 150));
    EXPECT_EQ(p.image().pixel(2, 0), qRgb(29, 29, 29));
    // Three greys fit grey 4 bit exactly, the way the colour command reaches it.
    ASSERT_TRUE(p.convertDepth(4, false));
    EXPECT_EQ(p.depthCode(), 40);
    EXPECT_EQ(p.image().pixel(1, 0), qRgb(150, 150, 150));
    // A full grey ramp reaches grey 4 bit through grey 8 bit with 16 greys.
    QImage ramp(256, 2, QImage::Format_RGB888);
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 2; ++y)
            ramp.setPixel(x, y, qRgb(x, x, x));
    Picture r(ramp);
    ASSERT_TRUE(r.convertDepth(80, false));
    ASSERT_TRUE(r.convertDepth(4, false));
    EXPECT_EQ(r.depthCode(), 40);
    EXPECT_LE(r.image().colorCount(), 16);
    EXPECT_GE(Quantizer::exactColours(r.image(), 16).size(), 12); // the palette is used, not collapsed

    Picture q(img);
    ASSERT_TRUE(q.convertDepth(40, true));
    EXPECT_EQ(q.depthCode(), 40);
    EXPECT_EQ(q.image().pixel(2, 0), qRgb(29, 29, 29));
}

TEST(DepthConversion, TrueColourDepthsAndOneBit)
{
    QImage img(2, 1, QImage::Format_RGB888);
    img.setPixel(0, 0, qRgb(255, 128, 7));
    img.setPixel(1, 0, qRgb(10, 200, 90));
    Picture p(img);
    ASSERT_TRUE(p.convertDepth(16, true));
    EXPECT_EQ(p.depthCode(), 16);
    EXPECT_EQ(p.image().format(), QImage::Format_RGB555);
    const QRgb c = p.image().pixel(0, 0);
    EXPECT_EQ(qRed(c) & 0xf8, 248);
    EXPECT_EQ(qGreen(c) & 0xf8, 128);
    EXPECT_EQ(qBlue(c) & 0xf8, 0);
    ASSERT_TRUE(p.convertDepth(32, false));
    EXPECT_EQ(p.depthCode(), 32);
    ASSERT_TRUE(p.convertDepth(24, false));
    EXPECT_EQ(p.depthCode(), 24);

    Picture many(screenshotLike());
    ASSERT_TRUE(many.convertDepth(1, true));
    EXPECT_EQ(many.depthCode(), 1);
    const QSet<QRgb> bw = coloursOf(many.image());
    EXPECT_TRUE(bw.contains(qRgb(0, 0, 0)));
    EXPECT_TRUE(bw.contains(qRgb(255, 255, 255)));
    EXPECT_EQ(bw.size(), 2);

    EXPECT_FALSE(p.convertDepth(12, false));
    EXPECT_FALSE(Picture().convertDepth(8, false));
}

TEST(Quantizer, WuPaletteSeparatesDistinctClusters)
{
    // Four clusters of slightly varied colours: four entries near their centres.
    QImage img(64, 64, QImage::Format_RGB32);
    const QRgb centres[4] = {qRgb(200, 30, 30), qRgb(30, 200, 30), qRgb(30, 30, 200), qRgb(220, 220, 40)};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const QRgb c = centres[(x / 32) + 2 * (y / 32)];
            const int d = (x + y) % 5 - 2;
            img.setPixel(x, y, qRgb(qRed(c) + d, qGreen(c) - d, qBlue(c) + d));
        }
    const QList<QRgb> pal = Quantizer::adaptivePalette(img, 4);
    ASSERT_EQ(pal.size(), 4);
    for (QRgb c : centres) {
        int best = INT_MAX;
        for (QRgb e : pal)
            best = std::min(best, std::abs(qRed(e) - qRed(c)) + std::abs(qGreen(e) - qGreen(c)) + std::abs(qBlue(e) - qBlue(c)));
        EXPECT_LE(best, 6);
    }
}

TEST(Quantizer, NearestEntryIsTheWholePaletteScansAnswer)
{
    // The pruned search must give exactly what a scan of every entry in
    // order gives, ties to the lowest index included: palettes with
    // repeated entries, entries of equal green, and colours far from all.
    QRandomGenerator rng(7);
    for (int round = 0; round < 40; ++round) {
        QList<QRgb> palette;
        const int n = 1 + int(rng.bounded(256));
        for (int i = 0; i < n; ++i) {
            if (i > 0 && rng.bounded(5) == 0)
                palette.append(palette[int(rng.bounded(i))]); // a repeat
            else if (round % 3 == 0)
                palette.append(qRgb(int(rng.bounded(4)) * 85, int(rng.bounded(3)) * 127, int(rng.bounded(4)) * 85));
            else
                palette.append(qRgb(int(rng.bounded(256)), int(rng.bounded(256)), int(rng.bounded(256))));
        }
        const auto sorted = Quantizer::byGreen(palette);
        for (int k = 0; k < 400; ++k) {
            // Half the colours on a coarse grid, where distances tie often.
            static const int grid[] = {0, 21, 42, 63, 85, 106, 127, 148, 170, 191, 212, 254};
            auto pick = [&] { return k % 2 ? int(rng.bounded(256)) : grid[rng.bounded(12)]; };
            const int r = pick(), g = pick(), b = pick();
            int best = 0, bestD = INT_MAX;
            for (int i = 0; i < palette.size(); ++i) {
                const int dr = qRed(palette[i]) - r, dg = qGreen(palette[i]) - g, db = qBlue(palette[i]) - b;
                const int d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
                if (d < bestD) {
                    bestD = d;
                    best = i;
                }
            }
            ASSERT_EQ(Quantizer::nearestIndex(sorted, r, g, b), best) << round << ": " << r << "," << g << "," << b;
        }
    }
}
