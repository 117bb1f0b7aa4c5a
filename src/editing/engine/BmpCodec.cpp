#include "BmpCodec.h"

#include "PixelFormats.h"

#include <bit>
#include <cstring>
#include <vector>

namespace varnel {

namespace {

constexpr quint32 kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiAlphaBitfields = 6;

class Reader {
public:
    Reader(const QByteArray& data) : m_p(reinterpret_cast<const uchar*>(data.constData())), m_size(data.size()) {}
    bool has(qint64 off, qint64 n) const { return off >= 0 && n >= 0 && off <= m_size && n <= m_size - off; }
    quint16 u16(qint64 off) const { return quint16(m_p[off] | (m_p[off + 1] << 8)); }
    quint32 u32(qint64 off) const
    {
        return quint32(m_p[off]) | (quint32(m_p[off + 1]) << 8) | (quint32(m_p[off + 2]) << 16)
            | (quint32(m_p[off + 3]) << 24);
    }
    const uchar* at(qint64 off) const { return m_p + off; }
    qint64 size() const { return m_size; }

private:
    const uchar* m_p;
    qint64 m_size;
};

// One colour channel described by a bit mask.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint64 max = 0;
    bool set(quint32 m)
    {
        mask = m;
        if (!m)
            return true;
        shift = std::countr_zero(m);
        const quint32 v = m >> shift;
        if ((v & (v + 1)) != 0) // not contiguous
            return false;
        max = (quint64(1) << std::popcount(v)) - 1;
        return true;
    }
    int value(quint32 px, int absent) const
    {
        if (!mask)
            return absent;
        return int((quint64((px & mask) >> shift) * 255 + max / 2) / max);
    }
};

void putLe16(uchar* p, quint16 v)
{
    p[0] = uchar(v);
    p[1] = uchar(v >> 8);
}

void putLe32(uchar* p, quint32 v)
{
    p[0] = uchar(v);
    p[1] = uchar(v >> 8);
    p[2] = uchar(v >> 16);
    p[3] = uchar(v >> 24);
}

// Runs RLE4/RLE8 into an Indexed8 image; file rows count from the bottom
// unless topDown. Pixels the codes skip keep index 0.
bool decodeRle(const Reader& r, qint64 off, bool four, bool topDown, int colours, QImage& out)
{
    const int w = out.width(), h = out.height();
    out.fill(0);
    int x = 0, y = 0;
    auto put = [&](uchar v) {
        if (x < w && y < h)
            out.scanLine(topDown ? y : h - 1 - y)[x] = v < colours ? v : 0;
        ++x;
    };
    while (y < h) {
        if (!r.has(off, 2))
            return false;
        const int count = r.at(off)[0];
        const uchar value = r.at(off)[1];
        off += 2;
        if (count > 0) {
            for (int i = 0; i < count && x < w; ++i)
                put(four ? ((i & 1) ? (value & 15) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return true;
        } else if (value == 2) { // delta
            if (!r.has(off, 2))
                return false;
            x += r.at(off)[0];
            y += r.at(off)[1];
            off += 2;
        } else { // absolute run
            const int n = value;
            const qint64 bytes = four ? (n + 1) / 2 : n;
            if (!r.has(off, bytes))
                return false;
            const uchar* p = r.at(off);
            for (int i = 0; i < n; ++i) {
                if (x >= w)
                    break;
                put(four ? ((i & 1) ? (p[i / 2] & 15) : (p[i / 2] >> 4)) : p[i]);
            }
            off += (bytes + 1) & ~qint64(1);
        }
    }
    return true;
}

} // namespace

bool BmpCodec::decodeFile(QIODevice& device, QImage* image, int* bitsPerPixel, qint64 headBytes)
{
    if (!device.seek(0) || headBytes < 18)
        return false;
    // The common uncompressed 24 and 32 bit files are read straight into the
    // picture's memory; everything else is decoded from the whole file.
    const QByteArray head = device.read(headBytes);
    if (device.size() > head.size() && decodeHead(head, device, image, bitsPerPixel))
        return true;
    if (!device.seek(0))
        return false;
    const qint64 size = device.size();
    if (size > qint64(1536) * 1024 * 1024)
        return false;
    return decode(device.readAll(), image, bitsPerPixel);
}

bool BmpCodec::decodeHead(const QByteArray& head, QIODevice& device, QImage* image, int* bitsPerPixel)
{
    return decodeImpl(head, &device, image, bitsPerPixel);
}

bool BmpCodec::decode(const QByteArray& data, QImage* image, int* bitsPerPixel)
{
    return decodeImpl(data, nullptr, image, bitsPerPixel);
}

bool BmpCodec::decodeImpl(const QByteArray& data, QIODevice* device, QImage* image, int* bitsPerPixel)
{
    const Reader r(data);
    if (!r.has(0, 18) || r.at(0)[0] != 'B' || r.at(0)[1] != 'M')
        return false;
    const quint32 offBits = r.u32(10);
    const quint32 hdr = r.u32(14);
    if (hdr != 12 && hdr < 40)
        return false;
    if (!r.has(14, hdr))
        return false;

    qint64 width, height;
    int bpp;
    quint32 compression = kBiRgb, clrUsed = 0, xppm = 0, yppm = 0;
    if (hdr == 12) {
        width = r.u16(18);
        height = qint16(r.u16(20));
        bpp = r.u16(24);
    } else {
        width = qint32(r.u32(18));
        height = qint32(r.u32(22));
        bpp = r.u16(28);
        compression = r.u32(30);
        xppm = r.u32(38);
        yppm = r.u32(42);
        clrUsed = r.u32(46);
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return false;

    // Bit field masks: in the header from version 2 on, after it otherwise.
    qint64 pos = 14 + hdr;
    quint32 masks[4] = {0, 0, 0, 0};
    const bool bitfields = compression == kBiBitfields || compression == kBiAlphaBitfields;
    if (bitfields) {
        if (bpp != 16 && bpp != 32)
            return false;
        const int n = compression == kBiAlphaBitfields ? 4 : 3;
        if (hdr >= 52) {
            for (int i = 0; i < 4 && 40 + 4 * i + 4 <= qint64(hdr); ++i)
                masks[i] = r.u32(14 + 40 + 4 * i);
        } else {
            if (!r.has(pos, 4 * n))
                return false;
            for (int i = 0; i < n; ++i)
                masks[i] = r.u32(pos + 4 * i);
            pos += 4 * n;
        }
    } else if (compression == kBiRle8) {
        if (bpp != 8)
            return false;
    } else if (compression == kBiRle4) {
        if (bpp != 4)
            return false;
    } else if (compression != kBiRgb) {
        return false; // JPEG or PNG inside a bitmap: not ours
    }

    QList<QRgb> palette;
    if (bpp <= 8) {
        if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8)
            return false;
        const int maxColours = 1 << bpp;
        int count = (clrUsed == 0 || clrUsed > quint32(maxColours)) ? maxColours : int(clrUsed);
        const int entry = hdr == 12 ? 3 : 4;
        // Some writers give fewer entries than they promise; take what fits
        // before the pixels.
        if (offBits > pos && qint64(offBits) - pos < qint64(count) * entry)
            count = int((qint64(offBits) - pos) / entry);
        if (count <= 0 || !r.has(pos, qint64(count) * entry))
            return false;
        for (int i = 0; i < count; ++i) {
            const uchar* p = r.at(pos + qint64(i) * entry);
            palette.append(qRgb(p[2], p[1], p[0]));
        }
        while (palette.size() < maxColours && palette.size() < 2)
            palette.append(qRgb(0, 0, 0));
    } else if (bpp != 16 && bpp != 24 && bpp != 32) {
        return false;
    }

    const int w = int(width), h = int(height);
    const qint64 stride = ((qint64(w) * bpp + 31) / 32) * 4;
    const qint64 dataOff = offBits ? qint64(offBits) : pos + qint64(palette.size()) * (hdr == 12 ? 3 : 4);
    auto rowOf = [&](int fileRow) { return topDown ? fileRow : h - 1 - fileRow; };

    QImage out;
    int outBpp = bpp;
    if (device) {
        // Only the head of the file is in data: read the pixels from the device.
        if (compression != kBiRgb || (bpp != 24 && bpp != 32))
            return false;
        out = allocateImage(w, h, bpp == 24 ? QImage::Format_RGB888 : QImage::Format_ARGB32);
        if (out.isNull() || out.bytesPerLine() != stride)
            return false;
        const qint64 n = stride * h;
        if (device->size() - dataOff < n || !device->seek(dataOff))
            return false;
        // Row by row into place: bottom-up files need no flip afterwards.
        uchar* bits = out.bits();
        for (int fy = 0; fy < h; ++fy)
            if (device->read(reinterpret_cast<char*>(bits + qint64(rowOf(fy)) * stride), stride) != stride)
                return false;
        if (bpp == 24) {
            for (int y = 0; y < h; ++y) {
                uchar* p = out.scanLine(y);
                for (int x = 0; x < w; ++x, p += 3)
                    std::swap(p[0], p[2]);
            }
        } else {
            bool anyAlpha = false;
            for (int y = 0; y < h && !anyAlpha; ++y) {
                const QRgb* p = reinterpret_cast<const QRgb*>(out.constScanLine(y));
                for (int x = 0; x < w; ++x)
                    anyAlpha |= (p[x] >> 24) != 0;
            }
            if (!anyAlpha) {
                for (int y = 0; y < h; ++y) {
                    QRgb* p = reinterpret_cast<QRgb*>(out.scanLine(y));
                    for (int x = 0; x < w; ++x)
                        p[x] |= 0xff000000u;
                }
            }
        }
    } else if (compression == kBiRle8 || compression == kBiRle4) {
        // At least two bytes per row (its end-of-line code) must be there.
        if (!r.has(dataOff, 2))
            return false;
        out = QImage(w, h, QImage::Format_Indexed8);
        if (out.isNull() || !decodeRle(r, dataOff, compression == kBiRle4, topDown, int(palette.size()), out))
            return false;
        out.setColorTable(palette);
    } else {
        if (!r.has(dataOff, stride * h))
            return false;
        if (bpp == 1) {
            out = QImage(w, h, QImage::Format_Mono);
            if (out.isNull())
                return false;
            const qint64 n = (w + 7) / 8;
            for (int fy = 0; fy < h; ++fy)
                std::memcpy(out.scanLine(rowOf(fy)), r.at(dataOff + fy * stride), size_t(n));
            out.setColorTable(palette.mid(0, 2));
        } else if (bpp <= 8) {
            out = QImage(w, h, QImage::Format_Indexed8);
            if (out.isNull())
                return false;
            const int n = int(palette.size());
            for (int fy = 0; fy < h; ++fy) {
                const uchar* src = r.at(dataOff + fy * stride);
                uchar* dst = out.scanLine(rowOf(fy));
                for (int x = 0; x < w; ++x) {
                    int v;
                    if (bpp == 8)
                        v = src[x];
                    else if (bpp == 4)
                        v = (x & 1) ? (src[x >> 1] & 15) : (src[x >> 1] >> 4);
                    else
                        v = (src[x >> 2] >> (6 - 2 * (x & 3))) & 3;
                    dst[x] = uchar(v < n ? v : 0);
                }
            }
            out.setColorTable(palette);
            if (bpp == 2)
                outBpp = 4; // nearest depth the engine holds
        } else if (bpp == 24) {
            out = QImage(w, h, QImage::Format_RGB888);
            if (out.isNull())
                return false;
            for (int fy = 0; fy < h; ++fy) {
                const uchar* src = r.at(dataOff + fy * stride);
                uchar* dst = out.scanLine(rowOf(fy));
                for (int x = 0; x < w; ++x, src += 3, dst += 3) {
                    dst[0] = src[2];
                    dst[1] = src[1];
                    dst[2] = src[0];
                }
            }
        } else if (bpp == 16 && (!bitfields || (masks[0] == 0x7c00 && masks[1] == 0x03e0 && masks[2] == 0x001f))) {
            out = QImage(w, h, QImage::Format_RGB555);
            if (out.isNull())
                return false;
            for (int fy = 0; fy < h; ++fy) {
                const uchar* src = r.at(dataOff + fy * stride);
                quint16* dst = reinterpret_cast<quint16*>(out.scanLine(rowOf(fy)));
                for (int x = 0; x < w; ++x)
                    dst[x] = quint16((src[2 * x] | (src[2 * x + 1] << 8)) & 0x7fff);
            }
        } else if (bpp == 32 && !bitfields) {
            out = QImage(w, h, QImage::Format_ARGB32);
            if (out.isNull())
                return false;
            bool anyAlpha = false;
            for (int fy = 0; fy < h; ++fy) {
                const uchar* src = r.at(dataOff + fy * stride);
                QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(rowOf(fy)));
                for (int x = 0; x < w; ++x, src += 4) {
                    dst[x] = qRgba(src[2], src[1], src[0], src[3]);
                    anyAlpha |= src[3] != 0;
                }
            }
            // The fourth byte is "reserved" and usually zero: then the picture is opaque.
            if (!anyAlpha) {
                for (int y = 0; y < h; ++y) {
                    QRgb* p = reinterpret_cast<QRgb*>(out.scanLine(y));
                    for (int x = 0; x < w; ++x)
                        p[x] |= 0xff000000u;
                }
            }
        } else {
            Channel ch[4];
            for (int i = 0; i < 4; ++i)
                if (!ch[i].set(masks[i]))
                    return false;
            out = QImage(w, h, bpp == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
            if (out.isNull())
                return false;
            for (int fy = 0; fy < h; ++fy) {
                const uchar* src = r.at(dataOff + fy * stride);
                QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(rowOf(fy)));
                for (int x = 0; x < w; ++x) {
                    const quint32 px = bpp == 32 ? quint32(src[4 * x]) | (quint32(src[4 * x + 1]) << 8)
                            | (quint32(src[4 * x + 2]) << 16) | (quint32(src[4 * x + 3]) << 24)
                                                 : quint32(src[2 * x] | (src[2 * x + 1] << 8));
                    dst[x] = qRgba(ch[0].value(px, 0), ch[1].value(px, 0), ch[2].value(px, 0),
                                   ch[3].value(px, 255));
                }
            }
            out = out.convertToFormat(bpp == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB555);
        }
    }
    if (out.isNull())
        return false;
    if (xppm > 0 && yppm > 0 && xppm < 1000000 && yppm < 1000000) {
        out.setDotsPerMeterX(int(xppm));
        out.setDotsPerMeterY(int(yppm));
    }
    *image = out;
    *bitsPerPixel = outBpp;
    return true;
}

QByteArray BmpCodec::encode(const QImage& image, int bpp)
{
    QByteArray out;
    const bool ok = encodeTo(image, bpp, [&out](const char* data, qint64 n) {
        out.append(data, n);
        return true;
    });
    return ok ? out : QByteArray();
}

bool BmpCodec::encodeTo(const QImage& source, int bpp, const std::function<bool(const char*, qint64)>& sink)
{
    if (source.isNull())
        return false;
    const QImage img = toEngineFormat(source, bpp);
    if (img.isNull())
        return false;
    const int w = img.width(), h = img.height();
    const qint64 stride = ((qint64(w) * bpp + 31) / 32) * 4;
    int colours = 0;
    if (bpp <= 8) {
        colours = int(img.colorCount());
        if (colours == 0 || colours > (1 << bpp))
            return false;
    }
    const qint64 offBits = 14 + 40 + qint64(colours) * 4;
    const qint64 total = offBits + stride * h;
    if (total > 0x7fffffff)
        return false;
    std::vector<uchar> head(static_cast<size_t>(offBits));
    uchar* p = head.data();
    p[0] = 'B';
    p[1] = 'M';
    putLe32(p + 2, quint32(total));
    putLe32(p + 6, 0);
    putLe32(p + 10, quint32(offBits));
    putLe32(p + 14, 40);
    putLe32(p + 18, quint32(w));
    putLe32(p + 22, quint32(h));
    putLe16(p + 26, 1);
    putLe16(p + 28, quint16(bpp));
    putLe32(p + 30, kBiRgb);
    putLe32(p + 34, quint32(stride * h));
    putLe32(p + 38, quint32(qMax(0, img.dotsPerMeterX())));
    putLe32(p + 42, quint32(qMax(0, img.dotsPerMeterY())));
    putLe32(p + 46, quint32(colours));
    putLe32(p + 50, 0);
    for (int i = 0; i < colours; ++i) {
        const QRgb c = img.color(i);
        uchar* e = p + 54 + 4 * i;
        e[0] = uchar(qBlue(c));
        e[1] = uchar(qGreen(c));
        e[2] = uchar(qRed(c));
        e[3] = 0;
    }
    if (!sink(reinterpret_cast<const char*>(head.data()), offBits))
        return false;
    const int rowsPerChunk = int(std::max<qint64>(1, (qint64(1) << 20) / stride));
    std::vector<uchar> chunk(static_cast<size_t>(stride * std::min(rowsPerChunk, h)));
    int filled = 0;
    for (int y = 0; y < h; ++y) {
        const uchar* src = img.constScanLine(h - 1 - y);
        uchar* dst = chunk.data() + qint64(filled) * stride;
        qint64 used = 0;
        switch (bpp) {
        case 1:
            used = (w + 7) / 8;
            std::memcpy(dst, src, size_t(used));
            break;
        case 4:
            used = (w + 1) / 2;
            for (int x = 0; x + 1 < w; x += 2)
                dst[x / 2] = uchar((src[x] << 4) | (src[x + 1] & 15));
            if (w & 1)
                dst[w / 2] = uchar(src[w - 1] << 4);
            break;
        case 8:
            used = w;
            std::memcpy(dst, src, size_t(w));
            break;
        case 16:
            used = qint64(w) * 2;
            std::memcpy(dst, src, size_t(used)); // RGB555 little-endian is the file's layout
            break;
        case 24:
            used = qint64(w) * 3;
            for (int x = 0; x < w; ++x) {
                dst[3 * x] = src[3 * x + 2];
                dst[3 * x + 1] = src[3 * x + 1];
                dst[3 * x + 2] = src[3 * x];
            }
            break;
        case 32:
            used = qint64(w) * 4;
            std::memcpy(dst, src, size_t(used)); // ARGB32 in memory is B, G, R, A
            break;
        default:
            return false;
        }
        if (stride > used)
            std::memset(dst + used, 0, size_t(stride - used));
        if (++filled == rowsPerChunk || y == h - 1) {
            if (!sink(reinterpret_cast<const char*>(chunk.data()), qint64(filled) * stride))
                return false;
            filled = 0;
        }
    }
    return true;
}

} // namespace varnel
