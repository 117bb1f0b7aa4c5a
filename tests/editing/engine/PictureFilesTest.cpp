#include "TestFiles.h"
#include "editing/engine/BmpCodec.h"
#include "editing/engine/PcxCodec.h"
#include "editing/engine/Picture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <gtest/gtest.h>

using varnel::ImageFormat;
using varnel::Picture;

namespace {

// Known colours at every pixel, with an odd width so rows need padding.
QImage testPattern(int w = 13, int h = 7)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 37) & 255, (y * 61) & 255, ((x + y) * 23) & 255));
    return img;
}

QImage argb(const Picture& p)
{
    return p.image().convertToFormat(QImage::Format_ARGB32);
}

int headerBitCount(const QByteArray& bmp)
{
    return uchar(bmp[28]) | (uchar(bmp[29]) << 8);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class BmpRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(BmpRoundTrip, KeepsDepthCodePixelsAndHeaderBitCount)
{
    const int code = GetParam();
    Picture p(testPattern());
    ASSERT_TRUE(p.convertDepth(code, false));
    ASSERT_EQ(p.depthCode(), code);
    testfiles::TempFolder dir;
    const QString path = dir.file("pic.bmp");
    ASSERT_TRUE(p.save(path, ImageFormat::Bmp));
    const QByteArray bytes = readAll(path);
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(headerBitCount(bytes), code >= 40 ? code / 10 : code);

    Picture back;
    ASSERT_TRUE(back.load(path));
    EXPECT_EQ(back.depthCode(), code);
    EXPECT_EQ(back.bitsPerPixel(), code >= 40 ? code / 10 : code);
    ASSERT_EQ(back.width(), 13);
    ASSERT_EQ(back.height(), 7);
    EXPECT_EQ(argb(back), argb(p));
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, BmpRoundTrip, ::testing::Values(1, 4, 40, 8, 80, 16, 24, 32));

TEST(BmpCodec, ThirtyTwoBitKeepsAlphaAndReadsZeroReservedAsOpaque)
{
    QImage img(3, 2, QImage::Format_ARGB32);
    img.fill(qRgba(10, 20, 30, 128));
    int bpp = 0;
    QImage back;
    ASSERT_TRUE(varnel::BmpCodec::decode(varnel::BmpCodec::encode(img, 32), &back, &bpp));
    EXPECT_EQ(bpp, 32);
    EXPECT_EQ(back.pixel(2, 1), qRgba(10, 20, 30, 128));

    img.fill(qRgba(10, 20, 30, 0)); // what most writers put in the reserved byte
    ASSERT_TRUE(varnel::BmpCodec::decode(varnel::BmpCodec::encode(img, 32), &back, &bpp));
    EXPECT_EQ(back.pixel(0, 0), qRgba(10, 20, 30, 255));
}

TEST(BmpCodec, ReadsRle8AndRle4WithDeltaAndTopDownRows)
{
    // 4 x 2, RLE8: bottom row "1 1 1 2", top row delta then absolute run.
    auto build = [](quint32 compression, int bits, const QByteArray& pixels, int height) {
        QByteArray d(54 + 4 * 16, '\0');
        d[0] = 'B';
        d[1] = 'M';
        auto put32 = [&](int off, qint32 v) {
            for (int i = 0; i < 4; ++i)
                d[off + i] = char(quint32(v) >> (8 * i));
        };
        put32(10, 54 + 4 * 16);
        put32(14, 40);
        put32(18, 4);
        put32(22, height);
        d[26] = 1;
        d[28] = char(bits);
        put32(30, qint32(compression));
        put32(46, 16);
        for (int i = 0; i < 16; ++i) {
            d[54 + 4 * i] = char(i * 10);     // blue
            d[54 + 4 * i + 1] = char(i * 5);  // green
            d[54 + 4 * i + 2] = char(i * 15); // red
        }
        return d + pixels;
    };
    QImage img;
    int bpp = 0;
    // Bottom row: a run of three 1s and one 2; top row: an absolute run.
    const QByteArray rle8b = QByteArray::fromHex("0301" "0102" "0000" "0004" "04050607" "0001");
    ASSERT_TRUE(varnel::BmpCodec::decode(build(1, 8, rle8b, 2), &img, &bpp));
    EXPECT_EQ(bpp, 8);
    EXPECT_EQ(img.pixelIndex(0, 1), 1);
    EXPECT_EQ(img.pixelIndex(3, 1), 2);
    EXPECT_EQ(img.pixelIndex(0, 0), 4);
    EXPECT_EQ(img.pixelIndex(3, 0), 7);
    EXPECT_EQ(img.pixel(3, 0), qRgb(7 * 15, 7 * 5, 7 * 10));

    // RLE4 with a delta that skips two pixels of the bottom row.
    const QByteArray rle4 = QByteArray::fromHex("0212" "00020200" "0000" "0423" "0001");
    ASSERT_TRUE(varnel::BmpCodec::decode(build(2, 4, rle4, 2), &img, &bpp));
    EXPECT_EQ(bpp, 4);
    EXPECT_EQ(img.pixelIndex(0, 1), 1);
    EXPECT_EQ(img.pixelIndex(1, 1), 2);
    EXPECT_EQ(img.pixelIndex(2, 1), 0); // skipped by the delta
    EXPECT_EQ(img.pixelIndex(0, 0), 2);
    EXPECT_EQ(img.pixelIndex(1, 0), 3);
    EXPECT_EQ(img.pixelIndex(2, 0), 2);

    // Negative height: rows from the top.
    QByteArray raw = QByteArray::fromHex("01020304" "05060708");
    ASSERT_TRUE(varnel::BmpCodec::decode(build(0, 8, raw, -2), &img, &bpp));
    EXPECT_EQ(img.pixelIndex(0, 0), 1);
    EXPECT_EQ(img.pixelIndex(0, 1), 5);
}

TEST(BmpCodec, DeviceReadMatchesMemoryReadAtEveryDepth)
{
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bpp);
        Picture p(testPattern(37, 11));
        ASSERT_TRUE(p.convertDepth(bpp, false));
        const QByteArray file = varnel::BmpCodec::encode(p.image(), bpp);
        QImage mem, dev;
        int memBpp = 0, devBpp = 0;
        ASSERT_TRUE(varnel::BmpCodec::decode(file, &mem, &memBpp));
        QBuffer buf;
        buf.setData(file);
        ASSERT_TRUE(buf.open(QIODevice::ReadOnly));
        // A small head forces the direct pixel read for 24 and 32 bit.
        ASSERT_TRUE(varnel::BmpCodec::decodeFile(buf, &dev, &devBpp, 64));
        EXPECT_EQ(devBpp, memBpp);
        EXPECT_EQ(dev, mem);
        EXPECT_EQ(dev.convertToFormat(QImage::Format_ARGB32), p.image().convertToFormat(QImage::Format_ARGB32));
        // Cut short: both fail.
        QBuffer cut;
        cut.setData(file.left(file.size() - 3));
        ASSERT_TRUE(cut.open(QIODevice::ReadOnly));
        EXPECT_FALSE(varnel::BmpCodec::decodeFile(cut, &dev, &devBpp, 64));
    }
}

TEST(BmpCodec, ReadsBitFieldsAndOs2Headers)
{
    // 2 x 1 at 16 bit with 5-6-5 masks after a 40-byte header.
    QByteArray d(14 + 40 + 12 + 4, '\0');
    auto put32 = [&](int off, quint32 v) {
        for (int i = 0; i < 4; ++i)
            d[off + i] = char(v >> (8 * i));
    };
    d[0] = 'B';
    d[1] = 'M';
    put32(10, 66);
    put32(14, 40);
    put32(18, 2);
    put32(22, 1);
    d[26] = 1;
    d[28] = 16;
    put32(30, 3);
    put32(54, 0xf800);
    put32(58, 0x07e0);
    put32(62, 0x001f);
    d[66] = char(0x00);
    d[67] = char(0xf8); // pure red
    d[68] = char(0x1f);
    d[69] = char(0x00); // pure blue
    QImage img;
    int bpp = 0;
    ASSERT_TRUE(varnel::BmpCodec::decode(d, &img, &bpp));
    EXPECT_EQ(bpp, 16);
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(qBlue(img.pixel(1, 0)), 255);
    EXPECT_EQ(qRed(img.pixel(1, 0)), 0);

    // OS/2 1.x header: 12 bytes, 3-byte palette entries, 2 x 1 at 8 bit.
    QByteArray os2(14 + 12 + 256 * 3 + 4, '\0');
    os2[0] = 'B';
    os2[1] = 'M';
    os2[10] = char((14 + 12 + 768) & 255);
    os2[11] = char((14 + 12 + 768) >> 8);
    os2[14] = 12;
    os2[18] = 2;
    os2[20] = 1;
    os2[22] = 1;
    os2[24] = 8;
    os2[26 + 3 * 5] = 9;      // entry 5: blue 9
    os2[26 + 3 * 5 + 2] = 99; // red 99
    os2[14 + 12 + 768] = 5;
    ASSERT_TRUE(varnel::BmpCodec::decode(os2, &img, &bpp));
    EXPECT_EQ(bpp, 8);
    EXPECT_EQ(img.pixel(0, 0), qRgb(99, 0, 9));
}

TEST(BmpCodec, RefusesBrokenAndHostileHeaders)
{
    const QByteArray good = varnel::BmpCodec::encode(testPattern(), 24);
    QImage img;
    int bpp = 0;
    ASSERT_TRUE(varnel::BmpCodec::decode(good, &img, &bpp));
    // Truncated pixel data.
    EXPECT_FALSE(varnel::BmpCodec::decode(good.left(good.size() - 5), &img, &bpp));
    EXPECT_FALSE(varnel::BmpCodec::decode(good.left(30), &img, &bpp));
    // A side beyond the limit.
    QByteArray huge = good;
    huge[18] = char(0x01);
    huge[19] = char(0x40);
    huge[20] = char(0x00); // width 16385
    EXPECT_FALSE(varnel::BmpCodec::decode(huge, &img, &bpp));
    // Zero and negative widths, unknown bit counts and compressions.
    QByteArray bad = good;
    bad[18] = bad[19] = bad[20] = bad[21] = 0;
    EXPECT_FALSE(varnel::BmpCodec::decode(bad, &img, &bpp));
    bad = good;
    bad[28] = 7;
    EXPECT_FALSE(varnel::BmpCodec::decode(bad, &img, &bpp));
    bad = good;
    bad[30] = 4; // JPEG inside
    EXPECT_FALSE(varnel::BmpCodec::decode(bad, &img, &bpp));
}

TEST(PictureLoad, KeepsTrueDepthOfOtherFormats)
{
    testfiles::TempFolder dir;
    // A grey 8-bit PNG written by Qt loads as grey 8 bit.
    QImage grey(8, 4, QImage::Format_Grayscale8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            grey.setPixel(x, y, qRgb(x * 30, x * 30, x * 30));
    ASSERT_TRUE(grey.save(dir.file("grey.png")));
    Picture p;
    ASSERT_TRUE(p.load(dir.file("grey.png")));
    EXPECT_EQ(p.depthCode(), 80);
    EXPECT_EQ(qGray(p.image().pixel(3, 2)), 90);

    // JPEG: colour gives 24, grey gives 80.
    ASSERT_TRUE(testPattern().save(dir.file("c.jpg"), "jpeg", 90));
    ASSERT_TRUE(p.load(dir.file("c.jpg")));
    EXPECT_EQ(p.depthCode(), 24);
    ASSERT_TRUE(grey.save(dir.file("g.jpg"), "jpeg", 90));
    ASSERT_TRUE(p.load(dir.file("g.jpg")));
    EXPECT_EQ(p.depthCode(), 80);

    // A 32-bit PNG with alpha stays 32.
    QImage alpha(5, 5, QImage::Format_ARGB32);
    alpha.fill(qRgba(1, 2, 3, 100));
    ASSERT_TRUE(alpha.save(dir.file("a.png")));
    ASSERT_TRUE(p.load(dir.file("a.png")));
    EXPECT_EQ(p.depthCode(), 32);
}

TEST(PictureSave, EveryWritableFormatLoadsBackWithItsPixels)
{
    testfiles::TempFolder dir;
    Picture p(testPattern());
    Picture palette = p;
    ASSERT_TRUE(palette.convertDepth(8, false)); // 91 colours: exact palette

    struct Case {
        const char* name;
        ImageFormat format;
        const Picture* pic;
        int code;
    } cases[] = {
        {"p.png", ImageFormat::Png, &p, 24},        {"p8.png", ImageFormat::Png, &palette, 8},
        {"p.gif", ImageFormat::Gif, &palette, 8},   {"p.tif", ImageFormat::Tiff, &p, 24},
        {"p.pcx", ImageFormat::Pcx, &p, 24},        {"p8.pcx", ImageFormat::Pcx, &palette, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.pic->save(dir.file(c.name), c.format));
        Picture back;
        ASSERT_TRUE(back.load(dir.file(c.name)));
        EXPECT_EQ(back.depthCode(), c.code);
        EXPECT_EQ(argb(back), argb(*c.pic));
    }
    // A true-colour picture saved as GIF becomes a palette file.
    ASSERT_TRUE(p.save(dir.file("t.gif"), ImageFormat::Gif));
    Picture back;
    ASSERT_TRUE(back.load(dir.file("t.gif")));
    EXPECT_EQ(back.depthCode(), 8);

    // JPEG honours the quality.
    ASSERT_TRUE(p.save(dir.file("lo.jpg"), ImageFormat::Jpeg, 10));
    ASSERT_TRUE(p.save(dir.file("hi.jpg"), ImageFormat::Jpeg, 95));
    EXPECT_LT(readAll(dir.file("lo.jpg")).size(), readAll(dir.file("hi.jpg")).size());
    ASSERT_TRUE(back.load(dir.file("hi.jpg")));
    EXPECT_EQ(back.depthCode(), 24);

    // FlashPix cannot be written and says so, leaving nothing behind.
    EXPECT_FALSE(p.save(dir.file("p.fpx"), ImageFormat::FlashPix));
    EXPECT_FALSE(dir.exists("p.fpx"));
}

TEST(PictureSave, PalettePicturesKeepTheirDepthInPcxPngAndGif)
{
    testfiles::TempFolder dir;
    QImage fewColours(9, 5, QImage::Format_RGB888); // 8 bit with few colours stays 8 bit
    fewColours.fill(qRgb(10, 20, 30));
    fewColours.setPixel(3, 3, qRgb(200, 100, 0));
    for (const QString name : {"x.pcx", "x.png", "x.gif"}) {
        const ImageFormat format = name.endsWith("pcx") ? ImageFormat::Pcx
            : name.endsWith("png")                      ? ImageFormat::Png
                                                        : ImageFormat::Gif;
        for (int code : {1, 4, 40, 8, 80, 108}) {
            SCOPED_TRACE(qPrintable(name + " " + QString::number(code)));
            Picture p(code == 108 ? fewColours : testPattern());
            ASSERT_TRUE(p.convertDepth(code == 108 ? 8 : code, true));
            ASSERT_TRUE(p.save(dir.file(name), format));
            Picture back;
            ASSERT_TRUE(back.load(dir.file(name)));
            EXPECT_EQ(back.depthCode(), p.depthCode());
            EXPECT_EQ(argb(back), argb(p));
        }
    }
}

TEST(PictureSave, ReplacesWholeFilesAndLeavesNoTemporaryFiles)
{
    testfiles::TempFolder dir;
    dir.write("x.bmp", "old contents");
    Picture p(testPattern());
    ASSERT_TRUE(p.save(dir.file("x.bmp"), ImageFormat::Bmp));
    Picture back;
    ASSERT_TRUE(back.load(dir.file("x.bmp")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"x.bmp"});
    // Permissions as for any new file, not the temporary file's private ones.
    dir.write("plain.txt", "x");
    EXPECT_EQ(QFile::permissions(dir.file("x.bmp")), QFile::permissions(dir.file("plain.txt")));
    QFile::remove(dir.file("plain.txt"));

    // A folder that does not exist: failure, and nothing created.
    EXPECT_FALSE(p.save(dir.file("missing/y.bmp"), ImageFormat::Bmp));
    // An empty picture writes nothing.
    EXPECT_FALSE(Picture().save(dir.file("z.bmp"), ImageFormat::Bmp));
    EXPECT_FALSE(dir.exists("z.bmp"));
}

TEST(PictureSave, SaveNewNeverOverwrites)
{
    testfiles::TempFolder dir;
    Picture p(testPattern());
    bool taken = true;
    ASSERT_TRUE(p.saveNew(dir.file("001.bmp"), ImageFormat::Bmp, 75, &taken));
    EXPECT_FALSE(taken);
    Picture back;
    ASSERT_TRUE(back.load(dir.file("001.bmp")));
    EXPECT_EQ(argb(back), argb(p));

    dir.write("002.bmp", "someone else's file");
    EXPECT_FALSE(p.saveNew(dir.file("002.bmp"), ImageFormat::Bmp, 75, &taken));
    EXPECT_TRUE(taken);
    EXPECT_EQ(dir.read("002.bmp"), QByteArray("someone else's file"));

    // A second save to a now-taken name fails too.
    EXPECT_FALSE(p.saveNew(dir.file("001.bmp"), ImageFormat::Bmp, 75, &taken));
    EXPECT_TRUE(taken);

    // Failure for another reason is not reported as a taken name.
    EXPECT_FALSE(p.saveNew(dir.file("nowhere/003.bmp"), ImageFormat::Bmp, 75, &taken));
    EXPECT_FALSE(taken);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(PictureLoad, BrokenFilesFailAndKeepThePicture)
{
    testfiles::TempFolder dir;
    Picture p(testPattern());
    const QImage before = p.image();
    // Truncated PNG and JPEG, garbage, an empty file, a missing file.
    Picture src(testPattern(64, 64));
    ASSERT_TRUE(src.save(dir.file("ok.png"), ImageFormat::Png));
    ASSERT_TRUE(src.save(dir.file("ok.jpg"), ImageFormat::Jpeg));
    ASSERT_TRUE(src.save(dir.file("ok.pcx"), ImageFormat::Pcx));
    dir.write("cut.png", dir.read("ok.png").left(60));
    dir.write("cut.jpg", dir.read("ok.jpg").left(20));
    dir.write("cut.pcx", dir.read("ok.pcx").left(300));
    dir.write("junk.bmp", QByteArray("BM") + QByteArray(100, '\xff'));
    dir.write("empty.png", QByteArray());
    for (const char* name : {"cut.png", "cut.jpg", "cut.pcx", "junk.bmp", "empty.png", "none.bmp"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(p.load(dir.file(name)));
        EXPECT_EQ(p.image(), before);
    }
}

TEST(PictureLoad, SidesUpTo16384LoadAndLargerAreRefused)
{
    testfiles::TempFolder dir;
    // 16384 x 1 and 1 x 16384 are fine; a PNG header claiming 16385 is refused
    // before any pixel memory is taken.
    Picture wide(QImage(16384, 1, QImage::Format_RGB888));
    ASSERT_TRUE(wide.save(dir.file("wide.png"), ImageFormat::Png));
    Picture back;
    EXPECT_TRUE(back.load(dir.file("wide.png")));
    EXPECT_EQ(back.width(), 16384);

    QByteArray png = dir.read("wide.png");
    png[16] = 0;
    png[17] = 0;
    png[18] = char(0x40);
    png[19] = char(0x01); // width 16385, header CRC now wrong too
    dir.write("huge.png", png);
    EXPECT_FALSE(back.load(dir.file("huge.png")));

    // A BMP header claiming 20000 x 20000.
    QByteArray bmp = varnel::BmpCodec::encode(QImage(2, 2, QImage::Format_RGB888), 24);
    bmp[18] = char(0x20);
    bmp[19] = char(0x4e);
    bmp[22] = char(0x20);
    bmp[23] = char(0x4e);
    EXPECT_FALSE(back.loadFromData(bmp));
}

TEST(PictureResolution, ReadSetAndWrittenToFiles)
{
    testfiles::TempFolder dir;
    Picture p(testPattern());
    p.setResolution(96, 96);
    EXPECT_EQ(p.dpiX(), 96);
    EXPECT_EQ(p.dpiY(), 96);
    p.setResolution(300, 150);
    for (auto [name, format] : {std::pair{"r.bmp", ImageFormat::Bmp}, std::pair{"r.png", ImageFormat::Png},
                                std::pair{"r.pcx", ImageFormat::Pcx}}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(p.save(dir.file(name), format));
        Picture back;
        ASSERT_TRUE(back.load(dir.file(name)));
        EXPECT_EQ(back.dpiX(), 300);
        EXPECT_EQ(back.dpiY(), 150);
    }
}

TEST(PictureLoad, BigPicturesRoundTripThroughTheirOwnMemory)
{
    // Above 4 MB the engine allocates pictures itself; they must behave as any other.
    testfiles::TempFolder dir;
    const QImage src = testPattern(1500, 1000);
    Picture p(src);
    ASSERT_TRUE(p.save(dir.file("big.bmp"), ImageFormat::Bmp));
    Picture back;
    ASSERT_TRUE(back.load(dir.file("big.bmp")));
    EXPECT_EQ(back.depthCode(), 24);
    EXPECT_EQ(argb(back), argb(p));
    Picture copy = back;
    ASSERT_TRUE(back.rotate(9000, false, false, true, 0));
    EXPECT_EQ(back.image().pixel(0, 0) | 0xff000000u, src.pixel(1499, 0));
    EXPECT_EQ(copy.image().pixel(0, 0) | 0xff000000u, src.pixel(0, 0)); // the copy is untouched
    ASSERT_TRUE(copy.brighten(1, 1, 1));
    EXPECT_EQ(qRed(copy.image().pixel(3, 0)), qRed(src.pixel(3, 0)) + 1);
    ASSERT_TRUE(copy.convertDepth(8, true));
    EXPECT_EQ(copy.depthCode(), 8);
}
