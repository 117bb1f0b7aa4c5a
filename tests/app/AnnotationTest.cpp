#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QStringEncoder>
#include <QToolButton>

#include "DrawingFixture.h"

using namespace varnel;
using drawtest::countNear;

class AnnotationTest : public ViewDrawingTest {
protected:
    // A viewport point over a picture pixel, whatever the display scale.
    QPoint at(double x, double y) const
    {
        return w->surface()->pictureToViewport().map(QPointF(x, y)).toPoint();
    }
    void click(double x, double y) { QTest::mouseClick(overlay(), Qt::LeftButton, {}, at(x, y)); }
    void undo() { g("mnEdt").click(15); }
    void redo() { g("mnEdt").click(16); }
    // The one shape on the overlay (a copy: steps replace the list).
    DrawnShape only() const
    {
        if (overlay()->drawing().count() != 1) {
            ADD_FAILURE() << "shapes: " << overlay()->drawing().count();
            return {};
        }
        return overlay()->drawing().shape(0);
    }
    std::vector<int> numbers() const
    {
        std::vector<int> n;
        for (const DrawnShape& s : overlay()->drawing().shapes())
            if (s.kind == DrawnShape::Step)
                n.push_back(s.number);
        return n;
    }
    void restart()
    {
        g("mnFile").click(11); // exit: the settings are written
        w.reset();
        w = std::make_unique<fmMain>(fake.platform, env);
        w->show();
    }
};

TEST_F(AnnotationTest, SelectMoveResizeRestyleNudgeDeleteAreEachOneStep)
{
    paste(white());
    openToolBar(DrawnShape::Rectangle);
    w->drawToolBar()->setColour(QColor(255, 0, 0));
    drag(at(20, 20), at(60, 50));
    const std::vector<QPointF> drawn{QPointF(20, 20), QPointF(60, 50)};
    ASSERT_EQ(only().points, drawn);

    w->drawToolBar()->setTool(DrawnShape::Select);
    drag(at(40, 20), at(80, 20)); // picked up by its top edge
    EXPECT_EQ(overlay()->selected(), 0);
    const std::vector<QPointF> moved{QPointF(60, 20), QPointF(100, 50)};
    EXPECT_EQ(only().points, moved);
    drag(at(100, 50), at(120, 70)); // the bottom-right handle
    const std::vector<QPointF> resized{QPointF(60, 20), QPointF(120, 70)};
    EXPECT_EQ(only().points, resized);
    w->drawToolBar()->setColour(QColor(0, 0, 255));
    EXPECT_EQ(only().colour, QColor(0, 0, 255));
    w->drawToolBar()->setLineWidth(6);
    EXPECT_EQ(only().width, 6);
    QTest::keyClick(overlay(), Qt::Key_Right);
    EXPECT_EQ(only().points.at(0), QPointF(61, 20));
    QTest::keyClick(overlay(), Qt::Key_Delete);
    EXPECT_TRUE(overlay()->drawing().isEmpty());

    // Back one step at a time, the last change first.
    undo();
    EXPECT_EQ(only().points.at(0), QPointF(61, 20));
    undo();
    EXPECT_EQ(only().points, resized);
    undo();
    EXPECT_EQ(only().width, 3);
    undo();
    EXPECT_EQ(only().colour, QColor(255, 0, 0));
    undo();
    EXPECT_EQ(only().points, moved);
    undo();
    EXPECT_EQ(only().points, drawn);
    undo();
    EXPECT_TRUE(overlay()->drawing().isEmpty());
    EXPECT_FALSE(g("mnEdt").isEnabled(15)); // the paste was no edit of a picture
    for (int i = 0; i < 7; ++i)
        redo();
    EXPECT_TRUE(overlay()->drawing().isEmpty());
    undo();
    EXPECT_EQ(only().points.at(0), QPointF(61, 20));
    EXPECT_EQ(only().colour, QColor(0, 0, 255));
    // No shape ever reached the pixels.
    EXPECT_EQ(countNear(pixels(), qRgb(255, 255, 255)), 240 * 160);
}

TEST_F(AnnotationTest, AnArrowIsReshapedByItsEnds)
{
    paste(white());
    openToolBar(DrawnShape::Arrow);
    drag(at(20, 100), at(100, 30));
    w->drawToolBar()->setTool(DrawnShape::Select);
    click(60, 65); // the line's middle
    ASSERT_EQ(overlay()->selected(), 0);
    drag(at(100, 30), at(150, 40));
    EXPECT_EQ(only().points.at(0), QPointF(20, 100));
    EXPECT_EQ(only().points.at(1), QPointF(150, 40));
    undo();
    EXPECT_EQ(only().points.at(1), QPointF(100, 30));
}

TEST_F(AnnotationTest, ADoubleClickTypesATextAgainAsOneStep)
{
    paste(white());
    openToolBar(DrawnShape::Text);
    click(20, 60);
    QTest::keyClicks(overlay()->textEditor(), "ABC");
    QTest::keyClick(overlay()->textEditor(), Qt::Key_Return);
    ASSERT_EQ(only().text, "ABC");
    w->drawToolBar()->setTool(DrawnShape::Select);
    QTest::mouseDClick(overlay(), Qt::LeftButton, {}, at(26, 66));
    QLineEdit* ed = overlay()->textEditor();
    ASSERT_NE(ed, nullptr);
    EXPECT_EQ(ed->text(), "ABC");
    ed->selectAll();
    QTest::keyClicks(ed, "XYZ");
    QTest::keyClick(ed, Qt::Key_Return);
    EXPECT_EQ(only().text, "XYZ");
    // Style of the selected text from the bar: bold and a white box.
    w->drawToolBar()->boldButton()->click();
    w->drawToolBar()->textBackBox()->setCurrentIndex(DrawnShape::WhiteBox);
    EXPECT_TRUE(only().bold);
    EXPECT_EQ(only().back, DrawnShape::WhiteBox);
    undo();
    undo();
    EXPECT_FALSE(only().bold);
    undo();
    EXPECT_EQ(only().text, "ABC");
    redo();
    EXPECT_EQ(only().text, "XYZ");
}

TEST_F(AnnotationTest, TextSizeBoxAndOutlineReachThePixels)
{
    paste(picture(qRgb(40, 40, 40), 240, 160));
    openToolBar(DrawnShape::Text);
    w->drawToolBar()->setColour(Qt::black);
    w->drawToolBar()->setTextSize(40); // a number typed in
    w->drawToolBar()->textBackBox()->setCurrentIndex(DrawnShape::WhiteBox);
    click(20, 20);
    QTest::keyClicks(overlay()->textEditor(), "Ab");
    QTest::keyClick(overlay()->textEditor(), Qt::Key_Return);
    ASSERT_EQ(only().letterHeight(), 40);
    w->drawToolBar()->textBackBox()->setCurrentIndex(DrawnShape::Outline);
    w->drawToolBar()->textSizeBox()->setCurrentIndex(0); // small
    click(20, 110);
    QTest::keyClicks(overlay()->textEditor(), "Ab");
    QTest::keyClick(overlay()->textEditor(), Qt::Key_Return);
    EXPECT_EQ(overlay()->drawing().shape(1).letterHeight(), DrawnShape::kTextSizes[0]);
    w->drawToolBar()->close();
    // Black letters on a white box, on a dark picture; the outline is the
    // inverse of black.
    EXPECT_GT(countNear(pixels(), qRgb(255, 255, 255), QRect(15, 15, 60, 50)), 600);
    EXPECT_GT(countNear(pixels(), qRgb(0, 0, 0), QRect(15, 15, 60, 50)), 100);
    EXPECT_GT(countNear(pixels(), qRgb(255, 255, 255), QRect(15, 105, 40, 25)), 20);
}

TEST_F(AnnotationTest, StepMarkersCountOnAndRenumberOnlyWhenAsked)
{
    paste(white());
    openToolBar(DrawnShape::Step);
    w->drawToolBar()->setColour(QColor(200, 0, 0));
    overlay()->setNextNumber(1);
    click(30, 30);
    click(80, 30);
    click(130, 30);
    EXPECT_EQ(numbers(), (std::vector<int>{1, 2, 3}));
    w->drawToolBar()->setTool(DrawnShape::Select);
    click(80, 30);
    QTest::keyClick(overlay(), Qt::Key_Delete);
    EXPECT_EQ(numbers(), (std::vector<int>{1, 3}));
    EXPECT_EQ(w->drawToolBar()->nextNumberButton()->text(), "次:4");
    w->drawToolBar()->renumberButton()->click();
    EXPECT_EQ(numbers(), (std::vector<int>{1, 2}));
    EXPECT_EQ(overlay()->drawing().nextNumber(), 3);
    undo();
    EXPECT_EQ(numbers(), (std::vector<int>{1, 3}));
    w->drawToolBar()->close();
    // A filled circle of the colour with a light number in it.
    EXPECT_GT(countNear(pixels(), qRgb(200, 0, 0), QRect(18, 18, 25, 25)), 250);
    EXPECT_GT(countNear(pixels(), qRgb(255, 255, 255), QRect(24, 24, 12, 12)), 5);
    EXPECT_EQ(countNear(pixels(), qRgb(200, 0, 0), QRect(68, 18, 25, 25)), 0);
}

TEST_F(AnnotationTest, StepNumbersContinueOnTheNextCaptureAndAfterARestart)
{
    paste(white());
    openToolBar(DrawnShape::Step);
    overlay()->setNextNumber(1);
    click(30, 30);
    click(80, 30);
    paste(white()); // the next picture of the series
    openToolBar(DrawnShape::Step);
    click(30, 30);
    EXPECT_EQ(numbers(), std::vector<int>{3});
    restart();
    EXPECT_EQ(w->surface()->overlay()->drawing().nextNumber(), 4);
    paste(white());
    openToolBar(DrawnShape::Step);
    w->drawToolBar()->nextNumberButton()->click(); // start again
    click(30, 30);
    EXPECT_EQ(numbers(), std::vector<int>{1});
}

TEST_F(AnnotationTest, AStoredFileFromBeforeStartsAtOneAndKeepsItsGroups)
{
    g("mnFile").click(11);
    QFile f(env.userDataFolder + "User.xml");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    f.close();
    // What an earlier version wrote: the same without the drawing group.
    QStringEncoder cp932("CP932");
    const QByteArray open = cp932.encode(QStringLiteral("<描画>"));
    const QByteArray close = cp932.encode(QStringLiteral("</描画>"));
    const qsizetype from = bytes.lastIndexOf("\r\n", bytes.indexOf(open));
    const qsizetype to = bytes.indexOf(close) + close.size();
    ASSERT_GT(from, 0);
    ASSERT_GT(to, from);
    const QByteArray before = bytes.left(from) + bytes.mid(to);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(before);
    f.close();
    w.reset();
    w = std::make_unique<fmMain>(fake.platform, env);
    EXPECT_EQ(w->surface()->overlay()->drawing().nextNumber(), 1);
    w->surface()->overlay()->setNextNumber(7);
    g("mnFile").click(11);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray after = f.readAll();
    // The earlier groups unchanged, ours added before the root's end.
    EXPECT_TRUE(after.startsWith(before.left(from)));
    EXPECT_TRUE(after.contains(QByteArray(cp932.encode(QStringLiteral("<次の番号>7</次の番号>")))));
}

TEST_F(AnnotationTest, AFilledBoxReplacesEveryPixelUnderIt)
{
    // A busy picture: each pixel differs from its neighbours.
    QImage busy(240, 160, QImage::Format_RGB32);
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 240; ++x)
            busy.setPixel(x, y, qRgb(x, y, (x * y) % 256));
    paste(busy);
    openToolBar(DrawnShape::Redact);
    EXPECT_EQ(w->drawToolBar()->colour(), QColor(Qt::black)); // black unless chosen
    drag(at(30, 40), at(90, 80));
    w->drawToolBar()->close();
    const QImage out = pixels().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 240; ++x) {
            const bool inside = x >= 30 && x < 90 && y >= 40 && y < 80;
            ASSERT_EQ(out.pixel(x, y), inside ? qRgb(0, 0, 0) : busy.pixel(x, y)) << x << "," << y;
        }
}

TEST_F(AnnotationTest, TheHighlighterMultipliesThePictureByItsColour)
{
    QImage img = white();
    for (int y = 0; y < 160; ++y)
        for (int x = 100; x < 240; ++x)
            img.setPixel(x, y, qRgb(120, 60, 200));
    paste(img);
    openToolBar(DrawnShape::Highlight);
    const QColor yellow = w->drawToolBar()->colour();
    EXPECT_EQ(yellow, QColor(255, 235, 0));
    drag(at(20, 80), at(220, 80));
    w->drawToolBar()->close();
    const QImage out = pixels().convertToFormat(QImage::Format_RGB32);
    auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 1 && std::abs(qGreen(a) - qGreen(b)) <= 1 &&
               std::abs(qBlue(a) - qBlue(b)) <= 1;
    };
    EXPECT_TRUE(near(out.pixel(60, 80), yellow.rgb()));
    EXPECT_TRUE(near(out.pixel(160, 80), qRgb(120, 60 * 235 / 255, 0))) << Qt::hex << out.pixel(160, 80);
    EXPECT_EQ(out.pixel(160, 20), qRgb(120, 60, 200)); // beside the stroke: untouched
}

TEST_F(AnnotationTest, UndoTakesBackTheLastShapeAndTheMergeIsAStepOfItsOwn)
{
    paste(white());
    openToolBar(DrawnShape::Rectangle);
    w->drawToolBar()->setColour(QColor(255, 0, 0));
    drag(at(10, 10), at(50, 40));
    drag(at(60, 10), at(100, 40));
    EXPECT_TRUE(g("mnEdt").isEnabled(15));
    undo();
    ASSERT_EQ(overlay()->drawing().count(), 1);
    EXPECT_EQ(overlay()->drawing().shape(0).points[0], QPointF(10, 10));
    w->drawToolBar()->close(); // the box becomes pixels
    EXPECT_GT(countNear(pixels(), qRgb(255, 0, 0)), 100);
    undo();
    EXPECT_EQ(countNear(pixels(), qRgb(255, 0, 0)), 0);
    redo();
    EXPECT_GT(countNear(pixels(), qRgb(255, 0, 0)), 100);
}

TEST_F(AnnotationTest, ShapesOfAPictureACaptureReplacesStayOneUndoAway)
{
    paste(white());
    openToolBar(DrawnShape::Rectangle);
    w->drawToolBar()->setColour(QColor(255, 0, 0));
    drag(at(10, 10), at(50, 40));
    paste(picture(qRgb(0, 0, 255), 240, 160)); // the next capture
    EXPECT_TRUE(overlay()->drawing().isEmpty()); // nothing carried onto it
    EXPECT_EQ(countNear(pixels(), qRgb(255, 0, 0)), 0);
    undo();
    EXPECT_GT(countNear(pixels(), qRgb(255, 0, 0)), 100);
    EXPECT_GT(countNear(pixels(), qRgb(255, 255, 255)), 30000);
}

TEST(DrawToolBarFrame, KeptWhollyOnTheScreen)
{
    const QRect screen(0, 0, 1280, 800);
    // A title bar above the screen comes down; one beyond the right edge moves in.
    EXPECT_EQ(DrawToolBar::keepOnScreen(QRect(0, -24, 65, 400), screen), QPoint(0, 0));
    EXPECT_EQ(DrawToolBar::keepOnScreen(QRect(1250, 10, 65, 400), screen), QPoint(1215, 10));
    EXPECT_EQ(DrawToolBar::keepOnScreen(QRect(30, 600, 65, 400), screen), QPoint(30, 400));
    EXPECT_EQ(DrawToolBar::keepOnScreen(QRect(30, 50, 65, 400), QRect(0, 28, 1280, 772)),
              QPoint(30, 50));
    // Taller than the screen: the top stays reachable.
    EXPECT_EQ(DrawToolBar::keepOnScreen(QRect(30, 50, 65, 900), screen), QPoint(30, 0));
}
