#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPointer>

#include "macros/MenuBinder.h"
#include "macros/MenuGroup.h"

using namespace varnel;

TEST(MenuBinder, ActionThatChangesItsOwnMenuIsRebuiltSafelyAfterwards)
{
    QMenu menu;
    MenuGroup g("mnMcr");
    g.add("A");
    int clicks = 0;
    g.setHandler([&](int) {
        ++clicks;
        g.add("B"); // a handler that rebuilds the menu it was chosen from
    });
    MenuBinder binder(&menu, &g);
    ASSERT_EQ(menu.actions().size(), 1);
    QPointer<QAction> fired = menu.actions().at(0);
    fired->trigger();
    EXPECT_EQ(clicks, 1);
    // The action outlives its own signal; the rebuild comes afterwards.
    EXPECT_FALSE(fired.isNull());
    QApplication::processEvents();
    ASSERT_EQ(menu.actions().size(), 2);
    EXPECT_EQ(menu.actions().at(1)->text(), "B");
}

TEST(MenuBinder, MirrorsCaptionsTicksAndSeparators)
{
    QMenu menu;
    MenuGroup g("mnCpt");
    g.setCheckable(true);
    g.add("何もしない");
    g.add("-");
    g.add("連番をつけて保存 & 画面を表示");
    MenuBinder binder(&menu, &g);
    EXPECT_TRUE(menu.actions().at(1)->isSeparator());
    EXPECT_EQ(menu.actions().at(2)->text(), "連番をつけて保存 && 画面を表示");
    g.tickOnly(2);
    EXPECT_TRUE(menu.actions().at(2)->isChecked());
    // A triggered checkable action shows what the group decided, not Qt's toggle.
    g.setHandler([](int) {});
    menu.actions().at(0)->trigger();
    EXPECT_FALSE(menu.actions().at(0)->isChecked());
    g.setVisible(0, false);
    EXPECT_FALSE(menu.actions().at(0)->isVisible());
}
