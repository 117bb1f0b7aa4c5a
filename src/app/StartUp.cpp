#include "StartUp.h"

#include <QApplication>

#include "fmMain.h"
#include "settings/ExeName.h"
#include "settings/yIni.h"

namespace varnel {

std::unique_ptr<fmMain> StartUp(Platform& platform, const QString& executablePath, bool show)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    AppEnvironment env;
    auto ini = std::make_unique<yIni>(platform.shell.get(), platform.family.get());
    ini->setMessageHandler([&platform](const QString& m) { platform.dialogs->message(m); });
    env.exeName = exeNameFromPath(executablePath);
    ini->W_UserData(executablePath, env.exeName);
    ini->F_ChkSb(ini->userDataFolder(), {QStringLiteral("Temp")});
    env.programFolder = ini->programFolder();
    env.apDataFolder = ini->apDataFolder();
    env.userDataFolder = ini->userDataFolder();
    // The same settings object serves the whole run.
    auto w = std::make_unique<fmMain>(platform, env, std::move(ini));
    if (show)
        w->show();
    QApplication::restoreOverrideCursor();
    return w;
}

} // namespace varnel
