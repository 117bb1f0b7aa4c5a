#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "capture/ClipboardWatcher.h"
#include "editing/PictureSurface.h"

using namespace varnel;

TEST_F(MainWindowTest, StartsShownOutsideTheChainWithoutIcon)
{
    EXPECT_TRUE(w->FormShown);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->watcher()->isHooked());
    EXPECT_EQ(fake.tray->addCount, 0);
    EXPECT_EQ(w->WorkFolder, env.userDataFolder + "Temp");
    EXPECT_EQ(w->windowTitle(), "Varnel");
}

TEST_F(MainWindowTest, CtrlQItemTogglesStandbyAndTheFileMenu)
{
    MenuGroup& file = g("mnFile");
    EXPECT_EQ(file.caption(9), "ｷｬﾌﾞﾁｬｰ待機");
    EXPECT_EQ(file.item(9).shortcut, QKeySequence("Ctrl+Q"));
    file.click(9);
    EXPECT_FALSE(w->FormShown);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->watcher()->isHooked());
    EXPECT_TRUE(w->standbyBox()->isChecked());
    EXPECT_EQ(fake.tray->addCount, 1);
    EXPECT_EQ(fake.tray->tip, "Varnel - 待機中 0枚");
    for (int i = 0; i <= 8; ++i)
        EXPECT_FALSE(file.isVisible(i)) << i;
    EXPECT_EQ(file.caption(9), "ﾌｫｰﾑを表示");
    EXPECT_TRUE(file.isVisible(10));
    EXPECT_EQ(file.caption(11), "終了(&X)");

    file.click(9); // the same item brings the window back
    EXPECT_TRUE(w->FormShown);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->watcher()->isHooked());
    EXPECT_FALSE(w->standbyBox()->isChecked());
    EXPECT_EQ(file.caption(9), "ｷｬﾌﾞﾁｬｰ待機");
    for (int i = 0; i <= 8; ++i)
        EXPECT_TRUE(file.isVisible(i)) << i;
    // The icon stays after standby, and a second standby adds no second one.
    EXPECT_TRUE(fake.tray->isAdded());
    file.click(9);
    EXPECT_EQ(fake.tray->addCount, 1);
}

TEST_F(MainWindowTest, StandbyMenuShowsOnlyShowItemSeparatorAndExit)
{
    g("mnFile").click(9);
    QMenu* menu = w->fileMenu();
    ASSERT_NE(menu, nullptr);
    QStringList visible;
    for (QAction* a : menu->actions())
        if (a->isVisible())
            visible << (a->isSeparator() ? QString("-") : a->text());
    EXPECT_EQ(visible, (QStringList{"ﾌｫｰﾑを表示", "-", "終了(&X)"}));
}

TEST_F(MainWindowTest, CheckingStandbyBoxEntersStandby)
{
    w->standbyBox()->click();
    EXPECT_FALSE(w->FormShown);
    EXPECT_TRUE(w->watcher()->isHooked());
}

TEST_F(MainWindowTest, MinimisingEntersStandby)
{
    w->showMinimized();
    QApplication::processEvents();
    EXPECT_FALSE(w->FormShown);
    EXPECT_TRUE(w->watcher()->isHooked());
    EXPECT_EQ(fake.tray->addCount, 1);
}

TEST_F(MainWindowTest, MinimisingWithNoStandbyOptionOnlyMinimises)
{
    g("mnCptW").click(1);
    EXPECT_FALSE(w->StandbyOnMinimise);
    w->showMinimized();
    QApplication::processEvents();
    EXPECT_TRUE(w->FormShown);
    EXPECT_FALSE(w->watcher()->isHooked());
}

TEST_F(MainWindowTest, IconLeftClickBringsWindowBackInNormalState)
{
    w->showMinimized();
    QApplication::processEvents();
    ASSERT_FALSE(w->FormShown);
    fake.tray->clickLeft();
    EXPECT_TRUE(w->FormShown);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isMinimized());
    EXPECT_FALSE(w->standbyBox()->isChecked());
    EXPECT_FALSE(w->watcher()->isHooked());
    EXPECT_EQ(g("mnFile").caption(9), "ｷｬﾌﾞﾁｬｰ待機");
}

TEST_F(MainWindowTest, WithoutNotificationAreaStandbyStaysReachableMinimised)
{
    fake.tray->available = false;
    g("mnFile").click(9);
    EXPECT_FALSE(w->FormShown);
    EXPECT_TRUE(w->watcher()->isHooked());
    EXPECT_EQ(fake.tray->addCount, 0);
    EXPECT_TRUE(w->isMinimized());
    EXPECT_FALSE(w->isHidden());
}

TEST_F(MainWindowTest, CopyAndStandByButtonDoesNotCaptureItsOwnCopy)
{
    w->surface()->picture().setImage(picture(qRgb(9, 9, 9)));
    w->SetPictureState(1);
    w->AfterCaptureAction = 2;
    w->toolButton(9)->click();
    EXPECT_FALSE(w->FormShown);
    EXPECT_EQ(fake.clipboard->putCount, 1);
    EXPECT_EQ(fake.clipboard->picture().pixel(0, 0), qRgb(9, 9, 9));
    EXPECT_TRUE(workFiles().isEmpty());
}

TEST_F(MainWindowTest, ExitLeavesChainAndRemovesIcon)
{
    g("mnFile").click(9);
    ASSERT_TRUE(fake.tray->isAdded());
    g("mnFile").click(11);
    EXPECT_FALSE(fake.tray->isAdded());
    EXPECT_EQ(fake.tray->removeCount, 1);
    EXPECT_FALSE(w->watcher()->isHooked());
    EXPECT_FALSE(w->isVisible());
}

TEST_F(MainWindowTest, PictureStateEnablesItemsAsRequired)
{
    MenuGroup& file = g("mnFile");
    MenuGroup& edit = g("mnEdt");
    w->SetPictureState(0);
    EXPECT_FALSE(file.isEnabled(1));
    EXPECT_FALSE(file.isEnabled(2));
    EXPECT_FALSE(file.isEnabled(3));
    EXPECT_FALSE(g("mnWkf").isEnabled(0));
    for (int i : {0, 5, 6, 7, 8, 9, 11, 12})
        EXPECT_FALSE(edit.isEnabled(i)) << i;
    EXPECT_TRUE(edit.isEnabled(2));
    EXPECT_TRUE(edit.isEnabled(13));
    w->SetPictureState(1);
    EXPECT_FALSE(file.isEnabled(1));
    EXPECT_TRUE(file.isEnabled(2));
    EXPECT_TRUE(g("mnWkf").isEnabled(0));
    for (int i : {0, 5, 6, 7, 8, 9, 11, 12})
        EXPECT_TRUE(edit.isEnabled(i)) << i;
    w->SetPictureState(2);
    EXPECT_TRUE(file.isEnabled(1));
}

TEST_F(MainWindowTest, MenuBarHasEveryMenuInOrder)
{
    QStringList titles;
    for (QAction* a : w->menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"ﾌｧｲﾙ(&F)", "画像編集(&E)", "表示(&D)", "ﾏｸﾛ(&M)", "設定(&U)", "ﾍﾙﾌﾟ(&H)"}));
    EXPECT_FALSE(g("mnJb").exists(2));
    EXPECT_EQ(g("mnEdt").caption(11), "色数");
    EXPECT_FALSE(g("mnColr").exists(0));
    EXPECT_EQ(g("mnColr").caption(7), "32bit");
    EXPECT_EQ(g("mnRotate").item(5).shortcut, QKeySequence("Ctrl+L"));
    // The caption with a literal ampersand keeps it on screen.
    QMenu* after = w->menuOf("mnCpt");
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->actions().at(3)->text(), "連番をつけて保存 && 画面を表示");
}

TEST_F(MainWindowTest, HelpAndFolderItemsGoThroughTheDesktop)
{
    QAction* help = nullptr;
    for (QAction* a : w->menuBar()->actions())
        if (a->text() == "ﾍﾙﾌﾟ(&H)")
            help = a;
    ASSERT_NE(help, nullptr);
    // The guide ships beside the program.
    QDir().mkpath(dir.path() + "/prog/help");
    dir.write("prog/help/varnel.htm", "<html></html>");
    help->trigger();
    ASSERT_EQ(fake.shell->opened.size(), 1);
    EXPECT_EQ(fake.shell->opened[0], "file://" + dir.path() + "/prog/help/varnel.htm");
    g("mnWkf").click(1);
    EXPECT_EQ(fake.shell->explored, QStringList{w->WorkFolder});
}

TEST_F(MainWindowTest, FolderPickerStartsOnlyInExistingFolderAndCancelClears)
{
    QString path = dir.path();
    fake.dialogs->folderAnswers = {"/chosen"};
    w->BrowseForFolder(path);
    EXPECT_EQ(fake.dialogs->lastBrowseStart, dir.path());
    EXPECT_EQ(fake.dialogs->lastBrowseTitle, "ﾌｫﾙﾀﾞの指定");
    EXPECT_EQ(path, "/chosen");
    path = dir.path() + "/missing";
    w->BrowseForFolder(path); // cancelled: no answer left
    EXPECT_TRUE(fake.dialogs->lastBrowseStart.isEmpty());
    EXPECT_TRUE(path.isEmpty());
    fake.dialogs->openAnswers = {"/x/a.exe"};
    EXPECT_EQ(w->OpenFileDialog("t", "a.exe", "実行ﾌｧｲﾙ(*.exe)|*.exe", "/x"), "/x/a.exe");
    EXPECT_EQ(fake.dialogs->lastOpenFolder, "/x");
    EXPECT_TRUE(w->OpenFileDialog("t", "/y/a.exe", "", "/x").isEmpty());
    EXPECT_TRUE(fake.dialogs->lastOpenFolder.isEmpty()); // a path of its own ignores the folder
}
