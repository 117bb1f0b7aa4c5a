// The capture road: from a clipboard change to a picture on the surface and
// a numbered file, and the capture options that steer it.
#include "fmMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>

#include "capture/CaptureIntake.h"
#include "capture/CaptureOptions.h"
#include "capture/ClipboardWatcher.h"
#include "capture/NumberedSaver.h"
#include "capture/Numbering.h"
#include "editing/PictureSurface.h"
#include "editing/engine/AtomicFile.h"
#include "macros/MenuGroup.h"

#include <cstdio>
#include <ctime>

namespace varnel {

namespace {
// VARNEL_CAPTURE_TRACE=1: the phases of each capture on standard error, in
// ms since the capture began (for the capture-road benchmark).
struct CaptureTrace {
    bool on = qEnvironmentVariableIntValue("VARNEL_CAPTURE_TRACE") == 1;
    QElapsedTimer clock;
    void begin()
    {
        if (!on)
            return;
        clock.start();
        // The monotonic clock, so a benchmark can line this up with its offer.
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::fprintf(stderr, "capture begins at %.1f ms\n", now.tv_sec * 1e3 + now.tv_nsec / 1e6);
    }
    void mark(const char* phase)
    {
        if (on && clock.isValid())
            std::fprintf(stderr, "capture %s: %.1f ms\n", phase, clock.nsecsElapsed() / 1e6);
    }
};
CaptureTrace& trace()
{
    static CaptureTrace t;
    return t;
}

// Restores the busy pointer however a capture step ends.
struct BusyScope {
    fmMain* w;
    explicit BusyScope(fmMain* m) : w(m) { w->SetBusy(true); }
    ~BusyScope() { w->SetBusy(false); }
};
} // namespace

void fmMain::sjClip(const PointerImage& pointer)
{
    trace().begin();
    CancelPendingPaste();
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
    trace().mark("done");
}

bool fmMain::GrabClipboardPicture(const PointerImage& pointer)
{
    Picture grabbed;
    if (!CaptureIntake::grab(*m_platform.clipboard, *m_platform.pointer, pointer, grabbed,
                             m_watcher->skipKey()))
        return false;
    m_watcher->tookContent(m_platform.clipboard->lastKey());
    trace().mark("grabbed");
    // Only a picture found replaces the range: copied text or a failed paste
    // leaves the user's range alone.
    ClearRange();
    // Unsaved changes of the picture it replaces stay one undo away, the
    // shapes drawn on it included.
    MergeDrawing();
    document().replace(std::move(grabbed), QString(), true);
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
    // The bytes reach the disk right after the file appears, off this
    // thread: forcing them first would double the time of a big capture.
    trace().mark("before save");
    // Its failure comes later, from the syncing thread, and is told here.
    AtomicFile::onBackgroundSyncFailure([this](const QString& path, int error) {
        QMetaObject::invokeMethod(this, [this, path, error] { ReportUnsyncedCapture(path, error); },
                                  Qt::QueuedConnection);
    });
    const auto r = NumberedSaver::save(ikImg->picture(), WorkFolder, txPfx->text(), WorkCounter,
                                       QStringLiteral("bmp"), ImageFormat::Bmp, 80, 10000, true);
    trace().mark("saved");
    if (!r.ok) {
        ReportUnsavedCapture(WorkFolder + QLatin1Char('/')
                                 + Numbering::fileName(txPfx->text(), std::max<qint64>(WorkCounter, 1),
                                                       QStringLiteral("bmp")),
                             r.error);
        return false;
    }
    // A name taken meanwhile moved the save on; the counter follows it.
    WorkCounter = r.number + 1;
    CurrentFilePath = r.path;
    WrittenFiles << r.path;
    UnsavedCaptures = 0;
    if (!FormShown) {
        ++StandbyCaptures;
        ShowStandbyTip(QFileInfo(r.path).fileName());
    }
    SetPictureState(1);
    // Last: a failed sync told while the list refreshes finds this capture's
    // state in place.
    RefreshFileList();
    return true;
}

void fmMain::ReportUnsavedCapture(const QString& name, int error)
{
    // The picture stays on the surface, unsaved, for the window to show and
    // the user to save elsewhere.
    CurrentFilePath.clear();
    if (ikImg->hasPicture())
        SetPictureState(2);
    TellUnsavedCapture(name, error);
}

void fmMain::TellUnsavedCapture(const QString& name, int error)
{
    const QString folder = QFileInfo(name).absolutePath();
    const QString reason = NumberedSaver::reason(error);
    if (FormShown || !TrayIconAdded || !m_platform.tray->isAdded()) {
        m_platform.dialogs->message(name + QStringLiteral(" に保存できませんでした\n") + reason);
        return;
    }
    ++UnsavedCaptures;
    m_platform.tray->showMessage(QStringLiteral("Varnel"),
                                 QStringLiteral("ｷｬﾌﾟﾁｬｰ画像を保存できませんでした\n") + folder
                                     + QStringLiteral("\n") + reason);
    m_platform.tray->setToolTip(QStringLiteral("Varnel - 保存できなかったｷｬﾌﾟﾁｬｰ: %1枚")
                                    .arg(UnsavedCaptures));
}

void fmMain::ReportUnsyncedCapture(const QString& path, int error)
{
    // Only the picture on the surface loses its file; an older capture's
    // failure is told, nothing more.
    if (ikImg->hasPicture() && !CurrentFilePath.isEmpty()
        && QFileInfo(CurrentFilePath).absoluteFilePath() == QFileInfo(path).absoluteFilePath())
        ReportUnsavedCapture(path, error);
    else
        TellUnsavedCapture(path, error);
}

void fmMain::ShowStandbyTip(const QString& lastFile)
{
    QString tip = QStringLiteral("Varnel - 待機中 %1枚").arg(StandbyCaptures);
    if (!lastFile.isEmpty())
        tip += QStringLiteral(" (") + lastFile + QLatin1Char(')');
    m_platform.tray->setToolTip(tip);
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
        WrittenFiles << r.path;
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
