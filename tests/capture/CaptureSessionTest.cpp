// The capture road without a window: what a capture does to the document,
// the numbered files and what the user is told in standby.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include "TestFiles.h"
#include "capture/CaptureOptions.h"
#include "capture/CaptureSession.h"
#include "editing/PictureDocument.h"
#include "platform/fake/FakePlatform.h"

using namespace varnel;

using testfiles::filled;

namespace {
struct Road {
    FakePlatform fake;
    PictureDocument doc;
    CaptureSession session{fake.platform, doc};
    bool shown = false;
    int refreshed = 0;
    int merged = 0;
    testfiles::TempFolder dir;

    Road()
    {
        CaptureSession::View& v = session.view;
        v.shown = [this] { return shown; };
        v.comeForward = [this] { shown = true; };
        v.setAside = [] {};
        v.suspendOverlay = [](bool) {};
        v.mergeShapes = [this] { ++merged; };
        v.showPicture = [this] { return doc.hasPicture(); };
        v.prefix = [] { return QStringLiteral("shot"); };
        v.refreshList = [this] { ++refreshed; };
        session.WorkFolder = dir.path() + "/Temp";
    }
};
} // namespace

TEST(CaptureSession, StandbyCapturesAreNumberedCountedAndALostOneIsToldInTheTray)
{
    Road r;
    r.fake.tray->add({}, "Varnel");
    r.session.AfterCaptureAction = CaptureOptions::SaveNumbered;
    r.session.beginStandby();

    r.fake.clipboard->offer(filled(qRgb(10, 20, 30)));
    r.session.sjClip(PointerImage());
    r.fake.clipboard->offer(filled(qRgb(40, 50, 60)));
    r.session.sjClip(PointerImage());
    EXPECT_TRUE(QFile::exists(r.dir.file("Temp/shot001.bmp")));
    EXPECT_TRUE(QFile::exists(r.dir.file("Temp/shot002.bmp")));
    EXPECT_EQ(r.doc.filePath, r.dir.file("Temp/shot002.bmp"));
    EXPECT_EQ(r.doc.state(), 1);
    EXPECT_EQ(r.fake.tray->tip, "Varnel - 待機中 2枚 (shot002.bmp)");
    EXPECT_FALSE(r.shown); // saved only: standby goes on
    EXPECT_EQ(r.refreshed, 2);

    // A folder that cannot be made: the picture stays, unsaved and fileless.
    r.dir.write("blocker", "x");
    r.session.WorkFolder = r.dir.file("blocker/Temp");
    r.fake.clipboard->offer(filled(qRgb(70, 80, 90)));
    r.session.sjClip(PointerImage());
    ASSERT_EQ(r.fake.tray->messages.size(), 1);
    EXPECT_TRUE(r.fake.tray->messages[0].contains(r.dir.file("blocker/Temp")));
    EXPECT_EQ(r.fake.tray->tip, "Varnel - 保存できなかったｷｬﾌﾟﾁｬｰ: 1枚");
    EXPECT_EQ(r.session.UnsavedCaptures, 1);
    EXPECT_EQ(r.doc.state(), 2);
    EXPECT_TRUE(r.doc.filePath.isEmpty());
    EXPECT_EQ(r.doc.picture().image().pixel(0, 0), qRgb(70, 80, 90));
    EXPECT_TRUE(r.fake.dialogs->messages.isEmpty()); // nothing that waits for a click
}

TEST(CaptureSession, AShownCaptureIsReducedAsTakenAndTheEditedPictureStaysOneUndoAway)
{
    Road r;
    r.shown = true;
    r.doc.replace(Picture(filled(qRgb(200, 0, 0))), QString(), false);
    r.doc.setState(2); // edited, not saved
    r.session.AfterCaptureAction = CaptureOptions::Show;
    r.session.CaptureColourIndex = 4; // grey 8 bit
    r.fake.clipboard->offer(filled(qRgb(90, 160, 30)));
    r.session.sjClip(PointerImage());

    EXPECT_EQ(r.doc.picture().depthCode(), 80);
    EXPECT_EQ(r.doc.depthCode, "80");
    // As the clipboard gave it: nothing to save, no file to save to.
    EXPECT_EQ(r.doc.state(), 1);
    EXPECT_TRUE(r.doc.filePath.isEmpty());
    EXPECT_FALSE(QFile::exists(r.dir.file("Temp/shot001.bmp")));
    ASSERT_TRUE(r.doc.undo());
    EXPECT_EQ(r.doc.picture().image().pixel(0, 0), qRgb(200, 0, 0));
    EXPECT_EQ(r.doc.state(), 2);
}

TEST(CaptureSession, AStorageSaveThatCannotHappenLeavesTheDrawnShapesAlone)
{
    Road r;
    r.shown = true;
    r.doc.replace(Picture(filled(qRgb(5, 6, 7))), QString(), false);
    r.session.SaveNumberedToStorage(); // no storage folder chosen
    ASSERT_EQ(r.fake.dialogs->messages.size(), 1);
    EXPECT_TRUE(r.fake.dialogs->messages[0].endsWith(" に保存できませんでした"));
    EXPECT_EQ(r.merged, 0);
    EXPECT_EQ(r.doc.state(), 1);

    r.session.StorageFolder = r.dir.path();
    r.session.StoragePrefix = "kept";
    r.session.SaveNumberedToStorage();
    EXPECT_EQ(r.merged, 1);
    EXPECT_TRUE(QFile::exists(r.dir.file("kept001.png")));
    EXPECT_EQ(r.doc.filePath, r.dir.file("kept001.png"));
    EXPECT_EQ(r.session.WrittenFiles, QStringList{r.dir.file("kept001.png")});
}
