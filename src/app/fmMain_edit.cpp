// The edit commands: range, trimming, highlights, geometry and colour depth.
#include "fmMain.h"

#include "editing/ColourDepth.h"
#include "editing/DrawingOverlay.h"
#include "editing/PictureSurface.h"
#include "macros/MenuGroup.h"

namespace varnel {

void fmMain::onEditMenu(int i)
{
    if (i == 2)
        CopyToClipboard();
    else if (i == 3)
        TakeClipboardPicture(PointerImage());
    else if (i == 12)
        ShowDrawToolBar();
    else if (i != 0 && i != 6 && i != 12 && i != 13)
        return;
    if (MacroRecording)
        RecordMacroStep(mnEdt->keyword(), mnEdt->caption(i));
}

void fmMain::onRangeMenu(int i)
{
    if (i == 1)
        RegisterRange();
    else if (i == 2)
        ClearRange();
    else if (i != 4 && i != 5 && i != 7)
        return;
    if (MacroRecording)
        RecordMacroStep(mnRng->keyword(), mnRng->caption(i));
}

void fmMain::onResizeMenu(int) {}

void fmMain::onStitchMenu(int) {}

void fmMain::onRotateMenu(int) {}

void fmMain::onColourMenu(int i)
{
    const int code = ColourDepth::codeForItem(i);
    if (code == 0 || !mnColr->isEnabled(i))
        return;
    SetColourDepth(code, false);
    ShowPicture();
    if (MacroRecording)
        RecordMacroStep(mnColr->keyword(), mnColr->caption(i));
}

void fmMain::BeginEdit() {}

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

void fmMain::CopyToClipboard()
{
    if (!ikImg->hasPicture())
        return;
    int l, r, t, b;
    const bool found = GetRange(l, r, t, b);
    SetBusy(true);
    ikImg2 = ikImg->picture();
    if (found)
        ikImg2.crop(l, t, r, b);
    ikImg2.setResolution(96, 96);
    m_platform.clipboard->putPicture(ikImg2.image());
    SetBusy(false);
}

} // namespace varnel
