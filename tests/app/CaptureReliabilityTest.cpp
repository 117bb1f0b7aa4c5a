// Captures that cannot be saved are reported at once and kept; changes that
// arrive during a capture are not lost; the list keeps what the user chose.
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "MainWindowFixture.h"
#include "capture/ClipboardWatcher.h"
#include "editing/PictureSurface.h"
#include "editing/engine/AtomicFile.h"
#include "platform/PosixFiles.h"

using namespace varnel;

namespace {
void settle()
{
    // Each catch-up is one more pass of the event loop.
    for (int i = 0; i < 100; ++i)
        QCoreApplication::processEvents();
}
} // namespace

TEST_F(MainWindowTest, UnsavableCaptureIsReportedCountedAndKeptUntilOneSaves)
{
    g("mnCpt").click(2);
    g("mnFile").click(9);
    ASSERT_TRUE(fake.tray->isAdded());
    const QString good = w->WorkFolder;
    // A work folder that cannot exist: its parent is a file.
    QFile blocker(dir.path() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    w->WorkFolder = dir.path() + "/blocker/Temp";

    fake.clipboard->offer(picture(qRgb(10, 20, 30)));
    ASSERT_EQ(fake.tray->messages.size(), 1);
    EXPECT_TRUE(fake.tray->messages[0].contains(dir.path() + "/blocker/Temp"));
    EXPECT_TRUE(fake.tray->messages[0].contains("フォルダが見つかりません"));
    EXPECT_TRUE(fake.tray->messages[0].contains("保存できませんでした"));
    EXPECT_EQ(fake.tray->tip, "Varnel - 保存できなかったｷｬﾌﾟﾁｬｰ: 1枚");
    EXPECT_TRUE(fake.dialogs->messages.isEmpty()); // no box over other programs in standby

    fake.clipboard->offer(picture(qRgb(40, 50, 60)));
    EXPECT_EQ(fake.tray->tip, "Varnel - 保存できなかったｷｬﾌﾟﾁｬｰ: 2枚");
    EXPECT_EQ(w->capture().UnsavedCaptures, 2);
    // The last unsaved picture is the one the window shows, as unsaved.
    EXPECT_EQ(w->surface()->picture().image().pixel(1, 1), qRgb(40, 50, 60));
    EXPECT_EQ(w->PictureState, 2);
    EXPECT_TRUE(w->CurrentFilePath.isEmpty());
    EXPECT_TRUE(g("mnFile").isEnabled(2)); // "名前を付けて保存"
    EXPECT_EQ(w->WorkCounter, 1);

    // The folder is back: the next capture saves and the count goes.
    w->WorkFolder = good;
    fake.clipboard->offer(picture(qRgb(70, 80, 90)));
    EXPECT_EQ(workFiles(), QStringList{"001.bmp"});
    EXPECT_EQ(fake.tray->tip, "Varnel - 待機中 1枚 (001.bmp)");
    EXPECT_EQ(w->capture().UnsavedCaptures, 0);
    EXPECT_EQ(w->PictureState, 1);
}

TEST_F(MainWindowTest, StandbyTipCountsItsCapturesAndAFailedSyncIsToldLikeAFailedSave)
{
    g("mnCpt").click(2);
    g("mnFile").click(9);
    fake.clipboard->offer(picture(qRgb(1, 2, 3)));
    fake.clipboard->offer(picture(qRgb(4, 5, 6)));
    EXPECT_EQ(fake.tray->tip, "Varnel - 待機中 2枚 (002.bmp)");
    EXPECT_TRUE(fake.tray->messages.isEmpty()) << "no balloon per capture";
    // The disk reports the loss only when the bytes are forced to it.
    AtomicFile::waitForBackgroundSync();
    posix::failNextSync(EIO);
    fake.clipboard->offer(picture(qRgb(7, 8, 9)));
    AtomicFile::waitForBackgroundSync();
    settle();
    ASSERT_EQ(fake.tray->messages.size(), 1);
    EXPECT_TRUE(fake.tray->messages[0].contains("保存できませんでした"));
    EXPECT_EQ(fake.tray->tip, "Varnel - 保存できなかったｷｬﾌﾟﾁｬｰ: 1枚");
    EXPECT_EQ(w->PictureState, 2);
    EXPECT_TRUE(w->CurrentFilePath.isEmpty());
    // A new standby counts afresh.
    g("mnFile").click(9);
    w->capture().UnsavedCaptures = 0;
    g("mnFile").click(9);
    EXPECT_EQ(fake.tray->tip, "Varnel - 待機中 0枚");
}

TEST_F(MainWindowTest, FailedNumberedSaveWithTheWindowShownGivesAMessageBox)
{
    w->surface()->picture().setImage(picture(qRgb(3, 3, 3)));
    w->SetPictureState(2);
    QFile blocker(dir.path() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    w->WorkFolder = dir.path() + "/blocker/Temp";
    g("mnWkf").click(0);
    ASSERT_EQ(fake.dialogs->messages.size(), 1);
    EXPECT_TRUE(fake.dialogs->messages[0].startsWith(dir.path() + "/blocker/Temp/001.bmp に保存できませんでした"));
    EXPECT_TRUE(fake.tray->messages.isEmpty());
    EXPECT_EQ(w->PictureState, 2);
}

TEST_F(MainWindowTest, ChangeDuringACaptureIsCaughtUpOnceItEnds)
{
    g("mnCpt").click(2);
    g("mnFile").click(9);
    const QImage second = picture(qRgb(0, 200, 0));
    // The second picture arrives while the first one is being taken.
    fake.clipboard->duringTake = [&] { fake.clipboard->offer(second); };
    fake.clipboard->offer(picture(qRgb(200, 0, 0)));
    EXPECT_EQ(workFiles(), QStringList{"001.bmp"});
    settle();
    EXPECT_EQ(workFiles(), (QStringList{"001.bmp", "002.bmp"}));
    EXPECT_EQ(QImage(w->WorkFolder + "/002.bmp").pixel(1, 1), qRgb(0, 200, 0));
    EXPECT_EQ(w->watcher()->catchUps(), 1);
}

TEST_F(MainWindowTest, CatchUpDoesNotSaveThePictureJustTakenAgain)
{
    g("mnCpt").click(2);
    g("mnFile").click(9);
    const QImage same = picture(qRgb(9, 9, 9));
    // A change arrives during the capture, but the clipboard holds the same
    // picture afterwards (the owner re-announced it).
    fake.clipboard->duringTake = [&] { fake.clipboard->offer(same); };
    fake.clipboard->offer(same);
    settle();
    EXPECT_EQ(workFiles(), QStringList{"001.bmp"});
    EXPECT_EQ(w->watcher()->catchUps(), 1);
}

TEST_F(MainWindowTest, BurstOfThirtyEndsWithTheLastPictureSavedOnce)
{
    g("mnCpt").click(2);
    g("mnFile").click(9);
    std::vector<QImage> pics;
    for (int i = 0; i < 30; ++i)
        pics.push_back(picture(qRgb(i * 8, 255 - i * 8, 100)));
    // Every take lets the next picture arrive: most changes come mid-capture.
    int next = 1;
    std::function<void()> arrive = [&] {
        if (next >= 30)
            return;
        const int k = next++;
        fake.clipboard->duringTake = arrive;
        fake.clipboard->offer(pics[size_t(k)]);
    };
    fake.clipboard->duringTake = arrive;
    fake.clipboard->offer(pics[0]);
    settle();
    const QStringList files = workFiles();
    ASSERT_FALSE(files.isEmpty());
    EXPECT_EQ(QImage(w->WorkFolder + "/" + files.last()).pixel(1, 1), pics[29].pixel(1, 1));
    int lastCount = 0;
    for (const QString& f : files)
        lastCount += QImage(w->WorkFolder + "/" + f).pixel(1, 1) == pics[29].pixel(1, 1);
    EXPECT_EQ(lastCount, 1);
}

TEST_F(MainWindowTest, TextOrAFailedPasteLeavesTheRangeAlone)
{
    w->surface()->picture().setImage(picture(qRgb(1, 1, 1), 100, 80));
    w->SetPictureState(1);
    w->surface()->setSelection(5, 6, 50, 40);
    g("mnFile").click(9);
    fake.clipboard->offer(QImage()); // text copied in standby
    int l = 0, r = 0, t = 0, b = 0;
    w->GetRange(l, r, t, b);
    EXPECT_EQ(QRect(l, t, r, b), QRect(5, 6, 50, 40));
    g("mnFile").click(9);
    EXPECT_FALSE(w->capture().GrabClipboardPicture(PointerImage())); // a paste with nothing to paste
    w->GetRange(l, r, t, b);
    EXPECT_EQ(QRect(l, t, r, b), QRect(5, 6, 50, 40));
    // A picture found does clear it.
    fake.clipboard->setSilently(picture(qRgb(2, 2, 2)));
    EXPECT_TRUE(w->capture().GrabClipboardPicture(PointerImage()));
    w->GetRange(l, r, t, b);
    EXPECT_EQ(QRect(l, t, r, b), QRect(0, 0, 0, 0));
}

TEST_F(MainWindowTest, ListKeepsItsSelectionAndSelectsSavedNamesWithCapitals)
{
    g("mnDisp").click(0);
    for (const char* n : {"a.bmp", "b.bmp", "c.bmp"})
        QImage(4, 4, QImage::Format_RGB32).save(w->WorkFolder + "/" + n);
    w->RefreshFileList();
    w->fileList()->setCurrentRow(1);
    w->CurrentFilePath = dir.path() + "/elsewhere/x.bmp"; // listed nowhere
    QImage(4, 4, QImage::Format_RGB32).save(w->WorkFolder + "/0.bmp");
    w->RefreshFileList();
    ASSERT_NE(w->fileList()->currentItem(), nullptr);
    EXPECT_EQ(w->fileList()->currentItem()->text(), "b.bmp");

    // A capture saved under a prefix with capitals is the one selected.
    w->prefixBox()->setText("Shot");
    g("mnCpt").click(2);
    g("mnFile").click(9);
    fake.clipboard->offer(picture(qRgb(5, 5, 5)));
    g("mnFile").click(9);
    ASSERT_NE(w->fileList()->currentItem(), nullptr);
    EXPECT_EQ(w->fileList()->currentItem()->text(), "Shot001.bmp");
}
