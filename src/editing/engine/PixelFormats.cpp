#include "PixelFormats.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <vector>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

namespace varnel {

QImage::Format engineFormat(int bpp)
{
    switch (bpp) {
    case 1: return QImage::Format_Mono;
    case 4:
    case 8: return QImage::Format_Indexed8;
    case 16: return QImage::Format_RGB555;
    case 24: return QImage::Format_RGB888;
    case 32: return QImage::Format_ARGB32;
    default: return QImage::Format_Invalid;
    }
}

int bitsPerPixelOf(const QImage& img)
{
    switch (img.format()) {
    case QImage::Format_Invalid: return 0;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: return 1;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8: return 8;
    case QImage::Format_RGB555:
    case QImage::Format_RGB16:
    case QImage::Format_RGB444: return 16;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_RGB32:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGB666:
    case QImage::Format_RGB30:
    case QImage::Format_BGR30:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBX16FPx4:
    case QImage::Format_RGBX32FPx4:
    case QImage::Format_Grayscale16: return 24;
    default: return img.hasAlphaChannel() ? 32 : 24;
    }
}

QImage toEngineFormat(const QImage& img, int bpp)
{
    const QImage::Format want = engineFormat(bpp);
    if (img.isNull() || want == QImage::Format_Invalid)
        return {};
    if (bpp == 4 || bpp == 8) {
        if (img.format() == QImage::Format_Indexed8)
            return img.colorCount() <= (1 << bpp) && img.colorCount() > 0 ? img : QImage();
        if (img.format() == QImage::Format_Mono || img.format() == QImage::Format_MonoLSB)
            return img.convertToFormat(QImage::Format_Indexed8);
        if (img.format() == QImage::Format_Grayscale8 && bpp == 8) {
            QImage out(img.size(), QImage::Format_Indexed8);
            if (out.isNull())
                return {};
            QList<QRgb> grey(256);
            for (int i = 0; i < 256; ++i)
                grey[i] = qRgb(i, i, i);
            out.setColorTable(grey);
            for (int y = 0; y < img.height(); ++y)
                std::memcpy(out.scanLine(y), img.constScanLine(y), size_t(img.width()));
            out.setDotsPerMeterX(img.dotsPerMeterX());
            out.setDotsPerMeterY(img.dotsPerMeterY());
            return out;
        }
        return {};
    }
    if (img.format() == want)
        return img;
    if (bpp == 1 && img.format() == QImage::Format_MonoLSB)
        return img.convertToFormat(QImage::Format_Mono);
    if (bpp == 1)
        return {};
    return img.convertToFormat(want);
}

namespace {
constexpr size_t kHuge = size_t(2) << 20;

// Big picture buffers given back are kept a while for the next picture of
// the same size: captures come one after another at screen size, and
// faulting in and zeroing fresh pages cost a 4K capture about as much as
// decoding it. Bounded, and emptied once the program has been idle.
constexpr size_t kPoolAtMost = size_t(256) << 20;

struct PooledBlock {
    void* mem;
    size_t size;
};

struct BufferPool {
    std::mutex lock;
    struct Entry {
        void* mem;
        size_t size;
        std::chrono::steady_clock::time_point since;
    };
    std::vector<Entry> kept;
    size_t keptBytes = 0;

    void* take(size_t size)
    {
        std::lock_guard guard(lock);
        for (auto it = kept.begin(); it != kept.end(); ++it) {
            if (it->size == size) {
                void* mem = it->mem;
                keptBytes -= size;
                kept.erase(it);
                return mem;
            }
        }
        return nullptr;
    }
    void give(void* mem, size_t size)
    {
        std::lock_guard guard(lock);
        // The oldest go first to make room.
        while (!kept.empty() && keptBytes + size > kPoolAtMost) {
            std::free(kept.front().mem);
            keptBytes -= kept.front().size;
            kept.erase(kept.begin());
        }
        if (size > kPoolAtMost) {
            std::free(mem);
            return;
        }
        kept.push_back({mem, size, std::chrono::steady_clock::now()});
        keptBytes += size;
    }
    size_t release(std::chrono::milliseconds idle)
    {
        std::lock_guard guard(lock);
        const auto now = std::chrono::steady_clock::now();
        size_t freed = 0;
        for (auto it = kept.begin(); it != kept.end();) {
            if (now - it->since >= idle) {
                std::free(it->mem);
                keptBytes -= it->size;
                freed += it->size;
                it = kept.erase(it);
            } else {
                ++it;
            }
        }
        return freed;
    }
};

BufferPool& pool()
{
    static BufferPool* p = new BufferPool; // never destroyed: images may outlive statics
    return *p;
}

void giveBack(void* info)
{
    auto* block = static_cast<PooledBlock*>(info);
    pool().give(block->mem, block->size);
    delete block;
}
} // namespace

size_t releaseIdlePictureBuffers(std::chrono::milliseconds idle)
{
    return pool().release(idle);
}

size_t keptPictureBufferBytes()
{
    std::lock_guard guard(pool().lock);
    return pool().keptBytes;
}

std::unique_ptr<uchar[], FreeDeleter> allocateBuffer(size_t bytes)
{
    void* mem = nullptr;
    if (bytes >= kHuge * 2) {
        const size_t rounded = (bytes + kHuge - 1) / kHuge * kHuge;
        if (posix_memalign(&mem, kHuge, rounded) == 0)
            ::madvise(mem, rounded, MADV_HUGEPAGE);
        else
            mem = nullptr;
    }
    if (!mem)
        mem = std::malloc(std::max<size_t>(bytes, 1));
    return std::unique_ptr<uchar[], FreeDeleter>(static_cast<uchar*>(mem));
}

QImage deepCopy(const QImage& img)
{
    if (img.isNull())
        return {};
    QImage out = allocateImage(img.width(), img.height(), img.format());
    if (out.isNull())
        return {};
    const size_t n = size_t(std::min(img.bytesPerLine(), out.bytesPerLine()));
    for (int y = 0; y < img.height(); ++y)
        std::memcpy(out.scanLine(y), img.constScanLine(y), n);
    out.setColorTable(img.colorTable());
    out.setDotsPerMeterX(img.dotsPerMeterX());
    out.setDotsPerMeterY(img.dotsPerMeterY());
    return out;
}

QImage toRgb32(const QImage& img)
{
    if (img.format() == QImage::Format_RGB32 || img.format() == QImage::Format_ARGB32 || img.isNull())
        return img;
    if (img.format() != QImage::Format_RGB888)
        return img.convertToFormat(QImage::Format_RGB32);
    QImage out = allocateImage(img.width(), img.height(), QImage::Format_RGB32);
    if (out.isNull())
        return {};
    const int w = img.width(), h = img.height();
    for (int y = 0; y < h; ++y) {
        const uchar* s = img.constScanLine(y);
        QRgb* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x, s += 3)
            d[x] = 0xff000000u | (quint32(s[0]) << 16) | (quint32(s[1]) << 8) | s[2];
    }
    out.setDotsPerMeterX(img.dotsPerMeterX());
    out.setDotsPerMeterY(img.dotsPerMeterY());
    return out;
}

QImage allocateImage(int width, int height, QImage::Format format)
{
    if (width <= 0 || height <= 0)
        return {};
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 bpl = ((qint64(width) * depth + 31) / 32) * 4;
    const qint64 bytes = bpl * height;
    if (bytes < qint64(kHuge) * 2 || bpl > INT_MAX)
        return QImage(width, height, format);
    const size_t rounded = (size_t(bytes) + kHuge - 1) / kHuge * kHuge;
    void* mem = pool().take(rounded);
    if (!mem) {
        if (posix_memalign(&mem, kHuge, rounded) != 0)
            return QImage(width, height, format);
        ::madvise(mem, rounded, MADV_HUGEPAGE);
    }
    auto* block = new PooledBlock{mem, rounded};
    QImage img(static_cast<uchar*>(mem), width, height, qsizetype(bpl), format, giveBack, block);
    if (img.isNull())
        giveBack(block);
    return img;
}

bool isGreyImage(const QImage& img)
{
    if (img.isNull())
        return false;
    if (img.format() == QImage::Format_Grayscale8 || img.format() == QImage::Format_Grayscale16)
        return true;
    if (img.colorCount() > 0) {
        for (QRgb c : img.colorTable())
            if (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c))
                return false;
        return true;
    }
    return img.isGrayscale();
}

QImage packMono(const QImage& idx, const QList<QRgb>& table)
{
    QImage out(idx.size(), QImage::Format_Mono);
    if (out.isNull())
        return {};
    out.setColorTable(table);
    const int w = idx.width();
    for (int y = 0; y < idx.height(); ++y) {
        const uchar* s = idx.constScanLine(y);
        uchar* d = out.scanLine(y);
        std::memset(d, 0, size_t((w + 7) / 8));
        for (int x = 0; x < w; ++x)
            if (s[x])
                d[x >> 3] |= uchar(0x80 >> (x & 7));
    }
    out.setDotsPerMeterX(idx.dotsPerMeterX());
    out.setDotsPerMeterY(idx.dotsPerMeterY());
    return out;
}

} // namespace varnel
