#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "editing/StampPreview.h"
#include "DrawingFixture.h"
#include "editing/DrawToolBar.h"
#include "editing/DrawingOverlay.h"
#include "editing/PictureSurface.h"

using namespace varnel;
using drawtest::countNear;

// --- the view ---

TEST_F(ViewDrawingTest, ScaleBoxSwitchesModesAndAlwaysComesBackAt100)
{
    paste(white());
    w->scaleBox()->click();
    EXPECT_EQ(w->DisplayMode, 3);
    EXPECT_TRUE(w->zoomList()->isEnabled());
    EXPECT_EQ(w->zoomList()->currentText(), "100%");
    w->StepZoom(1);
    w->StepZoom(1);
    EXPECT_EQ(w->zoomList()->currentText(), "150%");
    w->scaleBox()->click();
    EXPECT_EQ(w->DisplayMode, 1);
    EXPECT_FALSE(w->zoomList()->isEnabled());
    EXPECT_EQ(w->zoomList()->currentIndex(), -1);
    w->scaleBox()->click();
    EXPECT_EQ(w->zoomList()->currentText(), "100%");
    EXPECT_DOUBLE_EQ(w->surface()->displayScale(), 1.0);
}

TEST_F(ViewDrawingTest, CtrlWheelStepsThroughTheZoomList)
{
    paste(white());
    ASSERT_EQ(w->DisplayMode, 1);
    ASSERT_DOUBLE_EQ(w->surface()->displayScale(), 1.0); // small picture: own size
    wheel(120, Qt::NoModifier);
    EXPECT_EQ(w->DisplayMode, 1); // a plain wheel only scrolls
    wheel(120, Qt::ControlModifier);
    EXPECT_EQ(w->DisplayMode, 3);
    EXPECT_FALSE(w->scaleBox()->isChecked());
    EXPECT_TRUE(w->zoomList()->isEnabled());
    EXPECT_EQ(w->zoomList()->currentText(), "125%");
    EXPECT_DOUBLE_EQ(w->surface()->displayScale(), 1.25);
    wheel(-120, Qt::ControlModifier);
    wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(w->zoomList()->currentText(), " 75%");
    // A fine wheel adds up to a notch.
    wheel(60, Qt::ControlModifier);
    EXPECT_EQ(w->zoomList()->currentText(), " 75%");
    wheel(60, Qt::ControlModifier);
    EXPECT_EQ(w->zoomList()->currentText(), "100%");
    for (int i = 0; i < 12; ++i)
        wheel(120, Qt::ControlModifier);
    EXPECT_EQ(w->zoomList()->currentText(), "500%");
    EXPECT_DOUBLE_EQ(w->surface()->zoom(), 5.0);
}

TEST_F(ViewDrawingTest, CtrlWheelZoomsAlsoWhileDrawing)
{
    paste(white());
    openToolBar(DrawnShape::Rectangle);
    const QPointF at(30, 30);
    QWheelEvent e(at, overlay()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                  Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(overlay(), &e);
    EXPECT_EQ(w->zoomList()->currentText(), "125%");
    // The shapes follow the zoom: a box drawn now lands on the same pixels.
    drag({25, 25}, {125, 75}); // 20,20 .. 100,60 in the picture
    int l, r, t, b;
    ASSERT_TRUE(w->GetRange(l, r, t, b));
    EXPECT_EQ(QRect(QPoint(l, t), QPoint(r, b)), QRect(QPoint(20, 20), QPoint(100, 60)));
}

TEST_F(ViewDrawingTest, CtrlPlusAndMinusKeysStepTheZoom)
{
    paste(white());
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(w->DisplayMode, 3);
    EXPECT_EQ(w->zoomList()->currentText(), " 75%");
    QTest::keyClick(w.get(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(w->zoomList()->currentText(), "100%");
    QTest::keyClick(w.get(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(w->zoomList()->currentText(), "125%");
}

TEST_F(ViewDrawingTest, ToolButtonsGoThroughTheMenuGroups)
{
    struct Route { int button; const char* group; int item; };
    const Route routes[] = {{0, "mnFile", 0}, {1, "mnFile", 1}, {2, "mnWkf", 0},
                            {3, "mnWkf", 1},  {4, "mnEdt", 3},  {5, "mnEdt", 2},
                            {6, "mnEdt", 6},  {7, "mnCut", 0},  {8, "mnCut", 1}};
    QStringList seen;
    for (const char* name : {"mnFile", "mnWkf", "mnEdt", "mnCut"})
        g(name).setHandler([&seen, name](int i) { seen << QString("%1:%2").arg(name).arg(i); });
    for (const Route& r : routes) {
        seen.clear();
        w->toolButton(r.button)->click();
        EXPECT_EQ(seen, QStringList{QString("%1:%2").arg(r.group).arg(r.item)}) << r.button;
    }
    seen.clear();
    w->toolButton(9)->click();
    EXPECT_TRUE(seen.isEmpty());
}

TEST_F(ViewDrawingTest, ButtonNineCopiesTheRangeStandsByAndRecordsNothing)
{
    paste(white(100, 80));
    w->surface()->setSelection(10, 20, 40, 50);
    w->MacroRecording = true;
    const int puts = fake.clipboard->putCount;
    w->toolButton(9)->click();
    EXPECT_EQ(fake.clipboard->putCount, puts + 1);
    EXPECT_EQ(fake.clipboard->picture().size(), QSize(30, 30));
    EXPECT_FALSE(w->FormShown);
    EXPECT_TRUE(w->MacroBuffer.isEmpty());
    // A menu item through its button records like the item itself.
    w->SetFormShown(true);
    w->toolButton(5)->click();
    EXPECT_EQ(w->MacroBuffer, "画像編集⇒ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ");
}

TEST_F(ViewDrawingTest, WorkFolderItemTogglesTheListAndItsCaption)
{
    ASSERT_FALSE(w->fileList()->isVisible());
    g("mnDisp").click(0);
    EXPECT_TRUE(w->WorkListShown);
    EXPECT_TRUE(w->fileList()->isVisible());
    EXPECT_EQ(g("mnDisp").caption(0), "作業ﾌｫﾙﾀﾞを非表示");
    EXPECT_GT(w->surface()->x(), w->fileList()->width() - 1);
    g("mnDisp").click(0);
    EXPECT_FALSE(w->fileList()->isVisible());
    EXPECT_EQ(g("mnDisp").caption(0), "作業ﾌｫﾙﾀﾞを表示");
    EXPECT_EQ(w->surface()->x(), 0);
}

class StampTest : public ViewDrawingTest {
protected:
    void SetUp() override
    {
        ViewDrawingTest::SetUp();
        QDir().mkpath(env.apDataFolder);
        write(env.apDataFolder + "a.bmp", qRgb(255, 0, 0));
        write(env.apDataFolder + "b.bmp", qRgb(0, 0, 255));
        // Stamps show once settings were stored: exit once, start again.
        g("mnFile").click(11);
        w.reset();
        w = std::make_unique<fmMain>(fake.platform, env);
        w->show();
    }
    static void write(const QString& path, QRgb c)
    {
        // 32 x 32: a coloured square on white.
        QImage img(32, 32, QImage::Format_RGB888);
        img.fill(Qt::white);
        for (int y = 8; y < 24; ++y)
            for (int x = 8; x < 24; ++x)
                img.setPixel(x, y, c);
        img.save(path, "BMP");
    }
    void doubleClickPanel()
    {
        QTest::mouseDClick(w->stampPanel(), Qt::LeftButton);
    }
};

TEST_F(StampTest, DoubleClickCyclesStampsAtOneWholeSize)
{
    ASSERT_EQ(w->stampPanel()->stamps, (QStringList{"a.bmp", "b.bmp"}));
    ASSERT_TRUE(w->stampPanel()->isVisible());
    const QSize first = w->stampPanel()->pixmap().size();
    const QRect inside = w->stampPanel()->contentsRect();
    EXPECT_LE(first.width(), inside.width());
    EXPECT_LE(first.height(), inside.height());
    EXPECT_GT(first.width(), 8);
    doubleClickPanel();
    EXPECT_EQ(w->stampPanel()->index, 1);
    EXPECT_EQ(w->stampPanel()->pixmap().size(), first);
    // Sharp: the square's colour itself, not a blend with the white.
    const QImage shown = w->stampPanel()->pixmap().toImage();
    EXPECT_EQ(shown.pixel(shown.width() / 2, shown.height() / 2), qRgb(0, 0, 255));
    EXPECT_EQ(overlay()->stamp().pixel(16, 16), qRgb(0, 0, 255));
    EXPECT_EQ(qAlpha(overlay()->stamp().pixel(1, 1)), 0); // white shows through
    // Whatever size the panel has when the stamp is loaded (before the first
    // layout it has another), the picture keeps its one size.
    w->stampPanel()->resize(100, 30);
    doubleClickPanel();
    EXPECT_EQ(w->stampPanel()->index, 0);
    EXPECT_EQ(overlay()->stamp().pixel(16, 16), qRgb(255, 0, 0));
    EXPECT_EQ(w->stampPanel()->pixmap().size(), first);
}

TEST_F(StampTest, StampToolPlacesTheStampWithAClick)
{
    paste(white());
    openToolBar(DrawnShape::Stamp);
    QTest::mouseClick(overlay(), Qt::LeftButton, {}, QPoint(100, 80));
    ASSERT_EQ(overlay()->drawing().count(), 1);
    ASSERT_TRUE(w->MergeDrawing());
    // Centred on the click; the white around the square shows the picture.
    EXPECT_EQ(countNear(pixels(), qRgb(255, 0, 0), QRect(92, 72, 16, 16)), 256);
    EXPECT_EQ(countNear(pixels(), qRgb(255, 0, 0)), 256);
}

// --- drawing ---

TEST_F(ViewDrawingTest, ToolBarOpensBesideTheWindowOnlyWithAPicture)
{
    w->resize(900, 500); // wide enough to give up the room whole
    w->move(20, 40);
    w->ShowDrawToolBar();
    EXPECT_FALSE(w->ToolBarShown);
    EXPECT_FALSE(w->drawToolBar()->isVisible());
    paste(white());
    const int width = w->frameGeometry().width();
    const int left = w->frameGeometry().left();
    w->ShowDrawToolBar();
    EXPECT_TRUE(w->ToolBarShown);
    EXPECT_TRUE(w->drawToolBar()->isVisible());
    EXPECT_EQ(w->drawToolBar()->windowTitle(), "ToolBar");
    const int shift = DrawToolBar::kRoom - left;
    EXPECT_EQ(w->frameGeometry().left(), left + shift);
    EXPECT_EQ(w->frameGeometry().width(), width - shift);
    EXPECT_EQ(w->drawToolBar()->pos().x(), 0);
    EXPECT_TRUE(overlay()->isVisible());
    EXPECT_TRUE(overlay()->inputEnabled());
}

TEST_F(ViewDrawingTest, MakingRoomForTheToolBarNeverCutsTheToolStrip)
{
    paste(white());
    w->move(0, 40);
    const int before = w->width();
    w->ShowDrawToolBar();
    ASSERT_TRUE(w->ToolBarShown);
    EXPECT_EQ(w->frameGeometry().left(), DrawToolBar::kRoom);
    EXPECT_LE(w->width(), before);
    // The strip's last control lies wholly inside the window.
    const QRect last = w->standbyBox()->geometry();
    EXPECT_LE(last.right(), w->centralWidget()->width()) << w->width();
}

TEST_F(ViewDrawingTest, ToolBarStandsByWithTheWindowAndComesBackWithIt)
{
    paste(white());
    openToolBar(DrawnShape::Rectangle);
    drag({10, 10}, {50, 40});
    w->SetFormShown(false);
    EXPECT_FALSE(w->drawToolBar()->isVisible());
    EXPECT_TRUE(w->ToolBarShown);
    EXPECT_EQ(overlay()->drawing().count(), 1); // hiding is no close: nothing merged
    w->SetFormShown(true);
    EXPECT_TRUE(w->drawToolBar()->isVisible());
    EXPECT_TRUE(w->ToolBarShown);
}

TEST_F(ViewDrawingTest, EachShapeBecomesPixelsWhenTheToolBarCloses)
{
    paste(white());
    openToolBar(DrawnShape::Rectangle);
    w->drawToolBar()->setColour(QColor(255, 0, 0));
    drag({10, 10}, {50, 40});
    w->drawToolBar()->setTool(DrawnShape::Ellipse);
    drag({60, 10}, {100, 40});
    w->drawToolBar()->setTool(DrawnShape::Arrow);
    drag({110, 40}, {150, 10});
    w->drawToolBar()->setTool(DrawnShape::Pen);
    drag({160, 10}, {200, 40});
    ASSERT_EQ(overlay()->drawing().count(), 4);
    EXPECT_EQ(w->PictureState, 2); // drawn is changed, before any merge
    EXPECT_EQ(countNear(pixels(), qRgb(255, 0, 0)), 0);
    w->drawToolBar()->close();
    EXPECT_FALSE(w->ToolBarShown);
    EXPECT_FALSE(overlay()->isVisible());
    EXPECT_FALSE(overlay()->inputEnabled());
    EXPECT_TRUE(overlay()->drawing().isEmpty());
    for (int i = 0; i < 4; ++i)
        EXPECT_GT(countNear(pixels(), qRgb(255, 0, 0), QRect(8 + 50 * i, 8, 46, 36)), 30) << i;
}

TEST_F(ViewDrawingTest, TextTypedThroughTheInputMethodIsMerged)
{
    paste(white());
    openToolBar(DrawnShape::Text);
    w->drawToolBar()->setColour(Qt::black);
    QTest::mouseClick(overlay(), Qt::LeftButton, {}, QPoint(20, 60));
    QLineEdit* ed = overlay()->textEditor();
    ASSERT_NE(ed, nullptr);
    EXPECT_TRUE(ed->testAttribute(Qt::WA_InputMethodEnabled));
    // What an input method hands over when the user confirms a conversion.
    QInputMethodEvent preedit(QStringLiteral("にほんご"), {});
    QCoreApplication::sendEvent(ed, &preedit);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("日本語"));
    QCoreApplication::sendEvent(ed, &commit);
    QTest::keyClick(ed, Qt::Key_Return);
    EXPECT_EQ(overlay()->textEditor(), nullptr);
    ASSERT_EQ(overlay()->drawing().count(), 1);
    EXPECT_EQ(overlay()->drawing().shape(0).text, "日本語");
    w->drawToolBar()->close();
    EXPECT_GT(countNear(pixels(), qRgb(0, 0, 0), QRect(18, 58, 120, 40)), 20);
    EXPECT_EQ(countNear(pixels(), qRgb(0, 0, 0), QRect(0, 0, 240, 55)), 0);
}

TEST_F(ViewDrawingTest, TextStillBeingTypedIsNotLost)
{
    paste(white());
    openToolBar(DrawnShape::Text);
    w->drawToolBar()->setColour(Qt::black);
    QTest::mouseClick(overlay(), Qt::LeftButton, {}, QPoint(20, 60));
    ASSERT_NE(overlay()->textEditor(), nullptr);
    QTest::keyClicks(overlay()->textEditor(), "Note");
    // Saved without pressing Return: the text goes into the file.
    g("mnWkf").click(0);
    ASSERT_EQ(workFiles().size(), 1);
    QImage saved(w->WorkFolder + "/" + workFiles().first());
    EXPECT_GT(countNear(saved, qRgb(0, 0, 0), QRect(18, 58, 120, 40)), 20);
}

TEST_F(ViewDrawingTest, RectangleTakenAsTheRangeIsNotMerged)
{
    paste(white());
    openToolBar(DrawnShape::Ellipse);
    w->drawToolBar()->setColour(QColor(0, 0, 255));
    drag({150, 20}, {200, 60});
    w->drawToolBar()->setTool(DrawnShape::Rectangle);
    w->drawToolBar()->setColour(QColor(255, 0, 0));
    drag({20, 30}, {80, 70});
    int l, r, t, b;
    ASSERT_TRUE(w->GetRange(l, r, t, b));
    EXPECT_EQ(QRect(QPoint(l, t), QPoint(r, b)), QRect(QPoint(20, 30), QPoint(80, 70)));
    EXPECT_EQ(overlay()->drawing().count(), 1); // the ellipse stays a shape
    w->drawToolBar()->close();
    EXPECT_EQ(countNear(pixels(), qRgb(255, 0, 0)), 0);
    EXPECT_GT(countNear(pixels(), qRgb(0, 0, 255)), 40);
}

TEST_F(ViewDrawingTest, CopyWithADrawnRectangleCopiesThatRangeWithoutTheBox)
{
    paste(white());
    openToolBar(DrawnShape::Pen);
    w->drawToolBar()->setColour(Qt::black);
    drag({30, 40}, {60, 50}); // inside the range-to-be
    w->drawToolBar()->setTool(DrawnShape::Rectangle);
    w->drawToolBar()->setColour(QColor(255, 0, 0));
    drag({20, 30}, {80, 70});
    g("mnEdt").click(2);
    const QImage copied = fake.clipboard->picture();
    EXPECT_EQ(copied.size(), QSize(60, 40));
    EXPECT_EQ(countNear(copied, qRgb(255, 0, 0)), 0);
    EXPECT_GT(countNear(copied, qRgb(0, 0, 0)), 10); // the pen stroke is in
    // The picture keeps its size; the stroke is now part of it.
    EXPECT_EQ(pixels().size(), QSize(240, 160));
    EXPECT_TRUE(overlay()->drawing().isEmpty());
}

TEST_F(ViewDrawingTest, NumberedSaveHoldsTheShapesDrawn)
{
    paste(white());
    openToolBar(DrawnShape::Rectangle);
    w->drawToolBar()->setColour(QColor(255, 0, 0));
    drag({20, 30}, {80, 70});
    w->drawToolBar()->setTool(DrawnShape::Arrow);
    drag({100, 100}, {180, 40});
    g("mnWkf").click(0);
    ASSERT_EQ(workFiles().size(), 1);
    QImage saved(w->WorkFolder + "/" + workFiles().first());
    EXPECT_GT(countNear(saved, qRgb(255, 0, 0), QRect(18, 28, 65, 45)), 100);
    EXPECT_GT(countNear(saved, qRgb(255, 0, 0), QRect(95, 35, 90, 70)), 50);
    // Still drawing: the bar stays open for more.
    EXPECT_TRUE(w->ToolBarShown);
}

TEST_F(ViewDrawingTest, RightClickOnTheOverlayStillOpensTheEditMenu)
{
    paste(white());
    openToolBar(DrawnShape::Rectangle);
    bool opened = false;
    QObject::connect(w->surface(), &PictureSurface::rightClicked, [&opened] { opened = true; });
    QTest::mouseClick(overlay(), Qt::RightButton, {}, QPoint(50, 50));
    EXPECT_TRUE(opened);
    EXPECT_TRUE(overlay()->drawing().isEmpty());
}
