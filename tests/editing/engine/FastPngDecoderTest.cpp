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

namespace {
quint32 crc32Of(const QByteArray& bytes)
{
    quint32 crc = 0xffffffffu;
    for (char ch : bytes) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void chunk(QByteArray& out, const char* type, const QByteArray& body)
{
    auto be32 = [](quint32 v) {
        QByteArray b(4, 0);
        for (int i = 0; i < 4; ++i)
            b[i] = char((v >> (24 - 8 * i)) & 0xff);
        return b;
    };
    const QByteArray typed = QByteArray(type) + body;
    out += be32(quint32(body.size())) + typed + be32(crc32Of(typed));
}

// A PNG whose row y uses filter filters[y % 5], written by hand: writers
// choose filters by their own taste, and the decoder must undo each one
// exactly, for 3 and 4 bytes a pixel.
QByteArray pngWithFilters(const QImage& img, bool alpha, const std::vector<int>& filters)
{
    const int bpp = alpha ? 4 : 3;
    const int w = img.width(), h = img.height();
    std::vector<QByteArray> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        QByteArray& r = rows[size_t(y)];
        r.resize(w * bpp);
        for (int x = 0; x < w; ++x) {
            const QRgb c = img.pixel(x, y);
            r[x * bpp] = char(qRed(c));
            r[x * bpp + 1] = char(qGreen(c));
            r[x * bpp + 2] = char(qBlue(c));
            if (alpha)
                r[x * bpp + 3] = char(qAlpha(c));
        }
    }
    auto at = [&](int y, int i) { return (y < 0 || i < 0) ? 0 : int(quint8(rows[size_t(y)][i])); };
    QByteArray raw;
    for (int y = 0; y < h; ++y) {
        const int f = filters[size_t(y) % filters.size()];
        raw += char(f);
        for (int i = 0; i < w * bpp; ++i) {
            const int x = at(y, i), a = at(y, i - bpp), b = at(y - 1, i), c = at(y - 1, i - bpp);
            int pred = 0;
            if (f == 1)
                pred = a;
            else if (f == 2)
                pred = b;
            else if (f == 3)
                pred = (a + b) / 2;
            else if (f == 4) {
                const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                pred = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
            }
            raw += char((x - pred) & 0xff);
        }
    }
    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr(13, 0);
    for (int i = 0; i < 4; ++i) {
        ihdr[i] = char((w >> (24 - 8 * i)) & 0xff);
        ihdr[4 + i] = char((h >> (24 - 8 * i)) & 0xff);
    }
    ihdr[8] = 8;
    ihdr[9] = char(alpha ? 6 : 2);
    chunk(out, "IHDR", ihdr);
    chunk(out, "IDAT", qCompress(raw).mid(4)); // qCompress: 4-byte length, then a zlib stream
    chunk(out, "IEND", {});
    return out;
}
} // namespace

TEST(FastPngDecoder, UndoesEveryFilterExactly)
{
    // Ties in Paeth (flat areas), wrap-around in Average (bright over dark)
    // and noise; odd widths so rows end mid-way through a vector.
    for (bool alpha : {false, true})
        for (const std::vector<int>& filters :
             {std::vector<int>{0}, {1}, {2}, {3}, {4}, {4, 3, 2, 1, 0}, {3, 4}}) {
            QImage src = screenshotLike(37, 23, alpha);
            for (int x = 0; x < 37; ++x)
                src.setPixel(x, 3, qRgba(255, 255, 255, 255));
            const QByteArray bytes = pngWithFilters(src, alpha, filters);
            QImage fast;
            ASSERT_EQ(FastPngDecoder::decode(bytes, fast), FastPngDecoder::Result::Decoded)
                << alpha << " " << filters[0];
            const QImage general = QImage::fromData(bytes, "PNG");
            ASSERT_FALSE(general.isNull());
            expectSamePixels(fast, general);
            expectSamePixels(fast, src);
        }
}

TEST(FastPngDecoder, BigPicturesSplitAtAnIndependentRowDecodeExactly)
{
    // Big enough to be undone on two threads, split at a Sub or None row
    // near the middle; Paeth and Average rows around it depend on it.
    for (bool alpha : {false, true}) {
        const QImage src = screenshotLike(1031, 1025, alpha);
        const QByteArray bytes = pngWithFilters(src, alpha, {4, 3, 2, 4, 4, 3, 4, 1, 2, 0, 3});
        QImage fast;
        ASSERT_EQ(FastPngDecoder::decode(bytes, fast), FastPngDecoder::Result::Decoded) << alpha;
        expectSamePixels(fast, src);
    }
    // The only independent rows far from the middle, with the costliest
    // filter everywhere else: the split lands on one of them or nowhere.
    std::vector<int> filters(1025, 4);
    filters[100] = 0;
    filters[900] = 1;
    for (bool alpha : {false, true}) {
        const QImage src = screenshotLike(1031, 1025, alpha);
        QImage fast;
        ASSERT_EQ(FastPngDecoder::decode(pngWithFilters(src, alpha, filters), fast),
                  FastPngDecoder::Result::Decoded);
        expectSamePixels(fast, src);
    }
}
