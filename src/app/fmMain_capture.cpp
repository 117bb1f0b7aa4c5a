// The capture road: from a clipboard change to a picture on the surface and
// a numbered file, and the capture options that steer it.
#include "fmMain.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

#include "capture/CaptureIntake.h"
#include "capture/CaptureOptions.h"
#include "capture/NumberedSaver.h"
#include "capture/Numbering.h"
#include "editing/PictureSurface.h"
#include "macros/MenuGroup.h"

namespace varnel {

namespace {
// Restores the busy pointer however a capture step ends.
struct BusyScope {
    fmMain* w;
    explicit BusyScope(fmMain* m) : w(m) { w->SetBusy(true); }
    ~BusyScope() { w->SetBusy(false); }
};
} // namespace

void fmMain::sjClip(const PointerImage& pointer)
{
    const PointerImage stamp = bMpnt ? pointer : PointerImage();
    switch (AfterCaptureAction) {
    case CaptureOptions::Show:
    case CaptureOptions::SaveNumberedAndShow:
        if (AfterCaptureAction == CaptureOptions::Show)
            TakeClipboardPicture(stamp);
        else
            CaptureAndSaveNumbered(stamp);
        if (!FormShown)
            SetFormShown(true);
        else if (isMinimized())
            setWindowState(windowState() & ~Qt::WindowMinimized);
        break;
    case CaptureOptions::SaveNumbered:
        CaptureAndSaveNumbered(stamp);
        break;
    default:
        break;
    }
}

bool fmMain::GrabClipboardPicture(const PointerImage& pointer)
{
    ClearRange();
    Picture grabbed;
    if (!CaptureIntake::grab(*m_platform.clipboard, *m_platform.pointer, pointer, grabbed))
        return false;
    ikImg->picture() = std::move(grabbed);
    ResetEditHistory();
    return ikImg->hasPicture();
}

void fmMain::TakeClipboardPicture(const PointerImage& pointer)
{
    SuspendOverlay(false);
    {
        BusyScope busy(this);
        if (GrabClipboardPicture(pointer)) {
            bool ok = ShowPicture();
            if (const auto code = CaptureOptions::colourCode(CaptureColourIndex))
                SetColourDepth(*code, false);
            ok = ShowPicture();
            CurrentFilePath.clear();
            SetPictureState(ok ? 1 : 0);
            UpdateColourDepth(0);
        }
    }
    SuspendOverlay(true);
}

void fmMain::CaptureAndSaveNumbered(const PointerImage& pointer)
{
    BusyScope busy(this);
    if (!GrabClipboardPicture(pointer))
        return;
    ShowPicture();
    if (const auto code = CaptureOptions::colourCode(CaptureColourIndex))
        SetColourDepth(*code, false);
    if (!QFileInfo(WorkFolder).isDir())
        QDir().mkpath(WorkFolder);
    saveNumberedInWorkFolder();
}

bool fmMain::saveNumberedInWorkFolder()
{
    const auto r = NumberedSaver::save(ikImg->picture(), WorkFolder, txPfx->text(), WorkCounter,
                                       QStringLiteral("bmp"), ImageFormat::Bmp);
    if (!r.ok)
        return false;
    // A name taken meanwhile moved the save on; the counter follows it.
    WorkCounter = r.number + 1;
    CurrentFilePath = r.path;
    RefreshFileList();
    SetPictureState(1);
    return true;
}

void fmMain::SaveNumberedToWorkFolder()
{
    BusyScope busy(this);
    if (!ikImg->hasPicture())
        return;
    NextWorkNumber();
    saveNumberedInWorkFolder();
}

void fmMain::NextWorkNumber()
{
    if (!QFileInfo(WorkFolder).isDir())
        QDir().mkpath(WorkFolder);
    const qint64 n = Numbering::nextNumberInFolder(WorkFolder, txPfx->text(), QStringLiteral("bmp"));
    WorkCounter = n > 0 ? n : 1;
}

qint64 fmMain::NextStorageNumber()
{
    if (StorageExtension.isEmpty())
        StorageExtension = QStringLiteral("jpg");
    return Numbering::nextNumberInFolder(StorageFolder, StoragePrefix, StorageExtension);
}

void fmMain::SaveNumberedToStorage()
{
    BusyScope busy(this);
    if (!ikImg->hasPicture())
        return;
    const qint64 n = NextStorageNumber();
    const ImageFormat format = StorageExtension == QLatin1String("bmp")   ? ImageFormat::Bmp
                               : StorageExtension == QLatin1String("jpg") ? ImageFormat::Jpeg
                                                                          : ImageFormat::Png;
    const QString name = QDir(StorageFolder).filePath(
        Numbering::fileName(StoragePrefix, std::max<qint64>(n, 1), StorageExtension));
    // A folder that cannot be read ends here, with the failure message and
    // no file written anywhere else.
    if (n < 0 || StorageFolder.isEmpty()) {
        m_platform.dialogs->message(name + QStringLiteral(" に保存できませんでした"));
        return;
    }
    if (StorageExtension != QLatin1String("bmp"))
        ikImg->picture().convertDepth(24, true);
    const auto r = NumberedSaver::save(ikImg->picture(), StorageFolder, StoragePrefix, n,
                                       StorageExtension, format);
    if (r.ok) {
        m_platform.dialogs->message(r.path + QStringLiteral(" に保存しました"));
        CurrentFilePath = r.path;
    } else {
        m_platform.dialogs->message(name + QStringLiteral(" に保存できませんでした"));
    }
}

bool fmMain::ClipboardHasPicture()
{
    return m_platform.clipboard->hasPicture();
}

void fmMain::SuspendOverlay(bool restore)
{
    if (!restore) {
        m_overlayWasVisible = ikImg->overlayVisible();
        if (m_overlayWasVisible)
            ikImg->setOverlayVisible(false);
    } else if (m_overlayWasVisible) {
        ikImg->setOverlayVisible(true);
    }
}

// --- the capture options of the settings menu ---

void fmMain::onAfterCaptureMenu(int index)
{
    AfterCaptureAction = index;
    mnCpt->tickOnly(index);
}

void fmMain::onColourReductionMenu(int index)
{
    CaptureColourIndex = index;
    mnGen->tickOnly(index);
}

void fmMain::onMinimiseMenu(int index)
{
    mnCptW->setChecked(0, index == 0);
    mnCptW->setChecked(1, index == 1);
    StandbyOnMinimise = index == 0;
}

void fmMain::onPointerMenu(int index)
{
    mnMpn->setChecked(0, index == 0);
    mnMpn->setChecked(1, index == 1);
    bMpnt = index == 0;
}

} // namespace varnel
