// The file commands: open, save, the work and storage folders.
#include "fmMain.h"

#include <QFileInfo>

#include "editing/PictureSurface.h"
#include "macros/MenuGroup.h"
#include "settings/yIni.h"

namespace varnel {

void fmMain::onFileMenu(int index)
{
    if (!mnFile->isEnabled(index))
        return;
    switch (index) {
    case 9:
        SetFormShown(!FormShown);
        break;
    case 11:
        Exit();
        return;
    default:
        return; // the file commands come with the file room
    }
    if (MacroRecording)
        RecordMacroStep(mnFile->keyword(), mnFile->caption(index));
}

void fmMain::onWorkFolderMenu(int index)
{
    switch (index) {
    case 0:
        SaveNumberedToWorkFolder();
        break;
    case 1:
        settingsStore().W_ExpFd(WorkFolder, false);
        break;
    default:
        return;
    }
    if (MacroRecording)
        RecordMacroStep(mnWkf->keyword(), mnWkf->caption(index));
}

void fmMain::onStorageMenu(int index)
{
    switch (index) {
    case 0:
        SaveNumberedToStorage();
        break;
    case 1:
        settingsStore().W_ExpFd(StorageFolder, false);
        break;
    default:
        return;
    }
    if (MacroRecording)
        RecordMacroStep(mnKkn->keyword(), mnKkn->caption(index));
}

bool fmMain::LoadImageFile(const QString& path)
{
    SetBusy(true);
    SuspendOverlay(false);
    ClearRange();
    bool ok = QFileInfo(path).isFile() && ikImg->picture().load(path);
    if (ok)
        ok = ShowPicture();
    if (ok) {
        UpdateColourDepth(0);
        ResetEditHistory();
        SetPictureState(1);
        CurrentFilePath = path;
    }
    SetBusy(false);
    SuspendOverlay(true);
    return ok;
}

void fmMain::OpenPictureFile(const QString& path)
{
    if (LoadImageFile(path))
        CurrentFilePath = path;
    SetPictureState(1);
}

} // namespace varnel
