// Capture standby: the switch between the shown window and the hidden one
// waiting in the notification area, and the program's end.
#include "fmMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QCheckBox>
#include <QMenu>
#include <QTimer>

#include "capture/ClipboardWatcher.h"
#include "macros/MenuGroup.h"

namespace varnel {

void fmMain::SetFormShown(bool shown)
{
    SuppressEvents = true;
    // Before anything that may tell the user something.
    m_platform.dialogs->setStandby(!shown);
    watcher()->HookClipboard(shown ? 0 : 1);
    chDsp[1]->setChecked(!shown);
    const bool trayAvailable = m_platform.tray->isAvailable();
    if (!shown && !TrayIconAdded && trayAvailable) {
        m_platform.tray->add(windowIcon(), QStringLiteral("Varnel"));
        TrayIconAdded = true;
    }
    if (shown) {
        if (isMinimized())
            setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
    } else if (trayAvailable) {
        hide();
    } else {
        // Without a notification area a hidden window could not be reached
        // again: stand by minimised in the task bar instead.
        m_standbyLostFocus = false;
        showMinimized();
    }
    for (int i = 0; i <= 8; ++i)
        mnFile->setVisible(i, shown);
    mnFile->setCaption(9, shown ? QStringLiteral("ｷｬﾌﾞﾁｬｰ待機") : QStringLiteral("ﾌｫｰﾑを表示"));
    // The flag changes before the events that BringToFront lets through.
    FormShown = shown;
    if (shown) {
        BringToFront();
        RefreshFileList();
    } else {
        m_capture->beginStandby();
    }
    SuppressEvents = false;
}

void fmMain::onWindowRestored()
{
    // The window came back while marked as standing by (restored from the
    // task bar): leave standby fully, menus included.
    SetFormShown(true);
}

void fmMain::onStandbyFocus(bool active)
{
    // Where the window system cannot say that a minimised window came back,
    // the user bringing it back shows as the window gaining the focus after
    // it had lost it in standby.
    if (m_platform.windowStateKnown || FormShown || SuppressEvents || m_platform.tray->isAvailable())
        return;
    if (!active)
        m_standbyLostFocus = true;
    else if (m_standbyLostFocus && !m_platform.dialogs->messageJustShown())
        onWindowRestored();
}

void fmMain::BringToFront()
{
    raise();
    activateWindow();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void fmMain::onTrayLeftClick()
{
    SetFormShown(true);
}

void fmMain::onTrayRightClick(const QPoint& pos)
{
    BringToFront();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (QMenu* m = fileMenu())
        m->popup(pos);
}

QString fmMain::OpenFileDialog(const QString& title, const QString& fileName, const QString& filter,
                              const QString& folder)
{
    // The folder applies only to a bare file name.
    const bool useFolder = !fileName.contains(QLatin1Char('/')) && !folder.isEmpty();
    return m_platform.dialogs->openFile(title, fileName, filter, useFolder ? folder : QString());
}

void fmMain::BrowseForFolder(QString& path)
{
    if (!path.isEmpty() && !QFileInfo(path).isDir())
        path.clear();
    path = m_platform.dialogs->browseFolder(QStringLiteral("ﾌｫﾙﾀﾞの指定"), path);
}

void fmMain::ShutDown(bool iconAdded)
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    watcher()->HookClipboard(0);
    if (iconAdded)
        m_platform.tray->remove();
    Timer1->stop();
    // Close every window of the program; the main window closes last.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible())
            w->close();
}

} // namespace varnel
