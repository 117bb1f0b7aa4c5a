#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include "capture/NumberedSaver.h"
#include "capture/Numbering.h"

#include <limits>

#include <sys/stat.h>
#include "TestFiles.h"

using namespace varnel;

namespace {
Picture solid(QRgb c, int w = 8, int h = 6)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return Picture(img);
}
} // namespace

TEST(NumberedSaver, SavesUnderStartNumber)
{
    testfiles::TempFolder dir;
    auto r = NumberedSaver::save(solid(qRgb(10, 20, 30)), dir.path(), "p", 1, "bmp", ImageFormat::Bmp);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.number, 1);
    EXPECT_TRUE(dir.exists("p001.bmp"));
    QImage back(dir.file("p001.bmp"));
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.pixel(3, 3), qRgb(10, 20, 30));
}

TEST(NumberedSaver, NeverOverwritesATakenNameAndMovesOn)
{
    testfiles::TempFolder dir;
    dir.write("001.bmp", "the user's own file");
    dir.write("002.bmp", "another one");
    auto r = NumberedSaver::save(solid(qRgb(1, 2, 3)), dir.path(), "", 1, "bmp", ImageFormat::Bmp);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.number, 3);
    EXPECT_EQ(dir.read("001.bmp"), "the user's own file");
    EXPECT_EQ(dir.read("002.bmp"), "another one");
    EXPECT_TRUE(dir.exists("003.bmp"));
}

TEST(NumberedSaver, ExclusiveSaveReportsTakenName)
{
    testfiles::TempFolder dir;
    dir.write("x.bmp", "keep");
    bool taken = false;
    EXPECT_FALSE(solid(qRgb(0, 0, 0)).saveNew(dir.file("x.bmp"), ImageFormat::Bmp, 80, &taken));
    EXPECT_TRUE(taken);
    EXPECT_EQ(dir.read("x.bmp"), "keep");
}

TEST(NumberedSaver, LeavesNoTemporaryFilesBehind)
{
    testfiles::TempFolder dir;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(NumberedSaver::save(solid(qRgb(i, i, i)), dir.path(), "", 1, "bmp", ImageFormat::Bmp).ok);
    const QStringList all = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(all, (QStringList{"001.bmp", "002.bmp", "003.bmp"}));
}

TEST(NumberedSaver, MissingFolderOrEmptyPictureFailsWithoutWriting)
{
    testfiles::TempFolder dir;
    EXPECT_FALSE(NumberedSaver::save(solid(qRgb(0, 0, 0)), dir.file("nope"), "", 1, "bmp",
                                     ImageFormat::Bmp).ok);
    EXPECT_FALSE(QFile::exists(dir.file("nope")));
    EXPECT_FALSE(NumberedSaver::save(Picture(), dir.path(), "", 1, "bmp", ImageFormat::Bmp).ok);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(NumberedSaver, NewFilesGetTheUsualPermissions)
{
    testfiles::TempFolder dir;
    ASSERT_TRUE(NumberedSaver::save(solid(qRgb(5, 5, 5)), dir.path(), "", 1, "bmp", ImageFormat::Bmp).ok);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(dir.file("001.bmp")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

TEST(NumberedSaver, StartBeyondTheLastNumberDoesNotOverflow)
{
    testfiles::TempFolder dir;
    auto r = NumberedSaver::save(solid(qRgb(5, 5, 5)), dir.path(), "", std::numeric_limits<qint64>::max(),
                                 "bmp", ImageFormat::Bmp);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.number, Numbering::kMaxNumber);
}
