#include "FastPngDecoder.h"

#include <libdeflate.h>

#include "PixelFormats.h"

#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <memory>
#include <thread>
#include <vector>

namespace varnel {

namespace {

quint32 be32(const uchar* p)
{
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}

inline uchar paeth(int a, int b, int c)
{
    // |p - a|, |p - b|, |p - c| for p = a + b - c, without forming p.
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    const int bc = pb <= pc ? b : c;
    return uchar(pa <= pb && pa <= pc ? a : bc);
}

#if defined(__SSE2__)
// Average and Paeth depend on the pixel to the left, so they go a pixel at a
// time; SSE2 does all channels of the pixel at once in 16-bit lanes, several
// times faster than byte by byte. (Average and Paeth are most of the cost
// of decoding a screenshot after the inflate.)
template <int Bpp>
inline __m128i loadPixel(const uchar* p)
{
    int v = 0;
    std::memcpy(&v, p, Bpp);
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(v), _mm_setzero_si128());
}

template <int Bpp>
inline void storePixel(uchar* p, __m128i v)
{
    const int packed = _mm_cvtsi128_si32(_mm_packus_epi16(v, v));
    std::memcpy(p, &packed, Bpp);
}

inline __m128i pick(__m128i mask, __m128i yes, __m128i no)
{
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

template <int Bpp>
void averageRow(const uchar* src, uchar* dst, const uchar* prev, size_t n)
{
    __m128i left = _mm_setzero_si128();
    for (size_t i = 0; i < n; i += Bpp) {
        const __m128i up = loadPixel<Bpp>(prev + i);
        const __m128i avg = _mm_srli_epi16(_mm_add_epi16(left, up), 1);
        // Adding bytewise wraps modulo 256, as the filter does.
        left = _mm_and_si128(_mm_add_epi8(loadPixel<Bpp>(src + i), avg), _mm_set1_epi16(0xff));
        storePixel<Bpp>(dst + i, left);
    }
}

template <int Bpp>
void paethRow(const uchar* src, uchar* dst, const uchar* prev, size_t n)
{
    // Only what depends on the pixel to the left (a) is a chain from one
    // pixel to the next; the rest is worked out beside it. The filtered byte
    // is added to each candidate up front, so the choice is the last step.
    const __m128i lowByte = _mm_set1_epi16(0xff);
    __m128i a = _mm_setzero_si128(), c = _mm_setzero_si128();
    for (size_t i = 0; i < n; i += Bpp) {
        const __m128i b = loadPixel<Bpp>(prev + i);
        const __m128i x = loadPixel<Bpp>(src + i);
        const __m128i bc = _mm_sub_epi16(b, c);
        const __m128i pa = _mm_max_epi16(bc, _mm_sub_epi16(c, b)); // |p - a| = |b - c|
        const __m128i xb = _mm_and_si128(_mm_add_epi16(x, b), lowByte);
        const __m128i xc = _mm_and_si128(_mm_add_epi16(x, c), lowByte);
        const __m128i ac = _mm_sub_epi16(a, c), ca = _mm_sub_epi16(c, a);
        const __m128i pb = _mm_max_epi16(ac, ca);                    // |p - b| = |a - c|
        const __m128i pc = _mm_max_epi16(_mm_add_epi16(ac, bc), _mm_sub_epi16(ca, bc));
        const __m128i xa = _mm_and_si128(_mm_add_epi16(x, a), lowByte);
        // Ties favour a, then b, then c.
        const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
        const __m128i notB = _mm_cmpgt_epi16(pb, pc);
        a = pick(notA, pick(notB, xc, xb), xa);
        storePixel<Bpp>(dst + i, a);
        c = b;
    }
}

template <int Bpp>
void subRow(const uchar* src, uchar* dst, size_t n)
{
    __m128i left = _mm_setzero_si128();
    for (size_t i = 0; i < n; i += Bpp) {
        int v = 0;
        std::memcpy(&v, src + i, Bpp);
        left = _mm_add_epi8(_mm_cvtsi32_si128(v), left);
        const int out = _mm_cvtsi128_si32(left);
        std::memcpy(dst + i, &out, Bpp);
    }
}

void upRow(const uchar* src, uchar* dst, const uchar* prev, size_t n)
{
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)),
                                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(prev + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), v);
    }
    for (; i < n; ++i)
        dst[i] = uchar(src[i] + prev[i]);
}
#endif

// Undoes one row's filter from src into dst (the same row, or the picture's
// own line, which saves a pass over every pixel); prev is the previous
// unfiltered row (all zero for the first). n is a whole number of pixels.
bool unfilterInto(int type, const uchar* src, uchar* dst, const uchar* prev, size_t n, int bpp)
{
    const size_t b = size_t(bpp);
    switch (type) {
    case 0:
        if (dst != src)
            std::memcpy(dst, src, n);
        return true;
    case 1:
#if defined(__SSE2__)
        if (bpp == 3)
            return subRow<3>(src, dst, n), true;
        if (bpp == 4)
            return subRow<4>(src, dst, n), true;
#endif
        if (dst != src)
            std::memcpy(dst, src, b);
        for (size_t i = b; i < n; ++i)
            dst[i] = uchar(src[i] + dst[i - b]);
        return true;
    case 2:
#if defined(__SSE2__)
        upRow(src, dst, prev, n);
#else
        for (size_t i = 0; i < n; ++i)
            dst[i] = uchar(src[i] + prev[i]);
#endif
        return true;
    case 3:
#if defined(__SSE2__)
        if (bpp == 3)
            return averageRow<3>(src, dst, prev, n), true;
        if (bpp == 4)
            return averageRow<4>(src, dst, prev, n), true;
#endif
        for (size_t i = 0; i < b; ++i)
            dst[i] = uchar(src[i] + (prev[i] >> 1));
        for (size_t i = b; i < n; ++i)
            dst[i] = uchar(src[i] + ((dst[i - b] + prev[i]) >> 1));
        return true;
    case 4:
#if defined(__SSE2__)
        if (bpp == 3)
            return paethRow<3>(src, dst, prev, n), true;
        if (bpp == 4)
            return paethRow<4>(src, dst, prev, n), true;
#endif
        for (size_t i = 0; i < b; ++i)
            dst[i] = uchar(src[i] + prev[i]);
        for (size_t i = b; i < n; ++i)
            dst[i] = uchar(src[i] + paeth(dst[i - b], prev[i], prev[i - b]));
        return true;
    default:
        return false;
    }
}

// R G B A bytes -> 0xAARRGGBB.
void rgbaToArgb(const uchar* row, quint32* argb, size_t width)
{
    size_t x = 0;
#if defined(__SSE2__)
    const __m128i ga = _mm_set1_epi32(int(0xff00ff00u)), low = _mm_set1_epi32(0xff);
    for (; x + 4 <= width; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4 * x));
        const __m128i rb = _mm_or_si128(_mm_slli_epi32(_mm_and_si128(v, low), 16),
                                        _mm_and_si128(_mm_srli_epi32(v, 16), low));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(argb + x), _mm_or_si128(_mm_and_si128(v, ga), rb));
    }
#endif
    for (; x < width; ++x) {
        quint32 v;
        std::memcpy(&v, row + 4 * x, 4);
        argb[x] = (v & 0xff00ff00u) | ((v & 0xffu) << 16) | ((v >> 16) & 0xffu);
    }
}

// What undoing a row of each filter costs, relative to None (measured on
// 4K screenshots): the two threads get equal work, not equal rows.
constexpr int kRowCost[5] = {1, 2, 1, 4, 8};

// Pictures from this many pixels on are undone on two threads.
constexpr size_t kSplitAtLeast = size_t(1) << 20;

// The inflate buffer kept between captures (one per thread).
thread_local std::unique_ptr<uchar[], FreeDeleter> keptBuffer;
thread_local size_t keptSize = 0;

struct Decompressor {
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    ~Decompressor() { libdeflate_free_decompressor(d); }
};

} // namespace

size_t FastPngDecoder::retainedBytes()
{
    return keptSize;
}

FastPngDecoder::Result FastPngDecoder::decode(const QByteArray& data, QImage& out, int maxSide)
{
    static const uchar kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const size_t size = size_t(data.size());
    if (size < 8 || std::memcmp(p, kSignature, 8) != 0)
        return Result::NotHandled;

    quint32 width = 0, height = 0;
    int channels = 0;
    bool haveHeader = false, ended = false;
    int dpmX = 0, dpmY = 0;
    // Kept between captures like the inflate buffer below (screen-sized
    // files only): fresh pages for every capture cost more than the copy.
    static thread_local std::vector<uchar> keptIdat;
    std::vector<uchar> idat = std::move(keptIdat);
    idat.clear();
    idat.reserve(size); // the pixel data cannot be larger than the file
    struct KeepIdat {
        std::vector<uchar>& from;
        ~KeepIdat()
        {
            from.clear();
            if (from.capacity() <= (size_t(32) << 20))
                keptIdat = std::move(from);
        }
    } keepIdat{idat};
    size_t pos = 8;
    while (pos + 12 <= size) {
        const quint32 len = be32(p + pos);
        if (len > 0x7fffffffu || len > size - pos - 12)
            return Result::Broken;
        const uchar* type = p + pos + 4;
        const uchar* body = p + pos + 8;
        const quint32 crc = be32(body + len);
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
        // (Fuzzing skips the checksum so that mutated chunks reach the parser.)
        if (libdeflate_crc32(0, type, size_t(len) + 4) != crc)
            return Result::Broken;
#else
        (void)crc;
#endif
        if (std::memcmp(type, "IHDR", 4) == 0) {
            if (haveHeader || len != 13)
                return Result::Broken;
            width = be32(body);
            height = be32(body + 4);
            const int depth = body[8], colour = body[9];
            if (body[10] != 0 || body[11] != 0)
                return Result::Broken;
            if (depth != 8 || body[12] != 0 || (colour != 2 && colour != 6))
                return Result::NotHandled;
            channels = colour == 2 ? 3 : 4;
            if (width == 0 || height == 0 || width > quint32(maxSide) || height > quint32(maxSide))
                return Result::NotHandled; // the general decoder gives the verdict
            haveHeader = true;
        } else if (!haveHeader) {
            return Result::Broken;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            idat.insert(idat.end(), body, body + len);
        } else if (std::memcmp(type, "pHYs", 4) == 0 && len == 9 && body[8] == 1) {
            dpmX = int(std::min<quint32>(be32(body), 1000000));
            dpmY = int(std::min<quint32>(be32(body + 4), 1000000));
        } else if (std::memcmp(type, "tRNS", 4) == 0) {
            return Result::NotHandled; // a transparent colour key: the general decoder applies it
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            ended = true;
            break;
        } else if (!(type[0] & 0x20)) {
            return Result::NotHandled; // a critical chunk this decoder does not know
        }
        pos += size_t(len) + 12;
    }
    if (!haveHeader || idat.empty() || !ended)
        return Result::Broken;

    const size_t rowBytes = size_t(width) * size_t(channels);
    const size_t rawSize = (rowBytes + 1) * size_t(height);
    // Deflate expands by at most about 1032 to 1: a header that promises more
    // than the data can hold is refused before any buffer is taken.
    if (rawSize / 1032 > idat.size() + 1)
        return Result::Broken;
    // Captures come one after another at the same size: the inflate buffer
    // is kept for the next one, since faulting in fresh pages costs more
    // than the inflate itself.
    // Only screen-sized buffers are kept; anything bigger is freed at once.
    constexpr size_t kKeepAtMost = size_t(128) << 20;
    std::unique_ptr<uchar[], FreeDeleter> oneOff;
    uchar* raw = nullptr;
    if (rawSize <= keptSize) {
        raw = keptBuffer.get();
    } else if (rawSize <= kKeepAtMost) {
        keptBuffer.reset();
        keptSize = 0;
        keptBuffer = allocateBuffer(rawSize);
        if (!keptBuffer)
            return Result::Broken;
        keptSize = rawSize;
        raw = keptBuffer.get();
    } else {
        oneOff = allocateBuffer(rawSize);
        if (!oneOff)
            return Result::Broken;
        raw = oneOff.get();
    }
    static thread_local Decompressor dec;
    if (!dec.d)
        return Result::NotHandled;
    size_t actual = 0;
    if (libdeflate_zlib_decompress(dec.d, idat.data(), idat.size(), raw, rawSize, &actual) !=
            LIBDEFLATE_SUCCESS ||
        actual != rawSize)
        return Result::Broken;

    // Pictures with alpha come out as ARGB32, the picture engine's own
    // 32-bit format: swapping red and blue here, row by row while the row
    // is in the cache, costs little; a whole-picture conversion afterwards
    // cost more than the decode.
    QImage img = allocateImage(int(width), int(height),
                               channels == 3 ? QImage::Format_RGB888 : QImage::Format_ARGB32);
    if (img.isNull())
        return Result::Broken;
    uchar* const bits = img.bits();
    const size_t bpl = size_t(img.bytesPerLine());
    // Rows from..to-1; the first must not need the row above it.
    const auto decodeRows = [&](quint32 from, quint32 to) {
        std::vector<uchar> zero(rowBytes, 0);
        const uchar* prev = zero.data();
        std::vector<uchar> rows[2];
        if (channels == 4) {
            rows[0].resize(rowBytes);
            rows[1].resize(rowBytes);
        }
        for (quint32 y = from; y < to; ++y) {
            const uchar* line = raw + size_t(y) * (rowBytes + 1);
            uchar* dst = bits + size_t(y) * bpl;
            if (channels == 3) {
                if (!unfilterInto(line[0], line + 1, dst, prev, rowBytes, 3))
                    return false;
                prev = dst;
                continue;
            }
            // Unfiltered into one of two rows that stay in the cache, not
            // back into the inflate buffer, which would send it all to
            // memory again.
            uchar* row = rows[y & 1].data();
            if (!unfilterInto(line[0], line + 1, row, prev, rowBytes, channels))
                return false;
            rgbaToArgb(row, reinterpret_cast<quint32*>(dst), width);
            prev = row;
        }
        return true;
    };
    // A row filtered with None or Sub does not depend on the one above: a
    // big picture is split at such a row where the work above and below it
    // is most nearly equal, and the halves are undone side by side.
    quint32 split = 0;
    if (size_t(width) * height >= kSplitAtLeast) {
        const auto filterOf = [&](quint32 y) { return raw[size_t(y) * (rowBytes + 1)]; };
        quint64 total = 0;
        for (quint32 y = 0; y < height; ++y)
            total += filterOf(y) < 5 ? kRowCost[filterOf(y)] : 1;
        quint64 above = 0, bestGap = total;
        for (quint32 y = 0; y < height; ++y) {
            const uchar f = filterOf(y);
            const quint64 gap = above * 2 > total ? above * 2 - total : total - above * 2;
            if (y > 0 && (f == 0 || f == 1) && gap < bestGap) {
                bestGap = gap;
                split = y;
            }
            above += f < 5 ? kRowCost[f] : 1;
        }
    }
    if (split == 0) {
        if (!decodeRows(0, height))
            return Result::Broken;
    } else {
        bool lowerOk = false;
        std::thread lower([&] { lowerOk = decodeRows(split, height); });
        const bool upperOk = decodeRows(0, split);
        lower.join();
        if (!upperOk || !lowerOk)
            return Result::Broken;
    }
    if (dpmX > 0 && dpmY > 0) {
        img.setDotsPerMeterX(dpmX);
        img.setDotsPerMeterY(dpmY);
    }
    out = img;
    return Result::Decoded;
}

} // namespace varnel
