#include "PcxCodec.h"

#include "PixelFormats.h"

#include <cstring>
#include <vector>

namespace varnel {

namespace {

constexpr int kHeader = 128;

int u16(const uchar* p)
{
    return p[0] | (p[1] << 8);
}

void put16(uchar* p, int v)
{
    p[0] = uchar(v);
    p[1] = uchar(v >> 8);
}

// Appends one scan line (all planes) run-length encoded.
void encodeLine(const uchar* line, int n, QByteArray& out)
{
    int i = 0;
    while (i < n) {
        const uchar v = line[i];
        int run = 1;
        while (i + run < n && run < 63 && line[i + run] == v)
            ++run;
        if (run > 1 || v >= 0xc0)
            out.append(char(0xc0 | run));
        out.append(char(v));
        i += run;
    }
}

} // namespace

bool PcxCodec::looksLikePcx(const QByteArray& d)
{
    if (d.size() < kHeader)
        return false;
    const uchar* p = reinterpret_cast<const uchar*>(d.constData());
    return p[0] == 0x0a && (p[1] == 0 || p[1] == 2 || p[1] == 3 || p[1] == 4 || p[1] == 5) && p[2] == 1;
}

bool PcxCodec::decode(const QByteArray& data, QImage* image, int* bitsPerPixel)
{
    if (!looksLikePcx(data))
        return false;
    const uchar* p = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    const int bits = p[3];
    const int xmin = u16(p + 4), ymin = u16(p + 6), xmax = u16(p + 8), ymax = u16(p + 10);
    const int planes = p[65];
    const int bytesPerLine = u16(p + 66);
    if (xmax < xmin || ymax < ymin)
        return false;
    const int w = xmax - xmin + 1, h = ymax - ymin + 1;
    if (w > kMaxSide || h > kMaxSide)
        return false;
    enum Kind { Mono, Planar16, Nibble, Byte, Rgb } kind;
    if (bits == 1 && planes == 1)
        kind = Mono;
    else if (bits == 1 && planes >= 2 && planes <= 4)
        kind = Planar16;
    else if ((bits == 2 || bits == 4) && planes == 1)
        kind = Nibble;
    else if (bits == 8 && planes == 1)
        kind = Byte;
    else if (bits == 8 && (planes == 3 || planes == 4))
        kind = Rgb;
    else
        return false;
    if (qint64(bytesPerLine) * 8 < qint64(w) * bits)
        return false;

    // Undo the run-length coding for all lines at once.
    const qint64 lineBytes = qint64(bytesPerLine) * planes;
    const qint64 total = lineBytes * h;
    // Every coded byte gives at most 63 bytes: a header promising more than
    // the data can hold is refused before anything is allocated.
    if (lineBytes <= 0 || total > (size - kHeader) * 63)
        return false;
    std::vector<uchar> raw(static_cast<size_t>(total));
    qint64 pos = kHeader, n = 0;
    while (n < total) {
        if (pos >= size)
            return false;
        uchar v = p[pos++];
        qint64 run = 1;
        if ((v & 0xc0) == 0xc0) {
            run = v & 0x3f;
            if (pos >= size)
                return false;
            v = p[pos++];
        }
        run = std::min(run, total - n);
        std::memset(raw.data() + n, v, size_t(run));
        n += run;
    }

    QList<QRgb> palette;
    auto headerPalette = [&](int count) {
        for (int i = 0; i < count; ++i)
            palette.append(qRgb(p[16 + 3 * i], p[17 + 3 * i], p[18 + 3 * i]));
    };
    QImage out;
    int bpp = 0;
    switch (kind) {
    case Mono: {
        out = QImage(w, h, QImage::Format_Mono);
        if (out.isNull())
            return false;
        headerPalette(2);
        if (palette[0] == palette[1]) // old writers leave the palette empty
            palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        out.setColorTable(palette);
        for (int y = 0; y < h; ++y)
            std::memcpy(out.scanLine(y), raw.data() + y * lineBytes, size_t((w + 7) / 8));
        bpp = 1;
        break;
    }
    case Planar16:
    case Nibble: {
        out = QImage(w, h, QImage::Format_Indexed8);
        if (out.isNull())
            return false;
        headerPalette(16);
        out.setColorTable(palette);
        for (int y = 0; y < h; ++y) {
            const uchar* line = raw.data() + y * lineBytes;
            uchar* d = out.scanLine(y);
            for (int x = 0; x < w; ++x) {
                int v = 0;
                if (kind == Planar16) {
                    for (int pl = 0; pl < planes; ++pl)
                        v |= ((line[pl * bytesPerLine + (x >> 3)] >> (7 - (x & 7))) & 1) << pl;
                } else if (bits == 4) {
                    v = (x & 1) ? (line[x >> 1] & 15) : (line[x >> 1] >> 4);
                } else {
                    v = (line[x >> 2] >> (6 - 2 * (x & 3))) & 3;
                }
                d[x] = uchar(v);
            }
        }
        bpp = 4;
        break;
    }
    case Byte: {
        out = QImage(w, h, QImage::Format_Indexed8);
        if (out.isNull())
            return false;
        // The 256-colour palette follows the pixels after a 12 marker; without
        // it the picture is taken as grey.
        if (size >= kHeader + 769 && p[size - 769] == 12) {
            const uchar* pal = p + size - 768;
            for (int i = 0; i < 256; ++i)
                palette.append(qRgb(pal[3 * i], pal[3 * i + 1], pal[3 * i + 2]));
        } else {
            for (int i = 0; i < 256; ++i)
                palette.append(qRgb(i, i, i));
        }
        out.setColorTable(palette);
        for (int y = 0; y < h; ++y)
            std::memcpy(out.scanLine(y), raw.data() + y * lineBytes, size_t(w));
        bpp = 8;
        break;
    }
    case Rgb: {
        out = QImage(w, h, QImage::Format_RGB888);
        if (out.isNull())
            return false;
        for (int y = 0; y < h; ++y) {
            const uchar* line = raw.data() + y * lineBytes;
            uchar* d = out.scanLine(y);
            for (int x = 0; x < w; ++x) {
                d[3 * x] = line[x];
                d[3 * x + 1] = line[bytesPerLine + x];
                d[3 * x + 2] = line[2 * bytesPerLine + x];
            }
        }
        bpp = 24;
        break;
    }
    }
    const int hdpi = u16(p + 12), vdpi = u16(p + 14);
    if (hdpi > 0 && vdpi > 0 && hdpi < 10000 && vdpi < 10000) {
        out.setDotsPerMeterX(qRound(hdpi / 0.0254));
        out.setDotsPerMeterY(qRound(vdpi / 0.0254));
    }
    *image = out;
    *bitsPerPixel = bpp;
    return true;
}

QByteArray PcxCodec::encode(const QImage& source, int bpp)
{
    if (source.isNull() || source.width() > 65535 || source.height() > 65535)
        return {};
    QImage img;
    int bits, planes;
    switch (bpp) {
    case 1: img = toEngineFormat(source, 1); bits = 1; planes = 1; break;
    case 4: img = toEngineFormat(source, 4); bits = 1; planes = 4; break;
    case 8: img = toEngineFormat(source, 8); bits = 8; planes = 1; break;
    default: img = source.convertToFormat(QImage::Format_RGB888); bits = 8; planes = 3; break;
    }
    if (img.isNull())
        return {};
    const int w = img.width(), h = img.height();
    int bytesPerLine = (w * bits + 7) / 8;
    bytesPerLine += bytesPerLine & 1; // lines are an even number of bytes
    QByteArray out(kHeader, '\0');
    uchar* hd = reinterpret_cast<uchar*>(out.data());
    hd[0] = 0x0a;
    hd[1] = 5;
    hd[2] = 1;
    hd[3] = uchar(bits);
    put16(hd + 8, w - 1);
    put16(hd + 10, h - 1);
    put16(hd + 12, qRound(img.dotsPerMeterX() * 0.0254));
    put16(hd + 14, qRound(img.dotsPerMeterY() * 0.0254));
    if (bpp == 1 || bpp == 4) {
        for (int i = 0; i < img.colorCount() && i < 16; ++i) {
            const QRgb c = img.color(i);
            hd[16 + 3 * i] = uchar(qRed(c));
            hd[17 + 3 * i] = uchar(qGreen(c));
            hd[18 + 3 * i] = uchar(qBlue(c));
        }
    }
    hd[65] = uchar(planes);
    put16(hd + 66, bytesPerLine);
    put16(hd + 68, 1);
    std::vector<uchar> line(size_t(bytesPerLine) * size_t(planes));
    out.reserve(kHeader + qsizetype(line.size()) * h / 2 + 769);
    for (int y = 0; y < h; ++y) {
        std::fill(line.begin(), line.end(), 0);
        const uchar* s = img.constScanLine(y);
        if (bpp == 1) {
            std::memcpy(line.data(), s, size_t((w + 7) / 8));
        } else if (bpp == 4) {
            for (int x = 0; x < w; ++x)
                for (int pl = 0; pl < 4; ++pl)
                    if ((s[x] >> pl) & 1)
                        line[size_t(pl * bytesPerLine + (x >> 3))] |= uchar(0x80 >> (x & 7));
        } else if (bpp == 8) {
            std::memcpy(line.data(), s, size_t(w));
        } else {
            for (int x = 0; x < w; ++x)
                for (int pl = 0; pl < 3; ++pl)
                    line[size_t(pl * bytesPerLine + x)] = s[3 * x + pl];
        }
        encodeLine(line.data(), int(line.size()), out);
    }
    if (bpp == 8) {
        out.append(char(12));
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < img.colorCount() ? img.color(i) : qRgb(0, 0, 0);
            out.append(char(qRed(c)));
            out.append(char(qGreen(c)));
            out.append(char(qBlue(c)));
        }
    }
    return out;
}

} // namespace varnel
