#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "macros/spSize.h"

using varnel::spSize;

namespace {

QStringList lines(const QListWidget* l)
{
    QStringList out;
    for (int i = 0; i < l->count(); ++i)
        out << l->item(i)->text();
    return out;
}

int selectedRow(const QListWidget* l)
{
    const auto sel = l->selectedItems();
    return sel.isEmpty() ? -1 : l->row(sel.first());
}

} // namespace

class SizeDialogTest : public ::testing::Test {
protected:
    spSize::Services services()
    {
        spSize::Services s;
        s.workArea = [this] { return workArea; };
        s.startCalculator = [this] { ++calculatorStarts; return calculatorInstalled; };
        s.message = [this](const QString& m) { messages << m; };
        return s;
    }
    void open(const QString& list, int w, int h)
    {
        d = std::make_unique<spSize>(services());
        d->begin(list, w, h);
        d->show();
        // Focus moves (Tab, leaving a box) only happen in the active window.
        QApplication::setActiveWindow(d.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    }
    // The buttons as a string: 1 enabled, 0 disabled, in the order ↑ ↓ 削除 ←修正 ←追加.
    std::string buttons() const
    {
        std::string s;
        for (auto* b : d->cmLst)
            s += b->isEnabled() ? '1' : '0';
        return s;
    }
    void clickLine(int row)
    {
        QListWidget* l = d->lsHani;
        const QRect r = l->visualItemRect(l->item(row));
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, r.center());
    }
    void clickPreset(int k, int row)
    {
        QListWidget* l = d->lsSize[size_t(k)];
        const QRect r = l->visualItemRect(l->item(row));
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, r.center());
    }
    void typeInto(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    void press(int button) { QTest::mouseClick(d->cmLst[size_t(button)], Qt::LeftButton); }

    QRect workArea{0, 0, 1920, 1040};
    int calculatorStarts = 0;
    bool calculatorInstalled = true;
    QStringList messages;
    std::unique_ptr<spSize> d;
};

TEST_F(SizeDialogTest, FirstOpeningShowsTheCurrentRangeAsTemporary)
{
    QApplication::setOverrideCursor(Qt::BusyCursor); // a command's busy pointer
    open("", 640, 480);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(d->windowTitle(), "選択･切取ｻｲｽﾞの登録");
    EXPECT_EQ(lines(d->lsHani), QStringList{"Temporary(640*480 px)"});
    EXPECT_EQ(selectedRow(d->lsHani), 0);
    EXPECT_EQ(d->txSizeX[0]->text(), "640");
    EXPECT_EQ(d->txSizeY[0]->text(), "480");
    EXPECT_EQ(d->txCap->text(), "Temporary");
    EXPECT_EQ(d->lbCap->text(), "640 x 480px");
    EXPECT_TRUE(d->opSize[0]->isChecked());
    EXPECT_EQ(buttons(), "00110");
    EXPECT_EQ(d->WorkList, "Temporary,640,480,px:");
    // Controls as the user sees them.
    EXPECT_EQ(d->cmLst[3]->toolTip(), "既存の登録名が存在すれば､上書きとなります");
    EXPECT_EQ(d->cmLst[4]->toolTip(), d->cmLst[3]->toolTip());
    EXPECT_TRUE(d->cmLst[0]->toolTip().isEmpty());
    EXPECT_EQ(d->txPsnt[0]->text(), "100");
    EXPECT_EQ(d->txPsnt[1]->text(), "100");
    EXPECT_EQ(d->txSizeX[1]->text(), "0");
    EXPECT_EQ(d->chXY[1]->text(), "縦横入替");
    EXPECT_EQ(d->cmClose->text(), "閉じる");
    EXPECT_TRUE(d->lsSize[1]->font().fixedPitch());
    EXPECT_EQ(lines(d->lsSize[1]).value(0), "A4   21.0 x 29.7");
    EXPECT_EQ(selectedRow(d->lsSize[0]), -1);
}

TEST_F(SizeDialogTest, ActHandsBackTheListWhenClosedEitherWay)
{
    QString list;
    QTimer::singleShot(0, [this] {
        auto* dlg = qobject_cast<spSize*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dlg);
        EXPECT_EQ(dlg->lbCap->text(), "640 x 480px");
        QTest::mouseClick(dlg->cmClose, Qt::LeftButton);
    });
    spSize(services()).Act(list, 640, 480);
    EXPECT_EQ(list, "Temporary,640,480,px:");

    // The close box: the list edited so far still comes back.
    QString second = "A,1,2,px";
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<spSize*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dlg);
        QTest::mouseClick(dlg->cmLst[2], Qt::LeftButton); // delete Temporary
        dlg->close();
    });
    spSize(services()).Act(second, 5, 6);
    EXPECT_EQ(second, "A,1,2,px");
}

TEST_F(SizeDialogTest, SecondOpeningAddsNoSecondTemporary)
{
    open("Temporary,640,480,px", 100, 50);
    EXPECT_EQ(lines(d->lsHani), QStringList{"Temporary(640*480 px)"});
    EXPECT_EQ(d->txSizeX[0]->text(), "100");
    EXPECT_EQ(d->txSizeY[0]->text(), "50");
    press(3);
    EXPECT_EQ(d->WorkList, "Temporary,100,50,px");
    EXPECT_EQ(lines(d->lsHani), QStringList{"Temporary(100*50 px)"});
    EXPECT_EQ(selectedRow(d->lsHani), 0);
    EXPECT_EQ(buttons(), "00000");

    open("MyTemporary,3,4,px", 100, 50);
    EXPECT_EQ(d->WorkList, "MyTemporary,3,4,px");
    EXPECT_EQ(lines(d->lsHani), QStringList{"MyTemporary(3*4 px)"});
}

TEST_F(SizeDialogTest, PaperPresetAtHalfSizeAndSwapped)
{
    open("", 640, 480);
    typeInto(d->txPsnt[1], "50");
    clickPreset(1, 0);
    EXPECT_TRUE(d->opSize[1]->isChecked());
    EXPECT_EQ(d->txCap->text(), "A4 50%");
    EXPECT_EQ(d->txSizeX[1]->text(), "10.5");
    EXPECT_EQ(d->txSizeY[1]->text(), "14.85");
    EXPECT_EQ(d->lbCap->text(), "10.5 x 14.85 cm");
    EXPECT_EQ(buttons(), "00111"); // the name is new: ←追加 enabled
    QTest::mouseClick(d->chXY[1], Qt::LeftButton);
    EXPECT_EQ(d->txSizeX[1]->text(), "14.85");
    EXPECT_EQ(d->txSizeY[1]->text(), "10.5");
    EXPECT_EQ(d->lbCap->text(), "14.85 x 10.5 cm");
    press(4);
    EXPECT_EQ(d->WorkList, "A4 50%,14.85,10.5,cm:Temporary,640,480,px");
    EXPECT_EQ(lines(d->lsHani), (QStringList{"A4 50%(14.85*10.5 cm)", "Temporary(640*480 px)"}));
    // Picking the entry again shows it in the centimetre set.
    clickLine(0);
    EXPECT_EQ(d->lbCap->text(), "14.85 x 10.5cm");
    EXPECT_TRUE(d->opSize[1]->isChecked());
    EXPECT_EQ(buttons(), "011" "00");
}

TEST_F(SizeDialogTest, ScreenRowComesFromTheWorkArea)
{
    workArea = QRect(0, 40, 1920, 1040);
    open("", 0, 0);
    int w = 0, h = 0;
    d->ScrnSz(w, h);
    EXPECT_EQ(w, 1920);
    EXPECT_EQ(h, 1040);
    EXPECT_EQ(lines(d->lsSize[0]).value(6), "ｽｸﾘｰﾝ 1,920 * 1,040");
    clickPreset(0, 6);
    EXPECT_EQ(d->txCap->text(), "ｽｸﾘｰﾝ 100%");
    EXPECT_EQ(d->txSizeX[0]->text(), "1920");
    EXPECT_EQ(d->txSizeY[0]->text(), "1040");
    EXPECT_EQ(d->lbCap->text(), "1920 x 1040 px");
}

TEST_F(SizeDialogTest, PercentageOutOfRangeTurnsRedAndChangesNothing)
{
    open("", 640, 480);
    for (const char* bad : {"150", "0"}) {
        typeInto(d->txPsnt[0], bad);
        EXPECT_EQ(d->txPsnt[0]->palette().color(QPalette::Text), QColor(Qt::red)) << bad;
        clickPreset(0, 1);
        EXPECT_EQ(d->txCap->text(), "Temporary") << bad;
        EXPECT_EQ(d->txSizeX[0]->text(), "640") << bad;
        EXPECT_EQ(d->lbCap->text(), "640 x 480px") << bad;
    }
    typeInto(d->txPsnt[0], "50");
    EXPECT_EQ(d->txPsnt[0]->palette().color(QPalette::Text), QColor(Qt::black));
    // Enter in the percentage box applies it to the chosen row.
    QTest::keyClick(d->txPsnt[0], Qt::Key_Return);
    EXPECT_EQ(d->txCap->text(), "VGA 50%");
    EXPECT_EQ(d->txSizeX[0]->text(), "320");
    EXPECT_EQ(d->txSizeY[0]->text(), "240");
    EXPECT_TRUE(d->isVisible()); // Enter pressed no button
}

TEST_F(SizeDialogTest, AddInsertsBeforeTheSelectedLine)
{
    open("A,1,1,px:B,2,2,px", 640, 480);
    clickLine(2); // B
    EXPECT_EQ(buttons(), "10100");
    typeInto(d->txCap, "New");
    EXPECT_EQ(buttons(), "10111");
    typeInto(d->txSizeX[0], "7");
    QTest::keyClick(d->txSizeX[0], Qt::Key_Tab);
    EXPECT_EQ(d->lbCap->text(), "7 x 2 px");
    press(4);
    EXPECT_EQ(d->WorkList, "Temporary,640,480,px:A,1,1,px:New,7,2,px:B,2,2,px");
    EXPECT_EQ(selectedRow(d->lsHani), 2);
    EXPECT_EQ(buttons(), "00000");

    // With no line selected the new entry goes to the top, unselected.
    press(2); // nothing selected after a button: delete does nothing
    d->lsHani->clearSelection();
    typeInto(d->txCap, "Top");
    press(4);
    EXPECT_TRUE(d->WorkList.startsWith("Top,7,2,px:Temporary,"));
    EXPECT_EQ(selectedRow(d->lsHani), -1);
}

TEST_F(SizeDialogTest, AddIsDisabledForAnExistingNameInAnyCase)
{
    open("Vga,640,480,px", 1, 1);
    clickLine(1);
    typeInto(d->txCap, "VGA");
    EXPECT_FALSE(d->cmLst[4]->isEnabled());
    typeInto(d->txCap, "vGA2");
    EXPECT_TRUE(d->cmLst[4]->isEnabled());
    typeInto(d->txCap, "temporary");
    EXPECT_FALSE(d->cmLst[4]->isEnabled());
}

TEST_F(SizeDialogTest, MovesAreDisabledAtTheEndsAndDeleteLeavesNoSelection)
{
    open("A,1,1,px:B,2,2,px", 1, 1);
    clickLine(0);
    EXPECT_EQ(buttons(), "01100");
    clickLine(2);
    EXPECT_EQ(buttons(), "10100");
    press(0);
    EXPECT_EQ(d->WorkList, "Temporary,1,1,px:B,2,2,px:A,1,1,px");
    EXPECT_EQ(selectedRow(d->lsHani), 1);
    clickLine(1);
    press(1);
    EXPECT_EQ(d->WorkList, "Temporary,1,1,px:A,1,1,px:B,2,2,px");
    clickLine(0);
    press(2);
    EXPECT_EQ(d->WorkList, "A,1,1,px:B,2,2,px");
    EXPECT_EQ(selectedRow(d->lsHani), -1);
    EXPECT_EQ(buttons(), "00000");
}

TEST_F(SizeDialogTest, NamesWithSeparatorsAreRefusedWithAMessage)
{
    open("A,1,1,px", 640, 480);
    for (const char* bad : {"a:b", "a,b"}) {
        typeInto(d->txCap, bad);
        press(3); // line 0 is still selected from the opening
        press(4);
        EXPECT_EQ(d->WorkList, "Temporary,640,480,px:A,1,1,px") << bad;
    }
    ASSERT_EQ(messages.size(), 4);
    EXPECT_TRUE(messages[0].contains("\":\"") && messages[0].contains("\",\""));
}

TEST_F(SizeDialogTest, SizeBoxesSelectTheirTextOnFocus)
{
    open("", 640, 480);
    d->txSizeX[0]->setFocus(Qt::MouseFocusReason);
    QTest::qWait(20);
    EXPECT_EQ(d->txSizeX[0]->selectedText(), "640");
}

TEST_F(SizeDialogTest, CalculatorStartsOrTellsThereIsNone)
{
    open("", 1, 1);
    QTest::mouseClick(d->ssCom, Qt::LeftButton);
    EXPECT_EQ(calculatorStarts, 1);
    EXPECT_TRUE(messages.isEmpty());
    calculatorInstalled = false;
    QTest::mouseClick(d->ssCom, Qt::LeftButton);
    EXPECT_EQ(messages, QStringList{spSize::messageNoCalculator()});
}

TEST_F(SizeDialogTest, PresetsAnswerTheKeyboardButFocusAloneChoosesNothing)
{
    open("", 640, 480);
    d->lsSize[1]->setFocus(Qt::TabFocusReason);
    QTest::qWait(10);
    EXPECT_TRUE(d->opSize[0]->isChecked());
    EXPECT_EQ(d->txCap->text(), "Temporary");
    QTest::keyClick(d->lsSize[1], Qt::Key_Down);
    const int row = selectedRow(d->lsSize[1]);
    ASSERT_TRUE(row == 0 || row == 1) << row;
    EXPECT_TRUE(d->opSize[1]->isChecked());
    EXPECT_EQ(d->txCap->text(), row == 0 ? "A4 100%" : "B5 100%");
    EXPECT_EQ(d->lbCap->text(), row == 0 ? "21 x 29.7 cm" : "18.2 x 25.7 cm");
    QTest::keyClick(d->lsSize[1], Qt::Key_Down);
    EXPECT_EQ(selectedRow(d->lsSize[1]), row + 1);
    EXPECT_EQ(d->txCap->text(), row == 0 ? "B5 100%" : "A5 100%");
}
