#include <gtest/gtest.h>

#include <QFile>

#include "TestFiles.h"
#include "app/StartUp.h"
#include "app/fmMain.h"
#include "app/spPic.h"
#include "macros/MenuGroup.h"
#include "platform/fake/FakePlatform.h"

using namespace varnel;

TEST(spPic, BothMenusShareOneResultWord)
{
    spPic pic;
    EXPECT_EQ(pic.windowTitle(), "Form1");
    EXPECT_EQ(pic.result(), "");
    pic.pictureMenu()->click(0);
    EXPECT_EQ(pic.result(), "更新継続");
    pic.pictureMenu()->click(2);
    EXPECT_EQ(pic.result(), "更新閉じる");
    pic.pictureMenu()->click(3);
    EXPECT_EQ(pic.result(), "閉じる");
    pic.sizeMenu()->click(2);
    EXPECT_EQ(pic.result(), "100%");
    pic.sizeMenu()->click(0);
    EXPECT_EQ(pic.result(), "ｽｹｰﾙ");
    pic.sizeMenu()->click(8);
    EXPECT_EQ(pic.result(), "1000%");
    pic.pictureMenu()->click(1);
    EXPECT_EQ(pic.result(), "");
}

TEST(spPic, CreatedHiddenAtStartAndOwnsTheStartUpMessages)
{
    testfiles::TempFolder dir;
    FakePlatform fake;
    fake.shell->folders[26] = dir.path() + "/data";
    QDir().mkpath(dir.path() + "/prog");
    // A chosen user data folder that is missing gives a message at start.
    dir.write("prog/UserData.ini", QFile::encodeName(dir.path() + "/gone"));
    auto w = StartUp(fake.platform, dir.path() + "/prog/varnel");
    auto* pic = w->findChild<spPic*>();
    ASSERT_NE(pic, nullptr);
    EXPECT_FALSE(pic->isVisible());
    EXPECT_TRUE(pic->isWindow());
    ASSERT_EQ(fake.dialogs->messages.size(), 1);
    EXPECT_EQ(fake.dialogs->messageOwners.value(0), pic);
    // Later messages belong to the main window.
    EXPECT_EQ(fake.dialogs->owner, w.get());
}
