#include "ScrollJoin.h"

#include <cstring>
#include <vector>

#include "Picture.h"

namespace varnel {

namespace {

// Lines (rows or columns) of one picture with a hash each, so that offsets
// are tried on hashes and only the chosen one is compared pixel by pixel.
class Lines {
public:
    Lines(const QImage& image, bool columns)
        : m_image(image), m_columns(columns), m_bytesPerPixel(image.depth() / 8),
          m_count(columns ? image.width() : image.height()), m_hash(size_t(m_count))
    {
        const int rowBytes = image.width() * m_bytesPerPixel;
        if (!columns) {
            for (int y = 0; y < m_count; ++y)
                m_hash[size_t(y)] = hashBytes(image.constScanLine(y), rowBytes);
            return;
        }
        std::fill(m_hash.begin(), m_hash.end(), kSeed);
        for (int y = 0; y < image.height(); ++y) {
            const uchar* p = image.constScanLine(y);
            for (int x = 0; x < m_count; ++x, p += m_bytesPerPixel) {
                quint32 v = 0;
                std::memcpy(&v, p, size_t(m_bytesPerPixel));
                m_hash[size_t(x)] = mix(m_hash[size_t(x)], v);
            }
        }
    }

    int count() const { return m_count; }
    quint64 hash(int i) const { return m_hash[size_t(i)]; }
    const quint64* hashes(int from) const { return m_hash.data() + from; }

    // Whether n lines from i here equal n lines from j of other, pixel for pixel.
    bool equal(int i, const Lines& other, int j, int n) const
    {
        if (!m_columns) {
            const size_t bytes = size_t(m_image.width()) * size_t(m_bytesPerPixel);
            for (int k = 0; k < n; ++k)
                if (std::memcmp(m_image.constScanLine(i + k), other.m_image.constScanLine(j + k), bytes) != 0)
                    return false;
            return true;
        }
        const size_t bytes = size_t(n) * size_t(m_bytesPerPixel);
        for (int y = 0; y < m_image.height(); ++y)
            if (std::memcmp(m_image.constScanLine(y) + i * m_bytesPerPixel,
                            other.m_image.constScanLine(y) + j * m_bytesPerPixel, bytes) != 0)
                return false;
        return true;
    }

private:
    static constexpr quint64 kSeed = 0x9E3779B97F4A7C15ull;
    static quint64 mix(quint64 h, quint64 v)
    {
        h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
        return h * 0xFF51AFD7ED558CCDull;
    }
    static quint64 hashBytes(const uchar* p, int n)
    {
        quint64 h = kSeed ^ quint64(n);
        int i = 0;
        for (; i + 8 <= n; i += 8) {
            quint64 w;
            std::memcpy(&w, p + i, 8);
            h = (h ^ w) * 0x100000001B3ull;
            h ^= h >> 29;
        }
        quint64 tail = 0;
        std::memcpy(&tail, p + i, size_t(n - i));
        return mix(h, tail);
    }

    const QImage& m_image;
    bool m_columns;
    int m_bytesPerPixel;
    int m_count;
    std::vector<quint64> m_hash;
};

ScrollJoin::Seam seamOf(const Lines& a, const Lines& b, ScrollJoin::Direction direction)
{
    ScrollJoin::Seam s;
    s.direction = direction;
    const int na = a.count(), nb = b.count();
    const int shorter = std::min(na, nb);
    int header = 0;
    while (header < shorter && a.hash(header) == b.hash(header) && a.equal(header, b, header, 1))
        ++header;
    if (header == shorter && na == nb) {
        // The same picture twice: the second adds nothing.
        s.found = true;
        s.header = header;
        return s;
    }
    int footer = 0;
    while (header + footer < shorter && a.hash(na - 1 - footer) == b.hash(nb - 1 - footer) &&
           a.equal(na - 1 - footer, b, nb - 1 - footer, 1))
        ++footer;
    const int movingA = na - header - footer, movingB = nb - header - footer;
    const int endA = na - footer;
    // The largest overlap first: the bottom k moving lines of a are the top
    // k moving lines of b.
    const quint64 first = b.hash(header);
    for (int k = std::min(movingA, movingB); k >= ScrollJoin::kMinOverlap; --k) {
        const int from = endA - k;
        if (a.hash(from) != first)
            continue;
        if (std::memcmp(a.hashes(from), b.hashes(header), size_t(k) * sizeof(quint64)) != 0)
            continue;
        if (!a.equal(from, b, header, k))
            continue;
        s.found = true;
        s.header = header;
        s.footer = footer;
        s.overlap = k;
        return s;
    }
    return s;
}

// All pictures in one format the lines can be compared in: the shared
// format when every picture has it (and the same colours), else true colour.
QList<QImage> comparable(const QList<QImage>& pictures, bool* wasMono)
{
    *wasMono = false;
    bool same = true;
    for (const QImage& p : pictures)
        same = same && p.format() == pictures[0].format() && p.colorTable() == pictures[0].colorTable();
    const QImage::Format f = pictures[0].format();
    QList<QImage> out;
    if (same && (f == QImage::Format_Mono || f == QImage::Format_MonoLSB)) {
        *wasMono = true;
        for (const QImage& p : pictures)
            out << p.convertToFormat(QImage::Format_Indexed8);
        return out;
    }
    if (same && pictures[0].depth() >= 8 && pictures[0].depth() % 8 == 0)
        return pictures;
    bool alpha = false;
    for (const QImage& p : pictures)
        alpha = alpha || p.hasAlphaChannel();
    for (const QImage& p : pictures)
        out << p.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    return out;
}

} // namespace

ScrollJoin::Seam ScrollJoin::findSeam(const QImage& a, const QImage& b, Direction direction)
{
    const bool columns = direction == Direction::Right;
    if (direction == Direction::None || (columns ? a.height() != b.height() : a.width() != b.width()))
        return {};
    bool mono = false;
    const QList<QImage> both = comparable({a, b}, &mono);
    return seamOf(Lines(both[0], columns), Lines(both[1], columns), direction);
}

ScrollJoin::Result ScrollJoin::join(const QList<QImage>& input)
{
    Result r;
    if (input.size() < 2) {
        r.refusal = Refusal::TooFew;
        r.error = QStringLiteral("つなぐ画像を2つ以上選んでください");
        return r;
    }
    for (const QImage& p : input)
        if (p.isNull()) {
            r.refusal = Refusal::TooFew;
            r.error = QStringLiteral("画像がありません");
            return r;
        }
    bool mono = false;
    const QList<QImage> pics = comparable(input, &mono);
    const qsizetype n = pics.size();

    // The direction comes from the first pair that is not the same picture
    // twice; every other pair must join the same way.
    Direction dir = Direction::None;
    std::vector<Seam> seams;
    {
        std::vector<Lines> rows, cols;
        rows.reserve(size_t(n));
        for (const QImage& p : pics)
            rows.emplace_back(p, false);
        auto columnsOf = [&](qsizetype i) -> const Lines& {
            if (cols.empty()) {
                cols.reserve(size_t(n));
                for (const QImage& p : pics)
                    cols.emplace_back(p, true);
            }
            return cols[size_t(i)];
        };
        for (qsizetype i = 0; i + 1 < n; ++i) {
            const QImage &a = pics[i], &b = pics[i + 1];
            const bool sameWidth = a.width() == b.width(), sameHeight = a.height() == b.height();
            Seam s;
            if (sameWidth && dir != Direction::Right)
                s = seamOf(rows[size_t(i)], rows[size_t(i + 1)], Direction::Down);
            if (!s.found && sameHeight && dir != Direction::Down)
                s = seamOf(columnsOf(i), columnsOf(i + 1), Direction::Right);
            if (!s.found) {
                r.failedPair = int(i);
                const bool sizes = dir == Direction::Down    ? !sameWidth
                                   : dir == Direction::Right ? !sameHeight
                                                             : (!sameWidth && !sameHeight);
                r.refusal = sizes ? Refusal::SizesDiffer : Refusal::NoOverlap;
                r.error = sizes ? QStringLiteral("%1番目と%2番目の画像は大きさが違うため、つなげません")
                                    .arg(i + 1)
                                    .arg(i + 2)
                              : QStringLiteral("%1番目と%2番目の画像に重なる部分が見つからないため、つなげません")
                                    .arg(i + 1)
                                    .arg(i + 2);
                return r;
            }
            // The same picture twice tells no direction.
            const bool identical = s.overlap == 0 && s.footer == 0;
            if (!identical && dir == Direction::None)
                dir = s.direction;
            seams.push_back(s);
        }
    }
    if (dir == Direction::None)
        dir = Direction::Down;
    const bool columns = dir == Direction::Right;
    auto lineCount = [columns](const QImage& p) { return columns ? p.width() : p.height(); };

    // Each picture gives its lines from where the one before left off to
    // where its fixed end begins; the last gives its fixed end too.
    std::vector<std::pair<int, int>> spans;
    int cursor = 0;
    qint64 total = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const int count = lineCount(pics[i]);
        int end = count;
        int next = 0;
        if (i + 1 < n) {
            const Seam& s = seams[size_t(i)];
            end = count - s.footer;
            // Line x of this picture is line x - shift of the next.
            const int shift = (count - s.footer - s.overlap) - s.header;
            next = std::max(cursor, end) - shift;
        }
        const int from = std::min(cursor, end);
        spans.emplace_back(from, std::max(from, end));
        total += std::max(0, end - cursor);
        cursor = std::clamp(next, 0, i + 1 < n ? lineCount(pics[i + 1]) : 0);
    }
    if (total > Picture::kMaxSide) {
        r.refusal = Refusal::TooLong;
        r.error = QStringLiteral("つないだ画像が長すぎます (%1 ピクセル、最大 %2)").arg(total).arg(Picture::kMaxSide);
        return r;
    }

    const QImage& first = pics[0];
    const int bpp = first.depth() / 8;
    QImage out = columns ? QImage(int(total), first.height(), first.format())
                         : QImage(first.width(), int(total), first.format());
    if (out.isNull()) {
        r.refusal = Refusal::NoMemory;
        r.error = QStringLiteral("つないだ画像のためのメモリーが足りません");
        return r;
    }
    out.setColorTable(first.colorTable());
    out.setDotsPerMeterX(first.dotsPerMeterX());
    out.setDotsPerMeterY(first.dotsPerMeterY());
    int at = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const auto [from, to] = spans[size_t(i)];
        if (to <= from)
            continue;
        const QImage& p = pics[i];
        if (!columns) {
            const size_t bytes = size_t(p.width()) * size_t(bpp);
            for (int y = from; y < to; ++y)
                std::memcpy(out.scanLine(at++), p.constScanLine(y), bytes);
        } else {
            const size_t bytes = size_t(to - from) * size_t(bpp);
            for (int y = 0; y < p.height(); ++y)
                std::memcpy(out.scanLine(y) + size_t(at) * size_t(bpp), p.constScanLine(y) + from * bpp, bytes);
            at += to - from;
        }
    }
    if (mono)
        out = out.convertToFormat(input[0].format(), input[0].colorTable());
    r.image = out;
    r.direction = dir;
    return r;
}

} // namespace varnel
