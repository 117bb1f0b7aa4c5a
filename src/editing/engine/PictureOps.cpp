#include "PictureOps.h"

#include "PixelFormats.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace varnel {

namespace {

constexpr int kWeightBits = 14;

struct Contribution {
    int first = 0;
    std::vector<int> weights; // sum to 1 << kWeightBits
};

std::vector<Contribution> contributions(int srcLen, int dstLen)
{
    std::vector<Contribution> out(static_cast<size_t>(dstLen));
    const double scale = double(srcLen) / dstLen;
    for (int i = 0; i < dstLen; ++i) {
        Contribution& c = out[size_t(i)];
        std::vector<double> w;
        if (dstLen < srcLen) {
            const double a = i * scale, b = (i + 1) * scale;
            c.first = int(std::floor(a));
            const int last = std::min(srcLen - 1, int(std::ceil(b)) - 1);
            for (int j = c.first; j <= last; ++j)
                w.push_back((std::min(b, double(j + 1)) - std::max(a, double(j))) / scale);
        } else {
            const double x = std::clamp((i + 0.5) * scale - 0.5, 0.0, double(srcLen - 1));
            c.first = int(std::floor(x));
            const double f = x - c.first;
            w.push_back(1.0 - f);
            if (c.first + 1 < srcLen)
                w.push_back(f);
            else
                w[0] = 1.0;
        }
        int sum = 0;
        for (double v : w) {
            c.weights.push_back(int(std::lround(v * (1 << kWeightBits))));
            sum += c.weights.back();
        }
        // Rounding leftovers go to the largest weight so the sum stays exact.
        auto big = std::max_element(c.weights.begin(), c.weights.end());
        *big += (1 << kWeightBits) - sum;
    }
    return out;
}

// Runs fn on an Indexed8 copy of a Mono image and packs the result again.
template <typename Fn>
QImage viaIndexed(const QImage& image, Fn fn)
{
    if (image.format() != QImage::Format_Mono && image.format() != QImage::Format_MonoLSB)
        return fn(image);
    const QList<QRgb> table = image.colorTable();
    const QImage idx = image.convertToFormat(QImage::Format_Indexed8);
    const QImage done = fn(idx);
    return done.isNull() ? QImage() : packMono(done, table);
}

} // namespace

QImage PictureOps::scaleNearest(const QImage& image, int width, int height)
{
    return viaIndexed(image, [&](const QImage& src) -> QImage {
        const int bytes = src.depth() / 8;
        if (bytes < 1 || bytes > 4)
            return {};
        QImage out = allocateImage(width, height, src.format());
        if (out.isNull())
            return {};
        out.setColorTable(src.colorTable());
        out.setDotsPerMeterX(src.dotsPerMeterX());
        out.setDotsPerMeterY(src.dotsPerMeterY());
        std::vector<int> xs(static_cast<size_t>(width));
        for (int x = 0; x < width; ++x)
            xs[size_t(x)] = int((qint64(2 * x + 1) * src.width()) / (2 * qint64(width)));
        for (int y = 0; y < height; ++y) {
            const int sy = int((qint64(2 * y + 1) * src.height()) / (2 * qint64(height)));
            const uchar* s = src.constScanLine(sy);
            uchar* d = out.scanLine(y);
            for (int x = 0; x < width; ++x)
                std::memcpy(d + x * bytes, s + xs[size_t(x)] * bytes, size_t(bytes));
        }
        return out;
    });
}

QImage PictureOps::scaleSmooth(const QImage& image, int width, int height)
{
    const bool packed = image.format() == QImage::Format_RGB888;
    const QImage src = (packed || image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)
        ? image
        : image.convertToFormat(QImage::Format_ARGB32);
    const int ch = packed ? 3 : 4;
    const int sw = src.width(), sh = src.height();
    const std::vector<Contribution> cx = contributions(sw, width);
    const std::vector<Contribution> cy = contributions(sh, height);
    // Horizontal pass into 16-bit channels with 8 fractional bits.
    const size_t midRow = size_t(width) * size_t(ch);
    const auto midMemory = allocateBuffer(midRow * size_t(sh) * sizeof(quint16));
    quint16* const midBits = reinterpret_cast<quint16*>(midMemory.get());
    for (int y = 0; y < sh; ++y) {
        const uchar* s = src.constScanLine(y);
        quint16* d = midBits + size_t(y) * midRow;
        for (int x = 0; x < width; ++x) {
            const Contribution& c = cx[size_t(x)];
            quint32 acc[4] = {0, 0, 0, 0};
            const uchar* p = s + size_t(c.first) * size_t(ch);
            for (int w : c.weights) {
                for (int k = 0; k < ch; ++k)
                    acc[k] += quint32(p[k]) * quint32(w);
                p += ch;
            }
            for (int k = 0; k < ch; ++k)
                d[x * ch + k] = quint16((acc[k] + (1u << (kWeightBits - 9))) >> (kWeightBits - 8));
        }
    }
    QImage out = allocateImage(width, height, src.format());
    if (out.isNull())
        return {};
    out.setDotsPerMeterX(src.dotsPerMeterX());
    out.setDotsPerMeterY(src.dotsPerMeterY());
    std::vector<quint32> acc(midRow);
    for (int y = 0; y < height; ++y) {
        const Contribution& c = cy[size_t(y)];
        std::fill(acc.begin(), acc.end(), 0u);
        for (size_t j = 0; j < c.weights.size(); ++j) {
            const quint16* row = midBits + size_t(c.first + int(j)) * midRow;
            const quint32 w = quint32(c.weights[j]);
            for (size_t i = 0; i < midRow; ++i)
                acc[i] += row[i] * w;
        }
        uchar* d = out.scanLine(y);
        for (size_t i = 0; i < midRow; ++i)
            d[i] = uchar(std::min<quint32>(255, (acc[i] + (1u << (kWeightBits + 7))) >> (kWeightBits + 8)));
    }
    return out;
}

namespace {

// Quarter turn of pixels of N bytes, in tiles so both images stay in cache.
template <int N>
void turn(const QImage& src, QImage& out, bool counterClockwise)
{
    struct Px {
        uchar b[N];
    };
    const int w = src.width(), h = src.height();
    const uchar* sBits = src.constBits();
    uchar* dBits = out.bits();
    const qsizetype sStride = src.bytesPerLine(), dStride = out.bytesPerLine();
    constexpr int kTile = 64;
    for (int ty = 0; ty < h; ty += kTile) {
        for (int tx = 0; tx < w; tx += kTile) {
            const int yEnd = std::min(h, ty + kTile), xEnd = std::min(w, tx + kTile);
            for (int y = ty; y < yEnd; ++y) {
                const Px* s = reinterpret_cast<const Px*>(sBits + y * sStride);
                for (int x = tx; x < xEnd; ++x) {
                    // Counter-clockwise: (x, y) goes to (y, w-1-x); clockwise: to (h-1-y, x).
                    const int dx = counterClockwise ? y : h - 1 - y;
                    const int dy = counterClockwise ? w - 1 - x : x;
                    reinterpret_cast<Px*>(dBits + dy * dStride)[dx] = s[x];
                }
            }
        }
    }
}

} // namespace

QImage PictureOps::rotateQuarter(const QImage& image, int quarters)
{
    quarters = ((quarters % 4) + 4) % 4;
    if (quarters == 0)
        return image;
    if (quarters == 2)
        return image.mirrored(true, true);
    return viaIndexed(image, [&](const QImage& src) -> QImage {
        const int bytes = src.depth() / 8;
        if (bytes < 1 || bytes > 4)
            return {};
        const int w = src.width(), h = src.height();
        QImage out = allocateImage(h, w, src.format());
        if (out.isNull())
            return {};
        out.setColorTable(src.colorTable());
        out.setDotsPerMeterX(src.dotsPerMeterY());
        out.setDotsPerMeterY(src.dotsPerMeterX());
        const bool ccw = quarters == 1;
        switch (bytes) {
        case 1: turn<1>(src, out, ccw); break;
        case 2: turn<2>(src, out, ccw); break;
        case 3: turn<3>(src, out, ccw); break;
        default: turn<4>(src, out, ccw); break;
        }
        return out;
    });
}

std::vector<uchar> PictureOps::regionMask(const QSize& size, RegionSide side, RegionShape shape,
                                          const QPolygon& polygon, QRect* bounds)
{
    const QRect all(QPoint(0, 0), size);
    if (shape == RegionShape::Whole) {
        *bounds = all;
        return {};
    }
    const int w = size.width(), h = size.height();
    std::vector<uchar> mask(size_t(w) * size_t(h), 0);
    QRect inside;
    if (polygon.size() >= 3) {
        const QRect box = polygon.boundingRect(); // inclusive corners
        const bool rectangle = polygon.size() == 4 && [&] {
            for (const QPoint& p : polygon)
                if ((p.x() != box.left() && p.x() != box.right()) || (p.y() != box.top() && p.y() != box.bottom()))
                    return false;
            return true;
        }();
        inside = box.intersected(all);
        if (!inside.isEmpty()) {
            if (rectangle) {
                for (int y = inside.top(); y <= inside.bottom(); ++y)
                    std::memset(mask.data() + size_t(y) * size_t(w) + size_t(inside.left()), 1, size_t(inside.width()));
            } else {
                // Any other polygon: rasterise it with its outline, edges included.
                QImage m(inside.size(), QImage::Format_ARGB32_Premultiplied);
                m.fill(Qt::transparent);
                {
                    QPainter p(&m);
                    p.translate(-inside.topLeft());
                    p.setPen(QPen(Qt::black, 0));
                    p.setBrush(Qt::black);
                    p.drawPolygon(polygon);
                }
                for (int y = 0; y < inside.height(); ++y) {
                    const QRgb* row = reinterpret_cast<const QRgb*>(m.constScanLine(y));
                    uchar* d = mask.data() + size_t(y + inside.top()) * size_t(w) + size_t(inside.left());
                    for (int x = 0; x < inside.width(); ++x)
                        d[x] = qAlpha(row[x]) >= 128 ? 1 : 0;
                }
            }
        }
    }
    if (side == RegionSide::Outside) {
        for (uchar& v : mask)
            v = v ? 0 : 1;
        *bounds = inside == all ? QRect() : all;
        return mask;
    }
    *bounds = inside;
    return mask;
}

void PictureOps::mosaic(QImage& image, const std::vector<uchar>& mask, const QPoint& origin, int blockW, int blockH,
                        std::mt19937& rng)
{
    const int w = image.width(), h = image.height();
    const bool argb = image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_RGB32;
    const int bytes = argb ? 4 : 3;
    // Channel order in memory: ARGB32 is B, G, R, A.
    const int ch[3] = {argb ? 2 : 0, 1, argb ? 0 : 2};
    std::uniform_int_distribution<int> step(3, 8);
    std::uniform_int_distribution<int> coin(0, 1);
    const int startX = origin.x() - ((origin.x() + blockW - 1) / blockW) * blockW;
    const int startY = origin.y() - ((origin.y() + blockH - 1) / blockH) * blockH;
    for (int by = startY; by < h; by += blockH) {
        const int y0 = std::max(0, by), y1 = std::min(h, by + blockH);
        for (int bx = startX; bx < w; bx += blockW) {
            const int x0 = std::max(0, bx), x1 = std::min(w, bx + blockW);
            qint64 sum[3] = {0, 0, 0};
            qint64 n = 0;
            for (int y = y0; y < y1; ++y) {
                const uchar* p = image.constScanLine(y);
                const uchar* m = mask.empty() ? nullptr : mask.data() + size_t(y) * size_t(w);
                for (int x = x0; x < x1; ++x) {
                    if (m && !m[x])
                        continue;
                    for (int k = 0; k < 3; ++k)
                        sum[k] += p[x * bytes + ch[k]];
                    ++n;
                }
            }
            if (n == 0)
                continue;
            uchar colour[3];
            for (int k = 0; k < 3; ++k) {
                const int mean = int((sum[k] + n / 2) / n);
                const int d = step(rng);
                int v = coin(rng) ? mean + d : mean - d;
                if (v < 0 || v > 255)
                    v = v < 0 ? mean + d : mean - d;
                colour[k] = uchar(std::clamp(v, 0, 255));
            }
            for (int y = y0; y < y1; ++y) {
                uchar* p = image.scanLine(y);
                const uchar* m = mask.empty() ? nullptr : mask.data() + size_t(y) * size_t(w);
                for (int x = x0; x < x1; ++x) {
                    if (m && !m[x])
                        continue;
                    for (int k = 0; k < 3; ++k)
                        p[x * bytes + ch[k]] = colour[k];
                }
            }
        }
    }
}

void PictureOps::copyRect(const QImage& src, const QRect& srcRect, QImage& dst, const QPoint& dstPos)
{
    const int bytes = src.depth() / 8;
    if (bytes < 1 || src.format() != dst.format())
        return;
    // Rows may overlap when src and dst share data; memmove keeps that right
    // for rows copied in the safe order.
    const bool upward = dstPos.y() > srcRect.top() && src.constBits() == dst.constBits();
    for (int i = 0; i < srcRect.height(); ++i) {
        const int row = upward ? srcRect.height() - 1 - i : i;
        std::memmove(dst.scanLine(dstPos.y() + row) + dstPos.x() * bytes,
                     src.constScanLine(srcRect.top() + row) + srcRect.left() * bytes,
                     size_t(srcRect.width()) * size_t(bytes));
    }
}

} // namespace varnel
