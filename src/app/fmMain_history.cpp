// Undo and redo, and the question before unsaved changes are set aside.
#include "fmMain.h"

#include "MenuItems.h"
#include "editing/PictureSurface.h"
#include "macros/MenuGroup.h"

namespace varnel {

void fmMain::UndoEdit()
{
    // Shapes still on the overlay become a step of their own first, so that
    // undo takes them back before anything else.
    MergeDrawing();
    if (m_doc.undo()) {
        ClearRange();
        showDocument();
    }
}

void fmMain::RedoEdit()
{
    MergeDrawing();
    if (m_doc.redo()) {
        ClearRange();
        showDocument();
    }
}

void fmMain::updateUndoItems()
{
    if (mnEdt->exists(MenuItems::EditRedo)) {
        mnEdt->setEnabled(MenuItems::EditUndo, m_doc.history.canUndo());
        mnEdt->setEnabled(MenuItems::EditRedo, m_doc.history.canRedo());
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
