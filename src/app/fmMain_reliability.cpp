// One program per user data folder, requests handed over by later starts,
// the orderly exit on signals and at the session's end, and the clean-up of
// what killed saves left behind.
#include "fmMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include "platform/StaleTemporaries.h"
#include "capture/ClipboardWatcher.h"
#include "settings/AppSettings.h"

namespace varnel {

namespace {
// An exit from outside ends the program this long after its save at most.
constexpr int kExitGraceMs = 2500;
} // namespace

void fmMain::OnInstanceMessage(const InstanceMessage& message)
{
    if (m_shutDown)
        return;
    // Out of standby and in front, as a click on the icon would do.
    SetFormShown(true);
    if (message.kind == InstanceMessage::Kind::Open)
        OpenRequestedFile(message.file);
}

void fmMain::OpenRequestedFile(const QString& path)
{
    if (path.isEmpty())
        return;
    if (!QFileInfo(path).isFile()) {
        m_platform.dialogs->message(QStringLiteral("ﾌｧｲﾙ ") + path + QStringLiteral(" が見つかりません"));
        return;
    }
    // As the open item does, without a macro step: nobody chose a menu item.
    if (!MaySetPictureAside())
        return;
    OpenPictureFile(path);
    if (CurrentFilePath != path)
        m_platform.dialogs->message(QStringLiteral("ﾌｧｲﾙ ") + path + QStringLiteral(" を開けません"));
}

void fmMain::RequestOrderlyExit()
{
    // Nobody is there to answer: a message from here on must not wait.
    m_platform.dialogs->beginExit();
    if (m_shutDown || m_saving) // an exit is already on its way
        return;
    // A paste still waiting for another program does not hold the exit up.
    m_paste->cancel();
    // A capture or command that is running (it may be the one that let this
    // request in, by processing events) finishes first: its file is then
    // complete and the settings are saved after it.
    const bool busy = watcher()->isBusy() || QApplication::overrideCursor() != nullptr;
    if (busy) {
        if (!m_exitPending) {
            m_exitPending = true;
            QTimer::singleShot(50, this, [this] {
                m_exitPending = false;
                RequestOrderlyExit();
            });
        }
        return;
    }
    Exit();
    // Whatever still runs a loop of its own (a menu, a window of another
    // room) ends with the program, a few seconds after the save.
    QTimer::singleShot(kExitGraceMs, this, [] { QCoreApplication::exit(0); });
}

QStringList fmMain::RemoveStaleTemporaries()
{
    const QString settings = AppSettings::fileName();
    return StaleTemporaries::removeAll({WorkFolder, StorageFolder}, {StorageExtension}, m_env.userDataFolder,
                                       {settings, settings + QStringLiteral(".bak")});
}

} // namespace varnel
