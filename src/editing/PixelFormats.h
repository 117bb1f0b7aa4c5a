#pragma once
#include <QImage>

namespace varnel {

// The QImage format the engine keeps for a bits-per-pixel value: Mono for 1,
// Indexed8 for 4 and 8, RGB555 for 16, RGB888 for 24, ARGB32 for 32.
QImage::Format engineFormat(int bitsPerPixel);

// Bits per pixel an image of any QImage format is taken to have.
int bitsPerPixelOf(const QImage& image);

// The image in the engine's format for bpp, unchanged when it already is.
// Palette images keep their palette; a palette too big for bpp gives a null image.
QImage toEngineFormat(const QImage& image, int bitsPerPixel);

// True when every colour of the palette (or, for true colour, every pixel) is grey.
bool isGreyImage(const QImage& image);

} // namespace varnel
