// The edit menus: each item runs one command of the document (the rules are
// in editing/EditCommands), then the view and the menus follow.
#include "fmMain.h"

#include <QApplication>

#include "MenuItems.h"
#include "capture/CaptureIntake.h"
#include "capture/CaptureOptions.h"
#include "editing/ColourDepth.h"
#include "editing/DrawToolBar.h"
#include "editing/DrawingOverlay.h"
#include "editing/EditCommands.h"
#include "editing/PictureSurface.h"
#include "macros/MenuGroup.h"

namespace varnel {

using namespace MenuItems;

bool fmMain::RunEdit(EditCommand& command, bool takesRange)
{
    BusyScope busy(this);
    if (takesRange) {
        int l, r, t, b;
        m_doc.range = GetRange(l, r, t, b) ? PictureRange{l, t, r, b} : PictureRange{};
    }
    // Shapes still drawn become pixels first: the command works on what
    // the user sees.
    MergeDrawing();
    const EditOutcome out = EditRunner::run(m_doc, command);
    if (takesRange && !m_doc.range.isSet())
        ClearRange();
    showDocument();
    if (out.failed)
        m_platform.dialogs->message(out.error);
    return !out.failed;
}

void fmMain::PasteClipboardPicture()
{
    m_paste->request();
    // A macro's next line must find the pasted picture.
    if (m_replaying > 0)
        m_paste->finish();
}

void fmMain::PastePicture(QImage image)
{
    if (image.isNull())
        return;
    Picture picture = CaptureIntake::clipboardPicture(std::move(image));
    SuspendOverlay(false);
    ClearRange();
    const bool first = !m_doc.hasPicture();
    PasteCommand command(std::move(picture),
                         CaptureOptions::colourCode(CaptureColourIndex).value_or(0));
    RunEdit(command);
    // Into an empty window: there is nothing to go back to.
    if (first) {
        m_doc.history.clear();
        updateUndoItems();
    }
    SuspendOverlay(true);
}

bool fmMain::showDocument()
{
    const bool shown = ShowPicture();
    if (m_doc.hasPicture())
        mnColr->tickOnly(ColourDepth::itemForCode(m_doc.depthCodeValue()));
    updateUndoItems();
    return shown;
}

void fmMain::UpdateColourDepth(int code)
{
    if (!ikImg->hasPicture())
        return;
    if (code == 0)
        code = m_doc.picture().depthCode();
    mnColr->tickOnly(ColourDepth::itemForCode(code));
    ColourDepthCode = QString::number(code);
}

bool fmMain::GetRange(int& left, int& right, int& top, int& bottom)
{
    const auto range = ikImg->takeRange(ToolBarShown);
    const std::array<int, 4> e = range.value_or(std::array{0, 0, 0, 0});
    left = e[0], right = e[1], top = e[2], bottom = e[3];
    return range.has_value();
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
    const PictureRange range = GetRange(l, r, t, b) ? PictureRange{l, t, r, b} : PictureRange{};
    BusyScope busy(this);
    m_platform.clipboard->putPicture(clipboardCopy(ikImg->picture(), range).image());
}

} // namespace varnel
