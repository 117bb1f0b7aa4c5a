#include "CaptureSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include "CaptureIntake.h"
#include "CaptureOptions.h"
#include "ClipboardWatcher.h"
#include "NumberedSaver.h"
#include "Numbering.h"
#include "editing/ColourDepth.h"
#include "editing/PictureDocument.h"
#include "editing/engine/AtomicFile.h"
#include "platform/PictureFeed.h"

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

// The busy pointer for one step, switched off again however it ends.
struct BusyScope {
    const std::function<void(bool)>& busy;
    explicit BusyScope(const std::function<void(bool)>& b) : busy(b)
    {
        if (busy)
            busy(true);
    }
    ~BusyScope()
    {
        if (busy)
            busy(false);
    }
};
} // namespace

CaptureSession::CaptureSession(Platform& platform, PictureDocument& document)
    : m_platform(platform), m_doc(document)
{
    m_platform.clipboard->setDecoder(&CaptureIntake::decode);
    m_watcher = std::make_unique<ClipboardWatcher>(*m_platform.clipboard, *m_platform.pointer);
    m_watcher->setStampPointer([this] { return bMpnt; });
    m_watcher->setCapture([this](const PointerImage& p) { sjClip(p); });
    connect(m_platform.clipboard.get(), &Clipboard::watchGap, this, [this](int reason) {
        if (!std::exchange(m_watchGapTold, true))
            m_platform.dialogs->message(watchGapMessage(reason));
    }, Qt::QueuedConnection);
}

CaptureSession::~CaptureSession()
{
    m_watcher->HookClipboard(0);
    AtomicFile::onBackgroundSyncFailure(nullptr);
}

void CaptureSession::sjClip(const PointerImage& pointer)
{
    trace().begin();
    const PointerImage stamp = bMpnt ? pointer : PointerImage();
    switch (AfterCaptureAction) {
    case CaptureOptions::Show:
        TakeClipboardPicture(stamp);
        view.comeForward();
        break;
    case CaptureOptions::SaveNumberedAndShow:
        CaptureAndSaveNumbered(stamp);
        view.comeForward();
        break;
    case CaptureOptions::SaveNumbered:
        CaptureAndSaveNumbered(stamp);
        break;
    default:
        break;
    }
    trace().mark("done");
}

bool CaptureSession::GrabClipboardPicture(const PointerImage& pointer)
{
    Picture grabbed;
    if (!CaptureIntake::grab(*m_platform.clipboard, *m_platform.pointer, pointer, grabbed,
                             m_watcher->skipKey()))
        return false;
    m_watcher->tookContent(m_platform.clipboard->lastKey());
    trace().mark("grabbed");
    // Only a picture found replaces the range: copied text or a failed paste
    // leaves the user's range alone. Unsaved changes of the picture it
    // replaces stay one undo away, the shapes drawn on it included.
    view.setAside();
    m_doc.replace(std::move(grabbed), QString(), true);
    return m_doc.hasPicture();
}

void CaptureSession::reduceColours()
{
    if (const auto code = CaptureOptions::colourCode(CaptureColourIndex)) {
        ColourDepth::convert(m_doc.picture(), *code);
        m_doc.depthCode = QString::number(*code);
    }
}

void CaptureSession::TakeClipboardPicture(const PointerImage& pointer)
{
    view.suspendOverlay(false);
    {
        BusyScope busy(view.busy);
        if (GrabClipboardPicture(pointer)) {
            reduceColours();
            m_doc.readDepthCode();
            // What the clipboard gave, as it is: no file, nothing to save.
            if (view.showPicture())
                m_doc.markSaved(QString());
            else
                m_doc.setState(0);
        }
    }
    view.suspendOverlay(true);
}

void CaptureSession::CaptureAndSaveNumbered(const PointerImage& pointer)
{
    BusyScope busy(view.busy);
    if (!GrabClipboardPicture(pointer))
        return;
    reduceColours();
    view.showPicture();
    if (!QFileInfo(WorkFolder).isDir())
        QDir().mkpath(WorkFolder);
    saveNumberedInWorkFolder();
}

bool CaptureSession::saveNumberedInWorkFolder()
{
    // The bytes reach the disk right after the file appears, off this
    // thread: forcing them first would double the time of a big capture.
    trace().mark("before save");
    // Its failure comes later, from the syncing thread, and is told here.
    AtomicFile::onBackgroundSyncFailure([this](const QString& path, int error) {
        QMetaObject::invokeMethod(this, [this, path, error] { ReportUnsyncedCapture(path, error); },
                                  Qt::QueuedConnection);
    });
    const QString prefix = view.prefix();
    const auto r = NumberedSaver::save(m_doc.picture(), WorkFolder, prefix, WorkCounter,
                                       QStringLiteral("bmp"), ImageFormat::Bmp, 80, 10000, true);
    trace().mark("saved");
    if (!r.ok) {
        ReportUnsavedCapture(WorkFolder + QLatin1Char('/')
                                 + Numbering::fileName(prefix, std::max<qint64>(WorkCounter, 1),
                                                       QStringLiteral("bmp")),
                             r.error);
        return false;
    }
    // A name taken meanwhile moved the save on; the counter follows it.
    WorkCounter = r.number + 1;
    WrittenFiles << r.path;
    UnsavedCaptures = 0;
    if (!view.shown()) {
        ++StandbyCaptures;
        ShowStandbyTip(QFileInfo(r.path).fileName());
    }
    m_doc.markSaved(r.path);
    // Last: a failed sync told while the list refreshes finds this capture's
    // state in place.
    view.refreshList();
    return true;
}

void CaptureSession::ReportUnsavedCapture(const QString& name, int error)
{
    // The picture stays in the document, unsaved, for the window to show
    // and the user to save elsewhere.
    m_doc.filePath.clear();
    if (m_doc.hasPicture())
        m_doc.setState(2);
    TellUnsavedCapture(name, error);
}

void CaptureSession::TellUnsavedCapture(const QString& name, int error)
{
    const QString folder = QFileInfo(name).absolutePath();
    const QString reason = NumberedSaver::reason(error);
    if (view.shown() || !m_platform.tray->isAdded()) {
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

void CaptureSession::ReportUnsyncedCapture(const QString& path, int error)
{
    // Only the picture in the document loses its file; an older capture's
    // failure is told, nothing more.
    if (m_doc.hasPicture() && !m_doc.filePath.isEmpty()
        && QFileInfo(m_doc.filePath).absoluteFilePath() == QFileInfo(path).absoluteFilePath())
        ReportUnsavedCapture(path, error);
    else
        TellUnsavedCapture(path, error);
}

void CaptureSession::ShowStandbyTip(const QString& lastFile)
{
    QString tip = QStringLiteral("Varnel - 待機中 %1枚").arg(StandbyCaptures);
    if (!lastFile.isEmpty())
        tip += QStringLiteral(" (") + lastFile + QLatin1Char(')');
    m_platform.tray->setToolTip(tip);
}

void CaptureSession::beginStandby()
{
    NextWorkNumber();
    StandbyCaptures = 0;
    if (UnsavedCaptures == 0)
        ShowStandbyTip();
}

void CaptureSession::SaveNumberedToWorkFolder()
{
    BusyScope busy(view.busy);
    if (!m_doc.hasPicture())
        return;
    view.mergeShapes();
    NextWorkNumber();
    saveNumberedInWorkFolder();
}

void CaptureSession::NextWorkNumber()
{
    if (!QFileInfo(WorkFolder).isDir())
        QDir().mkpath(WorkFolder);
    const qint64 n = Numbering::nextNumberInFolder(WorkFolder, view.prefix(), QStringLiteral("bmp"));
    WorkCounter = n > 0 ? n : 1;
}

qint64 CaptureSession::NextStorageNumber()
{
    if (StorageExtension.isEmpty())
        StorageExtension = QStringLiteral("jpg");
    return Numbering::nextNumberInFolder(StorageFolder, StoragePrefix, StorageExtension);
}

void CaptureSession::SaveNumberedToStorage()
{
    BusyScope busy(view.busy);
    if (!m_doc.hasPicture())
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
    // What is drawn is saved with the picture; a save refused above leaves the shapes shapes.
    view.mergeShapes();
    if (StorageExtension != QLatin1String("bmp"))
        m_doc.picture().convertDepth(24, true);
    const auto r = NumberedSaver::save(m_doc.picture(), StorageFolder, StoragePrefix, n,
                                       StorageExtension, format);
    if (r.ok) {
        m_platform.dialogs->message(r.path + QStringLiteral(" に保存しました"));
        m_doc.filePath = r.path;
        WrittenFiles << r.path;
    } else {
        m_platform.dialogs->message(name + QStringLiteral(" に保存できませんでした"));
    }
}

QString CaptureSession::watchGapMessage(int reason)
{
    const QString rest = QStringLiteral("ほかのｺﾋﾟｰは、このまま待機して取り込みます。");
    switch (WatchGap(reason)) {
    case WatchGap::Failed:
        return QStringLiteral("Waylandのｸﾘｯﾌﾟﾎﾞｰﾄﾞの監視が止まったため、Waylandのﾌﾟﾛｸﾞﾗﾑで"
                              "ｺﾋﾟｰした画像は取り込めません。") + rest;
    case WatchGap::NoDataControl:
    default:
        return QStringLiteral("このﾃﾞｽｸﾄｯﾌﾟでは、Waylandのﾌﾟﾛｸﾞﾗﾑでｺﾋﾟｰした画像を"
                              "ﾊﾞｯｸｸﾞﾗｳﾝﾄﾞで取り込めません。") + rest;
    }
}

} // namespace varnel
