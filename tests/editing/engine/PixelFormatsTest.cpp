#include <gtest/gtest.h>

#include "editing/engine/PixelFormats.h"

using namespace varnel;

TEST(PictureBuffers, ScreenSizedBuffersServeTheNextPictureUntilIdle)
{
    releaseIdlePictureBuffers(std::chrono::milliseconds(0));
    const uchar* first = nullptr;
    {
        QImage a = allocateImage(3840, 2160, QImage::Format_RGB888);
        ASSERT_FALSE(a.isNull());
        first = a.constBits();
        EXPECT_EQ(keptPictureBufferBytes(), 0u);
    }
    EXPECT_GE(keptPictureBufferBytes(), size_t(3840) * 2160 * 3);
    {
        // Same size: the kept buffer, not fresh pages.
        QImage b = allocateImage(3840, 2160, QImage::Format_RGB888);
        EXPECT_EQ(b.constBits(), first);
        EXPECT_EQ(keptPictureBufferBytes(), 0u);
        // A second picture while the first lives gets memory of its own.
        QImage c = allocateImage(3840, 2160, QImage::Format_RGB888);
        EXPECT_NE(c.constBits(), first);
        c.fill(Qt::red);
        b.fill(Qt::blue);
        EXPECT_EQ(c.pixel(0, 0), qRgb(255, 0, 0));
    }
    EXPECT_GT(keptPictureBufferBytes(), 0u);
    // Kept only a while: an idle program gives the memory back.
    EXPECT_EQ(releaseIdlePictureBuffers(std::chrono::hours(1)), 0u);
    EXPECT_GT(releaseIdlePictureBuffers(std::chrono::milliseconds(0)), 0u);
    EXPECT_EQ(keptPictureBufferBytes(), 0u);
}

TEST(PictureBuffers, WhatIsKeptIsBounded)
{
    releaseIdlePictureBuffers(std::chrono::milliseconds(0));
    {
        std::vector<QImage> many;
        for (int i = 0; i < 12; ++i)
            many.push_back(allocateImage(4000 + 64 * i, 3000, QImage::Format_ARGB32));
    } // 12 x 48 MB given back at once
    EXPECT_LE(keptPictureBufferBytes(), size_t(256) << 20);
    EXPECT_GT(keptPictureBufferBytes(), size_t(128) << 20);
    releaseIdlePictureBuffers(std::chrono::milliseconds(0));
}
