#include "editing/engine/ScrollJoin.h"

#include <QRandomGenerator>
#include <QTransform>
#include <gtest/gtest.h>

using varnel::ScrollJoin;

namespace {

// A page whose rows all differ (noise), as tall as asked.
QImage page(int w, int h, quint32 seed)
{
    QImage img(w, h, QImage::Format_RGB888);
    QRandomGenerator rng(seed);
    for (int y = 0; y < h; ++y) {
        uchar* p = img.scanLine(y);
        for (int x = 0; x < w * 3; ++x)
            p[x] = uchar(rng.bounded(256));
    }
    return img;
}

// What a window of height rows shows with the page scrolled to offset:
// header on top, footer at the bottom, the page between them.
QImage capture(const QImage& pg, int offset, int rows, const QImage& header, const QImage& footer)
{
    const int hh = header.isNull() ? 0 : header.height(), fh = footer.isNull() ? 0 : footer.height();
    QImage out(pg.width(), rows, pg.format());
    for (int y = 0; y < rows; ++y) {
        const uchar* src = y < hh                 ? header.constScanLine(y)
                           : y >= rows - fh ? footer.constScanLine(y - (rows - fh))
                                            : pg.constScanLine(offset + y - hh);
        memcpy(out.scanLine(y), src, size_t(pg.width()) * 3);
    }
    return out;
}

QImage stacked(const QList<QImage>& parts)
{
    int h = 0;
    for (const QImage& p : parts)
        h += p.height();
    QImage out(parts[0].width(), h, parts[0].format());
    int at = 0;
    for (const QImage& p : parts)
        for (int y = 0; y < p.height(); ++y)
            memcpy(out.scanLine(at++), p.constScanLine(y), size_t(p.bytesPerLine()));
    return out;
}

QImage turned(const QImage& img)
{
    return img.transformed(QTransform().rotate(-90));
}

} // namespace

TEST(ScrollJoin, UnevenScrollsGiveThePageBackWithAndWithoutFixedEnds)
{
    const QImage pg = page(64, 900, 1);
    const QList<int> offsets{0, 37, 190, 241, 400, 411};
    for (int fixedEnds : {0, 1}) {
        SCOPED_TRACE(fixedEnds);
        const QImage header = fixedEnds ? page(64, 23, 2) : QImage();
        const QImage footer = fixedEnds ? page(64, 11, 3) : QImage();
        const int rows = 200 + header.height() + footer.height();
        QList<QImage> caps;
        for (int o : offsets)
            caps << capture(pg, o, rows, header, footer);
        const ScrollJoin::Result r = ScrollJoin::join(caps);
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(r.direction, ScrollJoin::Direction::Down);
        QList<QImage> expected;
        if (!header.isNull())
            expected << header;
        expected << pg.copy(0, 0, 64, 411 + 200);
        if (!footer.isNull())
            expected << footer;
        EXPECT_EQ(r.image, stacked(expected));
    }
}

TEST(ScrollJoin, SidewaysScrollJoinsLeftToRight)
{
    const QImage pg = page(48, 700, 4);
    const QImage header = page(48, 15, 5);
    QList<QImage> caps;
    for (int o : {0, 90, 133, 300})
        caps << turned(capture(pg, o, 215, header, {}));
    const ScrollJoin::Result r = ScrollJoin::join(caps);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.direction, ScrollJoin::Direction::Right);
    EXPECT_EQ(r.image, turned(stacked({header, pg.copy(0, 0, 48, 500)})));
}

TEST(ScrollJoin, OverlapOfFewerThanEightRowsOrNoneIsRefused)
{
    const QImage pg = page(32, 600, 6);
    // 100 rows shown: a scroll of 92 leaves 8 rows in common, 93 only 7.
    EXPECT_TRUE(ScrollJoin::join({capture(pg, 0, 100, {}, {}), capture(pg, 92, 100, {}, {})}).ok());
    const ScrollJoin::Result r = ScrollJoin::join(
        {capture(pg, 0, 100, {}, {}), capture(pg, 50, 100, {}, {}), capture(pg, 143, 100, {}, {})});
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.failedPair, 1);
    EXPECT_TRUE(r.image.isNull());
    EXPECT_TRUE(r.error.contains(QStringLiteral("2番目と3番目"))) << r.error.toStdString();
}

TEST(ScrollJoin, DifferentSizesAreRefused)
{
    const QImage pg = page(40, 300, 7);
    const ScrollJoin::Result r = ScrollJoin::join({pg.copy(0, 0, 40, 100), pg.copy(0, 50, 39, 101)});
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.failedPair, 0);
    EXPECT_TRUE(r.error.contains(QStringLiteral("大きさが違う"))) << r.error.toStdString();
}

TEST(ScrollJoin, LargestOverlapWinsOnRepeatingRows)
{
    // Rows repeat every 12: a scroll of 5 also matches at 17, 29, ...
    const QImage band = page(16, 12, 8);
    QImage pg(16, 240, band.format());
    for (int y = 0; y < pg.height(); ++y)
        memcpy(pg.scanLine(y), band.constScanLine(y % 12), 48);
    const ScrollJoin::Result r = ScrollJoin::join({pg.copy(0, 0, 16, 100), pg.copy(0, 5, 16, 100)});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.image, pg.copy(0, 0, 16, 105));
}
