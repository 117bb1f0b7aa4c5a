#include <gtest/gtest.h>

#include <QBuffer>

#include "platform/SessionClipboard.h"
#include "platform/fake/FakePictureFeed.h"
#include "platform/fake/FakePlatform.h"

using namespace varnel;

namespace {
QImage pic(QRgb c, int w = 6, int h = 4)
{
    QImage i(w, h, QImage::Format_RGB32);
    i.fill(c);
    return i;
}

QByteArray png(const QImage& i)
{
    QByteArray b;
    QBuffer buf(&b);
    buf.open(QIODevice::WriteOnly);
    i.save(&buf, "PNG");
    return b;
}

// A session clipboard over fakes, with a "capture" that takes every
// announced picture as the capture road does.
struct Session {
    FakeClipboard* primary = new FakeClipboard;
    FakePictureFeed* feed = new FakePictureFeed;
    SessionClipboard cb{std::unique_ptr<Clipboard>(primary), std::unique_ptr<PictureFeed>(feed)};
    QList<QImage> taken;
    Session()
    {
        QObject::connect(&cb, &Clipboard::changed, [this] { taken << cb.takePicture(); });
    }
};
} // namespace

TEST(SessionClipboard, BothSidesFeedOneRoadAndARepeatIsTakenOnce)
{
    Session s;
    s.cb.watch(true);
    EXPECT_EQ(s.feed->starts, 1);
    s.feed->sendOffered(png(pic(qRgb(200, 0, 0))));
    ASSERT_EQ(s.taken.size(), 1);
    EXPECT_TRUE(SessionClipboard::samePicture(s.taken[0], pic(qRgb(200, 0, 0))));
    // The bridge announces the same copy on the other side, now and later.
    s.primary->offer(pic(qRgb(200, 0, 0)));
    s.feed->sendOffered(png(pic(qRgb(200, 0, 0))));
    EXPECT_EQ(s.taken.size(), 1);
    EXPECT_EQ(s.cb.repeatsSkipped(), 2);
    // A new picture from either side is a capture; so is the first one again
    // after another picture came between.
    s.primary->offer(pic(qRgb(0, 200, 0)));
    s.feed->sendOffered(png(pic(qRgb(200, 0, 0))));
    ASSERT_EQ(s.taken.size(), 3);
    EXPECT_TRUE(SessionClipboard::samePicture(s.taken[1], pic(qRgb(0, 200, 0))));
    EXPECT_TRUE(SessionClipboard::samePicture(s.taken[2], pic(qRgb(200, 0, 0))));
    // The primary side was fetched once per change, not again by the capture.
    EXPECT_EQ(s.primary->takeCount, 2);
}

TEST(SessionClipboard, APasteOnWaylandReadsThroughTheFeedAndFallsBackWithoutIt)
{
    Session s;
    s.cb.setPasteThroughFeed(true);
    s.primary->setSilently(pic(qRgb(0, 0, 200)));
    QList<QImage> pasted;
    const auto paste = [&] { s.cb.requestPicture([&](QImage p) { pasted << p; }); };
    paste();
    EXPECT_EQ(s.feed->starts, 1);
    EXPECT_TRUE(pasted.isEmpty()) << "the answer comes from the feed's thread, later";
    s.feed->sendPresent(png(pic(qRgb(200, 0, 0))));
    ASSERT_EQ(pasted.size(), 1);
    EXPECT_TRUE(SessionClipboard::samePicture(pasted[0], pic(qRgb(200, 0, 0))));
    EXPECT_FALSE(s.feed->isRunning());
    EXPECT_EQ(s.primary->takeCount, 0) << "the main clipboard's reader was not asked";
    EXPECT_TRUE(s.taken.isEmpty()) << "a paste is no capture";

    // A compositor without the protocol: the main clipboard answers.
    paste();
    s.feed->sendUnavailable(WatchGap::NoDataControl);
    ASSERT_EQ(pasted.size(), 2);
    EXPECT_TRUE(SessionClipboard::samePicture(pasted[1], pic(qRgb(0, 0, 200))));
    EXPECT_FALSE(s.feed->isRunning());
    // Standby begins while a paste waits: it pastes nothing, and the feed
    // is standby's again (its gap, when one comes, still told).
    paste();
    s.cb.watch(true);
    ASSERT_EQ(pasted.size(), 3);
    EXPECT_TRUE(pasted[2].isNull());
    EXPECT_TRUE(s.feed->isRunning());
    int gaps = 0;
    QObject::connect(&s.cb, &Clipboard::watchGap, [&] { ++gaps; });
    s.feed->sendUnavailable(WatchGap::Failed);
    EXPECT_EQ(gaps, 1);
}

TEST(SessionClipboard, WhatWasThereAtStartIsNeverTaken)
{
    Session s;
    s.cb.watch(true);
    s.feed->sendPresent(png(pic(qRgb(1, 2, 3))));
    s.feed->sendOffered(png(pic(qRgb(1, 2, 3)))); // the watcher's first report
    s.primary->offer(pic(qRgb(1, 2, 3)));         // the bridge, when focus moves
    EXPECT_TRUE(s.taken.isEmpty());
    s.feed->sendOffered(png(pic(qRgb(4, 5, 6))));
    EXPECT_EQ(s.taken.size(), 1);
    // A new standby starts afresh.
    s.cb.watch(false);
    EXPECT_EQ(s.feed->stops, 1);
    s.cb.watch(true);
    s.feed->sendPresent({});
    s.feed->sendOffered(png(pic(qRgb(1, 2, 3))));
    EXPECT_EQ(s.taken.size(), 2);
}

TEST(SessionClipboard, OutsideStandbyNothingIsFetchedAndTheFeedIsSilent)
{
    Session s;
    int changes = 0;
    QObject::connect(&s.cb, &Clipboard::changed, [&] { ++changes; });
    s.primary->offer(pic(1));
    EXPECT_EQ(changes, 1);
    // Only the capture (here: the test's own taker) fetched.
    EXPECT_EQ(s.primary->takeCount, 1);
    s.feed->sendOffered(png(pic(2)));
    EXPECT_EQ(changes, 1);
    // A second join does not start a second watcher.
    s.cb.watch(true);
    s.cb.watch(true);
    EXPECT_EQ(s.feed->starts, 1);
}

TEST(SessionClipboard, ChangesWithoutPictureAndUndecodableBytes)
{
    Session s;
    s.cb.watch(true);
    s.primary->offer(QImage()); // text: still a change, as on X11 before
    EXPECT_EQ(s.taken.size(), 1);
    EXPECT_TRUE(s.taken[0].isNull());
    s.feed->sendOffered(QByteArray("\x89PNG not really", 15));
    EXPECT_EQ(s.taken.size(), 1);
}

TEST(SessionClipboard, AGapIsReportedOnce)
{
    Session s;
    QList<int> gaps;
    QObject::connect(&s.cb, &Clipboard::watchGap, [&](int r) { gaps << r; });
    s.cb.watch(true);
    s.feed->sendUnavailable(WatchGap::NoDataControl);
    s.cb.watch(false);
    s.cb.watch(true);
    s.feed->sendUnavailable(WatchGap::NoDataControl);
    ASSERT_EQ(gaps.size(), 1);
    EXPECT_EQ(gaps[0], int(WatchGap::NoDataControl));
}

TEST(SessionClipboard, SamePictureComparesPixelsAcrossFormats)
{
    const QImage a = pic(qRgb(10, 20, 30));
    EXPECT_TRUE(SessionClipboard::samePicture(a, a.convertToFormat(QImage::Format_ARGB32)));
    QImage b = a.copy();
    b.setPixel(5, 3, qRgb(10, 20, 31));
    EXPECT_FALSE(SessionClipboard::samePicture(a, b));
    EXPECT_FALSE(SessionClipboard::samePicture(a, pic(qRgb(10, 20, 30), 4, 6)));
    EXPECT_FALSE(SessionClipboard::samePicture(QImage(), QImage()));
}

TEST(SessionClipboard, ACatchUpDoesNotRetakeTheFeedsPictureFromTheOtherSide)
{
    // A copy came through the feed and was taken; the bridge then put the
    // same pixels on the X11 side while a capture was running, so that
    // change was passed by. The catch-up takes from the X11 side directly:
    // the repeat is still recognised by its pixels.
    Session s;
    s.cb.watch(true);
    s.feed->sendOffered(png(pic(qRgb(10, 20, 30))));
    ASSERT_EQ(s.taken.size(), 1);
    const quint64 lastCaptureKey = s.cb.lastKey();
    s.primary->setSilently(pic(qRgb(10, 20, 30)));
    bool same = false;
    EXPECT_TRUE(s.cb.takePictureUnless(lastCaptureKey, &same).isNull());
    EXPECT_TRUE(same);
    // A different picture passed by is taken.
    s.primary->setSilently(pic(qRgb(40, 50, 60)));
    EXPECT_FALSE(s.cb.takePictureUnless(lastCaptureKey, &same).isNull());
    EXPECT_FALSE(same);
}
