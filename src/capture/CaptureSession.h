#pragma once
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

#include "platform/Platform.h"

namespace varnel {

class ClipboardWatcher;
class PictureDocument;

// The capture road: from a clipboard change to the picture in the document
// and a numbered file, the numbered saves of the work and storage folders,
// and what the user is told when a capture could not be kept. The window
// shows what it does through View.
class CaptureSession : public QObject {
    Q_OBJECT
public:
    // What a capture needs of the window that shows it; all but busy must be set.
    struct View {
        std::function<bool()> shown;              // out of standby
        std::function<void()> comeForward;        // "show after capture": out of standby or minimise
        std::function<void(bool)> busy;
        std::function<void()> setAside;           // before a capture replaces the picture (range, shapes)
        std::function<void(bool)> suspendOverlay; // false hides the shapes, true brings them back
        std::function<void()> mergeShapes;        // shapes drawn on the picture become its pixels
        std::function<bool()> showPicture;        // false when there is nothing to show
        std::function<QString()> prefix;          // the numbered files' prefix
        std::function<void()> refreshList;
    };

    CaptureSession(Platform& platform, PictureDocument& document);
    ~CaptureSession() override;
    View view;

    ClipboardWatcher& watcher() { return *m_watcher; }

    // The options and folders, under the names the settings know them by.
    QString WorkFolder;
    qint64 WorkCounter = 1;
    int AfterCaptureAction = 1;
    int CaptureColourIndex = 0;
    bool bMpnt = true;
    QString StorageFolder;
    QString StoragePrefix;
    QString StorageExtension = QStringLiteral("png");
    // Files the saves wrote, in order (a batch run reports them).
    QStringList WrittenFiles;
    // Captures lost since the last one that saved; the tray tip counts them.
    int UnsavedCaptures = 0;
    // Captures saved in this standby; the tray tip shows them and the last file.
    int StandbyCaptures = 0;

    // A clipboard change heard in standby, acted on as the options say.
    void sjClip(const PointerImage& pointer);
    // The clipboard's picture into the document (an unsaved one stays one
    // undo away); false when there was none.
    bool GrabClipboardPicture(const PointerImage& pointer);
    void TakeClipboardPicture(const PointerImage& pointer);
    void CaptureAndSaveNumbered(const PointerImage& pointer);
    void SaveNumberedToWorkFolder();
    void SaveNumberedToStorage();
    void NextWorkNumber();
    qint64 NextStorageNumber();

    // Standby begins: numbering goes on from the folder, the tip starts again.
    void beginStandby();
    // Tells the user at once that the capture meant for name was not saved:
    // a tray notification in standby, a message box when the window is shown.
    void ReportUnsavedCapture(const QString& name, int error);
    void TellUnsavedCapture(const QString& name, int error);
    // The same for a published capture whose bytes did not reach the disk.
    void ReportUnsyncedCapture(const QString& path, int error);
    void ShowStandbyTip(const QString& lastFile = {});

    // Wayland sessions: what standby tells the user it cannot hear (once a
    // run: the same gap is there at every standby).
    static QString watchGapMessage(int reason);

private:
    bool saveNumberedInWorkFolder();
    void reduceColours();

    Platform& m_platform;
    PictureDocument& m_doc;
    std::unique_ptr<ClipboardWatcher> m_watcher;
    bool m_watchGapTold = false;
};

} // namespace varnel
