#pragma once
// What a benchmark needs to make the main window in process: the fake
// platform and a user data folder of its own in a temporary folder.
#include <QDir>
#include <QTemporaryDir>

#include <memory>

#include "app/AppEnvironment.h"
#include "platform/fake/FakePlatform.h"
#include "settings/yIni.h"

struct FakeDesk {
    QTemporaryDir dir;
    varnel::FakePlatform fake;
    std::unique_ptr<varnel::yIni> ini; // handed to the main window
    varnel::AppEnvironment env;

    FakeDesk()
    {
        QDir().mkpath(dir.path() + "/prog");
        fake.shell->folders[26] = dir.path() + "/data";
        ini = std::make_unique<varnel::yIni>(fake.shell, fake.family);
        ini->W_UserData(dir.path() + "/prog/varnel", "varnel");
        ini->F_ChkSb(ini->userDataFolder(), {"Temp"});
        env = {ini->exeName(), ini->programFolder(), ini->apDataFolder(), ini->userDataFolder()};
    }
};
