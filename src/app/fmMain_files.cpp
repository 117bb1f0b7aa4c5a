// The file commands: open, save, the work and storage folders, the sibling
// picture tools and the work-folder list.
#include "fmMain.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>

#include "FileDrop.h"
#include "editing/FolderCleaner.h"
#include "editing/PictureSurface.h"
#include "editing/SaveRules.h"
#include "macros/MenuGroup.h"
#include "settings/sbKkn.h"
#include "settings/yIni.h"
#include "settings/zKtl.h"

namespace varnel {

namespace {
const QString kOpenFilter = QStringLiteral(
    "画像ﾌｧｲﾙ|*.BMP;*.JPG;*.JPEG;*.TIF;*.PCX;*.FPX;*.PNG;*.GIF;*.JP2;*.JPC;*.J2K|All files|*");

// Restores the busy pointer however a command ends.
struct BusyScope {
    fmMain* w;
    explicit BusyScope(fmMain* m) : w(m) { w->SetBusy(true); }
    ~BusyScope() { w->SetBusy(false); }
};
} // namespace

void fmMain::onFileMenu(int index)
{
    if (!mnFile->isEnabled(index))
        return;
    // The standby item changes its caption; the line names the one clicked,
    // so that a replay does what the user did.
    const QString clicked = mnFile->caption(index);
    switch (index) {
    case 0:
        OpenImageDialog();
        break;
    case 1:
        SaveImageAs(false);
        break;
    case 2:
        SaveImageAs(true);
        break;
    case 3:
        OpenWithBrivale(WorkFolder, selectedListFile());
        break;
    case 8:
        OpenWithBrivane(WorkFolder, selectedListFile());
        break;
    case 9:
        SetFormShown(!FormShown);
        break;
    case 11:
        Exit();
        return;
    default:
        return;
    }
    if (MacroRecording)
        RecordMacroStep(mnFile->keyword(), clicked);
}

void fmMain::onWorkFolderMenu(int index)
{
    if (!mnWkf->isEnabled(index))
        return;
    switch (index) {
    case 0:
        SaveNumberedToWorkFolder();
        break;
    case 1:
        settingsStore().W_ExpFd(WorkFolder, false);
        break;
    case 2:
        OpenWithBrivane(WorkFolder, QString());
        break;
    case 4:
        EmptyWorkFolder();
        break;
    case 6: // not a macro step
        JoinSelectedFiles();
        return;
    default:
        return;
    }
    if (MacroRecording)
        RecordMacroStep(mnWkf->keyword(), mnWkf->caption(index));
}

void fmMain::onStorageMenu(int index)
{
    if (!mnKkn->isEnabled(index))
        return;
    switch (index) {
    case 0:
        SaveNumberedToStorage();
        break;
    case 1:
        settingsStore().W_ExpFd(StorageFolder, false);
        break;
    case 2:
        OpenWithBrivane(StorageFolder, QString());
        break;
    case 4:
        if (!ChooseStorage())
            return; // a cancelled dialog records nothing
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
    // A failed load onto an empty surface leaves nothing to save or edit.
    SetPictureState(ikImg->hasPicture() ? 1 : 0);
}

void fmMain::OpenImageDialog()
{
    ClearRange();
    const QString start = CurrentFilePath.isEmpty() ? WorkFolder : QFileInfo(CurrentFilePath).absolutePath();
    const QString path = OpenFileDialog(QStringLiteral("画像ﾌｧｲﾙを開く"), QString(), kOpenFilter, start);
    if (!path.isEmpty())
        openChosenFile(path);
}

void fmMain::openChosenFile(const QString& path)
{
    if (!LoadImageFile(path))
        m_platform.dialogs->message(path + QStringLiteral(" を開けませんでした"));
}

void fmMain::SaveImageAs(bool saveAs)
{
    if (!ikImg->hasPicture())
        return;
    QString path;
    if (saveAs || CurrentFilePath.isEmpty()) {
        const QString start = CurrentFilePath.isEmpty() ? WorkFolder : QFileInfo(CurrentFilePath).absolutePath();
        int format = 0;
        path = m_platform.dialogs->saveFile(QStringLiteral("名前を付けて保存"), start + QLatin1Char('/'),
                                            SaveRules::saveFilter(), &format);
        if (path.isEmpty())
            return;
        path = SaveRules::withFormatExtension(path, format);
        SaveRules::LowerCaseExtension(path);
    } else {
        // The loaded file itself: its name is kept as it is, since a
        // lower-cased extension would be another file here.
        path = CurrentFilePath;
    }
    BusyScope busy(this);
    QString ext = SaveRules::FileExtension(path);
    if (ext.isEmpty()) {
        ext = QStringLiteral("bmp");
        path += QStringLiteral(".bmp");
    }
    // The conversion works on a copy: a save that fails leaves the picture
    // on the surface as it was.
    Picture out = ikImg->picture();
    const int target = SaveRules::conversionFor(ext, out.depthCode());
    const bool ok = (target == 0 || out.convertDepth(target, true))
                    && out.save(path, SaveRules::format(ext), SaveRules::quality(ext));
    if (!ok) {
        m_platform.dialogs->message(path + QStringLiteral(" に保存できませんでした"));
        return;
    }
    if (target != 0) {
        // The picture now is what the file holds.
        ikImg->picture() = std::move(out);
        ShowPicture();
        UpdateColourDepth(0);
    }
    RefreshFileList();
}

void fmMain::EmptyWorkFolder()
{
    if (!m_platform.dialogs->confirm(QStringLiteral("作業ﾌｫﾙﾀﾞを空にして良いですが")))
        return;
    FolderCleaner::removeFiles(WorkFolder);
    RefreshFileList();
    ClearPicture();
}

void fmMain::ClearPicture()
{
    ikImg->picture().clear();
    ikImg->showPicture(0);
    CurrentFilePath.clear();
    ClearRange();
    SetPictureState(0);
}

bool fmMain::ChooseStorage()
{
    QString folder = StorageFolder, prefix = StoragePrefix, extension = StorageExtension;
    bool ok = false;
    sbKkn dialog(this, [this](QString& path) { BrowseForFolder(path); });
    dialog.Act(folder, prefix, extension, ok);
    if (!ok)
        return false;
    StorageFolder = folder;
    StoragePrefix = prefix;
    StorageExtension = extension;
    if (!StorageFolder.isEmpty()) {
        if (!QFileInfo(StorageFolder).isDir()) {
            m_platform.dialogs->message(QStringLiteral("ﾌｫﾙﾀﾞ ") + StorageFolder + QStringLiteral(" が見つかりません"));
            StorageFolder.clear();
        }
        mnKkn->setEnabled(0, !StorageFolder.isEmpty());
    }
    return true;
}

void fmMain::OpenWithBrivale(const QString& folder, const QString& file)
{
    if (folder.isEmpty() || file.isEmpty())
        return;
    if (BrivalePath.isEmpty())
        locateTool(1, BrivalePath);
    if (!BrivalePath.isEmpty())
        startTool(BrivalePath, QDir(folder).filePath(file));
}

void fmMain::OpenWithBrivane(const QString& folder, const QString& file)
{
    if (BrivanePath.isEmpty())
        locateTool(0, BrivanePath);
    if (BrivanePath.isEmpty())
        return;
    startTool(BrivanePath, file.isEmpty() ? folder : QDir(folder).filePath(file));
}

void fmMain::locateTool(int index, QString& executable)
{
    zKtl locator(*m_platform.family, m_env.programFolder,
                 [this](const QString& title, const QString& name, const QString& filter, const QString& folder) {
                     return OpenFileDialog(title, name, filter, folder);
                 });
    locator.GetAppNm(index, executable);
}

void fmMain::startTool(QString& executable, const QString& target)
{
    // One argument, no shell: a path with blanks or quotes arrives whole.
    const QStringList args = target.isEmpty() ? QStringList() : QStringList{target};
    if (m_platform.shell->startProgram(executable, args))
        return;
    m_platform.dialogs->message(executable + QStringLiteral(" を起動できませんでした"));
    // Looked up afresh next time: the file may have moved.
    executable.clear();
}

QString fmMain::selectedListFile() const
{
    const QListWidgetItem* item = File1->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void fmMain::setUpFileDrop()
{
    auto* drop = new FileDrop(this, [this](const QString& path) { openChosenFile(path); });
    drop->setAccepting([this] { return FormShown && !QApplication::overrideCursor(); });
}

} // namespace varnel
