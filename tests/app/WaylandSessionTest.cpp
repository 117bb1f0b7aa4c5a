#include "MainWindowFixture.h"

#include <QCoreApplication>
#include <QTest>

#include "capture/ClipboardWatcher.h"
#include "platform/PictureFeed.h"

using namespace varnel;

TEST_F(MainWindowTest, AStandbyThatCannotHearWaylandCopiesSaysSoOnceAndGoesOn)
{
    w->AfterCaptureAction = 2;
    g("mnFile").click(9);
    emit fake.clipboard->watchGap(int(WatchGap::NoDataControl));
    emit fake.clipboard->watchGap(int(WatchGap::NoDataControl));
    QCoreApplication::processEvents();
    ASSERT_EQ(fake.dialogs->messages.size(), 1);
    EXPECT_EQ(fake.dialogs->messages[0], CaptureSession::watchGapMessage(int(WatchGap::NoDataControl)));
    EXPECT_TRUE(fake.dialogs->messages[0].contains("Wayland"));
    // Still standing by, and what can be heard is still captured.
    EXPECT_FALSE(w->FormShown);
    EXPECT_TRUE(w->watcher()->isHooked());
    fake.clipboard->offer(picture(qRgb(5, 6, 7)));
    EXPECT_EQ(workFiles(), QStringList{"001.bmp"});
    // A later standby does not say it again.
    g("mnFile").click(9);
    g("mnFile").click(9);
    emit fake.clipboard->watchGap(int(WatchGap::Failed));
    QCoreApplication::processEvents();
    EXPECT_EQ(fake.dialogs->messages.size(), 1);
}

TEST(WatchGapMessage, EachReasonHasItsOwnJapaneseText)
{
    const QString a = CaptureSession::watchGapMessage(int(WatchGap::NoDataControl));
    const QString c = CaptureSession::watchGapMessage(int(WatchGap::Failed));
    EXPECT_NE(a, c);
    for (const QString& m : {a, c})
        EXPECT_TRUE(m.contains("取り込"));
}

TEST_F(MainWindowTest, WithoutTrayOnWaylandStandbyOutlivesTheNormalStateReport)
{
    fake.tray->available = false;
    fake.platform.windowStateKnown = false;
    g("mnFile").click(9);
    ASSERT_FALSE(w->FormShown);
    // The platform calls the minimised window normal right away; the window
    // may still hold the focus.
    w->setWindowState(Qt::WindowNoState);
    QCoreApplication::processEvents();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(w.get(), &activate);
    EXPECT_FALSE(w->FormShown);
    EXPECT_TRUE(w->watcher()->isHooked());
    fake.clipboard->offer(picture(qRgb(1, 2, 3)));
    EXPECT_TRUE(w->FormShown) << "the default action shows the capture";

    // The user brings the window back: it loses the focus, then gains it.
    g("mnFile").click(9);
    ASSERT_FALSE(w->FormShown);
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(w.get(), &deactivate);
    EXPECT_FALSE(w->FormShown);
    QCoreApplication::sendEvent(w.get(), &activate);
    EXPECT_TRUE(w->FormShown);
    EXPECT_FALSE(w->watcher()->isHooked());
    EXPECT_EQ(g("mnFile").caption(9), "ｷｬﾌﾞﾁｬｰ待機");
}

TEST_F(MainWindowTest, WhereTheStateIsKnownANormalWindowEndsStandby)
{
    fake.tray->available = false;
    g("mnFile").click(9);
    ASSERT_FALSE(w->FormShown);
    w->setWindowState(Qt::WindowNoState);
    QCoreApplication::processEvents();
    EXPECT_TRUE(w->FormShown);
}

TEST_F(MainWindowTest, AMessageWindowBringingTheMinimisedWindowBackDoesNotEndStandby)
{
    fake.tray->available = false;
    g("mnFile").click(9);
    ASSERT_TRUE(w->isMinimized());
    EXPECT_TRUE(fake.dialogs->isStandby());
    // A message opened; the window system restores its neighbour.
    fake.dialogs->justShown = true;
    w->setWindowState(Qt::WindowNoState);
    QCoreApplication::processEvents();
    EXPECT_FALSE(w->FormShown);
    EXPECT_TRUE(w->watcher()->isHooked());
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->isMinimized(); }, 1000));
    // The user's own restore still ends it.
    fake.dialogs->justShown = false;
    w->setWindowState(Qt::WindowNoState);
    QCoreApplication::processEvents();
    EXPECT_TRUE(w->FormShown);
    EXPECT_FALSE(fake.dialogs->isStandby());
}
