#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QListWidget>

#include "TestFiles.h"
#include "capture/WorkFolderList.h"

using namespace varnel;

TEST(WorkFolderList, ListsPictureFilesCaseBlindInListOrder)
{
    testfiles::TempFolder dir;
    for (const char* n : {"b.BMP", "a.jpg", "C.jpeg", "d.gif", "e.png", "notes.txt", ".hidden.bmp",
                          ".001.bmp.varnel-Ab12Cd.tmp"})
        dir.write(n, "x");
    QDir().mkpath(dir.file("sub.bmp")); // a folder is no file
    EXPECT_EQ(WorkFolderList::list(dir.path()), (QStringList{"a.jpg", "b.BMP", "C.jpeg", "d.gif"}));
    EXPECT_TRUE(WorkFolderList::list(dir.file("missing")).isEmpty());
}

TEST(WorkFolderList, StampChangesWhenANameComesOrGoes)
{
    testfiles::TempFolder dir;
    const auto a = WorkFolderList::stamp(dir.path());
    ASSERT_TRUE(a.isValid());
    EXPECT_EQ(WorkFolderList::stamp(dir.path()), a);
    dir.write("x.bmp", "1");
    const auto b = WorkFolderList::stamp(dir.path());
    EXPECT_NE(b, a);
    QFile::remove(dir.file("x.bmp"));
    EXPECT_NE(WorkFolderList::stamp(dir.path()), b);
    EXPECT_FALSE(WorkFolderList::stamp(dir.file("missing")).isValid());
}

TEST(WorkFolderList, UpdateTouchesOnlyChangedRowsAndKeepsTheCurrentOne)
{
    QListWidget list;
    QStringList shown;
    WorkFolderList::update(&list, shown, {"a.bmp", "c.bmp", "e.bmp"});
    list.setCurrentRow(1);
    QListWidgetItem* current = list.currentItem();
    WorkFolderList::update(&list, shown, {"A0.bmp", "b.bmp", "c.bmp", "f.bmp"});
    QStringList rows;
    for (int i = 0; i < list.count(); ++i)
        rows << list.item(i)->text();
    EXPECT_EQ(rows, (QStringList{"A0.bmp", "b.bmp", "c.bmp", "f.bmp"}));
    EXPECT_EQ(shown, rows);
    EXPECT_EQ(list.currentItem(), current); // the same row object: never refilled
    EXPECT_EQ(list.currentItem()->text(), "c.bmp");
}

TEST(WorkFolderList, FindsNamesCaseBlind)
{
    const QStringList sorted{"a.bmp", "Shot001.bmp", "shot002.BMP", "z.gif"};
    EXPECT_EQ(WorkFolderList::findCaseBlind(sorted, "shot001.BMP"), 1);
    EXPECT_EQ(WorkFolderList::findCaseBlind(sorted, "SHOT002.bmp"), 2);
    EXPECT_EQ(WorkFolderList::findCaseBlind(sorted, "shot003.bmp"), -1);
}
