#include <QListWidget>
#include <QTest>

#include "MainWindowFixture.h"
#include "editing/PictureSurface.h"

using namespace varnel;

TEST_F(MainWindowTest, FileCopiedIntoWorkFolderAppearsWithinTimerPeriodAndSelectionStays)
{
    g("mnDisp").click(0);
    EXPECT_EQ(g("mnDisp").caption(0), "作業ﾌｫﾙﾀﾞを非表示");
    EXPECT_TRUE(w->fileList()->isVisible());
    QImage(4, 4, QImage::Format_RGB32).save(w->WorkFolder + "/001.bmp");
    w->RefreshFileList();
    w->OpenPictureFile(w->WorkFolder + "/001.bmp");
    w->RefreshFileList();
    ASSERT_EQ(w->fileList()->count(), 1);
    // Another program drops a file; only the folder watch notices it.
    QImage(4, 4, QImage::Format_RGB32).save(w->WorkFolder + "/000.JPG", "JPG");
    QFile(w->WorkFolder + "/notes.txt").open(QIODevice::WriteOnly);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->fileList()->count() == 2; }, 7000));
    ASSERT_NE(w->fileList()->currentItem(), nullptr);
    EXPECT_EQ(w->fileList()->currentItem()->text(), "001.bmp");
}

TEST_F(MainWindowTest, NumberedSavesSelectOnlyTheNewFile)
{
    // The list picks several rows with Ctrl and Shift (to join them); the
    // current file's row must not be added to what was selected before.
    g("mnDisp").click(0);
    fake.clipboard->setSilently(picture(qRgb(9, 9, 9)));
    g("mnEdt").click(3);
    for (int i = 0; i < 3; ++i)
        g("mnWkf").click(0);
    ASSERT_EQ(w->fileList()->count(), 3);
    const QList<QListWidgetItem*> picked = w->fileList()->selectedItems();
    ASSERT_EQ(picked.size(), 1);
    EXPECT_EQ(picked[0]->text(), "003.bmp");
}

TEST_F(MainWindowTest, ClickingAListedFileOpensIt)
{
    QImage img(12, 9, QImage::Format_RGB32);
    img.fill(qRgb(1, 2, 3));
    img.save(w->WorkFolder + "/005.bmp");
    g("mnDisp").click(0);
    w->RefreshFileList();
    ASSERT_EQ(w->fileList()->count(), 1);
    QTest::mouseClick(w->fileList()->viewport(), Qt::LeftButton, {},
                      w->fileList()->visualItemRect(w->fileList()->item(0)).center());
    EXPECT_EQ(w->surface()->picture().width(), 12);
    EXPECT_EQ(w->CurrentFilePath, w->WorkFolder + "/005.bmp");
    EXPECT_EQ(w->PictureState, 1);
}

TEST_F(MainWindowTest, TinyClientLeavesListAndSurfaceWhereTheyAre)
{
    const QRect before = w->surface()->geometry();
    w->resize(w->width(), 10);
    QApplication::processEvents();
    w->LayoutWindow();
    EXPECT_EQ(w->surface()->geometry().top(), before.top());
    EXPECT_EQ(w->surface()->geometry().height(), before.height());
}
