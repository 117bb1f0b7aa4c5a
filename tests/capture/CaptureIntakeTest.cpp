#include <gtest/gtest.h>

#include "capture/CaptureIntake.h"
#include "capture/CaptureOptions.h"
#include "editing/engine/BmpCodec.h"
#include "platform/fake/FakePlatform.h"

using namespace varnel;

TEST(CaptureIntake, StampPositionFullScreenUsesScreenCoordinates)
{
    EXPECT_EQ(CaptureIntake::stampPosition({1920, 1080}, {1920, 1080}, {100, 50}, QPoint(300, 200)),
              QPoint(100, 50));
    // Larger than the screen counts as full screen too.
    EXPECT_EQ(CaptureIntake::stampPosition({3840, 1080}, {1920, 1080}, {100, 50}, QPoint(3, 2)),
              QPoint(100, 50));
}

TEST(CaptureIntake, StampPositionWindowCaptureIsRelativeToActiveWindow)
{
    EXPECT_EQ(CaptureIntake::stampPosition({800, 600}, {1920, 1080}, {400, 300}, QPoint(300, 200)),
              QPoint(100, 100));
    // As wide as the screen but shorter (a maximised window without the
    // panel): still a window capture. Testing the width alone would miss it.
    EXPECT_EQ(CaptureIntake::stampPosition({1920, 1040}, {1920, 1080}, {400, 300}, QPoint(0, 40)),
              QPoint(400, 260));
    // As tall but narrower: a window capture too.
    EXPECT_EQ(CaptureIntake::stampPosition({1000, 1080}, {1920, 1080}, {400, 300}, QPoint(10, 0)),
              QPoint(390, 300));
    // No active window known: treat as full screen.
    EXPECT_EQ(CaptureIntake::stampPosition({800, 600}, {1920, 1080}, {400, 300}, std::nullopt),
              QPoint(400, 300));
}

TEST(CaptureIntake, GrabTakesOnceStampsAndSets96Dpi)
{
    FakePlatform fp;
    QImage shot(20, 10, QImage::Format_RGB32);
    shot.fill(qRgb(0, 0, 255));
    fp.clipboard->setSilently(shot);
    fp.pointer->screen = QSize(20, 10);
    QImage arrow(2, 2, QImage::Format_ARGB32);
    arrow.fill(qRgba(255, 0, 0, 255));
    Picture out;
    ASSERT_TRUE(CaptureIntake::grab(*fp.clipboard, *fp.pointer, {arrow, QPoint(5, 3)}, out));
    EXPECT_EQ(fp.clipboard->takeCount, 1);
    EXPECT_EQ(out.width(), 20);
    EXPECT_EQ(out.dpiX(), 96);
    EXPECT_EQ(out.dpiY(), 96);
    EXPECT_EQ(QColor(out.image().pixel(5, 3)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(out.image().pixel(6, 4)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(out.image().pixel(7, 3)), QColor(0, 0, 255));
}

TEST(CaptureIntake, GrabFailsWithoutPictureAndLeavesOutputAlone)
{
    FakePlatform fp;
    QImage keep(3, 3, QImage::Format_RGB32);
    keep.fill(Qt::green);
    Picture out(keep);
    EXPECT_FALSE(CaptureIntake::grab(*fp.clipboard, *fp.pointer, {}, out));
    EXPECT_EQ(out.width(), 3);
}

TEST(CaptureIntake, ClipboardBitmapsAndPngAreDecodedByTheEnginesOwnReaders)
{
    QImage src(37, 21, QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            src.setPixel(x, y, qRgb(x * 7, y * 11, (x + y) * 3));
    for (const char* mime : {"image/bmp", "image/x-MS-bmp"}) {
        const QImage got = CaptureIntake::decode(BmpCodec::encode(src, 24), mime);
        ASSERT_FALSE(got.isNull()) << mime;
        EXPECT_EQ(got.convertToFormat(QImage::Format_RGB32), src) << mime;
    }
    // Cut short: nothing, for the general reader to try and refuse.
    EXPECT_TRUE(CaptureIntake::decode(BmpCodec::encode(src, 24).left(100), "image/bmp").isNull());
    EXPECT_TRUE(CaptureIntake::decode(BmpCodec::encode(src, 24), "image/tiff").isNull());
}

TEST(CaptureOptions, ColourCodesByPosition)
{
    EXPECT_FALSE(CaptureOptions::colourCode(0));
    const int expected[] = {4, 40, 8, 80, 16, 24, 32, 32};
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(CaptureOptions::colourCode(i), expected[i - 1]) << i;
    EXPECT_FALSE(CaptureOptions::colourCode(9));
    EXPECT_FALSE(CaptureOptions::colourCode(-1));
    EXPECT_EQ(CaptureOptions::colourReductionCaptions().size(), 6);
    EXPECT_EQ(CaptureOptions::colourReductionCaptions()[2], QStringLiteral("ｸﾞﾚｰ(4bit)"));
}
