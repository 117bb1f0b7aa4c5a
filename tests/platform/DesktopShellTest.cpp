#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

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
