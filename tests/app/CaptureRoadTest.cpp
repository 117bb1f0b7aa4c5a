#include <QFile>
#include <QLineEdit>

#include "MainWindowFixture.h"
#include "capture/ClipboardWatcher.h"
#include "editing/PictureSurface.h"

using namespace varnel;

TEST_F(MainWindowTest, SaveNumberedActionSavesEachCaptureAndStaysInStandby)
{
    g("mnCpt").click(2);
    EXPECT_TRUE(g("mnCpt").isChecked(2));
    EXPECT_FALSE(g("mnCpt").isChecked(1));
    fake.clipboard->setSilently(picture(qRgb(255, 0, 0))); // on the clipboard before standby
    g("mnFile").click(9);
    fake.clipboard->offer(picture(qRgb(0, 0, 255)));
    fake.clipboard->offer(picture(qRgb(0, 255, 0)));
    fake.clipboard->offer(picture(qRgb(255, 255, 0)));
    EXPECT_EQ(workFiles(), (QStringList{"001.bmp", "002.bmp", "003.bmp"}));
    EXPECT_EQ(QImage(w->WorkFolder + "/001.bmp").pixel(2, 2), qRgb(0, 0, 255));
    EXPECT_EQ(QImage(w->WorkFolder + "/003.bmp").pixel(2, 2), qRgb(255, 255, 0));
    EXPECT_FALSE(w->FormShown);
    EXPECT_EQ(w->PictureState, 1);
    EXPECT_EQ(w->CurrentFilePath, w->WorkFolder + "/003.bmp");
    EXPECT_EQ(w->WorkCounter, 4);
}

TEST_F(MainWindowTest, ShowActionTakesPictureAndEndsStandby)
{
    g("mnFile").click(9);
    fake.clipboard->offer(picture(qRgb(1, 2, 3), 50, 20));
    EXPECT_TRUE(w->FormShown);
    EXPECT_FALSE(w->watcher()->isHooked());
    EXPECT_EQ(w->surface()->picture().width(), 50);
    EXPECT_EQ(w->surface()->picture().dpiX(), 96);
    EXPECT_TRUE(w->CurrentFilePath.isEmpty());
    EXPECT_EQ(w->PictureState, 1);
    EXPECT_TRUE(workFiles().isEmpty());
    // Standby ended, so a further change is no capture.
    fake.clipboard->offer(picture(qRgb(7, 7, 7), 10, 10));
    EXPECT_EQ(w->surface()->picture().width(), 50);
}

TEST_F(MainWindowTest, DoNothingActionLeavesEverythingAlone)
{
    g("mnCpt").click(0);
    g("mnFile").click(9);
    fake.clipboard->offer(picture(qRgb(1, 2, 3)));
    EXPECT_FALSE(w->FormShown);
    EXPECT_FALSE(w->surface()->hasPicture());
    EXPECT_TRUE(workFiles().isEmpty());
}

TEST_F(MainWindowTest, SaveAndShowActionSavesThenShows)
{
    g("mnCpt").click(3);
    g("mnFile").click(9);
    fake.clipboard->offer(picture(qRgb(4, 5, 6)));
    EXPECT_EQ(workFiles(), QStringList{"001.bmp"});
    EXPECT_TRUE(w->FormShown);
}

TEST_F(MainWindowTest, NumberingStartsFromFolderAndSkipsNamesTakenDuringStandby)
{
    QImage(4, 4, QImage::Format_RGB32).save(w->WorkFolder + "/005.bmp");
    g("mnCpt").click(2);
    g("mnFile").click(9);
    EXPECT_EQ(w->WorkCounter, 6);
    // Another program drops a file under the next name while we stand by.
    QFile f(w->WorkFolder + "/006.bmp");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not ours");
    f.close();
    fake.clipboard->offer(picture(qRgb(0, 0, 255)));
    fake.clipboard->offer(picture(qRgb(0, 255, 0)));
    EXPECT_EQ(workFiles(), (QStringList{"005.bmp", "006.bmp", "007.bmp", "008.bmp"}));
    QFile back(w->WorkFolder + "/006.bmp");
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    EXPECT_EQ(back.readAll(), "not ours");
}

TEST_F(MainWindowTest, PrefixNumbersOnlyItsOwnFiles)
{
    w->prefixBox()->setText("shot");
    QImage(4, 4, QImage::Format_RGB32).save(w->WorkFolder + "/shot007.bmp");
    QImage(4, 4, QImage::Format_RGB32).save(w->WorkFolder + "/050.bmp");
    g("mnCpt").click(2);
    g("mnFile").click(9);
    fake.clipboard->offer(picture(qRgb(0, 0, 255)));
    EXPECT_TRUE(QFile::exists(w->WorkFolder + "/shot008.bmp"));
}

TEST_F(MainWindowTest, GreyReductionMakesEightBitGreyCaptures)
{
    g("mnCpt").click(2);
    g("mnGen").click(4);
    EXPECT_EQ(w->CaptureColourIndex, 4);
    g("mnFile").click(9);
    fake.clipboard->offer(picture(qRgb(200, 30, 30)));
    ASSERT_EQ(workFiles(), QStringList{"001.bmp"});
    QFile f(w->WorkFolder + "/001.bmp");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray h = f.read(30);
    EXPECT_EQ(quint8(h[28]), 8); // bits per pixel in the header
    const QImage back(w->WorkFolder + "/001.bmp");
    EXPECT_TRUE(back.isGrayscale());
    EXPECT_EQ(w->PictureState, 1);
}

TEST_F(MainWindowTest, PointerIsStampedOnlyWhenChosen)
{
    QImage arrow(3, 3, QImage::Format_ARGB32);
    arrow.fill(qRgba(255, 255, 255, 255));
    fake.pointer->pointer = {arrow, QPoint(10, 10)};
    fake.pointer->screen = QSize(40, 30);
    g("mnFile").click(9);
    fake.clipboard->offer(picture(qRgb(0, 0, 0)));
    EXPECT_EQ(fake.pointer->probeCount, 1);
    EXPECT_EQ(w->surface()->picture().image().pixel(11, 11), qRgb(255, 255, 255));

    g("mnMpn").click(1);
    EXPECT_FALSE(w->bMpnt);
    g("mnFile").click(9);
    fake.clipboard->offer(picture(qRgb(0, 0, 0)));
    EXPECT_EQ(fake.pointer->probeCount, 1);
    EXPECT_EQ(w->surface()->picture().image().pixel(11, 11), qRgb(0, 0, 0));
}

TEST_F(MainWindowTest, WorkFolderNumberedSaveUsesFreshNumber)
{
    w->surface()->picture().setImage(picture(qRgb(3, 3, 3)));
    w->SetPictureState(2);
    QImage(4, 4, QImage::Format_RGB32).save(w->WorkFolder + "/010.bmp");
    g("mnWkf").click(0);
    EXPECT_TRUE(QFile::exists(w->WorkFolder + "/011.bmp"));
    EXPECT_EQ(w->PictureState, 1);
    EXPECT_EQ(w->CurrentFilePath, w->WorkFolder + "/011.bmp");
}

TEST_F(MainWindowTest, StorageSaveNumbersAndReports)
{
    testfiles::TempFolder store;
    w->StorageFolder = store.path();
    w->StoragePrefix = "img";
    w->StorageExtension = "png";
    w->surface()->picture().setImage(picture(qRgb(3, 4, 5)));
    w->capture().SaveNumberedToStorage();
    EXPECT_TRUE(store.exists("img001.png"));
    ASSERT_EQ(fake.dialogs->messages.size(), 1);
    EXPECT_EQ(fake.dialogs->messages[0], store.file("img001.png") + " に保存しました");
    EXPECT_EQ(w->surface()->picture().depthCode(), 24);
}

TEST_F(MainWindowTest, StorageFolderThatCannotBeOpenedFailsWithMessageAndWritesNothing)
{
    w->StorageFolder = dir.path() + "/gone";
    w->StorageExtension = "png";
    w->surface()->picture().setImage(picture(qRgb(3, 4, 5)));
    w->capture().SaveNumberedToStorage();
    ASSERT_EQ(fake.dialogs->messages.size(), 1);
    EXPECT_TRUE(fake.dialogs->messages[0].endsWith(" に保存できませんでした"));
    EXPECT_FALSE(QDir(dir.path() + "/gone").exists());
    EXPECT_TRUE(workFiles().isEmpty());
}

TEST_F(MainWindowTest, EmptyStorageExtensionBecomesJpg)
{
    testfiles::TempFolder store;
    w->StorageFolder = store.path();
    w->StorageExtension = "";
    EXPECT_EQ(w->capture().NextStorageNumber(), 1);
    EXPECT_EQ(w->StorageExtension, "jpg");
}
