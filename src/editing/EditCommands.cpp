#include "EditCommands.h"

#include <QFileInfo>
#include <QPolygon>

#include <exception>
#include <new>

#include "ColourDepth.h"
#include "Drawing.h"
#include "EditGeometry.h"

namespace varnel {

namespace {

QRect rangePixels(const PictureRange& r)
{
    return EditGeometry::rangePixels(r.left, r.top, r.right, r.bottom);
}

// The range as the polygon the region operations take, clockwise from top-left.
QPolygon rangePolygon(const QRect& pixels)
{
    return QPolygon({pixels.topLeft(), pixels.topRight(), pixels.bottomRight(), pixels.bottomLeft()});
}

// Brings a picture back to the depth the document keeps for it, without
// dithering; grey 4 bit goes through grey 8 bit.
void restoreDepth(Picture& picture, int code)
{
    if (code == 0 || picture.depthCode() == code)
        return;
    if (code == 40) {
        if (picture.convertDepth(80, false))
            picture.convertDepth(40, false);
    } else {
        picture.convertDepth(code, false);
    }
}

// The palette entry a colour is drawn with: the colour itself, added when
// the palette has room, else the nearest entry.
int paletteIndexFor(QImage& img, QRgb colour, int maxEntries)
{
    QList<QRgb> table = img.colorTable();
    for (int i = 0; i < table.size(); ++i)
        if (qRgb(qRed(table[i]), qGreen(table[i]), qBlue(table[i])) == colour)
            return i;
    if (table.size() < maxEntries) {
        table << colour;
        img.setColorTable(table);
        return int(table.size()) - 1;
    }
    int best = 0;
    qint64 bestDistance = -1;
    for (int i = 0; i < table.size(); ++i) {
        const int dr = qRed(table[i]) - qRed(colour), dg = qGreen(table[i]) - qGreen(colour),
                  db = qBlue(table[i]) - qBlue(colour);
        const qint64 d = qint64(dr) * dr + qint64(dg) * dg + qint64(db) * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

} // namespace

bool EditRunner::differs(const EditSnapshot& before, const PictureDocument& doc)
{
    const Picture& now = doc.picture();
    if (before.depthCode != doc.depthCode || before.picture.bitsPerPixel() != now.bitsPerPixel())
        return true;
    const QImage& a = before.picture.image();
    const QImage& b = now.image();
    // Unwritten pixels keep their key; written ones may still be equal.
    return a.cacheKey() != b.cacheKey() && a != b;
}

EditOutcome EditRunner::run(PictureDocument& doc, EditCommand& command)
{
    EditOutcome out;
    EditSnapshot before = doc.snapshot();
    const PictureRange rangeBefore = doc.range;
    try {
        command.apply(doc);
    } catch (const std::bad_alloc&) {
        out.error = QStringLiteral("メモリが足りないため、この操作はできませんでした。画像は操作前のままです。");
    } catch (...) {
        out.error = QStringLiteral("この操作はできませんでした。画像は操作前のままです。");
    }
    if (!out.error.isEmpty()) {
        doc.restore(std::move(before));
        doc.range = rangeBefore;
        out.failed = true;
        return out;
    }
    if (!differs(before, doc))
        return out;
    doc.history.push(std::move(before));
    doc.setState(command.stateAfterChange(doc));
    out.changed = true;
    return out;
}

void TrimCommand::apply(PictureDocument& doc)
{
    if (!doc.hasPicture() || !doc.range.isSet())
        return;
    const QRect r = rangePixels(doc.range);
    doc.range = {};
    if (!r.isEmpty())
        doc.picture().crop(r.left(), r.top(), r.right(), r.bottom());
}

void HighlightCommand::apply(PictureDocument& doc)
{
    if (!doc.hasPicture() || !doc.range.isSet())
        return;
    const QRect pixels = rangePixels(doc.range);
    doc.range = {};
    if (pixels.isEmpty())
        return;
    // A palette picture is worked on in true colour and brought back to its
    // depth once, without dithering: 24 bit holds every palette colour, so
    // nothing is lost on the way in, and two operations cost one reduction.
    const bool trueColour = EditGeometry::isTrueColour(doc.depthCode);
    Picture& pic = doc.picture();
    if (!trueColour && doc.depthCodeValue() != 0)
        pic.convertDepth(24, false);
    const QPolygon polygon = rangePolygon(pixels);
    if (m_kind == 1) {
        pic.setRegion(RegionSide::Inside, RegionShape::Polygon, polygon);
        pic.marker(0, 0, -1);
    } else {
        pic.setRegion(RegionSide::Outside, RegionShape::Polygon, polygon);
        pic.brighten(55, 55, 55);
        pic.adjustStrength(-100);
    }
    if (!trueColour)
        restoreDepth(pic, doc.depthCodeValue());
}

void MosaicCommand::apply(PictureDocument& doc)
{
    if (!doc.hasPicture())
        return;
    const bool found = doc.range.isSet();
    const QRect pixels = rangePixels(doc.range);
    doc.range = {};
    if (found && pixels.isEmpty())
        return;
    Picture& pic = doc.picture();
    pic.setRegion(RegionSide::Inside, found ? RegionShape::Polygon : RegionShape::Whole, rangePolygon(pixels));
    pic.mosaic(block, block);
}

void FrameCommand::apply(PictureDocument& doc)
{
    Picture& pic = doc.picture();
    if (!pic.hasPicture())
        return;
    const int bpp = pic.bitsPerPixel();
    QImage img = pic.image();
    const QRgb grey = qRgb(128, 128, 128);
    // Palette pictures are drawn on by index, so no other pixel is touched.
    const bool indexed = img.format() == QImage::Format_Indexed8 || img.format() == QImage::Format_Mono
                         || img.format() == QImage::Format_MonoLSB;
    const uint ink = indexed ? uint(paletteIndexFor(img, grey, bpp >= 8 ? 256 : 1 << bpp)) : grey;
    const int w = img.width(), h = img.height();
    for (int x = 0; x < w; ++x) {
        img.setPixel(x, 0, ink);
        img.setPixel(x, h - 1, ink);
    }
    for (int y = 0; y < h; ++y) {
        img.setPixel(0, y, ink);
        img.setPixel(w - 1, y, ink);
    }
    pic.setImage(img, bpp);
    pic.setResolution(96, 96);
}

void ResizeCommand::apply(PictureDocument& doc)
{
    Picture& pic = doc.picture();
    if (!pic.hasPicture() || !doc.range.isSet())
        return;
    const PictureRange r = doc.range;
    doc.range = {};
    const QSize size = EditGeometry::reducedSize(m_mode, pic.width(), pic.height(), r.right - r.left,
                                                 r.bottom - r.top);
    if (!size.isValid() || size.isEmpty())
        return;
    // Smooth reduction of a palette picture leaves it at 16 bit. It is
    // reduced in 24 bit, which holds every palette colour, and the small
    // result goes to 16 bit: the same picture for a fraction of the work.
    const bool palette = !EditGeometry::isSmoothCapable(pic.depthCode());
    if (palette)
        pic.convertDepth(24, false);
    pic.resize(size.width(), size.height(), true);
    if (palette)
        ColourDepth::convert(pic, 16);
    if (palette || doc.depthCode.isEmpty())
        doc.readDepthCode();
}

void StitchCommand::apply(PictureDocument& doc)
{
    Picture& pic = doc.picture();
    if (!pic.hasPicture() || !doc.range.isSet())
        return;
    const PictureRange r = doc.range;
    doc.range = {};
    const EditGeometry::Stitch plan =
        EditGeometry::stitch(m_direction, pic.width(), pic.height(), r.left, r.top, r.right, r.bottom);
    if (!plan.valid)
        return;
    // Crops and pastes between equal palettes stay exact, so a palette
    // picture is cut as it is.
    if (plan.hasTail) {
        const Picture whole = pic;
        pic.pasteFrom(whole, plan.tail.left(), plan.tail.top(), plan.tail.right(), plan.tail.bottom(),
                      plan.dest);
    }
    pic.crop(0, 0, plan.cropRight, plan.cropBottom);
    if (!EditGeometry::isTrueColour(doc.depthCode))
        restoreDepth(pic, doc.depthCodeValue());
}

void RotateCommand::apply(PictureDocument& doc)
{
    Picture& pic = doc.picture();
    if (!pic.hasPicture())
        return;
    const EditGeometry::Rotation rot = EditGeometry::rotationFor(m_caption);
    if (rot.hundredths == 0 && !rot.mirror && !rot.flip)
        return;
    const bool smooth = EditGeometry::isSmoothCapable(pic.depthCode());
    pic.setRegion(RegionSide::Inside, RegionShape::Whole);
    pic.rotate(rot.hundredths, rot.mirror, rot.flip, smooth, qRgb(255, 255, 255));
}

void ColourDepthCommand::apply(PictureDocument& doc)
{
    if (!doc.hasPicture())
        return;
    ColourDepth::convert(doc.picture(), m_code);
    doc.depthCode = QString::number(m_code);
}

void TakePictureCommand::apply(PictureDocument& doc)
{
    doc.picture() = std::move(m_picture);
    doc.range = {};
    doc.readDepthCode();
    doc.markSaved(m_path);
}

void PasteCommand::apply(PictureDocument& doc)
{
    if (!m_picture.hasPicture())
        return;
    if (m_code)
        ColourDepth::convert(m_picture, m_code);
    if (doc.hasPicture() && doc.picture().bitsPerPixel() == m_picture.bitsPerPixel()
        && doc.picture().image() == m_picture.image())
        return;
    doc.picture() = std::move(m_picture);
    doc.range = {};
    doc.readDepthCode();
    if (m_code)
        doc.depthCode = QString::number(m_code);
    // Ctrl+S must not put it over the file the picture before came from.
    doc.filePath.clear();
}

void RevertCommand::apply(PictureDocument& doc)
{
    const QString path = doc.filePath;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    Picture loaded;
    if (!loaded.load(path))
        return;
    doc.picture() = std::move(loaded);
    doc.range = {};
    doc.readDepthCode();
    doc.markSaved(path);
    m_loaded = true;
}

void MergeDrawingCommand::apply(PictureDocument& doc)
{
    const int bpp = doc.picture().bitsPerPixel();
    if (m_drawing.mergeInto(doc.picture()) && doc.picture().bitsPerPixel() != bpp)
        doc.readDepthCode();
}

Picture clipboardCopy(const Picture& picture, const PictureRange& range)
{
    Picture copy = picture;
    const QRect r = rangePixels(range);
    if (range.isSet() && !r.isEmpty())
        copy.crop(r.left(), r.top(), r.right(), r.bottom());
    copy.setResolution(96, 96);
    return copy;
}

} // namespace varnel
