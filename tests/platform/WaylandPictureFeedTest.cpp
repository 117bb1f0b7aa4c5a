#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include "TestCompositor.h"
#include "platform/wayland/WaylandPictureFeed.h"

using namespace varnel;

namespace {
QByteArray randomBytes(int n, quint32 seed)
{
    QByteArray b(n, Qt::Uninitialized);
    QRandomGenerator g(seed);
    g.fillRange(reinterpret_cast<quint32*>(b.data()), n / 4);
    return b;
}

const QStringList kPngAndText{"text/plain", "image/png", "image/bmp"};

struct Watch {
    TestCompositor compositor;
    WaylandPictureFeed feed;
    QSignalSpy present, offered, gaps;
    explicit Watch(TestCompositor::Offers offers, WaylandFeedConfig config = {})
        : compositor(offers), feed(withDisplay(config, compositor.socketPath())),
          present(&feed, &PictureFeed::present), offered(&feed, &PictureFeed::offered),
          gaps(&feed, &PictureFeed::unavailable)
    {
    }
    static WaylandFeedConfig withDisplay(WaylandFeedConfig c, const QByteArray& path)
    {
        c.display = path;
        return c;
    }
    bool started()
    {
        feed.start();
        return QTest::qWaitFor([&] { return present.size() == 1 || !gaps.isEmpty(); }, 10000);
    }
};
} // namespace

TEST(WaylandPictureFeed, TakesEveryCopyThroughEitherProtocolAndPrefersTheStandardOne)
{
    struct Case {
        TestCompositor::Offers offers;
        DataControlKind kind;
    };
    for (const Case& c : {Case{{true, false}, DataControlKind::Ext}, Case{{false, true}, DataControlKind::Wlroots},
                          Case{{true, true}, DataControlKind::Ext}}) {
        SCOPED_TRACE(int(c.kind));
        Watch w(c.offers);
        ASSERT_TRUE(w.started());
        EXPECT_TRUE(w.present[0][0].toByteArray().isEmpty());
        EXPECT_EQ(w.feed.kind(), c.kind);
        EXPECT_EQ(w.compositor.devicesExt + w.compositor.devicesWlroots, 1);
        EXPECT_EQ(w.compositor.devicesExt, c.kind == DataControlKind::Ext ? 1 : 0);

        // Big enough to fill the pipe many times over.
        const QByteArray first = randomBytes(3 << 20, 1), second = randomBytes(1000, 2);
        w.compositor.setSelection(kPngAndText, first);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.offered.size() == 1; }, 10000));
        w.compositor.setSelection({"image/bmp"}, second);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.offered.size() == 2; }, 10000));
        EXPECT_EQ(w.offered[0][0].toByteArray(), first);
        EXPECT_EQ(w.offered[0][1].toString(), "image/png");
        EXPECT_EQ(w.offered[1][0].toByteArray(), second);
        EXPECT_EQ(w.offered[1][1].toString(), "image/bmp");
        // Each new selection destroys the one before.
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.compositor.offersDestroyed == 1; }, 5000));

        // Text is no picture: nothing asked for, nothing sent.
        w.compositor.setSelection({"text/plain"}, "words");
        QTest::qWait(100);
        EXPECT_EQ(w.compositor.receives, 2);
        EXPECT_EQ(w.offered.size(), 2);
        EXPECT_TRUE(w.gaps.isEmpty());
    }
}

TEST(WaylandPictureFeed, WhatIsThereWhenWatchingBeginsComesAsPresentOnly)
{
    TestCompositor::Offers ext{true, false};
    Watch w(ext);
    const QByteArray before = randomBytes(5000, 3);
    w.compositor.setSelection({"image/png"}, before);
    ASSERT_TRUE(w.started());
    EXPECT_EQ(w.present[0][0].toByteArray(), before);
    const QByteArray after = randomBytes(5000, 4);
    w.compositor.setSelection({"image/png"}, after);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.offered.size() == 1; }, 10000));
    EXPECT_EQ(w.offered[0][0].toByteArray(), after);
    EXPECT_EQ(w.present.size(), 1);
}

TEST(WaylandPictureFeed, NoProtocolIsReportedUnlessGnomeHandsCopiesToX11)
{
    {
        Watch w({false, false});
        ASSERT_TRUE(w.started());
        ASSERT_EQ(w.gaps.size(), 1);
        EXPECT_EQ(w.gaps[0][0].value<WatchGap>(), WatchGap::NoDataControl);
        EXPECT_FALSE(w.feed.isRunning());
    }
    {
        // GNOME's compositor under an XWayland program: the X11 side hears
        // every copy, nothing to say.
        WaylandFeedConfig c;
        c.heardThroughX11 = true;
        Watch w({false, false, true}, c);
        w.feed.start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !w.feed.isRunning(); }, 10000));
        QTest::qWait(50);
        EXPECT_TRUE(w.gaps.isEmpty());
        EXPECT_TRUE(w.present.isEmpty());
    }
    {
        // A native program there hears nothing of it.
        Watch w({false, false, true});
        ASSERT_TRUE(w.started());
        EXPECT_EQ(w.gaps.size(), 1);
    }
    EXPECT_TRUE(WaylandPictureFeed::bridgesToX11({"wl_seat", "gtk_shell1"}, ""));
    EXPECT_TRUE(WaylandPictureFeed::bridgesToX11({"wl_seat"}, "ubuntu:GNOME"));
    EXPECT_FALSE(WaylandPictureFeed::bridgesToX11({"wl_seat"}, "sway"));
    EXPECT_FALSE(WaylandPictureFeed::bridgesToX11({"wl_seat"}, "GNOME-Flashback-nope"));
}

TEST(WaylandPictureFeed, AStalledOrOversizeTransferIsGivenUpAndTheNextCopyStillArrives)
{
    WaylandFeedConfig c;
    c.maxBytes = 64 << 10;
    c.quietMs = 300;
    c.wholeMs = 2000;
    Watch w({false, true}, c);
    ASSERT_TRUE(w.started());

    // An owner that writes all of a picture over the limit, then one that
    // stops writing.
    w.compositor.setSelection({"image/png"}, randomBytes(200 << 10, 5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.compositor.receives == 1; }, 5000));
    QTest::qWait(200);
    EXPECT_TRUE(w.offered.isEmpty());
    w.compositor.setSelection({"image/png"}, randomBytes(1000, 6), TestCompositor::Writer::Stalled);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.compositor.receives == 2; }, 5000));
    QTest::qWait(c.quietMs + 300);
    EXPECT_TRUE(w.offered.isEmpty());
    EXPECT_TRUE(w.feed.isRunning());

    const QByteArray good = randomBytes(1000, 7);
    w.compositor.setSelection({"image/png"}, good);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.offered.size() == 1; }, 5000));
    EXPECT_EQ(w.offered[0][0].toByteArray(), good);
}

TEST(WaylandPictureFeed, ANewerCopyOrTheEndOfStandbyCutsAStalledReadShort)
{
    WaylandFeedConfig c;
    c.quietMs = 20000; // the owner stalls far longer than the test may wait
    Watch w({true, false}, c);
    ASSERT_TRUE(w.started());
    w.compositor.setSelection({"image/png"}, randomBytes(1000, 8), TestCompositor::Writer::Stalled);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.compositor.receives == 1; }, 5000));
    const QByteArray newer = randomBytes(1000, 9);
    w.compositor.setSelection({"image/png"}, newer);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.offered.size() == 1; }, 2000));
    EXPECT_EQ(w.offered[0][0].toByteArray(), newer);

    w.compositor.setSelection({"image/png"}, randomBytes(1000, 10), TestCompositor::Writer::Stalled);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.compositor.receives == 3; }, 5000));
    QElapsedTimer t;
    t.start();
    w.feed.stop();
    EXPECT_LT(t.elapsed(), 500);
    EXPECT_FALSE(w.feed.isRunning());
}

TEST(WaylandPictureFeed, TheCompositorEndingTheDeviceIsToldOnce)
{
    Watch w({false, true});
    ASSERT_TRUE(w.started());
    w.compositor.finish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.gaps.isEmpty(); }, 5000));
    QTest::qWait(100);
    ASSERT_EQ(w.gaps.size(), 1);
    EXPECT_EQ(w.gaps[0][0].value<WatchGap>(), WatchGap::Failed);
    EXPECT_FALSE(w.feed.isRunning());
    // A new standby starts over.
    w.feed.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.present.size() == 2; }, 5000));
}
