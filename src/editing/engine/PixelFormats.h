#pragma once
#include <QImage>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace varnel {

// The QImage format the engine keeps for a bits-per-pixel value: Mono for 1,
// Indexed8 for 4 and 8, RGB555 for 16, RGB888 for 24, ARGB32 for 32.
QImage::Format engineFormat(int bitsPerPixel);

// Bits per pixel an image of any QImage format is taken to have.
int bitsPerPixelOf(const QImage& image);

// The image in the engine's format for bpp, unchanged when it already is.
// Palette images keep their palette; a palette too big for bpp gives a null image.
QImage toEngineFormat(const QImage& image, int bitsPerPixel);

// A new uninitialised image; big ones get memory backed by huge pages where
// the system offers them, which saves thousands of page faults per picture.
// Big buffers come back to a bounded pool when their image goes and serve
// the next image of the same size.
QImage allocateImage(int width, int height, QImage::Format format);
// Frees pooled buffers unused for at least idle; returns the bytes freed.
size_t releaseIdlePictureBuffers(std::chrono::milliseconds idle);
size_t keptPictureBufferBytes();

// A deep copy of an image in its own (huge-page backed) memory.
QImage deepCopy(const QImage& image);

// An RGB32/ARGB32 image of any image: shared when it already is one.
QImage toRgb32(const QImage& image);

// Raw memory for big working buffers, huge-page backed like allocateImage.
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
std::unique_ptr<uchar[], FreeDeleter> allocateBuffer(size_t bytes);

// A 1-bit picture of an Indexed8 picture whose indexes are 0 and 1.
QImage packMono(const QImage& indexes, const QList<QRgb>& table);

// True when every colour of the palette (or, for true colour, every pixel) is grey.
bool isGreyImage(const QImage& image);

} // namespace varnel
