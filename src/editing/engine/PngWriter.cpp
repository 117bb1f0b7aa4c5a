#include "PngWriter.h"

#include "PixelFormats.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace varnel {

namespace {

quint32 crcTable(int n)
{
    quint32 c = quint32(n);
    for (int k = 0; k < 8; ++k)
        c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
    return c;
}

quint32 crc32(const uchar* p, qint64 n, quint32 crc = 0)
{
    static const std::vector<quint32> table = [] {
        std::vector<quint32> t(256);
        for (int i = 0; i < 256; ++i)
            t[size_t(i)] = crcTable(i);
        return t;
    }();
    crc = ~crc;
    for (qint64 i = 0; i < n; ++i)
        crc = table[(crc ^ p[i]) & 0xff] ^ (crc >> 8);
    return ~crc;
}

void putBe32(QByteArray& out, quint32 v)
{
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(b, 4);
}

void chunk(QByteArray& out, const char* type, const char* data, qint64 n)
{
    putBe32(out, quint32(n));
    const qsizetype start = out.size();
    out.append(type, 4);
    if (n > 0)
        out.append(data, n);
    putBe32(out, crc32(reinterpret_cast<const uchar*>(out.constData() + start), n + 4));
}

bool isGreyRamp(const QImage& img)
{
    if (img.colorCount() != 256)
        return false;
    for (int i = 0; i < 256; ++i)
        if ((img.color(i) & 0xffffff) != (qRgb(i, i, i) & 0xffffff))
            return false;
    return true;
}

} // namespace

QByteArray PngWriter::encode(const QImage& source, bool alpha, int level, int paletteBits)
{
    if (source.isNull())
        return {};
    QImage img = source;
    int colourType = 2, bitDepth = 8, channels = 3;
    if (img.format() == QImage::Format_Mono || img.format() == QImage::Format_MonoLSB) {
        img = img.convertToFormat(QImage::Format_Mono);
        colourType = 3;
        bitDepth = 1;
        channels = 1;
    } else if (img.format() == QImage::Format_Indexed8) {
        if (isGreyRamp(img)) {
            colourType = 0;
        } else {
            colourType = 3;
            bitDepth = img.colorCount() <= 2 ? 1 : img.colorCount() <= 16 ? 4 : 8;
            if (paletteBits > bitDepth && (paletteBits == 4 || paletteBits == 8))
                bitDepth = paletteBits;
        }
        channels = 1;
    } else if (img.format() == QImage::Format_Grayscale8) {
        colourType = 0;
        channels = 1;
    } else if (alpha && img.hasAlphaChannel()) {
        img = img.convertToFormat(QImage::Format_RGBA8888);
        colourType = 6;
        channels = 4;
    } else {
        img = img.convertToFormat(QImage::Format_RGB888);
    }
    if (img.isNull())
        return {};
    const int w = img.width(), h = img.height();
    const qint64 rowBytes = (qint64(w) * channels * bitDepth + 7) / 8;
    const int bpp = std::max(1, channels * bitDepth / 8); // filter distance in bytes

    // Filtered rows, each led by its filter type byte.
    const auto raw = allocateBuffer(size_t((rowBytes + 1) * h));
    const size_t rawSize = size_t((rowBytes + 1) * h);
    std::vector<uchar> packed(static_cast<size_t>(rowBytes));
    std::vector<uchar> prev(size_t(rowBytes), 0);
    std::vector<uchar> sub(static_cast<size_t>(rowBytes)), up(static_cast<size_t>(rowBytes));
    for (int y = 0; y < h; ++y) {
        const uchar* line = img.constScanLine(y);
        if (bitDepth == 4) {
            for (qint64 i = 0; i < rowBytes; ++i) {
                const int x = int(2 * i);
                packed[size_t(i)] = uchar((line[x] << 4) | (x + 1 < w ? (line[x + 1] & 15) : 0));
            }
            line = packed.data();
        } else if (bitDepth == 1 && img.format() == QImage::Format_Indexed8) {
            std::memset(packed.data(), 0, packed.size());
            for (int x = 0; x < w; ++x)
                if (line[x])
                    packed[size_t(x >> 3)] |= uchar(0x80 >> (x & 7));
            line = packed.data();
        }
        uchar* out = raw.get() + size_t(y) * size_t(rowBytes + 1);
        if (colourType == 3) { // palette rows compress best unfiltered
            out[0] = 0;
            std::memcpy(out + 1, line, size_t(rowBytes));
        } else {
            quint64 costSub = 0, costUp = 0;
            for (qint64 i = 0; i < rowBytes; ++i) {
                const uchar s = uchar(line[i] - (i >= bpp ? line[i - bpp] : 0));
                const uchar u = uchar(line[i] - prev[size_t(i)]);
                sub[size_t(i)] = s;
                up[size_t(i)] = u;
                costSub += s < 128 ? s : 256 - s;
                costUp += u < 128 ? u : 256 - u;
            }
            const bool useUp = y > 0 && costUp <= costSub;
            out[0] = useUp ? 2 : 1;
            std::memcpy(out + 1, useUp ? up.data() : sub.data(), size_t(rowBytes));
            std::memcpy(prev.data(), line, size_t(rowBytes));
        }
    }
    const QByteArray z = qCompress(raw.get(), qsizetype(rawSize), level);
    if (z.size() <= 4)
        return {};

    QByteArray out;
    out.reserve(z.size() + 2048);
    out.append("\x89PNG\r\n\x1a\n", 8);
    char ihdr[13];
    const quint32 dims[2] = {quint32(w), quint32(h)};
    for (int k = 0; k < 2; ++k)
        for (int b = 0; b < 4; ++b)
            ihdr[4 * k + b] = char(dims[k] >> (24 - 8 * b));
    ihdr[8] = char(bitDepth);
    ihdr[9] = char(colourType);
    ihdr[10] = ihdr[11] = ihdr[12] = 0;
    chunk(out, "IHDR", ihdr, 13);
    if (colourType == 3) {
        const QList<QRgb> table = img.colorTable();
        QByteArray plte;
        for (QRgb c : table) {
            plte.append(char(qRed(c)));
            plte.append(char(qGreen(c)));
            plte.append(char(qBlue(c)));
        }
        chunk(out, "PLTE", plte.constData(), plte.size());
    }
    if (source.dotsPerMeterX() > 0 && source.dotsPerMeterY() > 0) {
        char phys[9];
        const quint32 d[2] = {quint32(source.dotsPerMeterX()), quint32(source.dotsPerMeterY())};
        for (int k = 0; k < 2; ++k)
            for (int b = 0; b < 4; ++b)
                phys[4 * k + b] = char(d[k] >> (24 - 8 * b));
        phys[8] = 1; // metres
        chunk(out, "pHYs", phys, 9);
    }
    // qCompress puts the uncompressed length in front of the zlib stream.
    const char* zs = z.constData() + 4;
    qint64 left = z.size() - 4;
    while (left > 0) {
        const qint64 n = std::min<qint64>(left, 1 << 20);
        chunk(out, "IDAT", zs, n);
        zs += n;
        left -= n;
    }
    chunk(out, "IEND", nullptr, 0);
    return out;
}

} // namespace varnel
