#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "TestFiles.h"
#include "editing/FolderCleaner.h"

using namespace varnel;

TEST(FolderCleaner, RemovesOnlyRegularFilesDirectlyInside)
{
    testfiles::TempFolder root;
    QDir(root.path()).mkpath("work/sub");
    QDir(root.path()).mkpath("outside/dir");
    root.write("work/001.bmp", "a");
    root.write("work/.hidden", "b");
    root.write("work/notes.txt", "c");
    root.write("work/sub/keep.bmp", "d");
    root.write("outside/precious.bmp", "e");
    root.write("outside/dir/inner.bmp", "f");
    ASSERT_TRUE(QFile::link(root.file("outside/precious.bmp"), root.file("work/link.bmp")));
    ASSERT_TRUE(QFile::link(root.file("outside/dir"), root.file("work/linkdir")));

    const auto r = FolderCleaner::removeFiles(root.file("work"));
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(r.removed, 3);
    EXPECT_FALSE(root.exists("work/001.bmp"));
    EXPECT_FALSE(root.exists("work/.hidden"));
    EXPECT_FALSE(root.exists("work/notes.txt"));
    EXPECT_TRUE(root.exists("work/sub/keep.bmp"));
    EXPECT_TRUE(QFileInfo(root.file("work/sub")).isDir());
    EXPECT_TRUE(QFileInfo(root.file("work/link.bmp")).isSymLink());
    EXPECT_EQ(root.read("outside/precious.bmp"), "e");
    EXPECT_EQ(root.read("outside/dir/inner.bmp"), "f");
}

TEST(FolderCleaner, FolderThatIsALinkIsNotEntered)
{
    testfiles::TempFolder root;
    QDir(root.path()).mkpath("elsewhere");
    root.write("elsewhere/precious.bmp", "x");
    ASSERT_TRUE(QFile::link(root.file("elsewhere"), root.file("work")));
    const auto r = FolderCleaner::removeFiles(root.file("work"));
    EXPECT_FALSE(r.opened);
    EXPECT_EQ(root.read("elsewhere/precious.bmp"), "x");
    EXPECT_FALSE(FolderCleaner::removeFiles(root.file("missing")).opened);
}
