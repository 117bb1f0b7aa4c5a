#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <sys/time.h>

#include "TestFiles.h"
#include "app/StaleTemporaries.h"

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
    const QStringList theirs = {".001.bmp.aB3xYz", ".shot 12.PNG.000000", ".User.xml.Qw12er", ".User.xml.bak.zzzzzz"};
    const QStringList others = {".001.bmp.aB3xY",  ".001.bmp.aB3x-z",   "001.bmp.aB3xYz", ".notes.txt.aB3xYz",
                                ".bmp.aB3xYz",      ".002.bmp",          "002.bmp",         ".User.xmlx.Qw12er",
                                ".keep.webp.abcdef"};
    for (const QString& n : theirs + others) {
        dir.write(n, "x");
        age(dir.file(n), 3600);
    }
    dir.write(".fresh.bmp.abcdef", "being written");

    QStringList removed = StaleTemporaries::remove(dir.path(), StaleTemporaries::pictureExtensions(),
                                                   {"User.xml", "User.xml.bak"});
    removed.sort();
    QStringList expected = theirs;
    expected.sort();
    EXPECT_EQ(removed, expected);
    for (const QString& n : others)
        EXPECT_TRUE(dir.exists(n)) << n.toStdString();
    // A temporary written a moment ago may belong to a save that runs now.
    EXPECT_TRUE(dir.exists(".fresh.bmp.abcdef"));
    // A storage extension of the user's own is a picture extension too.
    EXPECT_EQ(StaleTemporaries::remove(dir.path(), {"webp"}, {}), QStringList{".keep.webp.abcdef"});
    EXPECT_TRUE(StaleTemporaries::remove(dir.file("missing"), {"bmp"}, {}).isEmpty());
}
