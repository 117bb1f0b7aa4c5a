#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <csignal>

#include "TestFiles.h"
#include "platform/wayland/WaylandPictureFeed.h"

using namespace varnel;

namespace {
// Stands in for wl-paste: a plain call prints present.bin (fails when there
// is none); --watch runs the given command once per file named in offers,
// in order, with the file on stdin, then waits to be ended. With nodc it
// fails as wl-paste does on a compositor without data-control; each line of
// dies makes one watch end at once.
const char* kFakeWlPaste = R"(#!/bin/sh
D=$(dirname "$0")
case " $* " in *" --watch "*) ;; *)
  [ -f "$D/present.bin" ] || { echo "No selection" >&2; exit 1; }
  exec cat "$D/present.bin";;
esac
echo $$ > "$D/watch.pid"
if [ -f "$D/nodc" ]; then
  echo "Watch mode requires a compositor that supports the wlroots data-control protocol" >&2
  exit 1
fi
if [ -s "$D/dies" ]; then sed -i 1d "$D/dies"; exit 1; fi
while [ "$1" != "--watch" ]; do shift; done; shift
if [ -f "$D/offers" ]; then
  while read -r f; do "$@" < "$D/$f"; done < "$D/offers"
fi
exec sleep 60
)";

QByteArray randomBytes(int n, quint32 seed)
{
    QByteArray b(n, Qt::Uninitialized);
    QRandomGenerator g(seed);
    g.fillRange(reinterpret_cast<quint32*>(b.data()), n / 4);
    return b;
}

struct FeedFixture : ::testing::Test {
    testfiles::TempFolder dir;
    WaylandPictureFeed::Config config;
    void SetUp() override
    {
        dir.write("wl-paste", kFakeWlPaste);
        QFile::setPermissions(dir.file("wl-paste"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        config.wlPaste = dir.file("wl-paste");
        config.probe = [] { return DataControl::Available; };
        config.restartDelayMs = 10;
    }
    bool processAlive(const QString& pidFile)
    {
        const int pid = dir.read(pidFile).trimmed().toInt();
        return pid > 0 && ::kill(pid, 0) == 0;
    }
};
} // namespace

TEST_F(FeedFixture, PresentFirstThenEveryCopyWholeAndInOrder)
{
    // Big enough to cross many socket buffers.
    const QByteArray first = randomBytes(3 << 20, 1), second = randomBytes(1000, 2),
                     before = randomBytes(5000, 3);
    dir.write("a.bin", first);
    dir.write("b.bin", second);
    dir.write("present.bin", before);
    dir.write("offers", "a.bin\nb.bin\n");
    WaylandPictureFeed feed(config);
    QSignalSpy present(&feed, &PictureFeed::present), offered(&feed, &PictureFeed::offered);
    feed.start();
    EXPECT_TRUE(feed.isRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return offered.size() == 2; }, 20000));
    ASSERT_EQ(present.size(), 1);
    EXPECT_EQ(present[0][0].toByteArray(), before);
    EXPECT_EQ(offered[0][0].toByteArray(), first);
    EXPECT_EQ(offered[1][0].toByteArray(), second);
    EXPECT_EQ(offered[0][1].toString(), "image/png");

    // Ending standby ends the watcher process.
    ASSERT_TRUE(processAlive("watch.pid"));
    feed.stop();
    EXPECT_FALSE(feed.isRunning());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !processAlive("watch.pid"); }, 5000));
}

TEST_F(FeedFixture, NothingThereAtStartGivesAnEmptyPresent)
{
    WaylandPictureFeed feed(config);
    QSignalSpy present(&feed, &PictureFeed::present), gaps(&feed, &PictureFeed::unavailable);
    feed.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return present.size() == 1; }, 10000));
    EXPECT_TRUE(present[0][0].toByteArray().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return dir.exists("watch.pid"); }, 10000));
    EXPECT_TRUE(gaps.isEmpty());
}

TEST_F(FeedFixture, MissingDataControlAndMissingToolAreReported)
{
    {
        dir.write("nodc", "");
        WaylandPictureFeed feed(config);
        QSignalSpy gaps(&feed, &PictureFeed::unavailable);
        feed.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return gaps.size() == 1; }, 10000));
        EXPECT_EQ(gaps[0][0].value<WatchGap>(), WatchGap::NoDataControl);
        EXPECT_FALSE(feed.isRunning());
    }
    {
        // The compositor says so itself: no process is started at all.
        auto c = config;
        c.probe = [] { return DataControl::Missing; };
        c.wlPaste = dir.file("not-there");
        WaylandPictureFeed feed(c);
        QSignalSpy gaps(&feed, &PictureFeed::unavailable);
        feed.start();
        ASSERT_EQ(gaps.size(), 1);
        EXPECT_EQ(gaps[0][0].value<WatchGap>(), WatchGap::NoDataControl);
    }
    {
        // Without the relay every copy would be lost: said at once.
        auto c = config;
        c.relay = dir.file("no-relay");
        WaylandPictureFeed feed(c);
        QSignalSpy gaps(&feed, &PictureFeed::unavailable);
        feed.start();
        ASSERT_EQ(gaps.size(), 1);
        EXPECT_EQ(gaps[0][0].value<WatchGap>(), WatchGap::ToolMissing);
        EXPECT_FALSE(feed.isRunning());
    }
    {
        auto c = config;
        c.wlPaste = dir.file("not-there");
        WaylandPictureFeed feed(c);
        QSignalSpy gaps(&feed, &PictureFeed::unavailable);
        feed.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return gaps.size() == 1; }, 10000));
        EXPECT_EQ(gaps[0][0].value<WatchGap>(), WatchGap::ToolMissing);
    }
}

TEST_F(FeedFixture, AWatcherThatDiesIsRestartedThenGivenUp)
{
    dir.write("a.bin", "picture");
    dir.write("offers", "a.bin\n");
    dir.write("dies", "1\n2\n");
    {
        WaylandPictureFeed feed(config);
        QSignalSpy offered(&feed, &PictureFeed::offered), gaps(&feed, &PictureFeed::unavailable);
        feed.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return offered.size() == 1; }, 10000));
        EXPECT_TRUE(gaps.isEmpty());
    }
    dir.write("dies", "1\n2\n3\n4\n5\n");
    config.restarts = 2;
    WaylandPictureFeed feed(config);
    QSignalSpy offered(&feed, &PictureFeed::offered), gaps(&feed, &PictureFeed::unavailable);
    feed.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gaps.size() == 1; }, 10000));
    EXPECT_EQ(gaps[0][0].value<WatchGap>(), WatchGap::Failed);
    EXPECT_TRUE(offered.isEmpty());
}

TEST(WaylandPictureFeed, OnlyAPictureWithItsTrailerCounts)
{
    auto framed = [](const QByteArray& body, quint64 n) {
        QByteArray t("\0VRNLEND", 8);
        for (int i = 0; i < 8; ++i)
            t += char((n >> (8 * i)) & 0xff);
        return body + t;
    };
    EXPECT_EQ(WaylandPictureFeed::completePicture(framed("abc", 3)), QByteArray("abc"));
    EXPECT_TRUE(WaylandPictureFeed::completePicture(framed("abc", 4)).isEmpty());
    EXPECT_TRUE(WaylandPictureFeed::completePicture("abc").isEmpty());
    QByteArray bad = framed("abc", 3);
    bad[4] = 'X';
    EXPECT_TRUE(WaylandPictureFeed::completePicture(bad).isEmpty());
}
