#pragma once
#include <QDateTime>
#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>

#include "AppEnvironment.h"
#include "macros/MacroRecorder.h"
#include "macros/MacroRunner.h"
#include "macros/RangeMenu.h"
#include "editing/PictureDocument.h"
#include "capture/CaptureSession.h"
#include "capture/PendingPaste.h"
#include "capture/WorkFolderList.h"
#include "editing/engine/Picture.h"
#include "platform/OuterGeometry.h"
#include "platform/Platform.h"
#include "settings/SettingsValues.h"
#include "settings/SiblingTools.h"
#include "settings/yIni.h"

class QCheckBox;
class QComboBox;
class QEventLoop;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QThread;
class QTimer;
class QToolButton;

namespace varnel {

class ClipboardWatcher;
class MenuGroup;
class DrawToolBar;
class EditCommand;
class PictureSurface;
class sbMcr;
class StampPanel;
class TextReader;
class WorkFolderView;

// The main window: owns the program's state, the picture surfaces, the menus
// and the tool strip. Its handlers are short calls into the rooms' classes;
// they are split over fmMain_*.cpp by subsystem.
class fmMain : public QMainWindow {
    Q_OBJECT
    // The picture, its code, file, state and history; the fields below
    // that carry the program's old names are views of it.
    PictureDocument m_doc;
    // The capture road, its options and folders; fields below view it too.
    std::unique_ptr<CaptureSession> m_capture;
    // The macro text and its recording.
    MacroRecorder m_recorder;
    RangeMenu m_ranges;

public:
    // ini: the shared settings object that start-up resolved the folders
    // with; created on first use when none is given.
    fmMain(Platform& platform, const AppEnvironment& env, std::unique_ptr<yIni> ini = nullptr,
           QWidget* parent = nullptr);
    ~fmMain() override;

    // --- state (the names the rest of the program knows them by) ---
    QString& WorkFolder = m_capture->WorkFolder;
    bool FormShown = true;
    bool TrayIconAdded = false;
    bool SuppressEvents = false;
    const int& PictureState = m_doc.stateRef();
    QString& CurrentFilePath = m_doc.filePath;
    qint64& WorkCounter = m_capture->WorkCounter;
    int& AfterCaptureAction = m_capture->AfterCaptureAction;
    int& CaptureColourIndex = m_capture->CaptureColourIndex;
    bool StandbyOnMinimise = true;
    bool& bMpnt = m_capture->bMpnt;
    QString& StorageFolder = m_capture->StorageFolder;
    QString& StoragePrefix = m_capture->StoragePrefix;
    QString& StorageExtension = m_capture->StorageExtension;
    int DisplayMode = 1;
    bool WorkListShown = false;
    QString& ColourDepthCode = m_doc.depthCode;
    bool ToolBarShown = false;
    QString& RangeList = m_ranges.list;
    QString& MacroText = m_recorder.text;
    // The stored lists when only a part of them was loaded; written back.
    PartlyLoaded RangeListKept;
    PartlyLoaded MacroTextKept;
    QString LanguageChoice; // "ja" or "en" once chosen in the menu; shown from the next start
    bool& MacroRecording = m_recorder.recording;
    QString& MacroBuffer = m_recorder.buffer;
    // The listed folder as last seen (one stat's worth, see WorkFolderList).
    WorkFolderList::Stamp FolderWatch;

    // --- window life, standby ---
    void SetFormShown(bool shown);
    void SetPictureState(int state);
    void SetBusy(bool on);
    // The busy pointer for one step, switched off again however it ends.
    class BusyScope {
    public:
        explicit BusyScope(fmMain* w) : m_w(w) { m_w->SetBusy(true); }
        ~BusyScope() { m_w->SetBusy(false); }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        fmMain* m_w;
    };
    void BringToFront();
    void LayoutWindow();
    void RefreshFileList();
    void ShutDown(bool iconAdded);
    void LoadSettings();
    void SaveSettings();
    // The values SaveSettings would write now.
    SettingsValues currentSettings() const;
    void Exit();
    // The shared pickers of the main window. Cancelling the folder picker
    // clears path, as callers expect.
    QString OpenFileDialog(const QString& title, const QString& fileName, const QString& filter,
                           const QString& folder);
    void BrowseForFolder(QString& path);

    // --- capture road ---
    CaptureSession& capture() { return *m_capture; }
    // "ｸﾘｯﾌﾟﾎﾞｰﾄﾞから貼付": the picture is asked for aside and pasted when it
    // comes; a replayed macro waits for it (the window still answering).
    void PasteClipboardPicture();
    void PastePicture(QImage image);
    PendingPaste& pendingPaste() { return *m_paste; }
    bool ClipboardHasPicture();
    void SuspendOverlay(bool restore);

    // --- picture services used by the capture road ---
    bool ShowPicture();
    void SetScaleDisplay(bool ticked);
    void UpdateColourDepth(int code);
    bool GetRange(int& left, int& right, int& top, int& bottom);
    void ClearRange();
    void CopyToClipboard();
    bool LoadImageFile(const QString& path);
    void OpenPictureFile(const QString& path);

    // --- edit commands (fmMain_edit.cpp, fmMain_history.cpp) ---
    PictureDocument& document() { return m_doc; }
    // Runs one edit on the document: the range (when it takes one) and the
    // drawn shapes are picked up first, the view and the menus follow.
    // False when the command failed (the user has been told).
    bool RunEdit(EditCommand& command, bool takesRange = false);
    void UndoEdit();
    void RedoEdit();
    const EditHistory& editHistory() const { return m_doc.history; }
    // Whether unsaved changes may go: asks to save them (保存 / 保存しない /
    // キャンセル) and saves when told to; true when the caller may go on.
    bool MaySetPictureAside();

    // --- the window's own tools (fmMain_tools.cpp) ---
    // Joins the pictures selected in the work-folder list, in list order,
    // into one picture shown as an unsaved change.
    void JoinSelectedFiles();
    // Reads the text of the range (or the whole picture) off the window's
    // thread; the text goes to the clipboard and to a small box.
    void ReadPictureText();
    WorkFolderView* workFolderView() const { return m_listView; }
    TextReader* textReader();

    // --- drawing (fmMain_drawing.cpp) and view (fmMain_view.cpp) ---
    void ShowDrawToolBar();
    // Shapes drawn on the overlay become pixels of the picture (one undo
    // step); false when there were none. Reading the picture through the
    // surface does the same, so every command sees them.
    bool MergeDrawing();
    // One step of the shapes not yet merged; false when they have none.
    bool UndoShape();
    bool RedoShape();
    DrawToolBar* drawToolBar() const { return m_drawBar; }
    // One step through the zoom list (+1 larger, -1 smaller).
    void StepZoom(int step);
    StampPanel* stampPanel() const { return pnBmp; }

    // --- registered ranges (fmMain_ranges.cpp) ---
    void RegisterRange();
    RangeMenu& rangeMenu() { return m_ranges; }
    // Sets the range to registered range index; false when it has no size.
    bool SelectUserRange(int index);

    // --- files (fmMain_files.cpp) ---
    // The sibling picture tools, looked up once during this run.
    SiblingTools& siblingTools() { return *m_tools; }
    // Files the save commands wrote, in order (a batch run reports them).
    QStringList& WrittenFiles = m_capture->WrittenFiles;
    void OpenImageDialog();
    // Saves under a name from the save dialog (saveAs, or no current file)
    // or over the current file. A failure is reported and changes nothing.
    void SaveImageAs(bool saveAs);
    void EmptyWorkFolder();
    void ClearPicture();

    // --- macros (fmMain_macros.cpp) ---
    MacroRecorder& macroRecorder() { return m_recorder; }
    void RunMacro(int index);
    void RunMacroStep(const QString& keyword, const QString& argument);
    // Runs the first stored macro of that name (the menu and the batch run).
    MacroRunner::Result RunMacroNamed(const QString& name);
    // The runner every replay goes through; the batch run sets its checks.
    MacroRunner& macroRunner();
    sbMcr* macroEditor();
    // The program's end has begun: settings saved, windows closing.
    bool isShuttingDown() const { return m_shutDown; }

    // --- parts, for the wiring and for tests ---
    MenuGroup* group(const QString& name) const;
    QMenu* menuOf(const QString& groupName) const; // the QMenu that shows a group
    QMenu* fileMenu() const;
    PictureSurface* surface() const { return ikImg; }
    QCheckBox* standbyBox() const { return chDsp[1]; }
    QCheckBox* scaleBox() const { return chDsp[0]; }
    QLineEdit* prefixBox() const { return txPfx; }
    QComboBox* zoomList() const { return cbZoom; }
    QListWidget* fileList() const { return File1; }
    QToolButton* toolButton(int i) const { return imBtn[size_t(i)]; }
    ClipboardWatcher* watcher() const { return &m_capture->watcher(); }
    const AppEnvironment& environment() const { return m_env; }
    Platform& platform() { return m_platform; }
    // The picture that capture standby puts in the notification area.
    static QIcon programIcon();

    // --- reliability: one program per folder, orderly exit, stale temporaries ---
    // A later start on the same user data folder asks this one to come to
    // the front or to open a file.
    void OnInstanceMessage(const InstanceMessage& message);
    // Opens a file named at start or handed over by a later start.
    void OpenRequestedFile(const QString& path);
    // A termination signal or the session's end: the ordinary exit, once
    // a running capture or command has finished.
    void RequestOrderlyExit();
    // Removes what killed saves left in the work, storage and user data
    // folders; returns the paths removed.
    QStringList RemoveStaleTemporaries();
protected:
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;

private:
    void buildControls();
    void wireCapture();
    // The menus follow the picture state.
    void applyPictureState(int state);
    void buildMenus();
    // files (fmMain_files.cpp)
    bool ChooseStorage(); // the storage dialog; false when cancelled
    void openChosenFile(const QString& path);
    void setUpFileDrop();
    // macros and registered ranges (fmMain_macros.cpp)
    void onMacroMenu(int index);
    void wireMenuLists();
    // After a recording the title names the current file, and follows it.
    bool m_titleShowsFile = false;
    // view (fmMain_view.cpp)
    void onToolButton(int index);
    void onDisplayMenu(int index);
    void onZoomChosen();
    // drawing and view wiring (fmMain_drawing.cpp)
    void buildDrawing();
    void onDrawToolBarClosed();
    DrawToolBar* m_drawBar = nullptr;
    int m_stripWidth = 0; // the client width the whole tool strip needs
    // the rest
    void onMenuBarOpened(int index);
    void onAfterCaptureMenu(int index);
    void onColourReductionMenu(int index);
    void onMinimiseMenu(int index);
    void onPointerMenu(int index);
    void onFileListClicked();
    void onTrayLeftClick();
    void onTrayRightClick(const QPoint& pos);
    void onTimer();
    void onWindowRestored();
    yIni& settingsStore();
    int twipsToPx(int twips) const;

    Platform& m_platform;
    AppEnvironment m_env;
    std::unique_ptr<yIni> m_ini;
    std::unique_ptr<SiblingTools> m_tools;
    bool m_closingByUser = false;
    bool m_shutDown = false;
    bool m_overlayWasVisible = false;
    PendingPaste* m_paste = nullptr;
    int m_replaying = 0; // macro runs under way
    // The work-folder list File1 shows; a hidden list is brought up to
    // date when the window shows again.
    WorkFolderView* m_listView = nullptr;

    // controls
    QWidget* m_client = nullptr;
    std::array<QCheckBox*, 2> chDsp{};
    QLabel* lbPfx = nullptr;
    QLineEdit* txPfx = nullptr;
    QLabel* lbZoom = nullptr;
    QComboBox* cbZoom = nullptr;
    std::array<QToolButton*, 10> imBtn{};
    StampPanel* pnBmp = nullptr;
    QFrame* Line1 = nullptr;
    QListWidget* File1 = nullptr;
    PictureSurface* ikImg = nullptr;
    QTimer* Timer1 = nullptr;

    // the shown language (fmMain_language.cpp)
    void buildLanguageMenu();
    void onLanguageMenu(int index);
    MenuGroup* mnLang = nullptr;

    // menus
    QHash<QString, MenuGroup*> m_groups;
    MenuGroup *mnJb = nullptr, *mnFile = nullptr, *mnWkf = nullptr, *mnKkn = nullptr,
              *mnEdt = nullptr, *mnUsHn = nullptr, *mnRng = nullptr, *mnResize = nullptr,
              *mnCut = nullptr, *mnRotate = nullptr, *mnColr = nullptr, *mnDisp = nullptr,
              *mnMcr = nullptr, *mnMcrS = nullptr, *mnUsr = nullptr, *mnCpt = nullptr,
              *mnGen = nullptr, *mnCptW = nullptr, *mnMpn = nullptr;

    // reliability
    OuterGeometry m_outer{this};
    bool m_exitPending = false;
    bool m_saving = false; // SaveSettings runs (its message box turns the event loop)
    // macros (fmMain_macros.cpp)
    std::unique_ptr<MacroRunner> m_macroRunner;
    sbMcr* m_sbMcr = nullptr;
    // edit commands (fmMain_edit.cpp, fmMain_history.cpp)
    // The document on the surface, the menus following; false when there is no picture to show.
    bool showDocument();
    void updateUndoItems();
    // the window's own tools (fmMain_tools.cpp)
    void onTextRead(const QString& text, const QString& error);
    TextReader* m_textReader = nullptr;
    // Wayland sessions
    void onStandbyFocus(bool active);
    bool m_standbyLostFocus = false;
};

} // namespace varnel
