#include "fmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QWindowStateChangeEvent>

#include "Icons.h"
#include "capture/WorkFolderView.h"
#include "macros/MenuBinder.h"
#include "capture/ClipboardWatcher.h"
#include "editing/engine/FastPngDecoder.h"
#include "editing/engine/PixelFormats.h"
#include "editing/DrawToolBar.h"
#include "editing/Drawing.h"
#include "editing/DrawingOverlay.h"
#include "editing/PictureSurface.h"
#include "editing/StampPreview.h"
#include "macros/MenuGroup.h"
#include "settings/yIni.h"

namespace varnel {

namespace {
constexpr int kStripTwips = 340;
// Folders with more names than this are listed on the worker thread.
} // namespace

QIcon fmMain::programIcon()
{
    return Icons::program();
}

fmMain::fmMain(Platform& platform, const AppEnvironment& env, std::unique_ptr<yIni> ini,
               QWidget* parent)
    : QMainWindow(parent), m_capture(std::make_unique<CaptureSession>(platform, m_doc)),
      m_platform(platform), m_env(env), m_ini(std::move(ini))
{
    setWindowTitle(QStringLiteral("Varnel"));
    setWindowIcon(programIcon());
    m_platform.dialogs->setOwner(this);
    m_tools = std::make_unique<SiblingTools>(
        m_platform, m_env.programFolder,
        [this](const QString& title, const QString& name, const QString& filter, const QString& folder) {
            return OpenFileDialog(title, name, filter, folder);
        });
    buildControls();
    m_doc.bind(ikImg->storedPicture());
    m_doc.stateChanged = [this](int state) { applyPictureState(state); };
    buildMenus();
    wireMenuLists();
    buildLanguageMenu();
    setUpFileDrop();

    wireCapture();
    connect(m_platform.tray.get(), &TrayIcon::leftClicked, this, &fmMain::onTrayLeftClick);
    connect(m_platform.tray.get(), &TrayIcon::rightClicked, this, &fmMain::onTrayRightClick);
    if (m_platform.instance)
        connect(m_platform.instance.get(), &SingleInstance::received, this, &fmMain::OnInstanceMessage);
    if (m_platform.exitRequests)
        connect(m_platform.exitRequests.get(), &ExitRequests::exitRequested, this, &fmMain::RequestOrderlyExit);
    // Whatever ends the event loop, what the user chose is kept.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { SaveSettings(); });

    // The load steps: work folder, list, picture state, settings, layout.
    WorkFolder = m_env.userDataFolder + QStringLiteral("Temp");
    FormShown = true;
    TrayIconAdded = false;
    SetPictureState(0);
    LoadSettings();
    LayoutWindow();
    RefreshFileList();

    Timer1 = new QTimer(this);
    Timer1->setInterval(5000);
    connect(Timer1, &QTimer::timeout, this, &fmMain::onTimer);
    Timer1->start();
}

fmMain::~fmMain()
{
    // Its worker's last listing ends before the window it reports to goes.
    delete std::exchange(m_listView, nullptr);
}

int fmMain::twipsToPx(int twips) const
{
    const double dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    return int(twips * dpi / 1440.0 + 0.5);
}

void fmMain::buildControls()
{
    m_client = new QWidget(this);
    setCentralWidget(m_client);

    chDsp[0] = new QCheckBox(QStringLiteral("ｽｹｰﾙ表示"), m_client);
    chDsp[1] = new QCheckBox(QStringLiteral("ｷｬﾌﾞﾁｬｰ待機"), m_client);
    connect(chDsp[0], &QCheckBox::clicked, this, [this] {
        if (!SuppressEvents)
            SetScaleDisplay(chDsp[0]->isChecked());
    });
    // Checking the box programmatically (on minimise) must act like a click.
    connect(chDsp[1], &QCheckBox::toggled, this, [this](bool on) {
        if (!SuppressEvents)
            SetFormShown(!on);
    });

    lbPfx = new QLabel(QStringLiteral("ﾌﾟﾚﾌｨｯｸｽ"), m_client);
    txPfx = new QLineEdit(m_client);
    txPfx->setToolTip(QStringLiteral("画像を連番で保存時の連番の前部分"));
    lbPfx->setToolTip(txPfx->toolTip());
    lbZoom = new QLabel(QStringLiteral("ｽﾞｰﾑ"), m_client);
    cbZoom = new QComboBox(m_client);
    connect(cbZoom, &QComboBox::activated, this, [this] { onZoomChosen(); });

    static const char* const tips[10] = {
        "Ctrl+O 画像ﾌｧｲﾙを開きます",
        "Ctrl+S 上書き保存",
        "Ctrl+W 作業ﾌｫﾙﾀﾞに連番をつけて保存します",
        "Ctrl+W 作業ﾌｫﾙﾀﾞをｴｸｽﾌﾟﾛｰﾗｰで開きます",
        "Ctrl+V ｸﾘｯﾌﾟﾎﾞｰﾄﾞから新規画像に貼り付けます",
        "Ctrl+C 現在の画像をｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰします",
        "Ctrl+X 画像をﾄﾘﾐﾝｸﾞします",
        "Ctrl+T 縦方向に綴じこめます",
        "Ctrl+Y 横方向に綴じこめます",
        "Ctrl+A 選択範囲を複写して待機",
    };
    for (int i = 0; i < 10; ++i) {
        auto* b = new QToolButton(m_client);
        b->setAutoRaise(true);
        b->setIcon(Icons::tool(i));
        b->setToolTip(QString::fromUtf8(tips[i]));
        connect(b, &QToolButton::clicked, this, [this, i] { onToolButton(i); });
        imBtn[size_t(i)] = b;
    }

    pnBmp = new StampPanel(m_client);
    // The panel's inner square in the tool strip, whatever size the panel
    // has at this moment (it is laid out after the first load).
    pnBmp->box = [this] { return twipsToPx(kStripTwips) - 2 - 2 * pnBmp->frameWidth(); };
    pnBmp->taken = [this](const QString& path) {
        if (m_drawBar)
            ikImg->overlay()->setStamp(Drawing::stampFromFile(path, m_drawBar->seeThrough().rgb()));
    };

    Line1 = new QFrame(m_client);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    File1 = new QListWidget(m_client);
    File1->hide();
    // One line of text per row: the view lays out 100,000 names without
    // measuring each one.
    File1->setUniformItemSizes(true);
    // Ctrl and Shift pick several pictures (to join them); a plain click opens one.
    File1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(File1, &QListWidget::itemClicked, this, [this] { onFileListClicked(); });
    m_listView = new WorkFolderView(File1, FolderWatch, this);
    m_listView->shown = [this] { return FormShown; };
    m_listView->currentFile = [this] { return CurrentFilePath; };
    File1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(File1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { fileMenu()->popup(File1->viewport()->mapToGlobal(p)); });

    ikImg = new PictureSurface(m_client);
    connect(ikImg, &PictureSurface::rightClicked, this,
            [this](const QPoint& p) { if (QMenu* m = menuOf(QStringLiteral("mnEdt"))) m->popup(p); });
    buildDrawing();
}

void fmMain::LayoutWindow()
{
    const int w = m_client->width();
    const int h = m_client->height();
    const int strip = twipsToPx(kStripTwips);

    // Tool strip, left to right.
    int x = 4;
    const int y = 0;
    const int ch = strip - 2;
    auto place = [&](QWidget* wgt, int width) {
        if (!wgt->isHidden() || wgt == pnBmp) {
            wgt->setGeometry(x, y + 1, width, ch);
            if (!wgt->isHidden())
                x += width + 3;
        }
    };
    for (int i = 0; i < 10; ++i)
        place(imBtn[size_t(i)], ch - 1);
    x += 4;
    place(chDsp[0], chDsp[0]->sizeHint().width());
    place(lbZoom, lbZoom->sizeHint().width());
    place(cbZoom, 62);
    place(lbPfx, lbPfx->sizeHint().width());
    place(txPfx, 64);
    place(chDsp[1], chDsp[1]->sizeHint().width());
    place(pnBmp, ch);
    m_stripWidth = x + 1;

    Line1->setGeometry(0, strip - 2, w, 2);
    File1->setVisible(WorkListShown);
    if (h < strip)
        return;
    int left = 0;
    int width = w;
    if (WorkListShown) {
        const int listW = File1->width() > 10 ? File1->width() : 160;
        File1->setGeometry(0, strip, listW, h - strip);
        left = listW + 1;
        width = w - left;
    }
    ikImg->setGeometry(left, strip, width, h - strip);
}

void fmMain::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    if (!isMinimized())
        LayoutWindow();
}

void fmMain::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized()) {
        // Minimising is the usual way into standby; the box's handler does it.
        if (FormShown && StandbyOnMinimise && !SuppressEvents)
            chDsp[1]->setChecked(true);
        return;
    }
    // Restored by the user while standing by; SetFormShown's own restore
    // (SuppressEvents set) needs no second pass.
    if (!FormShown && isVisible() && !SuppressEvents && m_platform.windowStateKnown) {
        if (m_platform.dialogs->messageJustShown()) {
            // The window system's answer to a message window, not the
            // user's restore: standby goes on, minimised.
            QTimer::singleShot(0, this, [this] {
                if (!FormShown && !m_shutDown)
                    showMinimized();
            });
            return;
        }
        onWindowRestored();
    }
    LayoutWindow();
    RefreshFileList();
}

bool fmMain::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::WindowDeactivate)
        onStandbyFocus(e->type() == QEvent::WindowActivate);
    if (e->type() == QEvent::WindowActivate)
        RefreshFileList();
    if (e->type() == QEvent::Move || e->type() == QEvent::Show)
        m_outer.settle();
    return QMainWindow::event(e);
}

void fmMain::closeEvent(QCloseEvent* e)
{
    // Only the user's close (the close box, the window menu, or the exit
    // item) saves; a session ending or the program's own close does not.
    if (!m_shutDown && e->spontaneous()) {
        // The user's own close: unsaved changes are theirs to keep.
        if (!MaySetPictureAside()) {
            e->ignore();
            return;
        }
        SaveSettings();
    }
    e->accept();
}

void fmMain::Exit()
{
    SaveSettings();
    close();
}

void fmMain::SetPictureState(int state)
{
    // State 1 says the picture is what its file holds (loaded or saved).
    if (state == 1)
        m_doc.markSaved(CurrentFilePath);
    else
        m_doc.setState(state);
}

void fmMain::applyPictureState(int state)
{
    if (!mnFile)
        return;
    // A recording says so in the title until it ends.
    if (m_titleShowsFile && !MacroRecording && windowTitle() != CurrentFilePath)
        setWindowTitle(CurrentFilePath);
    updateUndoItems();
    const bool any = state != 0;
    mnFile->setEnabled(1, state == 2);
    mnFile->setEnabled(2, any);
    mnFile->setEnabled(3, any);
    mnWkf->setEnabled(0, any);
    for (int i : {0, 5, 6, 7, 8, 9, 11, 12})
        mnEdt->setEnabled(i, any);
}

void fmMain::SetBusy(bool on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
    ikImg->setBusy(on);
}

void fmMain::RefreshFileList()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // In standby nobody sees the list: captures do not pay for listing a
    // big folder; SetFormShown (true) lists it once the window is back.
    if (!FormShown) {
        m_listView->markStale();
        return;
    }
    m_listView->refresh(WorkFolder);
}

void fmMain::onTimer()
{
    // Picture buffers kept for the next capture go back to the system once
    // no capture or edit has wanted them for a while.
    releaseIdlePictureBuffers(std::chrono::seconds(10));
    // One stat decides; the listing itself runs on the worker thread, so a
    // folder of many files never stalls the window.
    if (FormShown)
        m_listView->poll(WorkFolder);
}

void fmMain::onFileListClicked()
{
    if (SuppressEvents || !File1->currentItem())
        return;
    // Picking several (to join them) is not opening one.
    if (File1->selectedItems().size() > 1 ||
        (QGuiApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::ShiftModifier)))
        return;
    const QString path = QDir(WorkFolder).filePath(File1->currentItem()->text());
    if (!QFileInfo(path).isFile())
        return;
    if (!MaySetPictureAside()) {
        m_listView->selectCurrent(); // the list shows the picture that stayed
        return;
    }
    OpenPictureFile(path);
}

} // namespace varnel
