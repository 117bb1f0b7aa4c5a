#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include "platform/fake/FakePlatform.h"
#include "platform/x11/QtDialogs.h"

using namespace varnel;

namespace {
QList<QMessageBox*> openBoxes()
{
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible())
            boxes << b;
    return boxes;
}

// Ends whatever still waits for a person after a while, so that a fault
// fails the test instead of hanging it.
void rescueAfter(int ms, QObject* test, bool* rescued)
{
    QTimer::singleShot(ms, test, [rescued] {
        for (QMessageBox* b : openBoxes()) {
            *rescued = true;
            b->reject();
        }
    });
}
} // namespace

TEST(QtDialogs, StandbyMessagesGoToTheTrayOrStandAloneAndNeverWait)
{
    FakeTrayIcon tray;
    QWidget window;
    window.show();
    QtDialogs dialogs(&tray);
    dialogs.setOwner(&window);
    dialogs.setStandby(true);

    tray.add({}, "Varnel");
    dialogs.message("保存できませんでした");
    ASSERT_EQ(tray.messages.size(), 1);
    EXPECT_EQ(tray.messages[0], "Varnel|保存できませんでした");
    EXPECT_TRUE(openBoxes().isEmpty());

    // No icon: a box of its own, owned by no window, and nobody waits for it.
    tray.remove();
    QObject test;
    bool rescued = false;
    rescueAfter(2000, &test, &rescued);
    dialogs.message("取り込めません");
    EXPECT_FALSE(rescued);
    const auto boxes = openBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->parentWidget(), nullptr);
    EXPECT_FALSE(boxes[0]->isModal());
    EXPECT_EQ(boxes[0]->text(), "取り込めません");
    EXPECT_TRUE(dialogs.messageJustShown());
    boxes[0]->close();
}

TEST(QtDialogs, AnExitRequestEndsTheOpenQuestionAndLaterMessagesWaitForNobody)
{
    FakeTrayIcon tray;
    tray.add({}, "Varnel");
    QtDialogs dialogs(&tray);
    QObject test;
    bool rescued = false;
    rescueAfter(3000, &test, &rescued);
    QTimer::singleShot(200, &test, [&] { dialogs.beginExit(); });
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(dialogs.confirm("マクロを記録開始します"));
    EXPECT_FALSE(rescued) << "the question waited for a person";
    EXPECT_LT(t.elapsed(), 2000);

    // The settings cannot be saved at the exit: said, not asked.
    t.restart();
    dialogs.message("設定を保存できません");
    EXPECT_LT(t.elapsed(), 500);
    EXPECT_TRUE(openBoxes().isEmpty());
    EXPECT_EQ(tray.messages, QStringList{"Varnel|設定を保存できません"});
    EXPECT_FALSE(dialogs.confirm("作業ﾌｫﾙﾀﾞを空にして良いですが"));
    EXPECT_TRUE(dialogs.openFile("開く", "", "", "").isEmpty());
    EXPECT_TRUE(openBoxes().isEmpty());
}
