#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "editing/PictureSurface.h"
#include "macros/spSize.h"

using namespace varnel;

class RangesTest : public MainWindowTest {
protected:
    // The captions of the range menu as shown: visible actions, separators as "-".
    QStringList shownRangeMenu()
    {
        QCoreApplication::processEvents(); // menus rebuild from the event loop
        QStringList out;
        QMenu* m = w->menuOf("mnUsHn");
        if (!m)
            return out;
        for (QAction* a : m->actions())
            if (a->isVisible())
                out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }
    QStringList userItems()
    {
        QStringList out;
        for (int i = 0; i < g("mnUsHn").size(); ++i)
            if (g("mnUsHn").exists(i))
                out << (g("mnUsHn").isVisible(i) ? "" : "hidden:") + g("mnUsHn").caption(i);
        return out;
    }
    void showPicture(int width, int height)
    {
        w->surface()->picture().setImage(picture(qRgb(200, 210, 220), width, height));
        w->ShowPicture();
    }
    QRect selection() const
    {
        const PictureSurface* s = w->surface();
        return QRect(QPoint(s->selLeft(), s->selTop()), QPoint(s->selRight(), s->selBottom()));
    }
    // Runs fn on the size dialog once it is up, inside its modal loop.
    static void whenDialogOpens(std::function<void(spSize&)> fn)
    {
        QTimer::singleShot(0, [fn] {
            auto* d = qobject_cast<spSize*>(QApplication::activeModalWidget());
            ASSERT_TRUE(d) << "the size dialog did not open";
            fn(*d);
            if (d->isVisible())
                QTest::mouseClick(d->cmClose, Qt::LeftButton);
        });
    }
};

TEST_F(RangesTest, SetRangeListKeepsValidEntriesAsItems)
{
    w->rangeMenu().SetRangeList("A,640,480,px:B,0,10,px:C,5,5");
    EXPECT_EQ(w->RangeList, "A,640,480,px");
    EXPECT_EQ(userItems(), QStringList{"A(640 * 480 px)"});
    EXPECT_TRUE(g("mnRng").isVisible(0));

    w->rangeMenu().SetRangeList("A4,21.0,29.7,CM:,100,100,px:E,1,2,px,fifth:X,-50,20,px");
    EXPECT_EQ(w->RangeList, "A4,21.0,29.7,CM:E,1,2,px,fifth:X,-50,20,px");
    EXPECT_EQ(userItems(), (QStringList{"A4(21 * 29.7 cm)", "E(1 * 2 px)", "X(-50 * 20 px)"}));

    w->rangeMenu().SetRangeList("P,1,1,px::Q,2,2,px:");
    EXPECT_EQ(w->RangeList, "P,1,1,px:Q,2,2,px");
    EXPECT_EQ(userItems(), (QStringList{"P(1 * 1 px)", "Q(2 * 2 px)"}));
}

TEST_F(RangesTest, ShrinkingRemovesItemsAndAnEmptyListHidesTheSeparator)
{
    w->rangeMenu().SetRangeList("A,1,1,px:B,2,2,px:C,3,3,px");
    EXPECT_EQ(shownRangeMenu().mid(0, 5),
              (QStringList{"A(1 * 1 px)", "B(2 * 2 px)", "C(3 * 3 px)", "-", "範囲の登録"}));
    w->rangeMenu().SetRangeList("B,2,2,px");
    EXPECT_EQ(userItems(), QStringList{"B(2 * 2 px)"});
    EXPECT_EQ(g("mnUsHn").size(), 1);
    EXPECT_EQ(shownRangeMenu().mid(0, 3), (QStringList{"B(2 * 2 px)", "-", "範囲の登録"}));
    w->rangeMenu().SetRangeList("");
    EXPECT_EQ(w->RangeList, "");
    EXPECT_EQ(g("mnUsHn").size(), 1);
    EXPECT_FALSE(g("mnUsHn").isVisible(0));
    EXPECT_FALSE(g("mnRng").isVisible(0));
    EXPECT_EQ(shownRangeMenu().value(0), "範囲の登録");
}

TEST_F(RangesTest, StoredListIsTakenIntoUseAtStart)
{
    w->rangeMenu().SetRangeList("VGA,640,480,px");
    w->RangeList += ":junk"; // as a hand-edited file might hold it
    g("mnFile").click(11);
    w.reset();
    w = std::make_unique<fmMain>(fake.platform, env);
    EXPECT_EQ(w->RangeList, "VGA,640,480,px");
    EXPECT_EQ(userItems(), QStringList{"VGA(640 * 480 px)"});
}

TEST_F(RangesTest, ChoosingARangeSetsItClippedAndRecordsItsName)
{
    showPicture(200, 100);
    w->surface()->picture().setResolution(72, 72);
    w->rangeMenu().SetRangeList("Small,10,5,px:Big,500,50,px:Paper,2.54,1.27,cm:Neg,-50,20,px");
    w->MacroRecording = true;
    g("mnUsHn").click(0);
    EXPECT_EQ(selection(), QRect(QPoint(1, 1), QPoint(11, 6)));
    EXPECT_EQ(w->surface()->picture().dpiX(), 96);
    EXPECT_EQ(w->surface()->picture().dpiY(), 96);
    g("mnUsHn").click(1);
    EXPECT_EQ(selection(), QRect(QPoint(1, 1), QPoint(200, 51)));
    g("mnUsHn").click(2);
    EXPECT_EQ(selection(), QRect(QPoint(1, 1), QPoint(97, 49)));
    // A negative size sets nothing but was a size: recorded all the same.
    w->ClearRange();
    g("mnUsHn").click(3);
    EXPECT_EQ(selection(), QRect(QPoint(0, 0), QPoint(0, 0)));
    EXPECT_EQ(w->MacroBuffer, "範囲USR⇒Small\r\n範囲USR⇒Big\r\n範囲USR⇒Paper\r\n範囲USR⇒Neg");

    // An entry without a size records nothing.
    w->RangeList = "Zero,0,5,px";
    w->MacroBuffer.clear();
    g("mnUsHn").click(0);
    EXPECT_EQ(w->MacroBuffer, "");
    EXPECT_EQ(selection(), QRect(QPoint(0, 0), QPoint(0, 0)));
}

TEST_F(RangesTest, RegisteringUnchangedKeepsTheListAndTheDialogSeesTheWorkArea)
{
    w->rangeMenu().SetRangeList("A,1,2,px");
    fake.shell->workArea = QRect(0, 0, 1280, 776);
    whenDialogOpens([](spSize& d) {
        EXPECT_EQ(d.lsSize[0]->item(6)->text(), "ｽｸﾘｰﾝ 1,280 * 776");
        EXPECT_EQ(d.txSizeX[0]->text(), "0"); // no picture, no range
        QTest::mouseClick(d.ssCom, Qt::LeftButton);
    });
    g("mnRng").click(1);
    // The scratch entry of size 0 is no valid range.
    EXPECT_EQ(w->RangeList, "A,1,2,px");
    EXPECT_EQ(fake.shell->calculatorStarts, 1);
    EXPECT_EQ(fake.shell->workAreaAsked, w->frameGeometry().center());
}

TEST_F(RangesTest, FullRoadFromADraggedRangeToAnotherPicture)
{
    showPicture(400, 300);
    QWidget* vp = w->surface()->viewport();
    const QPoint from = vp->rect().center() - QPoint(60, 40);
    const QPoint to = vp->rect().center() + QPoint(30, 20);
    QTest::mousePress(vp, Qt::LeftButton, {}, from);
    QTest::mouseMove(vp, to);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, to);
    const QRect sel = selection();
    const int width = sel.right() - sel.left();
    const int height = sel.bottom() - sel.top();
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);

    whenDialogOpens([&](spSize& d) {
        EXPECT_EQ(d.txSizeX[0]->text(), QString::number(width));
        EXPECT_EQ(d.txSizeY[0]->text(), QString::number(height));
        d.txCap->setFocus();
        d.txCap->selectAll();
        QTest::keyClicks(d.txCap, "Mine");
        ASSERT_TRUE(d.cmLst[4]->isEnabled());
        QTest::mouseClick(d.cmLst[4], Qt::LeftButton);
    });
    g("mnRng").click(1);
    const QString mine = QString("Mine(%1 * %2 px)").arg(width).arg(height);
    EXPECT_EQ(w->RangeList, QString("Mine,%1,%2,px:Temporary,%1,%2,px").arg(width).arg(height));
    EXPECT_EQ(shownRangeMenu().mid(0, 2), (QStringList{mine, QString("Temporary(%1 * %2 px)").arg(width).arg(height)}));

    // Another, smaller picture: the range is clipped to it.
    showPicture(width / 2, height + 10);
    w->ClearRange();
    QAction* item = nullptr;
    for (QAction* a : w->menuOf("mnUsHn")->actions())
        if (a->text() == mine)
            item = a;
    ASSERT_TRUE(item);
    item->trigger();
    EXPECT_EQ(selection(), QRect(QPoint(1, 1), QPoint(width / 2, height + 1)));
}
