#include <gtest/gtest.h>

#include <QCoreApplication>

#include "TestFiles.h"
#include "capture/ClipboardWatcher.h"
#include "platform/fake/FakePlatform.h"

using namespace varnel;

namespace {
QImage pic(QRgb c)
{
    return testfiles::filled(c, 4, 4);
}
} // namespace

TEST(ClipboardWatcher, CapturesOnlyWhileHooked)
{
    FakePlatform fp;
    ClipboardWatcher w(*fp.clipboard, *fp.pointer);
    int captures = 0;
    w.setCapture([&](const PointerImage&) { ++captures; });
    fp.clipboard->offer(pic(1));
    EXPECT_EQ(captures, 0);
    w.HookClipboard(1);
    fp.clipboard->offer(pic(2));
    fp.clipboard->offer(pic(3));
    EXPECT_EQ(captures, 2);
    w.HookClipboard(0);
    fp.clipboard->offer(pic(4));
    EXPECT_EQ(captures, 2);
}

TEST(ClipboardWatcher, JoiningDoesNotCaptureWhatIsAlreadyThere)
{
    FakePlatform fp;
    ClipboardWatcher w(*fp.clipboard, *fp.pointer);
    int captures = 0;
    w.setCapture([&](const PointerImage&) { ++captures; });
    fp.clipboard->setSilently(pic(7));
    w.HookClipboard(1);
    EXPECT_EQ(captures, 0);
}

TEST(ClipboardWatcher, RepeatedJoinOrLeaveChangesNothing)
{
    FakePlatform fp;
    ClipboardWatcher w(*fp.clipboard, *fp.pointer);
    int captures = 0;
    w.setCapture([&](const PointerImage&) { ++captures; });
    w.HookClipboard(0); // leave while unhooked
    EXPECT_FALSE(w.isHooked());
    w.HookClipboard(1);
    w.HookClipboard(1); // a second join must not double the notifications
    fp.clipboard->offer(pic(1));
    EXPECT_EQ(captures, 1);
    w.HookClipboard(5); // any value but 1 leaves
    EXPECT_FALSE(w.isHooked());
}

TEST(ClipboardWatcher, ChangeDuringACaptureIsPassedBy)
{
    FakePlatform fp;
    ClipboardWatcher w(*fp.clipboard, *fp.pointer);
    int captures = 0;
    w.setCapture([&](const PointerImage&) {
        ++captures;
        // Another change arrives while this capture still runs.
        fp.clipboard->offer(pic(9));
    });
    w.HookClipboard(1);
    fp.clipboard->offer(pic(1));
    EXPECT_EQ(captures, 1);
    EXPECT_EQ(w.changesPassedBy(), 1);
    EXPECT_FALSE(w.isBusy());
    fp.clipboard->offer(pic(2));
    EXPECT_EQ(captures, 2);
}

TEST(ClipboardWatcher, ChangesPassedByAreCaughtUpOnceAfterQueuedOnes)
{
    FakePlatform fp;
    ClipboardWatcher w(*fp.clipboard, *fp.pointer);
    std::vector<bool> kinds; // catching up or not, per capture
    int arrivals = 2;
    w.setCapture([&](const PointerImage&) {
        kinds.push_back(w.isCatchingUp());
        for (; arrivals > 0; --arrivals)
            fp.clipboard->offer(pic(9)); // changes while this one runs
    });
    w.HookClipboard(1);
    fp.clipboard->offer(pic(1));
    EXPECT_EQ(kinds, std::vector<bool>{false});
    QCoreApplication::processEvents();
    // One catch-up for both missed changes, then none: its own change was
    // the last.
    EXPECT_EQ(kinds, (std::vector<bool>{false, true}));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.catchUps(), 1);

    // A notification delivered before the catch-up runs makes it needless.
    arrivals = 1;
    kinds.clear();
    fp.clipboard->offer(pic(2));
    fp.clipboard->offer(pic(3));
    QCoreApplication::processEvents();
    EXPECT_EQ(kinds, (std::vector<bool>{false, false}));
    EXPECT_EQ(w.catchUps(), 1);

    // Leaving standby drops a pending catch-up.
    arrivals = 1;
    fp.clipboard->offer(pic(4));
    w.HookClipboard(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.catchUps(), 1);
}

TEST(ClipboardWatcher, TheSameContentIsTakenOnceAcrossACatchUp)
{
    // Each capture "takes" the content it finds (its key); it skips the
    // content the watcher tells it to.
    FakePlatform fp;
    ClipboardWatcher w(*fp.clipboard, *fp.pointer);
    quint64 content = 0;
    QList<quint64> skips, taken;
    bool changeDuringFirst = true;
    w.setCapture([&](const PointerImage&) {
        skips << w.skipKey();
        if (content != w.skipKey()) {
            taken << content;
            w.tookContent(content);
        }
        if (std::exchange(changeDuringFirst, false)) {
            content = 2; // copied while the first capture runs
            fp.clipboard->offer(pic(2));
        }
    });
    w.HookClipboard(1);
    content = 1;
    fp.clipboard->offer(pic(1));
    QCoreApplication::processEvents(); // the catch-up takes content 2
    // The missed change's own notification, delivered late, finds content 2
    // again: skipped.
    fp.clipboard->offer(pic(2));
    // A later copy is taken as usual.
    content = 3;
    fp.clipboard->offer(pic(3));
    EXPECT_EQ(taken, (QList<quint64>{1, 2, 3}));
    EXPECT_EQ(skips, (QList<quint64>{0, 1, 2, 0}));
    EXPECT_EQ(w.skipKey(), 0u) << "outside a capture nothing is skipped";
}

TEST(ClipboardWatcher, PointerIsProbedOnlyWhenStampingIsOn)
{
    FakePlatform fp;
    QImage arrow(3, 3, QImage::Format_ARGB32);
    arrow.fill(Qt::red);
    fp.pointer->pointer = {arrow, QPoint(5, 6)};
    ClipboardWatcher w(*fp.clipboard, *fp.pointer);
    bool stamp = false;
    PointerImage got;
    w.setStampPointer([&] { return stamp; });
    w.setCapture([&](const PointerImage& p) { got = p; });
    w.HookClipboard(1);
    fp.clipboard->offer(pic(1));
    EXPECT_EQ(fp.pointer->probeCount, 0);
    EXPECT_FALSE(got.isValid());
    stamp = true;
    fp.clipboard->offer(pic(2));
    EXPECT_EQ(fp.pointer->probeCount, 1);
    ASSERT_TRUE(got.isValid());
    EXPECT_EQ(got.topLeft, QPoint(5, 6));
}

#include <QBuffer>

#include "platform/SessionClipboard.h"
#include "platform/fake/FakePictureFeed.h"

TEST(ClipboardWatcher, StandbyRunsTheSecondListenerAndTakesFromBothSides)
{
    FakePlatform fp;
    auto* primary = new FakeClipboard;
    auto* feed = new FakePictureFeed;
    SessionClipboard cb{std::unique_ptr<Clipboard>(primary), std::unique_ptr<PictureFeed>(feed)};
    ClipboardWatcher w(cb, *fp.pointer);
    QList<QImage> captured;
    w.setCapture([&](const PointerImage&) { captured << cb.takePicture(); });
    auto png = [](const QImage& i) {
        QByteArray b;
        QBuffer buf(&b);
        buf.open(QIODevice::WriteOnly);
        i.save(&buf, "PNG");
        return b;
    };
    feed->sendOffered(png(pic(qRgb(9, 9, 9)))); // not in standby: nobody listens
    EXPECT_EQ(feed->starts, 0);
    w.HookClipboard(1);
    EXPECT_TRUE(feed->isRunning());
    feed->sendPresent(png(pic(qRgb(1, 1, 1))));
    feed->sendOffered(png(pic(qRgb(1, 1, 1))));
    primary->offer(pic(qRgb(1, 1, 1)));
    EXPECT_TRUE(captured.isEmpty());
    feed->sendOffered(png(pic(qRgb(2, 2, 2))));
    primary->offer(pic(qRgb(2, 2, 2)));
    primary->offer(pic(qRgb(3, 3, 3)));
    ASSERT_EQ(captured.size(), 2);
    EXPECT_EQ(captured[0].pixel(0, 0), qRgb(2, 2, 2));
    EXPECT_EQ(captured[1].pixel(0, 0), qRgb(3, 3, 3));
    w.HookClipboard(0);
    EXPECT_FALSE(feed->isRunning());
    EXPECT_EQ(feed->stops, 1);
}
