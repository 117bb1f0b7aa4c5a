#include <gtest/gtest.h>

#include <QSignalSpy>

#include "macros/MenuGroup.h"

using varnel::MenuGroup;
using varnel::MenuGuard;


TEST(MenuGroup, FindByPrefixTakesFirstItemInIndexOrder)
{
    MenuGroup g("mnRotate", "回転");
    for (const char* c : {"左右反転", "上下反転", "-", "右90度", "右180度", "左90度", "左180度"})
        g.add(QString::fromUtf8(c));
    EXPECT_EQ(g.findByPrefix("右"), 3);
    EXPECT_EQ(g.findByPrefix("右180度"), 4);
    EXPECT_EQ(g.findByPrefix(""), 0);
    EXPECT_EQ(g.findByPrefix("-"), 2);
    EXPECT_EQ(g.findByPrefix("右 "), -1);
    g.setVisible(3, false);
    g.setEnabled(3, false);
    EXPECT_EQ(g.findByPrefix("右"), 3); // hidden and disabled items still match
}

TEST(MenuGroup, GapsStayAbsentAndClicksReachHandlerWithIndex)
{
    MenuGroup g("mnColr", "色数");
    g.addAt(1, "16色(4bit)");
    g.addAt(7, "32bit");
    EXPECT_FALSE(g.exists(0));
    EXPECT_FALSE(g.exists(4));
    EXPECT_TRUE(g.exists(7));
    EXPECT_EQ(g.findByPrefix("3"), 7);
    std::vector<int> clicks;
    g.setHandler([&](int i) { clicks.push_back(i); });
    g.click(1);
    g.click(4); // absent: nothing
    g.click(7);
    EXPECT_EQ(clicks, (std::vector<int>{1, 7}));
}

TEST(MenuGroup, TickOnlyAndChangeSignals)
{
    MenuGroup g("mnCpt");
    for (int i = 0; i < 4; ++i)
        g.add(QString::number(i));
    QSignalSpy spy(&g, &MenuGroup::itemChanged);
    g.tickOnly(2);
    EXPECT_TRUE(g.isChecked(2));
    EXPECT_EQ(spy.count(), 1);
    g.tickOnly(2); // unchanged: no signal
    EXPECT_EQ(spy.count(), 1);
    g.tickOnly(7); // out of range ticks nothing
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(g.isChecked(i));
}

TEST(MenuGroup, ReplayPrefersTheItemNamedInFullAndStaysInItsItems)
{
    MenuGroup g("g", "kw");
    g.add("AB");
    g.add("A");
    g.add("元に戻す");
    EXPECT_EQ(g.findForReplay("A"), 1);
    EXPECT_EQ(g.findForReplay("AB"), 0);
    EXPECT_EQ(g.findForReplay("元", 0, 1), -1);
    EXPECT_EQ(g.findForReplay("", 1), 1);
}

TEST(MenuGroup, TableRowsActInOrderAndABrokenCommandEndsItselfUnrecorded)
{
    MenuGroup g("mnX", "ﾃｽﾄ");
    QStringList ran, recorded, told;
    bool waited = false, ready = true, refusing = false;
    auto guard = std::make_shared<MenuGuard>();
    guard->refuse = [&] { return refusing; };
    guard->wait = [&] {
        waited = true;
        return ready;
    };
    guard->failed = [&](const QString& why) { told << why; };
    g.setGuard(guard);
    g.setRecorder([&](const QString& k, const QString& a) { recorded << k + "⇒" + a; });
    g.setRows({
        {0, "回す", {}, [&] { ran << "turn"; return true; }},
        {1, "-"},
        {2, "貼る", {}, [&] { ran << "paste"; return true; }, false},
        {3, "壊れる", {}, []() -> bool { throw std::bad_alloc(); }},
    }, true);

    g.click(2); // does not wait
    EXPECT_FALSE(waited);
    g.click(0);
    EXPECT_TRUE(waited);
    ready = false; // what it waits for never came: the command does not run
    g.click(0);
    ready = true;
    g.setEnabled(0, false);
    g.click(0);
    g.setEnabled(0, true);
    refusing = true; // a command is still waiting: nothing else is taken
    g.click(2);
    refusing = false;
    g.click(3);
    EXPECT_EQ(ran, (QStringList{"paste", "turn"}));
    EXPECT_EQ(recorded, (QStringList{"ﾃｽﾄ⇒貼る", "ﾃｽﾄ⇒回す"}));
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("メモリが足りない"));
}
