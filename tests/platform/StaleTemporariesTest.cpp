#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <sys/time.h>

#include "TestFiles.h"
#include "platform/StaleTemporaries.h"

using varnel::StaleTemporaries;

namespace {
void age(const QString& path, int seconds)
{
    struct timeval tv[2];
    ::gettimeofday(&tv[0], nullptr);
    tv[0].tv_sec -= seconds;
    tv[1] = tv[0];
    ::utimes(QFile::encodeName(path).constData(), tv);
}
} // namespace

TEST(StaleTemporaries, OnlyTheProgramsOwnLeftoversAreRemoved)
{
    testfiles::TempFolder dir;
    const QStringList theirs = {".001.bmp.varnel-aB3xYz.tmp", ".shot 12.PNG.varnel-000000.tmp",
                                ".User.xml.varnel-Qw12er.tmp", ".User.xml.bak.varnel-zzzzzz.tmp"};
    // The user's own files, named as other programs name their copies.
    const QStringList others = {".001.bmp.varnel-aB3xY.tmp", ".001.bmp.varnel-aB3x-z.tmp", "001.bmp.varnel-aB3xYz.tmp",
                                ".notes.txt.varnel-aB3xYz.tmp", ".bmp.varnel-aB3xYz.tmp", ".002.bmp", "002.bmp",
                                ".User.xmlx.varnel-Qw12er.tmp", ".keep.webp.varnel-abcdef.tmp",
                                ".photo.png.backup", ".User.xml.backup", ".2023.png.vacati", ".001.bmp.aB3xYz",
                                ".001.bmp.varnel-aB3xYz"};
    for (const QString& n : theirs + others) {
        dir.write(n, "x");
        age(dir.file(n), 3600);
    }
    dir.write(".fresh.bmp.varnel-abcdef.tmp", "being written");

    QStringList removed = StaleTemporaries::remove(dir.path(), StaleTemporaries::pictureExtensions(),
                                                   {"User.xml", "User.xml.bak"});
    removed.sort();
    QStringList expected = theirs;
    expected.sort();
    EXPECT_EQ(removed, expected);
    for (const QString& n : others)
        EXPECT_TRUE(dir.exists(n)) << n.toStdString();
    // A temporary written a moment ago may belong to a save that runs now.
    EXPECT_TRUE(dir.exists(".fresh.bmp.varnel-abcdef.tmp"));
    // A storage extension of the user's own is a picture extension too.
    EXPECT_EQ(StaleTemporaries::remove(dir.path(), {"webp"}, {}), QStringList{".keep.webp.varnel-abcdef.tmp"});
    EXPECT_TRUE(StaleTemporaries::remove(dir.file("missing"), {"bmp"}, {}).isEmpty());
}
