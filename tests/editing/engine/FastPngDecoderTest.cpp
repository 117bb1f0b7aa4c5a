#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>
#include <QRandomGenerator>

#include "editing/engine/FastPngDecoder.h"

using varnel::FastPngDecoder;

namespace {
// Flat areas, gradients and noise, so that the writer uses every filter.
QImage screenshotLike(int w, int h, bool alpha)
{
    QImage img(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QRandomGenerator rng(42);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            QRgb c;
            if (x < w / 3)
                c = qRgb(240, 240, 240);
            else if (x < 2 * w / 3)
                c = qRgb(x * 3 % 256, y * 5 % 256, (x + y) % 256);
            else
                c = qRgb(rng.bounded(256), rng.bounded(256), rng.bounded(256));
            img.setPixel(x, y, alpha ? qRgba(qRed(c), qGreen(c), qBlue(c), (x * 7 + y) % 256) : c);
        }
    return img;
}

QByteArray png(const QImage& img, int quality = -1)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter w(&buf, "png");
    w.setQuality(quality);
    w.write(img);
    return bytes;
}

void expectSamePixels(const QImage& a, const QImage& b)
{
    ASSERT_EQ(a.size(), b.size());
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    for (int r = 0; r < x.height(); ++r)
        ASSERT_EQ(0, memcmp(x.scanLine(r), y.scanLine(r), size_t(x.width()) * 4)) << "row " << r;
}
} // namespace

TEST(FastPngDecoder, DecodesRgbAndRgbaLikeTheGeneralDecoder)
{
    for (bool alpha : {false, true})
        for (int quality : {0, 50, 100}) {
            const QImage src = screenshotLike(97, 61, alpha);
            const QByteArray bytes = png(src, quality);
            QImage fast;
            ASSERT_EQ(FastPngDecoder::decode(bytes, fast), FastPngDecoder::Result::Decoded);
            EXPECT_EQ(fast.format(), alpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
            expectSamePixels(fast, QImage::fromData(bytes, "PNG"));
        }
}

TEST(FastPngDecoder, KeepsResolution)
{
    QImage src = screenshotLike(8, 8, false);
    src.setDotsPerMeterX(3780);
    src.setDotsPerMeterY(3780);
    QImage fast;
    ASSERT_EQ(FastPngDecoder::decode(png(src), fast), FastPngDecoder::Result::Decoded);
    EXPECT_EQ(fast.dotsPerMeterX(), 3780);
}

TEST(FastPngDecoder, LeavesOtherKindsToTheGeneralDecoder)
{
    QImage out;
    QImage grey = screenshotLike(10, 10, false).convertToFormat(QImage::Format_Grayscale8);
    EXPECT_EQ(FastPngDecoder::decode(png(grey), out), FastPngDecoder::Result::NotHandled);
    QImage pal = screenshotLike(10, 10, false).convertToFormat(QImage::Format_Indexed8);
    EXPECT_EQ(FastPngDecoder::decode(png(pal), out), FastPngDecoder::Result::NotHandled);
    QImage deep = screenshotLike(10, 10, false).convertToFormat(QImage::Format_RGBX64);
    EXPECT_EQ(FastPngDecoder::decode(png(deep), out), FastPngDecoder::Result::NotHandled);
    EXPECT_EQ(FastPngDecoder::decode(QByteArray("BM not a png"), out), FastPngDecoder::Result::NotHandled);
    EXPECT_EQ(FastPngDecoder::decode(png(screenshotLike(20, 5, false)), out, 10),
              FastPngDecoder::Result::NotHandled);
    EXPECT_TRUE(out.isNull());
}

TEST(FastPngDecoder, EveryTruncationOrFlippedByteFailsCleanly)
{
    const QByteArray good = png(screenshotLike(33, 17, true));
    QImage out;
    for (int n = 0; n < good.size(); n += 7)
        EXPECT_NE(FastPngDecoder::decode(good.left(n), out), FastPngDecoder::Result::Decoded) << n;
    for (int i = 8; i < good.size(); i += 5) {
        QByteArray bad = good;
        bad[i] = char(bad[i] ^ 0x5a);
        // A flipped byte breaks a checksum: never a picture with wrong pixels.
        EXPECT_NE(FastPngDecoder::decode(bad, out), FastPngDecoder::Result::Decoded) << i;
    }
}

TEST(FastPngDecoder, HeaderPromisingMoreThanTheDataCanHoldIsRefusedWithoutTakingMemory)
{
    // A valid small PNG whose header is rewritten to 4096 x 4096 RGBA: a
    // 64 MiB buffer that would be kept for the next capture.
    QByteArray bytes = png(screenshotLike(16, 16, true));
    auto put32 = [&](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char((v >> (24 - 8 * i)) & 0xff);
    };
    put32(16, 4096);
    put32(20, 4096);
    // Fix the header's checksum so that only the size is wrong.
    QByteArray ihdr = bytes.mid(12, 17);
    quint32 crc = 0xffffffffu;
    for (char ch : ihdr) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    put32(29, ~crc);
    QImage out;
    EXPECT_EQ(FastPngDecoder::decode(bytes, out), FastPngDecoder::Result::Broken);
    EXPECT_LT(FastPngDecoder::retainedBytes(), size_t(1) << 20);
}

TEST(FastPngDecoder, ColourKeyTransparencyGoesToTheGeneralDecoder)
{
    QImage img = screenshotLike(8, 8, false).convertToFormat(QImage::Format_RGB888);
    QByteArray bytes = png(img);
    // Insert a tRNS chunk (a colour key) before the first IDAT.
    const int idat = bytes.indexOf("IDAT") - 4;
    const QByteArray body = QByteArray("tRNS") + QByteArray("\x00\xf0\x00\xf0\x00\xf0", 6);
    quint32 crc = 0xffffffffu;
    for (char ch : body) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    QByteArray chunk = QByteArray("\x00\x00\x00\x06", 4) + body;
    for (int i = 0; i < 4; ++i)
        chunk += char((crc >> (24 - 8 * i)) & 0xff);
    bytes.insert(idat, chunk);
    QImage out;
    EXPECT_EQ(FastPngDecoder::decode(bytes, out), FastPngDecoder::Result::NotHandled);
    EXPECT_FALSE(QImage::fromData(bytes, "PNG").isNull()); // the chunk itself is well formed
}
