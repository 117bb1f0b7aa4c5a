#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "TestFiles.h"
#include "platform/x11/DesktopShell.h"

using namespace varnel;

namespace {
// A program that writes how many arguments it got and the first one.
QString recorder(const testfiles::TempFolder& dir)
{
    const QString path = dir.file("record args");
    dir.write("record args", "#!/bin/sh\n"
                             "out=\"$(dirname \"$0\")/received\"\n"
                             "{ printf '%s\\n' \"$#\"; printf '%s' \"$1\"; } > \"$out.tmp\"\n"
                             "mv \"$out.tmp\" \"$out\"\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}
} // namespace

TEST(DesktopShell, StartedProgramGetsEachArgumentWholeWithoutAShell)
{
    testfiles::TempFolder dir;
    const QString program = recorder(dir);
    const QString arg = "/tmp/a folder/it's \"quoted\" $HOME; *.bmp";
    DesktopShell shell;
    ASSERT_TRUE(shell.startProgram(program, {arg}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dir.exists("received"); }, 5000));
    EXPECT_EQ(QString::fromUtf8(dir.read("received")), "1\n" + arg);
}

TEST(DesktopShell, ProgramThatCannotStartReportsFailure)
{
    testfiles::TempFolder dir;
    dir.write("not-executable", "#!/bin/sh\n");
    DesktopShell shell;
    EXPECT_FALSE(shell.startProgram(dir.file("missing"), {"x"}));
    EXPECT_FALSE(shell.startProgram(dir.file("not-executable"), {"x"}));
}

TEST(DesktopShell, WorkAreaIsTheScreensShareOfTheCurrentDesktop)
{
    const QRect left(0, 0, 1920, 1080), right(1920, 0, 1280, 1024);
    // Two desktops; a panel of 40 at the top of the whole root on desktop 1.
    const std::vector<long> areas{0, 0, 3200, 1080, 0, 40, 3200, 1040};
    EXPECT_EQ(DesktopShell::workAreaOnScreen(areas, 0, left), left);
    EXPECT_EQ(DesktopShell::workAreaOnScreen(areas, 1, left), QRect(0, 40, 1920, 1040));
    EXPECT_EQ(DesktopShell::workAreaOnScreen(areas, 1, right), QRect(1920, 40, 1280, 984));
    // A desktop number the list does not cover falls back to the first.
    EXPECT_EQ(DesktopShell::workAreaOnScreen(areas, 7, left), left);
    EXPECT_TRUE(DesktopShell::workAreaOnScreen({}, 0, left).isEmpty());
    EXPECT_TRUE(DesktopShell::workAreaOnScreen({0, 0, 10}, 0, left).isEmpty());
}

TEST(DesktopShell, CalculatorIsTheFirstOfTheUsualOnesOnThePath)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QByteArray oldPath = qgetenv("PATH");
    auto install = [&](const char* name) {
        QFile f(bin.path() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // Leaves a mark, so that the test sees it ran as a process of its own.
        f.write(QByteArray("#!/bin/sh\necho \"$0 $#\" > ") + bin.path().toUtf8() + "/ran\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    qputenv("PATH", bin.path().toUtf8());
    EXPECT_EQ(DesktopShell::calculatorProgram(), "");
    EXPECT_FALSE(DesktopShell().startCalculator());
    install("xcalc");
    install("galculator");
    EXPECT_EQ(DesktopShell::calculatorProgram(), bin.path() + "/galculator");
    install("qalculate-gtk");
    EXPECT_EQ(DesktopShell::calculatorProgram(), bin.path() + "/qalculate-gtk");
    EXPECT_TRUE(DesktopShell().startCalculator());
    qputenv("PATH", oldPath);
    QFile mark(bin.path() + "/ran");
    for (int i = 0; i < 250 && mark.size() == 0; ++i)
        QThread::msleep(20);
    ASSERT_TRUE(mark.open(QIODevice::ReadOnly));
    EXPECT_EQ(mark.readAll().trimmed(), (bin.path() + "/qalculate-gtk 0").toUtf8());
}
