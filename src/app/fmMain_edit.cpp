// The edit commands: range, trimming, highlights, geometry and colour depth.
#include "fmMain.h"

#include <QPolygon>

#include "editing/ColourDepth.h"
#include "editing/DrawingOverlay.h"
#include "editing/EditGeometry.h"
#include "editing/PictureSurface.h"
#include "macros/MenuGroup.h"

namespace varnel {

namespace {

// The busy pointer for one command, switched off again however it ends.
class BusyGuard {
public:
    explicit BusyGuard(fmMain* w) : m_w(w) { m_w->SetBusy(true); }
    ~BusyGuard() { m_w->SetBusy(false); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    fmMain* m_w;
};

// The range as the polygon the region operations take, clockwise from top-left.
QPolygon rangePolygon(const QRect& pixels)
{
    return QPolygon({pixels.topLeft(), pixels.topRight(), pixels.bottomRight(), pixels.bottomLeft()});
}

bool cropToRange(Picture& picture, int left, int top, int right, int bottom)
{
    const QRect r = EditGeometry::rangePixels(left, top, right, bottom);
    return !r.isEmpty() && picture.crop(r.left(), r.top(), r.right(), r.bottom());
}

// Brings a picture back to the depth the window keeps for it, without
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

} // namespace

void fmMain::onEditMenu(int i)
{
    switch (i) {
    case 0: runEdit([this] { RevertToLoaded(); }); break;
    case 2: runEdit([this] { CopyToClipboard(); }); break;
    case 3: runEdit([this] { TakeClipboardPicture(PointerImage()); }); break;
    case 6: runEdit([this] { TrimToRange(); }); break;
    case 12: runEdit([this] { ShowDrawToolBar(); }); break;
    case 13: runEdit([this] { AddPictureFrame(); }); break;
    // Undo and redo are not macro steps.
    case 15: UndoEdit(); return;
    case 16: RedoEdit(); return;
    case 18: ReadPictureText(); return;
    default: return;
    }
    if (MacroRecording)
        RecordMacroStep(mnEdt->keyword(), mnEdt->caption(i));
}

void fmMain::onRangeMenu(int i)
{
    switch (i) {
    case 1: RegisterRange(); break;
    case 2: ClearRange(); break;
    case 4: runEdit([this] { HighlightRange(0); }); break;
    case 5: runEdit([this] { HighlightRange(1); }); break;
    case 7: runEdit([this] { MosaicRange(); }); break;
    default: return;
    }
    if (MacroRecording)
        RecordMacroStep(mnRng->keyword(), mnRng->caption(i));
}

void fmMain::onResizeMenu(int i)
{
    const int mode = i == 0 ? 0 : i == 1 ? 1 : i == 3 ? 2 : -1;
    if (mode < 0)
        return;
    runEdit([this, mode] { ReduceToSize(mode); });
    if (MacroRecording)
        RecordMacroStep(mnResize->keyword(), mnResize->caption(i));
}

void fmMain::onStitchMenu(int i)
{
    if ((i != 0 && i != 1) || !mnCut->isEnabled(i))
        return;
    runEdit([this, i] { StitchAcrossRange(i); });
    if (MacroRecording)
        RecordMacroStep(mnCut->keyword(), mnCut->caption(i));
}

void fmMain::onRotateMenu(int i)
{
    if (!mnRotate->exists(i) || mnRotate->item(i).isSeparator())
        return;
    const QString caption = mnRotate->caption(i);
    runEdit([this, caption] { RotatePicture(caption); });
    if (MacroRecording)
        RecordMacroStep(mnRotate->keyword(), caption);
}

void fmMain::onColourMenu(int i)
{
    const int code = ColourDepth::codeForItem(i);
    if (code == 0 || !mnColr->isEnabled(i))
        return;
    runEdit([this, code] {
        if (!ikImg->hasPicture())
            return;
        BusyGuard busy(this);
        BeginEdit();
        SetColourDepth(code, false);
        ShowPicture();
    });
    if (MacroRecording)
        RecordMacroStep(mnColr->keyword(), mnColr->caption(i));
}

bool fmMain::SetColourDepth(int code, bool quiet)
{
    const bool ok = ColourDepth::convert(ikImg->picture(), code);
    if (!quiet) {
        SetPictureState(2);
        UpdateColourDepth(code);
    }
    return ok;
}

void fmMain::UpdateColourDepth(int code)
{
    if (!ikImg->hasPicture())
        return;
    if (code == 0)
        code = ikImg->picture().depthCode();
    mnColr->tickOnly(ColourDepth::itemForCode(code));
    ColourDepthCode = QString::number(code);
}

bool fmMain::GetRange(int& left, int& right, int& top, int& bottom)
{
    left = right = top = bottom = 0;
    if (!ikImg->hasPicture())
        return false;
    left = ikImg->selLeft();
    right = ikImg->selRight();
    top = ikImg->selTop();
    bottom = ikImg->selBottom();
    if (left > 0 || right > 0 || top > 0 || bottom > 0)
        return true;
    if (!ToolBarShown)
        return false;
    // A box just drawn with the tool bar is the range; it is used up here
    // and so never becomes pixels.
    const QPolygon box = ikImg->overlay()->drawing().currentRectangle();
    if (box.size() != 4)
        return false;
    left = box[0].x();
    right = box[2].x();
    top = box[0].y();
    bottom = box[2].y();
    DrawingOverlay* ov = ikImg->overlay();
    ov->drawing().removeAt(ov->drawing().current());
    ov->update();
    return true;
}

void fmMain::ClearRange()
{
    ikImg->clearSelection();
}

void fmMain::RevertToLoaded()
{
    if (!CurrentFilePath.isEmpty())
        OpenPictureFile(CurrentFilePath);
    SetPictureState(1);
}

void fmMain::CopyToClipboard()
{
    if (!ikImg->hasPicture())
        return;
    int l, r, t, b;
    const bool found = GetRange(l, r, t, b);
    BusyGuard busy(this);
    ikImg2 = ikImg->picture();
    if (found)
        cropToRange(ikImg2, l, t, r, b);
    ikImg2.setResolution(96, 96);
    m_platform.clipboard->putPicture(ikImg2.image());
    ikImg2.clear();
}

void fmMain::TrimToRange()
{
    int l, r, t, b;
    if (!ikImg->hasPicture() || !GetRange(l, r, t, b))
        return;
    BusyGuard busy(this);
    BeginEdit();
    ClearRange();
    cropToRange(ikImg->picture(), l, t, r, b);
    ShowPicture();
    SetPictureState(2);
}

void fmMain::HighlightRange(int kind)
{
    int l, r, t, b;
    if (!GetRange(l, r, t, b))
        return;
    const QRect pixels = EditGeometry::rangePixels(l, t, r, b);
    if (pixels.isEmpty()) {
        ClearRange();
        return;
    }
    // A palette picture is worked on in true colour and brought back to its
    // depth once, without dithering: 24 bit holds every palette colour, so
    // nothing is lost on the way in, and two operations cost one reduction.
    const bool trueColour = EditGeometry::isTrueColour(ColourDepthCode);
    BusyGuard busy(this);
    BeginEdit();
    Picture& pic = ikImg->picture();
    if (!trueColour && ColourDepthCode.toInt() != 0)
        pic.convertDepth(24, false);
    const QPolygon polygon = rangePolygon(pixels);
    bool ok = false;
    if (kind == 1) {
        pic.setRegion(RegionSide::Inside, RegionShape::Polygon, polygon);
        ok = pic.marker(0, 0, -1);
    } else {
        pic.setRegion(RegionSide::Outside, RegionShape::Polygon, polygon);
        pic.brighten(55, 55, 55);
        ok = pic.adjustStrength(-100);
    }
    if (!trueColour)
        restoreDepth(pic, ColourDepthCode.toInt());
    if (ok && ShowPicture())
        SetPictureState(2);
    ClearRange();
}

void fmMain::MosaicRange()
{
    if (!ikImg->hasPicture())
        return;
    int l, r, t, b;
    const bool found = GetRange(l, r, t, b);
    const QRect pixels = EditGeometry::rangePixels(l, t, r, b);
    if (found && pixels.isEmpty()) {
        ClearRange();
        return;
    }
    BusyGuard busy(this);
    BeginEdit();
    Picture& pic = ikImg->picture();
    pic.setRegion(RegionSide::Inside, found ? RegionShape::Polygon : RegionShape::Whole, rangePolygon(pixels));
    if (pic.mosaic(8, 8))
        ShowPicture();
    ClearRange();
}

void fmMain::AddPictureFrame()
{
    Picture& pic = ikImg->picture();
    if (!pic.hasPicture())
        return;
    BusyGuard busy(this);
    BeginEdit();
    const int bpp = pic.bitsPerPixel();
    const bool palette = bpp <= 8;
    // True colour is framed in its own format; a palette picture goes
    // through true colour and comes back to its depth.
    QImage img = palette ? pic.image().convertToFormat(QImage::Format_RGB32) : pic.image();
    const QRgb grey = qRgb(128, 128, 128);
    const int w = img.width(), h = img.height();
    for (int x = 0; x < w; ++x) {
        img.setPixel(x, 0, grey);
        img.setPixel(x, h - 1, grey);
    }
    for (int y = 0; y < h; ++y) {
        img.setPixel(0, y, grey);
        img.setPixel(w - 1, y, grey);
    }
    const bool wasGrey = pic.depthCode() == 40 || pic.depthCode() == 80;
    pic.setImage(wasGrey ? img.convertToFormat(QImage::Format_Grayscale8) : img, bpp);
    pic.setResolution(96, 96);
    ColourDepthCode = QString::number(pic.depthCode());
    ShowPicture();
}

void fmMain::ReduceToSize(int mode)
{
    int l, r, t, b;
    if (!GetRange(l, r, t, b))
        return;
    Picture& pic = ikImg->picture();
    const QSize size = EditGeometry::reducedSize(mode, pic.width(), pic.height(), r - l, b - t);
    BusyGuard busy(this);
    if (size.isValid() && !size.isEmpty()) {
        BeginEdit();
        // Smooth reduction of a palette picture leaves it at 16 bit. It is
        // reduced in 24 bit, which holds every palette colour, and the small
        // result goes to 16 bit: the same picture for a fraction of the work.
        const bool palette = !EditGeometry::isSmoothCapable(pic.depthCode());
        if (palette)
            pic.convertDepth(24, false);
        pic.resize(size.width(), size.height(), true);
        if (palette)
            ColourDepth::convert(pic, 16);
        UpdateColourDepth(0);
    }
    ClearRange();
    ShowPicture();
}

void fmMain::StitchAcrossRange(int direction)
{
    int l, r, t, b;
    if (!ikImg->hasPicture() || !GetRange(l, r, t, b))
        return;
    BusyGuard busy(this);
    Picture& pic = ikImg->picture();
    const EditGeometry::Stitch plan = EditGeometry::stitch(direction, pic.width(), pic.height(), l, t, r, b);
    if (plan.valid) {
        BeginEdit();
        // Crops and pastes between equal palettes stay exact, so a palette
        // picture is cut as it is.
        const bool trueColour = EditGeometry::isTrueColour(ColourDepthCode);
        ikImg2 = pic;
        if (plan.hasTail)
            pic.pasteFrom(ikImg2, plan.tail.left(), plan.tail.top(), plan.tail.right(), plan.tail.bottom(),
                          plan.dest);
        ikImg2.clear();
        pic.crop(0, 0, plan.cropRight, plan.cropBottom);
        if (!trueColour)
            restoreDepth(pic, ColourDepthCode.toInt());
    }
    ClearRange();
    ShowPicture();
}

void fmMain::RotatePicture(const QString& caption)
{
    Picture& pic = ikImg->picture();
    if (!pic.hasPicture())
        return;
    const bool smooth = EditGeometry::isSmoothCapable(pic.depthCode());
    const EditGeometry::Rotation rot = EditGeometry::rotationFor(caption);
    BusyGuard busy(this);
    BeginEdit();
    pic.setRegion(RegionSide::Inside, RegionShape::Whole);
    pic.rotate(rot.hundredths, rot.mirror, rot.flip, smooth, qRgb(255, 255, 255));
    // A quarter turn changes the picture's shape: lay the view out again.
    ShowPicture();
}

} // namespace varnel
