#include "Quantizer.h"

#include "PixelFormats.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace varnel {

namespace {

constexpr quint32 kEmpty = 0xffffffffu;

// Open-addressing map from a 24-bit colour to a number; never shrinks.
class ColourMap {
public:
    explicit ColourMap(int capacityPow2) : m_keys(size_t(1) << capacityPow2, kEmpty), m_vals(m_keys.size(), 0),
        m_mask(quint32(m_keys.size() - 1)) {}
    static quint32 hash(quint32 c) { return (c * 0x9E3779B1u) >> 7; }
    // Slot of c, or -1 when absent.
    qint64 find(quint32 c) const
    {
        for (quint32 i = hash(c) & m_mask;; i = (i + 1) & m_mask) {
            if (m_keys[i] == c)
                return i;
            if (m_keys[i] == kEmpty)
                return -1;
        }
    }
    // Slot of c, inserted with value 0 when absent; -1 when too full.
    qint64 insert(quint32 c)
    {
        for (quint32 i = hash(c) & m_mask;; i = (i + 1) & m_mask) {
            if (m_keys[i] == c)
                return i;
            if (m_keys[i] == kEmpty) {
                if ((m_count + 1) * 2 > m_keys.size())
                    return -1;
                m_keys[i] = c;
                ++m_count;
                return i;
            }
        }
    }
    qint64& value(qint64 slot) { return m_vals[size_t(slot)]; }
    qint64 value(qint64 slot) const { return m_vals[size_t(slot)]; }
    size_t slotCount() const { return m_keys.size(); }
    quint32 key(size_t slot) const { return m_keys[slot]; }
    size_t count() const { return m_count; }

private:
    std::vector<quint32> m_keys;
    std::vector<qint64> m_vals;
    quint32 m_mask;
    size_t m_count = 0;
};

QImage asRgb32(const QImage& image)
{
    return toRgb32(image);
}

void copyResolution(const QImage& from, QImage& to)
{
    to.setDotsPerMeterX(from.dotsPerMeterX());
    to.setDotsPerMeterY(from.dotsPerMeterY());
}

// Nearest palette entry, cached per 6-bit cell; palette colours map to
// themselves exactly.
class Mapper {
public:
    explicit Mapper(const QList<QRgb>& palette)
        : m_byGreen(Quantizer::byGreen(palette)), m_exact(11), m_cache(size_t(1) << 18, -1)
    {
        for (int i = 0; i < palette.size(); ++i) {
            const qint64 s = m_exact.insert(palette[i] & 0xffffff);
            if (s >= 0 && m_exact.value(s) == 0)
                m_exact.value(s) = i + 1;
        }
    }
    // Index of an exact palette colour or -1.
    int exact(quint32 rgb) const
    {
        const qint64 s = m_exact.find(rgb);
        return s < 0 ? -1 : int(m_exact.value(s)) - 1;
    }
    int nearest(int r, int g, int b)
    {
        const size_t key = size_t((r >> 2) << 12 | (g >> 2) << 6 | (b >> 2));
        int idx = m_cache[key];
        if (idx >= 0)
            return idx;
        idx = Quantizer::nearestIndex(m_byGreen, (r & ~3) + 2, (g & ~3) + 2, (b & ~3) + 2);
        m_cache[key] = qint16(idx);
        return idx;
    }
    int map(quint32 rgb)
    {
        const int e = exact(rgb);
        return e >= 0 ? e : nearest(int((rgb >> 16) & 255), int((rgb >> 8) & 255), int(rgb & 255));
    }

private:
    std::vector<Quantizer::Entry> m_byGreen;
    ColourMap m_exact;
    std::vector<qint16> m_cache;
};

QImage mapToPalette(const QImage& rgb, const QList<QRgb>& palette, bool dither)
{
    const int w = rgb.width(), h = rgb.height();
    QImage out = allocateImage(w, h, QImage::Format_Indexed8);
    if (out.isNull())
        return {};
    out.setColorTable(palette);
    copyResolution(rgb, out);
    Mapper mapper(palette);
    if (!dither) {
        for (int y = 0; y < h; ++y) {
            const QRgb* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            uchar* dst = out.scanLine(y);
            quint32 last = kEmpty;
            int lastIdx = 0;
            for (int x = 0; x < w; ++x) {
                const quint32 c = src[x] & 0xffffff;
                if (c != last) {
                    last = c;
                    lastIdx = mapper.map(c);
                }
                dst[x] = uchar(lastIdx);
            }
        }
        return out;
    }
    // Serpentine Floyd-Steinberg; errors in sixteenths, one pixel of margin.
    std::vector<int> rows[2] = {std::vector<int>(size_t(w + 2) * 3, 0), std::vector<int>(size_t(w + 2) * 3, 0)};
    const QRgb* pal = palette.constData();
    // Screenshots run in flat colours: the exact-colour lookup of the
    // previous pixel is reused while the colour repeats.
    quint32 lastColour = kEmpty;
    int lastExact = -1;
    for (int y = 0; y < h; ++y) {
        std::vector<int>& cur = rows[y & 1];
        std::vector<int>& next = rows[(y + 1) & 1];
        std::fill(next.begin(), next.end(), 0);
        const QRgb* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* dst = out.scanLine(y);
        const bool ltr = (y & 1) == 0;
        const int dir = ltr ? 1 : -1;
        for (int i = 0; i < w; ++i) {
            const int x = ltr ? i : w - 1 - i;
            const quint32 c = src[x] & 0xffffff;
            if (c != lastColour) {
                lastColour = c;
                lastExact = mapper.exact(c);
            }
            const int e = lastExact;
            if (e >= 0) { // a palette colour stays itself and stops the spread
                dst[x] = uchar(e);
                continue;
            }
            int* ce = &cur[size_t(x + 1) * 3];
            const int r = std::clamp(int((c >> 16) & 255) + ((ce[0] + 8) >> 4), 0, 255);
            const int g = std::clamp(int((c >> 8) & 255) + ((ce[1] + 8) >> 4), 0, 255);
            const int b = std::clamp(int(c & 255) + ((ce[2] + 8) >> 4), 0, 255);
            const int idx = mapper.nearest(r, g, b);
            dst[x] = uchar(idx);
            const QRgb p = pal[idx];
            const int err[3] = {r - qRed(p), g - qGreen(p), b - qBlue(p)};
            int* ahead = &cur[size_t(x + 1 + dir) * 3];
            int* below = &next[size_t(x + 1) * 3];
            int* belowAhead = &next[size_t(x + 1 + dir) * 3];
            int* belowBehind = &next[size_t(x + 1 - dir) * 3];
            for (int k = 0; k < 3; ++k) {
                ahead[k] += err[k] * 7;
                belowBehind[k] += err[k] * 3;
                below[k] += err[k] * 5;
                belowAhead[k] += err[k];
            }
        }
    }
    return out;
}

// Xiaolin Wu's colour quantiser on a 32-level histogram per channel, with the
// moments of the full 8-bit values so that box colours are true averages.
class WuQuantizer {
public:
    static constexpr int N = 33;
    static int at(int r, int g, int b) { return (r * N + g) * N + b; }

    struct Box {
        int r0, r1, g0, g1, b0, b1;
    };

    WuQuantizer() : wt(N * N * N, 0), mr(N * N * N, 0), mg(N * N * N, 0), mb(N * N * N, 0), m2(N * N * N, 0.0) {}

    void add(quint32 c, qint64 n)
    {
        const int r = int((c >> 16) & 255), g = int((c >> 8) & 255), b = int(c & 255);
        const int i = at((r >> 3) + 1, (g >> 3) + 1, (b >> 3) + 1);
        wt[i] += n;
        mr[i] += r * n;
        mg[i] += g * n;
        mb[i] += b * n;
        m2[i] += double(r * r + g * g + b * b) * double(n);
    }

    void cumulate()
    {
        for (int r = 1; r < N; ++r) {
            qint64 area[N] = {}, areaR[N] = {}, areaG[N] = {}, areaB[N] = {};
            double area2[N] = {};
            for (int g = 1; g < N; ++g) {
                qint64 line = 0, lineR = 0, lineG = 0, lineB = 0;
                double line2 = 0;
                for (int b = 1; b < N; ++b) {
                    const int i = at(r, g, b);
                    line += wt[i];
                    lineR += mr[i];
                    lineG += mg[i];
                    lineB += mb[i];
                    line2 += m2[i];
                    area[b] += line;
                    areaR[b] += lineR;
                    areaG[b] += lineG;
                    areaB[b] += lineB;
                    area2[b] += line2;
                    const int p = at(r - 1, g, b);
                    wt[i] = wt[p] + area[b];
                    mr[i] = mr[p] + areaR[b];
                    mg[i] = mg[p] + areaG[b];
                    mb[i] = mb[p] + areaB[b];
                    m2[i] = m2[p] + area2[b];
                }
            }
        }
    }

    template <typename T>
    static T vol(const Box& c, const std::vector<T>& m)
    {
        return m[at(c.r1, c.g1, c.b1)] - m[at(c.r1, c.g1, c.b0)] - m[at(c.r1, c.g0, c.b1)] + m[at(c.r1, c.g0, c.b0)]
            - m[at(c.r0, c.g1, c.b1)] + m[at(c.r0, c.g1, c.b0)] + m[at(c.r0, c.g0, c.b1)] - m[at(c.r0, c.g0, c.b0)];
    }
    static qint64 bottom(const Box& c, int dir, const std::vector<qint64>& m)
    {
        switch (dir) {
        case 0: return -m[at(c.r0, c.g1, c.b1)] + m[at(c.r0, c.g1, c.b0)] + m[at(c.r0, c.g0, c.b1)] - m[at(c.r0, c.g0, c.b0)];
        case 1: return -m[at(c.r1, c.g0, c.b1)] + m[at(c.r1, c.g0, c.b0)] + m[at(c.r0, c.g0, c.b1)] - m[at(c.r0, c.g0, c.b0)];
        default: return -m[at(c.r1, c.g1, c.b0)] + m[at(c.r1, c.g0, c.b0)] + m[at(c.r0, c.g1, c.b0)] - m[at(c.r0, c.g0, c.b0)];
        }
    }
    static qint64 top(const Box& c, int dir, int pos, const std::vector<qint64>& m)
    {
        switch (dir) {
        case 0: return m[at(pos, c.g1, c.b1)] - m[at(pos, c.g1, c.b0)] - m[at(pos, c.g0, c.b1)] + m[at(pos, c.g0, c.b0)];
        case 1: return m[at(c.r1, pos, c.b1)] - m[at(c.r1, pos, c.b0)] - m[at(c.r0, pos, c.b1)] + m[at(c.r0, pos, c.b0)];
        default: return m[at(c.r1, c.g1, pos)] - m[at(c.r1, c.g0, pos)] - m[at(c.r0, c.g1, pos)] + m[at(c.r0, c.g0, pos)];
        }
    }
    double variance(const Box& c) const
    {
        const double dr = double(vol(c, mr)), dg = double(vol(c, mg)), db = double(vol(c, mb));
        const double w = double(vol(c, wt));
        if (w <= 0)
            return 0;
        return vol(c, m2) - (dr * dr + dg * dg + db * db) / w;
    }
    double maximize(const Box& c, int dir, int first, int last, int* cut, qint64 wr, qint64 wg, qint64 wb, qint64 ww) const
    {
        const qint64 br = bottom(c, dir, mr), bg = bottom(c, dir, mg), bb = bottom(c, dir, mb), bw = bottom(c, dir, wt);
        double best = 0;
        *cut = -1;
        for (int i = first; i < last; ++i) {
            qint64 hr = br + top(c, dir, i, mr), hg = bg + top(c, dir, i, mg), hb = bb + top(c, dir, i, mb);
            qint64 hw = bw + top(c, dir, i, wt);
            if (hw == 0)
                continue;
            double t = (double(hr) * hr + double(hg) * hg + double(hb) * hb) / double(hw);
            hr = wr - hr;
            hg = wg - hg;
            hb = wb - hb;
            hw = ww - hw;
            if (hw == 0)
                continue;
            t += (double(hr) * hr + double(hg) * hg + double(hb) * hb) / double(hw);
            if (t > best) {
                best = t;
                *cut = i;
            }
        }
        return best;
    }
    bool cut(Box& a, Box& b) const
    {
        const qint64 wr = vol(a, mr), wg = vol(a, mg), wb = vol(a, mb), ww = vol(a, wt);
        int cr, cg, cb;
        const double maxR = maximize(a, 0, a.r0 + 1, a.r1, &cr, wr, wg, wb, ww);
        const double maxG = maximize(a, 1, a.g0 + 1, a.g1, &cg, wr, wg, wb, ww);
        const double maxB = maximize(a, 2, a.b0 + 1, a.b1, &cb, wr, wg, wb, ww);
        int dir;
        if (maxR >= maxG && maxR >= maxB) {
            dir = 0;
            if (cr < 0)
                return false;
        } else if (maxG >= maxR && maxG >= maxB) {
            dir = 1;
        } else {
            dir = 2;
        }
        b.r1 = a.r1;
        b.g1 = a.g1;
        b.b1 = a.b1;
        if (dir == 0) {
            if (cr < 0)
                return false;
            b.r0 = a.r1 = cr;
            b.g0 = a.g0;
            b.b0 = a.b0;
        } else if (dir == 1) {
            if (cg < 0)
                return false;
            b.g0 = a.g1 = cg;
            b.r0 = a.r0;
            b.b0 = a.b0;
        } else {
            if (cb < 0)
                return false;
            b.b0 = a.b1 = cb;
            b.r0 = a.r0;
            b.g0 = a.g0;
        }
        return true;
    }
    std::vector<Box> boxes(int k) const
    {
        std::vector<Box> cube(static_cast<size_t>(k));
        std::vector<double> vv(size_t(k), 0.0);
        cube[0] = {0, N - 1, 0, N - 1, 0, N - 1};
        int next = 0;
        int count = 1;
        for (int i = 1; i < k; ++i) {
            if (cut(cube[size_t(next)], cube[size_t(i)])) {
                auto volume = [](const Box& c) { return (c.r1 - c.r0) * (c.g1 - c.g0) * (c.b1 - c.b0); };
                vv[size_t(next)] = volume(cube[size_t(next)]) > 1 ? variance(cube[size_t(next)]) : 0.0;
                vv[size_t(i)] = volume(cube[size_t(i)]) > 1 ? variance(cube[size_t(i)]) : 0.0;
                count = i + 1;
            } else {
                vv[size_t(next)] = 0.0;
                --i;
            }
            next = 0;
            double t = vv[0];
            for (int j = 1; j <= i; ++j) {
                if (vv[size_t(j)] > t) {
                    t = vv[size_t(j)];
                    next = j;
                }
            }
            if (t <= 0.0)
                break;
        }
        cube.resize(size_t(count));
        return cube;
    }

    std::vector<qint64> wt, mr, mg, mb;
    std::vector<double> m2;
};

} // namespace

QList<QRgb> Quantizer::exactColours(const QImage& image, int maxColours)
{
    QList<QRgb> out;
    if (image.isNull())
        return out;
    if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono
        || image.format() == QImage::Format_MonoLSB) {
        // Only the entries that pixels use count.
        const QImage idx = image.format() == QImage::Format_Indexed8 ? image : image.convertToFormat(QImage::Format_Indexed8);
        bool used[256] = {};
        for (int y = 0; y < idx.height(); ++y) {
            const uchar* p = idx.constScanLine(y);
            for (int x = 0; x < idx.width(); ++x)
                used[p[x]] = true;
        }
        ColourMap seen(10);
        for (int i = 0; i < idx.colorCount(); ++i) {
            if (!used[i])
                continue;
            const quint32 c = idx.color(i) & 0xffffff;
            if (seen.find(c) >= 0)
                continue;
            seen.insert(c);
            if (out.size() == maxColours)
                return {};
            out.append(0xff000000u | c);
        }
        return out;
    }
    const QImage rgb = asRgb32(image);
    ColourMap seen(12);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        quint32 last = kEmpty;
        for (int x = 0; x < rgb.width(); ++x) {
            const quint32 c = p[x] & 0xffffff;
            if (c == last)
                continue;
            last = c;
            if (seen.find(c) >= 0)
                continue;
            if (out.size() == maxColours)
                return {};
            seen.insert(c);
            out.append(0xff000000u | c);
        }
    }
    return out;
}

QList<QRgb> Quantizer::adaptivePalette(const QImage& image, int maxColours)
{
    const QImage rgb = asRgb32(image);
    WuQuantizer wu;
    // Exact counts of frequent colours, to snap boxes that are mostly one colour.
    ColourMap counts(18);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        int x = 0;
        const int w = rgb.width();
        while (x < w) {
            const quint32 c = p[x] & 0xffffff;
            int n = 1;
            while (x + n < w && (p[x + n] & 0xffffff) == c)
                ++n;
            wu.add(c, n);
            const qint64 s = counts.insert(c);
            if (s >= 0)
                counts.value(s) += n;
            x += n;
        }
    }
    wu.cumulate();
    const std::vector<WuQuantizer::Box> boxes = wu.boxes(std::clamp(maxColours, 2, 256));
    QList<QRgb> palette;
    std::vector<qint16> boxOfCell(size_t(WuQuantizer::N * WuQuantizer::N * WuQuantizer::N), -1);
    for (size_t k = 0; k < boxes.size(); ++k) {
        const WuQuantizer::Box& b = boxes[k];
        const qint64 w = WuQuantizer::vol(b, wu.wt);
        if (w > 0) {
            palette.append(qRgb(int((WuQuantizer::vol(b, wu.mr) + w / 2) / w), int((WuQuantizer::vol(b, wu.mg) + w / 2) / w),
                                int((WuQuantizer::vol(b, wu.mb) + w / 2) / w)));
        } else {
            palette.append(qRgb(0, 0, 0));
        }
        for (int r = b.r0 + 1; r <= b.r1; ++r)
            for (int g = b.g0 + 1; g <= b.g1; ++g)
                for (int bl = b.b0 + 1; bl <= b.b1; ++bl)
                    boxOfCell[size_t(WuQuantizer::at(r, g, bl))] = qint16(k);
    }
    std::vector<qint64> best(boxes.size(), 0);
    std::vector<quint32> bestColour(boxes.size(), 0);
    for (size_t s = 0; s < counts.slotCount(); ++s) {
        const quint32 c = counts.key(s);
        if (c == kEmpty)
            continue;
        const int cell = WuQuantizer::at(int((c >> 16) >> 3) + 1, int(((c >> 8) & 255) >> 3) + 1, int((c & 255) >> 3) + 1);
        const int k = boxOfCell[size_t(cell)];
        if (k >= 0 && counts.value(qint64(s)) > best[size_t(k)]) {
            best[size_t(k)] = counts.value(qint64(s));
            bestColour[size_t(k)] = c;
        }
    }
    for (size_t k = 0; k < boxes.size(); ++k) {
        const qint64 w = WuQuantizer::vol(boxes[k], wu.wt);
        if (w > 0 && best[k] * 5 >= w * 2)
            palette[qsizetype(k)] = 0xff000000u | bestColour[k];
    }
    return palette;
}

std::vector<Quantizer::Entry> Quantizer::byGreen(const QList<QRgb>& palette)
{
    std::vector<Entry> sorted;
    sorted.reserve(size_t(palette.size()));
    for (int i = 0; i < palette.size(); ++i)
        sorted.push_back({qGreen(palette[i]), qRed(palette[i]), qBlue(palette[i]), i});
    std::sort(sorted.begin(), sorted.end(),
              [](const Entry& a, const Entry& b) { return a.g != b.g ? a.g < b.g : a.index < b.index; });
    return sorted;
}

int Quantizer::nearestIndex(const std::vector<Entry>& byGreen, int r, int g, int b)
{
    // Outwards from the nearest green: once green alone is farther than
    // the best distance, nothing beyond can be nearer. Equal distances go
    // to the lower index, as a scan of the whole palette in order would.
    int best = 0, bestD = INT_MAX;
    const auto consider = [&](const Entry& e) {
        const int dr = e.r - r, dg = e.g - g, db = e.b - b;
        const int d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
        if (d < bestD || (d == bestD && e.index < best)) {
            bestD = d;
            best = e.index;
        }
    };
    const auto start = std::lower_bound(byGreen.begin(), byGreen.end(), g,
                                        [](const Entry& e, int green) { return e.g < green; });
    for (auto it = start; it != byGreen.end(); ++it) {
        if (4 * (it->g - g) * (it->g - g) > bestD)
            break;
        consider(*it);
    }
    for (auto it = start; it != byGreen.begin();) {
        --it;
        if (4 * (g - it->g) * (g - it->g) > bestD)
            break;
        consider(*it);
    }
    return best;
}

QImage Quantizer::toPalette(const QImage& image, int maxColours, bool dither)
{
    if (image.isNull() || maxColours < 2 || maxColours > 256)
        return {};
    // Palette images are counted through their palette; others once in RGB32.
    const bool indexed = image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono
        || image.format() == QImage::Format_MonoLSB;
    const QImage rgb = asRgb32(image);
    if (rgb.isNull())
        return {};
    const QList<QRgb> exact = exactColours(indexed ? image : rgb, maxColours);
    QImage out;
    if (!exact.isEmpty())
        out = mapToPalette(rgb, exact, false);
    else
        out = mapToPalette(rgb, adaptivePalette(rgb, maxColours), dither);
    copyResolution(image, out);
    return out;
}

QImage Quantizer::toGrey(const QImage& image, int levels, bool dither)
{
    if (image.isNull() || (levels != 16 && levels != 256))
        return {};
    const int w = image.width(), h = image.height();
    // Luminance of every pixel, through the palette when there is one.
    QImage lum = allocateImage(w, h, QImage::Format_Grayscale8);
    if (lum.isNull())
        return {};
    if (image.format() == QImage::Format_Indexed8) {
        uchar lut[256] = {};
        for (int i = 0; i < image.colorCount(); ++i)
            lut[i] = uchar(luminance(image.color(i)));
        for (int y = 0; y < h; ++y) {
            const uchar* s = image.constScanLine(y);
            uchar* d = lum.scanLine(y);
            for (int x = 0; x < w; ++x)
                d[x] = lut[s[x]];
        }
    } else if (image.format() == QImage::Format_RGB888) {
        for (int y = 0; y < h; ++y) {
            const uchar* s = image.constScanLine(y);
            uchar* d = lum.scanLine(y);
            for (int x = 0; x < w; ++x, s += 3)
                d[x] = uchar((s[0] * 299 + s[1] * 587 + s[2] * 114 + 500) / 1000);
        }
    } else {
        const QImage rgb = asRgb32(image);
        if (rgb.isNull())
            return {};
        for (int y = 0; y < h; ++y) {
            const QRgb* s = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            uchar* d = lum.scanLine(y);
            for (int x = 0; x < w; ++x)
                d[x] = uchar(luminance(s[x]));
        }
    }
    QImage out = allocateImage(w, h, QImage::Format_Indexed8);
    if (out.isNull())
        return {};
    copyResolution(image, out);
    QList<QRgb> palette;
    uchar lut[256];
    bool used[256] = {};
    for (int y = 0; y < h; ++y) {
        const uchar* s = lum.constScanLine(y);
        for (int x = 0; x < w; ++x)
            used[s[x]] = true;
    }
    const int distinct = int(std::count(std::begin(used), std::end(used), true));
    bool diffuse = false;
    if (levels == 256) {
        for (int i = 0; i < 256; ++i) {
            palette.append(qRgb(i, i, i));
            lut[i] = uchar(i);
        }
    } else if (distinct <= 16) {
        for (int i = 0; i < 256; ++i) {
            lut[i] = 0;
            if (used[i]) {
                lut[i] = uchar(palette.size());
                palette.append(qRgb(i, i, i));
            }
        }
    } else {
        for (int i = 0; i < 16; ++i)
            palette.append(qRgb(i * 17, i * 17, i * 17));
        for (int i = 0; i < 256; ++i)
            lut[i] = uchar((i + 8) / 17);
        diffuse = dither;
    }
    out.setColorTable(palette);
    if (!diffuse) {
        for (int y = 0; y < h; ++y) {
            const uchar* s = lum.constScanLine(y);
            uchar* d = out.scanLine(y);
            for (int x = 0; x < w; ++x)
                d[x] = lut[s[x]];
        }
        return out;
    }
    std::vector<int> rows[2] = {std::vector<int>(size_t(w + 2), 0), std::vector<int>(size_t(w + 2), 0)};
    for (int y = 0; y < h; ++y) {
        std::vector<int>& cur = rows[y & 1];
        std::vector<int>& next = rows[(y + 1) & 1];
        std::fill(next.begin(), next.end(), 0);
        const uchar* s = lum.constScanLine(y);
        uchar* d = out.scanLine(y);
        const bool ltr = (y & 1) == 0;
        const int dir = ltr ? 1 : -1;
        for (int i = 0; i < w; ++i) {
            const int x = ltr ? i : w - 1 - i;
            if (s[x] % 17 == 0) { // exactly a palette grey
                d[x] = uchar(s[x] / 17);
                continue;
            }
            const int v = std::clamp(int(s[x]) + ((cur[size_t(x + 1)] + 8) >> 4), 0, 255);
            const int idx = (v + 8) / 17;
            d[x] = uchar(idx);
            const int err = v - idx * 17;
            cur[size_t(x + 1 + dir)] += err * 7;
            next[size_t(x + 1 - dir)] += err * 3;
            next[size_t(x + 1)] += err * 5;
            next[size_t(x + 1 + dir)] += err;
        }
    }
    return out;
}

QImage Quantizer::toMono(const QImage& image, bool dither)
{
    if (image.isNull())
        return {};
    const int w = image.width(), h = image.height();
    QImage idx;
    const QList<QRgb> exact = exactColours(image, 2);
    if (!exact.isEmpty()) {
        QList<QRgb> two = exact;
        if (two.size() == 1)
            two.append(luminance(two[0]) < 128 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        if (luminance(two[0]) > luminance(two[1]))
            std::swap(two[0], two[1]);
        idx = mapToPalette(asRgb32(image), two, false);
    } else {
        const QImage grey = toGrey(image, 256, false);
        if (grey.isNull())
            return {};
        idx = QImage(w, h, QImage::Format_Indexed8);
        if (idx.isNull())
            return {};
        idx.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        std::vector<int> rows[2] = {std::vector<int>(size_t(w + 2), 0), std::vector<int>(size_t(w + 2), 0)};
        for (int y = 0; y < h; ++y) {
            std::vector<int>& cur = rows[y & 1];
            std::vector<int>& next = rows[(y + 1) & 1];
            std::fill(next.begin(), next.end(), 0);
            const uchar* s = grey.constScanLine(y);
            uchar* d = idx.scanLine(y);
            const bool ltr = (y & 1) == 0;
            const int dir = ltr ? 1 : -1;
            for (int i = 0; i < w; ++i) {
                const int x = ltr ? i : w - 1 - i;
                const int v = dither ? std::clamp(int(s[x]) + ((cur[size_t(x + 1)] + 8) >> 4), 0, 255) : s[x];
                const int bit = v >= 128 ? 1 : 0;
                d[x] = uchar(bit);
                if (!dither || s[x] == 0 || s[x] == 255)
                    continue;
                const int err = v - bit * 255;
                cur[size_t(x + 1 + dir)] += err * 7;
                next[size_t(x + 1 - dir)] += err * 3;
                next[size_t(x + 1)] += err * 5;
                next[size_t(x + 1 + dir)] += err;
            }
        }
    }
    if (idx.isNull())
        return {};
    QImage out = packMono(idx, idx.colorTable());
    if (out.isNull())
        return {};
    copyResolution(image, out);
    return out;
}

} // namespace varnel
