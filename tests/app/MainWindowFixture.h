#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

#include "TestFiles.h"
#include "app/fmMain.h"
#include "macros/MenuGroup.h"
#include "platform/fake/FakePlatform.h"

// A main window over the fake platform with its user data in a temporary folder.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // As start-up does it: the settings object resolves the folders.
        QDir().mkpath(dir.path() + "/prog");
        fake.shell->folders[26] = dir.path() + "/data";
        auto ini = std::make_unique<varnel::yIni>(fake.shell, fake.family);
        ini->W_UserData(dir.path() + "/prog/varnel", "varnel");
        ini->F_ChkSb(ini->userDataFolder(), {"Temp"});
        env.exeName = ini->exeName();
        env.programFolder = ini->programFolder();
        env.apDataFolder = ini->apDataFolder();
        env.userDataFolder = ini->userDataFolder();
        w = std::make_unique<varnel::fmMain>(fake.platform, env, std::move(ini));
        w->show();
    }
    void TearDown() override
    {
        w.reset();
    }

    static QImage picture(QRgb c, int width = 40, int height = 30)
    {
        QImage img(width, height, QImage::Format_RGB32);
        img.fill(c);
        return img;
    }
    QStringList workFiles() const
    {
        return QDir(w->WorkFolder).entryList(QDir::Files, QDir::Name);
    }
    varnel::MenuGroup& g(const char* name) { return *w->group(QString::fromLatin1(name)); }

    testfiles::TempFolder dir;
    varnel::FakePlatform fake;
    varnel::AppEnvironment env;
    std::unique_ptr<varnel::fmMain> w;
};
