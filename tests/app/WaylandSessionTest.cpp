#include "MainWindowFixture.h"

#include <QCoreApplication>

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
    EXPECT_EQ(fake.dialogs->messages[0], fmMain::watchGapMessage(int(WatchGap::NoDataControl)));
    EXPECT_TRUE(fake.dialogs->messages[0].contains("Wayland"));
    // Still standing by, and what can be heard is still captured.
    EXPECT_FALSE(w->FormShown);
    EXPECT_TRUE(w->watcher()->isHooked());
    fake.clipboard->offer(picture(qRgb(5, 6, 7)));
    EXPECT_EQ(workFiles(), QStringList{"001.bmp"});
    // A later standby does not say it again.
    g("mnFile").click(9);
    g("mnFile").click(9);
    emit fake.clipboard->watchGap(int(WatchGap::ToolMissing));
    QCoreApplication::processEvents();
    EXPECT_EQ(fake.dialogs->messages.size(), 1);
}

TEST(WatchGapMessage, EachReasonHasItsOwnJapaneseText)
{
    const QString a = fmMain::watchGapMessage(int(WatchGap::NoDataControl));
    const QString b = fmMain::watchGapMessage(int(WatchGap::ToolMissing));
    const QString c = fmMain::watchGapMessage(int(WatchGap::Failed));
    EXPECT_NE(a, b);
    EXPECT_NE(a, c);
    EXPECT_TRUE(b.contains("wl-paste"));
    for (const QString& m : {a, b, c})
        EXPECT_TRUE(m.contains("取り込"));
}
