#include <gtest/gtest.h>

#include "editing/EditGeometry.h"

using varnel::EditGeometry;

TEST(EditGeometry, HalvesRoundToEven)
{
    EXPECT_EQ(EditGeometry::roundHalfEven(2.5), 2);
    EXPECT_EQ(EditGeometry::roundHalfEven(3.5), 4);
    EXPECT_EQ(EditGeometry::roundHalfEven(150.5), 150);
    EXPECT_EQ(EditGeometry::roundHalfEven(151.5), 152);
    EXPECT_EQ(EditGeometry::roundHalfEven(2.4999), 2);
    EXPECT_EQ(EditGeometry::roundHalfEven(2.5001), 3);
    EXPECT_EQ(EditGeometry::roundHalfEven(-2.5), -2);
    EXPECT_EQ(EditGeometry::roundHalfEven(-3.5), -4);
}

TEST(EditGeometry, ReducedSizeByMode)
{
    // Width decides: 400 x 300 with a range 200 wide.
    EXPECT_EQ(EditGeometry::reducedSize(0, 400, 300, 200, 10), QSize(200, 150));
    // A registered 800 x 600 on a 1600 x 1000 picture.
    EXPECT_EQ(EditGeometry::reducedSize(0, 1600, 1000, 800, 600), QSize(800, 500));
    // Height decides.
    EXPECT_EQ(EditGeometry::reducedSize(1, 1600, 1000, 800, 600), QSize(960, 600));
    // Aspect changes: exactly the range.
    EXPECT_EQ(EditGeometry::reducedSize(2, 1600, 1000, 123, 45), QSize(123, 45));
    // 101 x 3 to width 50: height 1.485... -> 1; 3 x 5 to width 1: 1.666 -> 2.
    EXPECT_EQ(EditGeometry::reducedSize(0, 101, 3, 50, 0), QSize(50, 1));
    EXPECT_EQ(EditGeometry::reducedSize(0, 3, 5, 1, 0), QSize(1, 2));
    // Halves go to even: 12 x 6 to width 3 gives 1.5 -> 2, to width 9 gives 4.5 -> 4.
    EXPECT_EQ(EditGeometry::reducedSize(0, 12, 6, 3, 0), QSize(3, 2));
    EXPECT_EQ(EditGeometry::reducedSize(0, 12, 6, 9, 0), QSize(9, 4));
    EXPECT_EQ(EditGeometry::reducedSize(1, 6, 12, 0, 9), QSize(4, 9));
    // Nothing to reduce to.
    EXPECT_TRUE(EditGeometry::reducedSize(2, 100, 100, 0, 10).isEmpty());
    EXPECT_TRUE(EditGeometry::reducedSize(0, 100, 100, 0, 10).isEmpty());
    EXPECT_TRUE(EditGeometry::reducedSize(5, 100, 100, 10, 10).isEmpty());
}

TEST(EditGeometry, StitchCutsTheRangeAndJoinsTheRest)
{
    // The range 10..20 covers columns 10..19 of a 100-wide picture: they
    // go, 20.. move to 10, and 90 columns (0..89) stay.
    auto s = EditGeometry::stitch(1, 100, 50, 10, 0, 20, 5);
    ASSERT_TRUE(s.valid);
    EXPECT_TRUE(s.hasTail);
    EXPECT_EQ(s.tail, QRect(QPoint(20, 0), QPoint(99, 49)));
    EXPECT_EQ(s.dest, QPoint(10, 0));
    EXPECT_EQ(s.cropRight, 89);
    EXPECT_EQ(s.cropBottom, 49);

    // Rows 5..9 of 40 go: 35 rows stay.
    s = EditGeometry::stitch(0, 30, 40, 3, 5, 7, 10);
    ASSERT_TRUE(s.valid);
    EXPECT_EQ(s.tail, QRect(QPoint(0, 10), QPoint(29, 39)));
    EXPECT_EQ(s.dest, QPoint(0, 5));
    EXPECT_EQ(s.cropRight, 29);
    EXPECT_EQ(s.cropBottom, 34);

    // A range dragged past the last row cuts to the end: rows 0..19 stay.
    s = EditGeometry::stitch(0, 30, 40, 0, 20, 10, 45);
    ASSERT_TRUE(s.valid);
    EXPECT_FALSE(s.hasTail);
    EXPECT_EQ(s.cropBottom, 19);

    // Cutting everything leaves nothing to keep; an empty range cuts nothing.
    EXPECT_FALSE(EditGeometry::stitch(1, 30, 40, 0, 0, 30, 10).valid);
    EXPECT_FALSE(EditGeometry::stitch(0, 30, 40, 0, 7, 30, 7).valid);
    EXPECT_FALSE(EditGeometry::stitch(2, 30, 40, 1, 1, 5, 5).valid);
}

TEST(EditGeometry, RotationByCaption)
{
    struct Case {
        const char* caption;
        int angle;
        bool mirror, flip;
    } cases[] = {{"左右反転", 0, true, false}, {"上下反転", 0, false, true}, {"右90度", -9000, false, false},
                 {"右180度", -18000, false, false}, {"左90度", 9000, false, false},
                 {"左180度", 18000, false, false}, {"右90", 0, false, false}, {"", 0, false, false}};
    for (const Case& c : cases) {
        const auto r = EditGeometry::rotationFor(QString::fromUtf8(c.caption));
        EXPECT_EQ(r.hundredths, c.angle) << c.caption;
        EXPECT_EQ(r.mirror, c.mirror) << c.caption;
        EXPECT_EQ(r.flip, c.flip) << c.caption;
    }
}

TEST(EditGeometry, DepthSubsets)
{
    for (const char* c : {"16", "24", "32"})
        EXPECT_TRUE(EditGeometry::isTrueColour(QString::fromLatin1(c))) << c;
    for (const char* c : {"", "1", "4", "40", "8", "80", "6", "2", "3"})
        EXPECT_FALSE(EditGeometry::isTrueColour(QString::fromLatin1(c))) << c;
    for (int c : {80, 16, 24, 32})
        EXPECT_TRUE(EditGeometry::isSmoothCapable(c)) << c;
    for (int c : {0, 1, 4, 40, 8})
        EXPECT_FALSE(EditGeometry::isSmoothCapable(c)) << c;
}

TEST(EditGeometry, ARangeCoversRightMinusLeftPixels)
{
    // A registered 100 x 60 range is set from 1,1 to 101,61.
    EXPECT_EQ(EditGeometry::rangePixels(1, 1, 101, 61), QRect(1, 1, 100, 60));
    // Dragged up and to the left, the same pixels.
    EXPECT_EQ(EditGeometry::rangePixels(101, 61, 1, 1), QRect(1, 1, 100, 60));
    // No column or row covered: empty.
    EXPECT_TRUE(EditGeometry::rangePixels(10, 10, 10, 50).isEmpty());
    EXPECT_TRUE(EditGeometry::rangePixels(10, 10, 40, 10).isEmpty());
}
