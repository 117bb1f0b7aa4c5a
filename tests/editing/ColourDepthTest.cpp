#include <gtest/gtest.h>

#include "editing/ColourDepth.h"

using varnel::ColourDepth;
using varnel::Picture;

TEST(ColourDepth, ItemsAndCodesMatchBothWays)
{
    const int codes[] = {4, 40, 8, 80, 16, 24, 32};
    for (int i = 1; i <= 7; ++i) {
        EXPECT_EQ(ColourDepth::codeForItem(i), codes[i - 1]) << i;
        EXPECT_EQ(ColourDepth::itemForCode(codes[i - 1]), i) << i;
    }
    EXPECT_EQ(ColourDepth::codeForItem(0), 0);
    EXPECT_EQ(ColourDepth::codeForItem(8), 0);
    EXPECT_EQ(ColourDepth::itemForCode(1), 0); // 1 bit has no item
}

TEST(ColourDepth, GreyFourBitComesThroughGreyEightBit)
{
    QImage img(32, 8, QImage::Format_RGB32);
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 8; ++y)
            img.setPixel(x, y, qRgb(x * 8, 255 - x * 8, 100));
    Picture p(img);
    ASSERT_TRUE(ColourDepth::convert(p, 40));
    EXPECT_EQ(p.depthCode(), 40);
    EXPECT_TRUE(p.isGreyscale());
}

TEST(ColourDepth, SixteenColoursAreNotDithered)
{
    // A smooth ramp of 64 greys reduced to 16 colours without dithering
    // gives runs of equal neighbours, never alternating dots.
    QImage img(64, 1, QImage::Format_RGB32);
    for (int x = 0; x < 64; ++x)
        img.setPixel(x, 0, qRgb(x * 4, x * 4, x * 4));
    Picture p(img);
    ASSERT_TRUE(ColourDepth::convert(p, 4));
    EXPECT_EQ(p.bitsPerPixel(), 4);
    const QImage out = p.image().convertToFormat(QImage::Format_RGB32);
    int changes = 0;
    for (int x = 1; x < 64; ++x)
        changes += out.pixel(x, 0) != out.pixel(x - 1, 0);
    EXPECT_LE(changes, 15);
}

TEST(ColourDepth, UnknownCodeFailsAndLeavesPicture)
{
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(qRgb(1, 2, 3));
    Picture p(img);
    EXPECT_FALSE(ColourDepth::convert(p, 12));
    EXPECT_EQ(p.depthCode(), 24);
}

namespace {
// Pixels that differ from all four neighbours: the dots error diffusion
// scatters, which banding without it does not have.
int isolatedDots(const Picture& p)
{
    const QImage img = p.image().convertToFormat(QImage::Format_RGB32);
    int dots = 0;
    for (int y = 1; y + 1 < img.height(); ++y)
        for (int x = 1; x + 1 < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            dots += c != img.pixel(x - 1, y) && c != img.pixel(x + 1, y) && c != img.pixel(x, y - 1)
                    && c != img.pixel(x, y + 1);
        }
    return dots;
}
} // namespace

TEST(ColourDepth, DitheringOnlyWhereTheCodeAsksForIt)
{
    QImage img(96, 96, QImage::Format_RGB32);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x)
            img.setPixel(x, y, qRgb(x * 255 / 95, y * 255 / 95, (x + y) * 255 / 190));
    const int inner = 94 * 94;
    for (int code : {4, 40, 8, 1}) {
        Picture p(img);
        ASSERT_TRUE(ColourDepth::convert(p, code) || code == 1) << code;
        if (code == 1) {
            ASSERT_TRUE(p.convertDepth(1, true));
        }
        const int dots = isolatedDots(p);
        if (code == 4 || code == 40) {
            EXPECT_LT(dots, inner / 100) << code;
        } else {
            EXPECT_GT(dots, inner / 20) << code;
        }
    }
}
