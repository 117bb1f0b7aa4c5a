// Undo and redo, and the question before unsaved changes are set aside.
#include "fmMain.h"

#include "MenuItems.h"
#include "editing/DrawingOverlay.h"
#include "editing/PictureSurface.h"
#include "macros/MenuGroup.h"

namespace varnel {

void fmMain::UndoEdit()
{
    // Shapes not yet pixels are taken back one by one, the last first; the
    // picture's own steps come after them.
    if (UndoShape())
        return;
    MergeDrawing();
    ikImg->overlay()->drawing().forgetSteps();
    if (m_doc.undo()) {
        ClearRange();
        showDocument();
    }
}

void fmMain::RedoEdit()
{
    if (RedoShape())
        return;
    MergeDrawing();
    ikImg->overlay()->drawing().forgetSteps();
    if (m_doc.redo()) {
        ClearRange();
        showDocument();
    }
}

void fmMain::updateUndoItems()
{
    if (mnEdt->exists(MenuItems::EditRedo)) {
        const Drawing& shapes = ikImg->overlay()->drawing();
        mnEdt->setEnabled(MenuItems::EditUndo, m_doc.history.canUndo() || shapes.canUndo());
        mnEdt->setEnabled(MenuItems::EditRedo, m_doc.history.canRedo() || shapes.canRedo());
    }
}

bool fmMain::MaySetPictureAside()
{
    if (PictureState != 2 || !ikImg->hasPicture())
        return true;
    const QString text = CurrentFilePath.isEmpty()
                             ? QStringLiteral("画像の変更を保存しますか")
                             : CurrentFilePath + QStringLiteral("\nへの変更を保存しますか");
    switch (m_platform.dialogs->askSaveChanges(text)) {
    case Dialogs::SaveChoice::Save:
        SaveImageAs(false);
        return PictureState != 2; // a cancelled or failed save keeps the picture
    case Dialogs::SaveChoice::Discard:
        return true;
    case Dialogs::SaveChoice::Cancel:
        break;
    }
    return false;
}

} // namespace varnel
