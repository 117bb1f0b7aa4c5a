// The file commands: open, save, the work and storage folders, the sibling
// picture tools and the work-folder list.
#include "fmMain.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>

#include "platform/FileDrop.h"
#include "MenuItems.h"
#include "editing/DrawingOverlay.h"
#include "editing/EditCommands.h"
#include "editing/PictureSaver.h"
#include "editing/FolderCleaner.h"
#include "editing/PictureSurface.h"
#include "editing/SaveRules.h"
#include "macros/MenuGroup.h"
#include "settings/sbKkn.h"
#include "settings/yIni.h"

namespace varnel {

using namespace MenuItems;

namespace {
const QString kOpenFilter = QStringLiteral(
    "画像ﾌｧｲﾙ|*.BMP;*.JPG;*.JPEG;*.TIF;*.PCX;*.FPX;*.PNG;*.GIF;*.JP2;*.JPC;*.J2K|All files|*");
} // namespace

bool fmMain::LoadImageFile(const QString& path)
{
    m_paste->cancel();
    BusyScope busy(this);
    SuspendOverlay(false);
    ClearRange();
    Picture loaded;
    bool ok = QFileInfo(path).isFile() && loaded.load(path);
    if (ok) {
        // Whoever loads has had the unsaved changes dealt with, shapes
        // drawn on the old picture included.
        ikImg->overlay()->discard();
        m_doc.replace(std::move(loaded), path, false);
        ok = ShowPicture();
        UpdateColourDepth(0);
        updateUndoItems();
    }
    SuspendOverlay(true);
    return ok;
}

void fmMain::OpenPictureFile(const QString& path)
{
    // A failed load leaves the picture, its file and its state as they were.
    LoadImageFile(path);
}

void fmMain::OpenImageDialog()
{
    ClearRange();
    if (!MaySetPictureAside())
        return;
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
        path = PictureSaver::chosenName(path, format);
    } else {
        // The loaded file itself: its name is kept as it is, since a
        // lower-cased extension would be another file here.
        path = CurrentFilePath;
    }
    BusyScope busy(this);
    MergeDrawing();
    if (!PictureSaver::save(m_doc, path)) {
        m_platform.dialogs->message(path + QStringLiteral(" に保存できませんでした"));
        return;
    }
    WrittenFiles << path;
    showDocument();
    RefreshFileList();
}

void fmMain::EmptyWorkFolder()
{
    if (!m_platform.dialogs->confirm(QStringLiteral("作業ﾌｫﾙﾀﾞを空にして良いですが")))
        return;
    // The picture goes with the folder: its unsaved changes are asked about first.
    if (!MaySetPictureAside())
        return;
    FolderCleaner::removeFiles(WorkFolder);
    RefreshFileList();
    ClearPicture();
}

void fmMain::ClearPicture()
{
    ikImg->overlay()->discard();
    m_doc.clear();
    ikImg->showPicture(0);
    ClearRange();
    updateUndoItems();
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

void fmMain::setUpFileDrop()
{
    auto* drop = new FileDrop(this, [this](const QString& path) {
        if (MaySetPictureAside())
            openChosenFile(path);
    });
    drop->setAccepting([this] { return FormShown && !QApplication::overrideCursor(); });
}

} // namespace varnel
