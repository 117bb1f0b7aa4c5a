// The capture road's wiring (its rules are in capture/CaptureSession) and the
// capture options of the settings menu.
#include "fmMain.h"

#include <QApplication>
#include <QLineEdit>

#include "capture/ClipboardWatcher.h"
#include "editing/PictureSurface.h"
#include "macros/MenuGroup.h"

namespace varnel {

void fmMain::wireCapture()
{
    CaptureSession::View& v = m_capture->view;
    v.shown = [this] { return FormShown; };
    v.comeForward = [this] {
        if (!FormShown)
            SetFormShown(true);
        else if (isMinimized())
            setWindowState(windowState() & ~Qt::WindowMinimized);
    };
    v.busy = [this](bool on) { SetBusy(on); };
    v.setAside = [this] {
        ClearRange();
        MergeDrawing();
    };
    v.suspendOverlay = [this](bool restore) { SuspendOverlay(restore); };
    v.mergeShapes = [this] { MergeDrawing(); };
    v.showPicture = [this] { return showDocument(); };
    v.prefix = [this] { return txPfx->text(); };
    v.refreshList = [this] { RefreshFileList(); };
    m_paste = new PendingPaste(*m_platform.clipboard, this);
    m_paste->busy = [this](bool on) { SetBusy(on); };
    m_paste->land = [this](QImage picture) { PastePicture(std::move(picture)); };
    m_paste->mayLand = [] { return !QApplication::activeModalWidget(); };
    m_paste->ending = [this] { return isShuttingDown(); };
    // A capture comes before a paste still waiting for its owner.
    watcher()->setCapture([this](const PointerImage& p) {
        m_paste->cancel();
        m_capture->sjClip(p);
    });
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
