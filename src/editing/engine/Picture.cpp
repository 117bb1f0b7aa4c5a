#include "Picture.h"

#include "AtomicFile.h"
#include "BmpCodec.h"
#include "GifCodec.h"
#include "PcxCodec.h"
#include "PictureOps.h"
#include "PixelFormats.h"
#include "PngWriter.h"
#include "Quantizer.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <random>

namespace varnel {

namespace {

constexpr double kInchPerMetre = 39.37007874015748;
// Files above this size are not read into memory at all.
constexpr qint64 kMaxFileBytes = qint64(1200) * 1024 * 1024;

// Depth a PNG stores, from its header: 1, 4, 40, 8, 80, 24 or 32 (0 unknown).
int pngDepthCode(const QByteArray& d)
{
    if (d.size() < 26 || !d.startsWith("\x89PNG\r\n\x1a\n") || d.mid(12, 4) != "IHDR")
        return 0;
    const int bits = uchar(d[24]);
    switch (uchar(d[25])) {
    case 0: return bits == 1 ? 1 : bits <= 4 ? 40 : 80;
    case 2: return 24;
    case 3: return bits == 1 ? 1 : bits <= 4 ? 4 : 8;
    case 4:
    case 6: return 32;
    default: return 0;
    }
}

// Colours a GIF's global table holds (0 when it has none).
int gifTableSize(const QByteArray& d)
{
    if (d.size() < 13 || !d.startsWith("GIF"))
        return 0;
    const uchar packed = uchar(d[10]);
    return (packed & 0x80) ? 2 << (packed & 7) : 0;
}

void ensureAllocationLimit()
{
    // Qt refuses pictures above 256 MB by default; a 16384 x 16384 picture at
    // 32 bit needs 1 GB. Larger sides are refused before reading.
    static const bool once = [] {
        QImageReader::setAllocationLimit(1100);
        return true;
    }();
    Q_UNUSED(once);
}

// Palette images handed in from outside may lack a palette or use indices
// beyond it: give them one that covers every index.
QImage withFullPalette(const QImage& img)
{
    if (img.format() == QImage::Format_Mono || img.format() == QImage::Format_MonoLSB) {
        if (img.colorCount() >= 2)
            return img;
        QImage r = img;
        r.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        return r;
    }
    if (img.format() != QImage::Format_Indexed8)
        return img;
    int top = 0;
    for (int y = 0; y < img.height(); ++y) {
        const uchar* p = img.constScanLine(y);
        for (int x = 0; x < img.width(); ++x)
            top = std::max(top, int(p[x]));
    }
    if (top < img.colorCount())
        return img;
    QImage r = img;
    QList<QRgb> table = img.colorTable();
    if (table.isEmpty()) { // no palette at all: take the indices as greys
        for (int i = 0; i < 256; ++i)
            table.append(qRgb(i, i, i));
    }
    while (table.size() <= top)
        table.append(qRgb(0, 0, 0));
    r.setColorTable(table);
    return r;
}

// A picture of a given depth code from a decoded image: the engine format and bpp.
bool normalise(const QImage& source, int code, QImage* out, int* bpp)
{
    const QImage img = withFullPalette(source);
    QImage r;
    int b = 0;
    switch (code) {
    case 1:
    case 4:
    case 8: {
        const int want = code == 1 ? 2 : code == 4 ? 16 : 256;
        const bool mono = img.format() == QImage::Format_Mono || img.format() == QImage::Format_MonoLSB;
        if (code == 1 && mono)
            r = img.convertToFormat(QImage::Format_Mono);
        else if (code == 1)
            r = Quantizer::toMono(img, false);
        else if (img.format() == QImage::Format_Indexed8 && img.colorCount() <= want)
            r = img;
        else
            r = Quantizer::toPalette(img, want, false); // exact when the used colours fit
        b = code;
        break;
    }
    case 40:
        r = Quantizer::toGrey(img, 16, false);
        b = 4;
        break;
    case 80:
        r = Quantizer::toGrey(img, 256, false);
        b = 8;
        break;
    case 16:
    case 24:
    case 32:
        r = toEngineFormat(img, code);
        b = code;
        break;
    default:
        return false;
    }
    if (r.isNull())
        return false;
    r.setDotsPerMeterX(img.dotsPerMeterX());
    r.setDotsPerMeterY(img.dotsPerMeterY());
    *out = r;
    *bpp = b;
    return true;
}

QByteArray writeWithQt(const QImage& img, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    if (!buf.open(QIODevice::WriteOnly))
        return {};
    QImageWriter w(&buf, format);
    if (quality >= 0)
        w.setQuality(quality);
    if (!w.write(img))
        return {};
    return bytes;
}

} // namespace

Picture::Picture(const QImage& image)
{
    setImage(image);
}

void Picture::clear()
{
    m_image = QImage();
    m_bpp = 0;
}

void Picture::setImage(const QImage& image, int bitsPerPixel)
{
    if (image.isNull()) {
        clear();
        return;
    }
    int bpp = bitsPerPixel ? bitsPerPixel : bitsPerPixelOf(image);
    int code = bpp;
    if (image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_Grayscale16)
        code = bpp == 4 ? 40 : 80;
    QImage out;
    int outBpp = 0;
    if (!normalise(image, code, &out, &outBpp)) {
        // An unusual request (say 4 bit for a photo) still gives a picture.
        if (!normalise(image, 24, &out, &outBpp)) {
            clear();
            return;
        }
    }
    m_image = out;
    m_bpp = outBpp;
}

bool Picture::isGreyscale() const
{
    return isGreyImage(m_image);
}

int Picture::depthCode() const
{
    if ((m_bpp == 4 || m_bpp == 8) && isGreyscale())
        return m_bpp * 10;
    return m_bpp;
}

int Picture::dpiX() const
{
    return qRound(m_image.dotsPerMeterX() / kInchPerMetre);
}

int Picture::dpiY() const
{
    return qRound(m_image.dotsPerMeterY() / kInchPerMetre);
}

void Picture::setResolution(int x, int y)
{
    if (!hasPicture() || x <= 0 || y <= 0 || x > 100000 || y > 100000)
        return;
    m_image.setDotsPerMeterX(qRound(x * kInchPerMetre));
    m_image.setDotsPerMeterY(qRound(y * kInchPerMetre));
}

bool Picture::convertDepth(int code, bool dither)
{
    if (!hasPicture())
        return false;
    QImage out;
    int bpp = 0;
    switch (code) {
    case 1:
        out = Quantizer::toMono(m_image, dither);
        bpp = 1;
        break;
    case 4:
    case 8:
        out = Quantizer::toPalette(m_image, code == 4 ? 16 : 256, dither);
        bpp = code;
        break;
    case 40:
        out = Quantizer::toGrey(m_image, 16, dither);
        bpp = 4;
        break;
    case 80:
        out = Quantizer::toGrey(m_image, 256, dither);
        bpp = 8;
        break;
    case 16:
    case 24:
    case 32:
        out = m_image.convertToFormat(engineFormat(code));
        bpp = code;
        break;
    default:
        return false;
    }
    if (out.isNull())
        return false;
    out.setDotsPerMeterX(m_image.dotsPerMeterX());
    out.setDotsPerMeterY(m_image.dotsPerMeterY());
    m_image = out;
    m_bpp = bpp;
    return true;
}

QImage Picture::workingImage() const
{
    // Always a private copy: the operations write into it.
    const QImage::Format f = m_bpp == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB888;
    return m_image.format() == f ? deepCopy(m_image) : m_image.convertToFormat(f);
}

bool Picture::adoptWorking(const QImage& worked)
{
    if (worked.isNull())
        return false;
    QImage out;
    int bpp = 0;
    // Palette pictures come back without dithering, so a few new colours
    // (a fill, a mosaic block) do not turn into dot patterns.
    if (!normalise(worked, depthCode() == 40 ? 40 : depthCode() == 80 ? 80 : m_bpp, &out, &bpp))
        return false;
    m_image = out;
    m_bpp = bpp;
    return true;
}

bool Picture::crop(int left, int top, int right, int bottom)
{
    if (!hasPicture())
        return false;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    const QRect r = QRect(QPoint(left, top), QPoint(right, bottom)).intersected(m_image.rect());
    if (r.isEmpty())
        return false;
    QImage out = m_image.copy(r);
    if (out.isNull())
        return false;
    m_image = out;
    return true;
}

bool Picture::resize(int w, int h, bool smooth)
{
    if (!hasPicture() || w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide)
        return false;
    if (w == width() && h == height())
        return true;
    if (!smooth) {
        QImage out = PictureOps::scaleNearest(m_image, w, h);
        if (out.isNull())
            return false;
        m_image = out;
        return true;
    }
    const QImage::Format f = m_bpp == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB888;
    return adoptWorking(PictureOps::scaleSmooth(m_image.convertToFormat(f), w, h));
}

bool Picture::rotate(int hundredths, bool mirror, bool flip, bool smooth, QRgb fill)
{
    if (!hasPicture())
        return false;
    QImage img = (mirror || flip) ? m_image.mirrored(mirror, flip) : m_image;
    const int a = ((hundredths % 36000) + 36000) % 36000;
    if (a % 9000 == 0) {
        if (a != 0)
            img = PictureOps::rotateQuarter(img, a / 9000);
        if (img.isNull())
            return false;
        m_image = img;
        return true;
    }
    // Any other angle: draw the picture turned into its new bounding box.
    const QImage src = img.convertToFormat(m_bpp == 32 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    QTransform t;
    t.rotate(-a / 100.0); // counter-clockwise on screen
    const QRectF box = t.mapRect(QRectF(src.rect()));
    const int w = int(std::ceil(box.width() - 1e-6)), h = int(std::ceil(box.height() - 1e-6));
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide)
        return false;
    QImage out(w, h, src.format());
    if (out.isNull())
        return false;
    out.fill(QColor::fromRgb(fill));
    {
        QPainter p(&out);
        p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        p.setRenderHint(QPainter::Antialiasing, smooth);
        p.translate(w / 2.0, h / 2.0);
        p.setTransform(t, true);
        p.drawImage(QPointF(-src.width() / 2.0, -src.height() / 2.0), src);
    }
    out.setDotsPerMeterX(m_image.dotsPerMeterX());
    out.setDotsPerMeterY(m_image.dotsPerMeterY());
    return adoptWorking(out.convertToFormat(m_bpp == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB888));
}

void Picture::setRegion(RegionSide side, RegionShape shape, const QPolygon& polygon)
{
    m_side = side;
    m_shape = shape;
    m_polygon = polygon;
}

std::vector<uchar> Picture::regionMask(QRect* bounds) const
{
    return PictureOps::regionMask(m_image.size(), m_side, m_shape, m_polygon, bounds);
}

bool Picture::brighten(int red, int green, int blue)
{
    if (!hasPicture())
        return false;
    QRect bounds;
    const std::vector<uchar> mask = regionMask(&bounds);
    QImage work = workingImage();
    const int add[3] = {std::clamp(red, -255, 255), std::clamp(green, -255, 255), std::clamp(blue, -255, 255)};
    PictureOps::forEachPixel(work, mask, [&](uchar* rgb) {
        for (int k = 0; k < 3; ++k)
            rgb[k] = uchar(std::clamp(rgb[k] + add[k], 0, 255));
    });
    return adoptWorking(work);
}

bool Picture::adjustStrength(int strength)
{
    if (!hasPicture())
        return false;
    const int s = std::clamp(strength, -100, 100);
    QRect bounds;
    const std::vector<uchar> mask = regionMask(&bounds);
    QImage work = workingImage();
    // Negative: half of -s percent of the way to white (-100 goes half way, so
    // the area stays readable); positive: the same towards black.
    uchar lut[256];
    for (int c = 0; c < 256; ++c)
        lut[c] = uchar(s < 0 ? c + ((255 - c) * -s + 100) / 200 : c - (c * s + 100) / 200);
    PictureOps::forEachPixel(work, mask, [&](uchar* rgb) {
        for (int k = 0; k < 3; ++k)
            rgb[k] = lut[rgb[k]];
    });
    return adoptWorking(work);
}

bool Picture::marker(int red, int green, int blue)
{
    if (!hasPicture())
        return false;
    QRect bounds;
    const std::vector<uchar> mask = regionMask(&bounds);
    QImage work = workingImage();
    // Ink multiplies like a highlighter pen: a channel taken down keeps a
    // little of itself so the ink is not harsh; dark text stays dark.
    const int ink[3] = {red < 0 ? 40 : 255, green < 0 ? 40 : 255, blue < 0 ? 40 : 255};
    PictureOps::forEachPixel(work, mask, [&](uchar* rgb) {
        for (int k = 0; k < 3; ++k)
            rgb[k] = uchar((rgb[k] * ink[k] + 127) / 255);
    });
    return adoptWorking(work);
}

bool Picture::mosaic(int blockW, int blockH)
{
    if (!hasPicture() || blockW <= 0 || blockH <= 0)
        return false;
    QRect bounds;
    const std::vector<uchar> mask = regionMask(&bounds);
    if (bounds.isEmpty())
        return false;
    QImage work = workingImage();
    std::random_device seed;
    std::mt19937 rng(seed());
    PictureOps::mosaic(work, mask, bounds.topLeft(), blockW, blockH, rng);
    return adoptWorking(work);
}

bool Picture::pasteFrom(const Picture& source, int left, int top, int right, int bottom, const QPoint& destTopLeft)
{
    if (!hasPicture() || !source.hasPicture())
        return false;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    QRect src = QRect(QPoint(left, top), QPoint(right, bottom)).intersected(source.m_image.rect());
    if (src.isEmpty())
        return false;
    // Clip against the destination too, moving the source rectangle along.
    QRect dst(destTopLeft, src.size());
    const QRect clipped = dst.intersected(m_image.rect());
    if (clipped.isEmpty())
        return false;
    src = QRect(src.topLeft() + (clipped.topLeft() - dst.topLeft()), clipped.size());
    dst = clipped;
    const bool sameFormat = m_image.format() == source.m_image.format() && m_image.format() != QImage::Format_Mono
        && (m_image.format() != QImage::Format_Indexed8 || m_image.colorTable() == source.m_image.colorTable());
    if (sameFormat) {
        PictureOps::copyRect(source.m_image, src, m_image, dst.topLeft());
        return true;
    }
    QImage work = workingImage();
    const QImage part = source.m_image.copy(src).convertToFormat(work.format());
    if (part.isNull())
        return false;
    PictureOps::copyRect(part, part.rect(), work, dst.topLeft());
    return adoptWorking(work);
}

bool Picture::load(const QString& path)
{
    QFile f(path);
    // Unbuffered: big reads go straight into the picture's memory.
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    if (f.size() > kMaxFileBytes)
        return false;
    const QByteArray magic = f.read(2);
    if (!f.seek(0))
        return false;
    if (magic == "BM") {
        QImage img;
        int bpp = 0;
        if (!BmpCodec::decodeFile(f, &img, &bpp))
            return false;
        m_image = img;
        m_bpp = bpp;
        return true;
    }
    const QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return false;
    return loadFromData(data);
}

bool Picture::loadFromData(const QByteArray& data)
{
    if (data.isEmpty())
        return false;
    QImage img;
    int bpp = 0;
    if (data.startsWith("BM")) {
        if (!BmpCodec::decode(data, &img, &bpp))
            return false;
        m_image = img;
        m_bpp = bpp;
        return true;
    }
    if (PcxCodec::looksLikePcx(data)) {
        if (!PcxCodec::decode(data, &img, &bpp))
            return false;
        m_image = img;
        m_bpp = bpp;
        return true;
    }
    ensureAllocationLimit();
    QBuffer buf;
    buf.setData(data);
    if (!buf.open(QIODevice::ReadOnly))
        return false;
    QImageReader reader(&buf);
    reader.setAutoTransform(false);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxSide || size.height() > kMaxSide))
        return false;
    if (!reader.read(&img) || img.isNull())
        return false;
    if (img.width() > kMaxSide || img.height() > kMaxSide)
        return false;
    int code = 0;
    if (data.startsWith("\x89PNG"))
        code = pngDepthCode(data);
    if (data.startsWith("GIF8")) { // Qt hands GIFs over as 32 bit
        const int n = gifTableSize(data);
        code = n > 0 && n <= 2 ? 1 : n > 0 && n <= 16 ? 4 : 8;
    }
    if (!code) {
        code = bitsPerPixelOf(img);
        if (img.format() == QImage::Format_Grayscale8 || img.format() == QImage::Format_Grayscale16)
            code = 80;
    }
    QImage out;
    if (!normalise(img, code, &out, &bpp))
        return false;
    m_image = out;
    m_bpp = bpp;
    return true;
}

QByteArray Picture::encode(ImageFormat format, int quality) const
{
    if (!hasPicture())
        return {};
    const int code = depthCode();
    switch (format) {
    case ImageFormat::Bmp:
        return BmpCodec::encode(m_image, m_bpp);
    case ImageFormat::Png:
        return PngWriter::encode(m_image, code == 32, 3, m_bpp <= 8 ? m_bpp : 0);
    case ImageFormat::Jpeg: {
        const QImage img = (code == 40 || code == 80) ? Quantizer::toGrey(m_image, 256, false)
                                                        .convertToFormat(QImage::Format_Grayscale8)
                                                  : m_image.convertToFormat(QImage::Format_RGB888);
        return writeWithQt(img, "jpeg", std::clamp(quality, 0, 100));
    }
    case ImageFormat::Gif: {
        if (m_image.format() == QImage::Format_Mono || m_image.format() == QImage::Format_Indexed8)
            return GifCodec::encode(m_image.convertToFormat(QImage::Format_Indexed8), m_bpp);
        return GifCodec::encode(Quantizer::toPalette(m_image, 256, true), 8);
    }
    case ImageFormat::Tiff: {
        const QImage img = m_bpp == 16 ? m_image.convertToFormat(QImage::Format_RGB888) : m_image;
        return writeWithQt(img, "tiff", -1);
    }
    case ImageFormat::Pcx:
        return PcxCodec::encode(m_image, m_bpp);
    case ImageFormat::FlashPix:
        return {}; // no FlashPix writer on this platform
    }
    return {};
}

AtomicFile::Producer Picture::producer(ImageFormat format, int quality) const
{
    if (format == ImageFormat::Bmp) // streamed: the capture road saves big bitmaps often
        return [this](const AtomicFile::Sink& sink) { return BmpCodec::encodeTo(m_image, m_bpp, sink); };
    return [this, format, quality](const AtomicFile::Sink& sink) {
        const QByteArray bytes = encode(format, quality);
        return !bytes.isEmpty() && sink(bytes.constData(), bytes.size());
    };
}

bool Picture::save(const QString& path, ImageFormat format, int quality, int* error) const
{
    if (error)
        *error = 0;
    return hasPicture() && format != ImageFormat::FlashPix
        && AtomicFile::write(path, producer(format, quality), error);
}

bool Picture::saveNew(const QString& path, ImageFormat format, int quality, bool* nameTaken, int* error,
                      bool syncLater) const
{
    if (nameTaken)
        *nameTaken = false;
    if (error)
        *error = 0;
    // A taken name fails before any encoding work.
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink()) {
        if (nameTaken)
            *nameTaken = true;
        if (error)
            *error = EEXIST;
        return false;
    }
    return hasPicture() && format != ImageFormat::FlashPix
        && AtomicFile::writeNew(path, producer(format, quality), nameTaken, error,
                                syncLater ? AtomicFile::Sync::AfterPublish : AtomicFile::Sync::BeforePublish);
}

} // namespace varnel
