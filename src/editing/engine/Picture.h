#pragma once
#include <QByteArray>
#include <QImage>
#include <QPolygon>
#include <QRect>
#include <QString>

#include <functional>
#include <vector>

namespace varnel {

// File formats by the codes the file commands use.
enum class ImageFormat { Bmp = 0, Jpeg = 2, Gif = 4, Tiff = 5, Png = 12, FlashPix = 13, Pcx = 16 };

// Which part of the picture the next pixel operation touches.
enum class RegionSide { Outside = 0, Inside = 1 };
enum class RegionShape { Whole = 1, Polygon = 2 };

// One picture with its true colour depth and resolution: the pixel engine
// behind both surfaces. Every operation replaces the picture in place and
// reports success; a failed operation leaves the picture as it was.
//
// Depth codes: 1, 4 (16 colours), 40 (grey 4 bit), 8 (256 colours),
// 80 (grey 8 bit), 16 (5-5-5), 24, 32.
//
// Palette pictures (1, 4, 40, 8, 80) can take every operation: the colour
// operations, smooth resizing, free rotation and pastes from another depth
// work in true colour and come back to the same depth without dithering
// (exactly when the colours still fit the palette). Crops, quarter turns,
// mirroring, unsmoothed resizing and pastes between equal palettes stay in
// the palette and are exact.
//
// The region set by setRegion stays in force until it is set again; it
// applies to brighten, adjustStrength, marker and mosaic only.
class Picture {
public:
    // Largest width or height a picture may have; larger files are refused.
    static constexpr int kMaxSide = 16384;

    Picture() = default;
    explicit Picture(const QImage& image);

    bool hasPicture() const { return !m_image.isNull(); }
    void clear();

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    int bitsPerPixel() const { return m_bpp; }
    bool isGreyscale() const;
    // bits per pixel, times ten for grey 4 and 8 bit.
    int depthCode() const;

    // The pixels. Its QImage format follows the depth: Mono for 1, Indexed8
    // for 4 and 8 (at most 16 palette entries for 4), RGB555 for 16, RGB888
    // for 24, ARGB32 for 32. Any QPainter can draw it.
    const QImage& image() const { return m_image; }
    // Takes a picture; its depth is read from the image format (an Indexed8
    // image with at most 16 colours counts as 4 bit only when bpp says so).
    void setImage(const QImage& image, int bitsPerPixel = 0);

    int dpiX() const;
    int dpiY() const;
    // Sets and applies the resolution in dots per inch.
    void setResolution(int dpiX, int dpiY);

    // Depth conversion to a code, with error diffusion when dither is on.
    bool convertDepth(int code, bool dither);

    // Crop to the rectangle whose edges are inclusive pixel columns and rows,
    // clipped to the picture.
    bool crop(int left, int top, int right, int bottom);
    // Resize; smooth averages areas when reducing and interpolates when enlarging.
    bool resize(int width, int height, bool smooth);
    // Rotate by hundredths of a degree, counter-clockwise positive; uncovered
    // areas take the fill colour. Multiples of 90 degrees are exact.
    bool rotate(int hundredths, bool mirror, bool flip, bool smooth, QRgb fill);

    // The region the next brighten, strength, marker and mosaic act on.
    void setRegion(RegionSide side, RegionShape shape, const QPolygon& polygon = {});
    bool brighten(int red, int green, int blue);
    // -100 washes the region out towards white; positive values deepen it.
    bool adjustStrength(int strength);
    // A highlighter over the region: channel values 0 keep a channel, -1
    // takes it down (0, 0, -1 paints yellow marker ink).
    bool marker(int red, int green, int blue);
    // Blocks of blockW x blockH pixels of one colour each.
    bool mosaic(int blockW, int blockH);

    // Copies srcRect (inclusive edges) of source to destTopLeft of this picture.
    bool pasteFrom(const Picture& source, int left, int top, int right, int bottom,
                   const QPoint& destTopLeft);

    // Loads any picture file Qt reads, plus our own BMP and PCX readers, keeping
    // the file's true depth. A broken, truncated or oversized file fails and
    // leaves the picture as it was.
    bool load(const QString& path);
    bool loadFromData(const QByteArray& data);
    // Saves through a temporary file in the same folder, so the target name
    // never holds a half-written file; an existing file is replaced, only
    // once the new one is on the disk. *error (when given) gets the errno of
    // a failure (0 when the picture could not be encoded).
    bool save(const QString& path, ImageFormat format, int jpegQuality = 75, int* error = nullptr) const;
    // Saves under a name that must be free: never overwrites. On failure
    // *nameTaken (when given) tells whether the name was already in use.
    // syncLater publishes before the bytes are forced to the disk and syncs
    // on a background thread (see AtomicFile::Sync).
    bool saveNew(const QString& path, ImageFormat format, int jpegQuality = 75, bool* nameTaken = nullptr,
                 int* error = nullptr, bool syncLater = false) const;
    // The file's bytes in a format; empty when the format cannot be written
    // (FlashPix) or the picture is empty.
    QByteArray encode(ImageFormat format, int jpegQuality = 75) const;

    RegionSide regionSide() const { return m_side; }
    RegionShape regionShape() const { return m_shape; }

private:
    // Writes the file's bytes for a format into a sink.
    std::function<bool(const std::function<bool(const char*, qint64)>&)> producer(ImageFormat format,
                                                                                 int quality) const;
    // The picture in true colour (RGB888, or ARGB32 for 32 bit) for pixel work.
    QImage workingImage() const;
    // Takes a worked true-colour image back at the picture's own depth.
    bool adoptWorking(const QImage& worked);
    // One byte per pixel, non-zero where the region lets an operation act.
    std::vector<uchar> regionMask(QRect* bounds) const;

    QImage m_image;
    int m_bpp = 0;
    RegionSide m_side = RegionSide::Inside;
    RegionShape m_shape = RegionShape::Whole;
    QPolygon m_polygon;
};

} // namespace varnel
