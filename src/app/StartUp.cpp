#include "StartUp.h"

#include <QApplication>
#include <QTimer>
#include <QTextStream>

#include "fmMain.h"
#include "spPic.h"
#include "settings/ExeName.h"
#include "settings/yIni.h"

namespace varnel {

std::unique_ptr<fmMain> StartUp(Platform& platform, const QString& executablePath, const QString& fileToOpen,
                                int* exitCode, bool show)
{
    if (exitCode)
        *exitCode = 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    AppEnvironment env;
    // The hidden picture window exists before the main window and owns the
    // messages of the folder checks below.
    auto pic = std::make_unique<spPic>();
    platform.dialogs->setOwner(pic.get());
    // An exit requested while start-up still asks something (a settings
    // file it cannot read) waits for nobody; the window, once there, takes
    // the request up.
    auto exitEarly = std::make_shared<bool>(false);
    if (platform.exitRequests)
        QObject::connect(platform.exitRequests.get(), &ExitRequests::exitRequested, platform.exitRequests.get(),
                         [&platform, exitEarly] {
                             platform.dialogs->beginExit();
                             *exitEarly = true;
                         });
    auto ini = std::make_unique<yIni>(platform.shell.get(), platform.family.get());
    ini->setMessageHandler([&platform](const QString& m) { platform.dialogs->message(m); });
    env.exeName = exeNameFromPath(executablePath);
    ini->W_UserData(executablePath, env.exeName);

    // Two programs on one folder would both take every capture and
    // overwrite each other's settings: the second hands its request over.
    if (platform.instance && !platform.instance->claim(ini->userDataFolder())) {
        QApplication::restoreOverrideCursor();
        platform.dialogs->setOwner(nullptr);
        InstanceMessage m;
        if (!fileToOpen.isEmpty())
            m = InstanceMessage{InstanceMessage::Kind::Open, fileToOpen};
        if (!platform.instance->send(ini->userDataFolder(), m)) {
            QTextStream(stderr) << "varnel: another Varnel runs on " << ini->userDataFolder()
                                << " but does not answer\n";
            if (exitCode)
                *exitCode = 1;
        }
        return nullptr;
    }

    ini->F_ChkSb(ini->userDataFolder(), {QStringLiteral("Temp")});
    env.programFolder = ini->programFolder();
    env.apDataFolder = ini->apDataFolder();
    env.userDataFolder = ini->userDataFolder();
    // The same settings object serves the whole run.
    auto w = std::make_unique<fmMain>(platform, env, std::move(ini));
    // Only the folder's holder may clean it: nobody else saves there now.
    w->RemoveStaleTemporaries();
    spPic* owner = pic.release();
    owner->setParent(w.get(), owner->windowFlags()); // lives and goes with the main window
    if (show)
        w->show();
    QApplication::restoreOverrideCursor();
    if (!fileToOpen.isEmpty())
        w->OpenRequestedFile(fileToOpen);
    if (*exitEarly)
        QTimer::singleShot(0, w.get(), &fmMain::RequestOrderlyExit);
    return w;
}

} // namespace varnel
