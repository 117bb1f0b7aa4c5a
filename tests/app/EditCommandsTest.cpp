// The edit menu's commands, driven through the menu handlers as a user or a
// replayed macro drives them, on small pictures with known pixels.
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <stdexcept>

#include "MainWindowFixture.h"
#include "editing/EditCommands.h"
#include "editing/PictureSurface.h"

using namespace varnel;

namespace {

using testfiles::gradient;

// A few flat colours, as a screenshot has them: they fit 16 colours exactly.
QImage flatAreas(int w = 40, int h = 30)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(40, 80, 160));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x)
            img.setPixel(x, y, y < h / 2 ? qRgb(200, 60, 60) : qRgb(60, 160, 60));
    return img;
}

} // namespace

class EditCommandsTest : public MainWindowTest {
protected:
    // Pastes a picture as the user does it.
    void paste(const QImage& img)
    {
        fake.clipboard->setSilently(img);
        g("mnEdt").click(3);
        ASSERT_TRUE(w->surface()->hasPicture());
    }
    const Picture& pic() { return w->surface()->picture(); }
    QRgb at(int x, int y) { return pic().image().pixel(x, y); }
    void range(int l, int t, int r, int b) { w->surface()->setSelection(l, t, r, b); }
    bool hasRange()
    {
        int l, r, t, b;
        return w->GetRange(l, r, t, b);
    }
    QImage shown() { return pic().image().convertToFormat(QImage::Format_RGB32); }
};

TEST_F(EditCommandsTest, TrimmingKeepsTheRangeOnly)
{
    const QImage src = gradient();
    paste(src);
    EXPECT_EQ(w->PictureState, 2) << "a pasted picture is in no file";
    EXPECT_FALSE(w->editHistory().canUndo()) << "nothing before it in an empty window";
    range(10, 5, 20, 15);
    g("mnEdt").click(6);
    ASSERT_EQ(pic().width(), 10);
    ASSERT_EQ(pic().height(), 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(at(x, y), src.pixel(10 + x, 5 + y)) << x << "," << y;
    EXPECT_FALSE(hasRange());
    EXPECT_EQ(w->PictureState, 2);
    EXPECT_TRUE(g("mnFile").isEnabled(1)); // save

    // Without a range nothing changes, and the state stays.
    w->SetPictureState(1);
    const QImage before = pic().image();
    g("mnEdt").click(6);
    EXPECT_EQ(pic().image(), before);
    EXPECT_EQ(w->PictureState, 1);
    EXPECT_EQ(w->editHistory().undoCount(), 1) << "a trimming that did nothing leaves no undo step";
}

TEST_F(EditCommandsTest, RelativeHighlightWashesOutTheSurroundingOnly)
{
    const QImage src = gradient();
    paste(src);
    range(10, 5, 20, 15);
    g("mnRng").click(4);
    const QImage now = shown();
    int washed = 0;
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const QRgb a = src.pixel(x, y), b = now.pixel(x, y);
            if (x >= 10 && x <= 19 && y >= 5 && y <= 14) {
                ASSERT_EQ(b, a) << "inside " << x << "," << y;
            } else {
                ASSERT_GE(qRed(b), qRed(a));
                ASSERT_GE(qGreen(b), qGreen(a));
                ASSERT_GT(qBlue(b), qBlue(a)) << "outside " << x << "," << y;
                washed += qRed(b) > qRed(a) + 40;
            }
        }
    EXPECT_GT(washed, 900);
    EXPECT_FALSE(hasRange());
    EXPECT_EQ(w->PictureState, 2);
    EXPECT_EQ(pic().depthCode(), 24); // as captured
}

TEST_F(EditCommandsTest, MarkerHighlightColoursTheRangeOnly)
{
    const QImage src = gradient();
    paste(src);
    range(10, 5, 20, 15);
    g("mnRng").click(5);
    const QImage now = shown();
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const QRgb a = src.pixel(x, y), b = now.pixel(x, y);
            if (x >= 10 && x <= 19 && y >= 5 && y <= 14) {
                // Yellow ink: blue taken down, red and green kept.
                ASSERT_EQ(qRed(b), qRed(a));
                ASSERT_EQ(qGreen(b), qGreen(a));
                ASSERT_LT(qBlue(b), qBlue(a) / 2) << x << "," << y;
            } else {
                ASSERT_EQ(b, a) << "outside " << x << "," << y;
            }
        }
    EXPECT_EQ(w->PictureState, 2);

    // No range: nothing happens, state and picture unchanged.
    w->SetPictureState(1);
    g("mnRng").click(5);
    EXPECT_EQ(w->PictureState, 1);
    EXPECT_EQ(shown(), now);
}

TEST_F(EditCommandsTest, HighlightOnPalettePicturesKeepsTheDepth)
{
    for (int item : {1, 3}) { // 16 colours, 256 colours
        paste(flatAreas());
        g("mnColr").click(item);
        const int code = item == 1 ? 4 : 8;
        ASSERT_EQ(pic().depthCode(), code);
        for (int kind : {4, 5}) {
            range(5, 5, 30, 20);
            g("mnRng").click(kind);
            EXPECT_EQ(pic().depthCode(), code) << item << " " << kind;
            EXPECT_EQ(w->ColourDepthCode, QString::number(code));
            EXPECT_TRUE(g("mnColr").isChecked(item));
        }
        // The marker's ink is in the picture: inside the range blue went down.
        EXPECT_LT(qBlue(at(25, 10)), 100);
        EXPECT_EQ(w->PictureState, 2);
    }
    // Grey 4 bit counts as a palette picture too.
    paste(flatAreas());
    g("mnColr").click(2);
    range(5, 5, 30, 20);
    g("mnRng").click(4);
    EXPECT_EQ(pic().depthCode(), 40);
    EXPECT_EQ(w->ColourDepthCode, "40");
}

TEST_F(EditCommandsTest, MosaicWithAndWithoutARange)
{
    const QImage src = gradient(48, 32);
    paste(src);
    range(8, 8, 24, 24); // two by two blocks of 8
    g("mnRng").click(7);
    QImage now = shown();
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            if (x >= 8 && x <= 23 && y >= 8 && y <= 23)
                ASSERT_EQ(now.pixel(x, y), now.pixel(8 + (x - 8) / 8 * 8, 8 + (y - 8) / 8 * 8)) << x << "," << y;
            else
                ASSERT_EQ(now.pixel(x, y), src.pixel(x, y)) << x << "," << y;
        }
    EXPECT_NE(now.pixel(8, 8), now.pixel(16, 8));
    EXPECT_FALSE(hasRange());

    // No range: the whole picture in 8 x 8 blocks.
    g("mnRng").click(7);
    now = shown();
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            ASSERT_EQ(now.pixel(x, y), now.pixel(x / 8 * 8, y / 8 * 8)) << x << "," << y;
    EXPECT_NE(now.pixel(0, 0), now.pixel(40, 24));
}

TEST_F(EditCommandsTest, FrameLiesOnTheOutermostPixels)
{
    const QImage src = gradient();
    paste(src);
    w->SetPictureState(1);
    g("mnEdt").click(13);
    const QImage now = shown();
    ASSERT_EQ(now.size(), src.size());
    const QRgb grey = qRgb(128, 128, 128);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const bool edge = x == 0 || y == 0 || x == src.width() - 1 || y == src.height() - 1;
            ASSERT_EQ(now.pixel(x, y), edge ? grey : src.pixel(x, y)) << x << "," << y;
        }
    EXPECT_EQ(pic().dpiX(), 96);
    EXPECT_EQ(w->PictureState, 2);
}

TEST_F(EditCommandsTest, EachRotationCaption)
{
    // 3 x 2 with every pixel different.
    QImage src(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            src.setPixel(x, y, qRgb(x * 100, y * 100, 50));
    auto expect = [&](int item, int wd, int ht, auto from) {
        paste(src);
        g("mnRotate").click(item);
        const QImage now = shown();
        ASSERT_EQ(now.size(), QSize(wd, ht)) << item;
        for (int y = 0; y < ht; ++y)
            for (int x = 0; x < wd; ++x) {
                const QPoint p = from(x, y);
                ASSERT_EQ(now.pixel(x, y), src.pixel(p)) << item << " at " << x << "," << y;
            }
        EXPECT_EQ(w->PictureState, 2) << "a turned picture can be saved";
    };
    expect(0, 3, 2, [](int x, int y) { return QPoint(2 - x, y); });     // 左右反転
    expect(1, 3, 2, [](int x, int y) { return QPoint(x, 1 - y); });     // 上下反転
    expect(3, 2, 3, [](int x, int y) { return QPoint(y, 1 - x); });     // 右90度
    expect(4, 3, 2, [](int x, int y) { return QPoint(2 - x, 1 - y); }); // 右180度
    expect(5, 2, 3, [](int x, int y) { return QPoint(2 - y, x); });     // 左90度
    expect(6, 3, 2, [](int x, int y) { return QPoint(2 - x, 1 - y); }); // 左180度

    // Mirroring twice restores; a caption not in the table turns nothing.
    paste(src);
    g("mnRotate").click(0);
    g("mnRotate").click(0);
    EXPECT_EQ(shown(), src);
    RotateCommand unknown(QStringLiteral("右45度"));
    w->RunEdit(unknown);
    EXPECT_EQ(shown(), src);
}

TEST_F(EditCommandsTest, ResizeToTheRange)
{
    paste(gradient(400, 300));
    range(0, 0, 200, 10);
    g("mnResize").click(0); // width decides
    EXPECT_EQ(QSize(pic().width(), pic().height()), QSize(200, 150));
    EXPECT_FALSE(hasRange());
    EXPECT_EQ(w->PictureState, 2) << "a resized picture can be saved";

    paste(gradient(400, 300));
    range(10, 10, 133, 57);
    g("mnResize").click(3); // the range exactly
    EXPECT_EQ(QSize(pic().width(), pic().height()), QSize(123, 47));

    paste(gradient(400, 300));
    range(0, 0, 10, 150);
    g("mnResize").click(1); // height decides
    EXPECT_EQ(QSize(pic().width(), pic().height()), QSize(200, 150));

    // A registered 800 x 600 range on 1600 x 1000, width decides: 800 x 500.
    paste(gradient(1600, 1000));
    range(1, 1, 801, 601);
    g("mnResize").click(0);
    EXPECT_EQ(QSize(pic().width(), pic().height()), QSize(800, 500));

    // No range: nothing.
    g("mnResize").click(0);
    EXPECT_EQ(pic().width(), 800);

    // A 256-colour picture is reduced smoothly at 16 bit and stays there.
    paste(flatAreas(40, 30));
    g("mnColr").click(3);
    range(0, 0, 20, 0);
    g("mnResize").click(0);
    EXPECT_EQ(QSize(pic().width(), pic().height()), QSize(20, 15));
    EXPECT_EQ(pic().depthCode(), 16);
    EXPECT_EQ(w->ColourDepthCode, "16");
    EXPECT_TRUE(g("mnColr").isChecked(5));
}

TEST_F(EditCommandsTest, StitchInBothDirections)
{
    const QImage src = gradient(40, 30);
    paste(src);
    range(10, 2, 20, 8); // columns 10..19 go
    g("mnCut").click(1);
    QImage now = shown();
    ASSERT_EQ(now.size(), QSize(30, 30));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(now.pixel(x, y), src.pixel(x < 10 ? x : x + 10, y)) << x << "," << y;
    EXPECT_FALSE(hasRange());

    paste(src);
    range(3, 5, 9, 10); // rows 5..9 go
    g("mnCut").click(0);
    now = shown();
    ASSERT_EQ(now.size(), QSize(40, 25));
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(now.pixel(x, y), src.pixel(x, y < 5 ? y : y + 5)) << x << "," << y;

    // A 16-colour picture is cut exactly and keeps its depth.
    const QImage flat = flatAreas();
    paste(flat);
    g("mnColr").click(1);
    const QImage palette = shown();
    range(5, 0, 25, 3);
    g("mnCut").click(1);
    EXPECT_EQ(pic().depthCode(), 4);
    now = shown();
    ASSERT_EQ(now.size(), QSize(20, 30));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(now.pixel(x, y), palette.pixel(x < 5 ? x : x + 20, y)) << x << "," << y;

    // A disabled item does nothing and records nothing.
    w->MacroRecording = true;
    g("mnCut").setEnabled(0, false);
    range(0, 5, 10, 9);
    g("mnCut").click(0);
    EXPECT_EQ(pic().height(), 30);
    EXPECT_TRUE(w->MacroBuffer.isEmpty());
}

TEST_F(EditCommandsTest, ColourItemsTickAndStoreTheirCode)
{
    const int codes[] = {0, 4, 40, 8, 80, 16, 24, 32};
    for (int item = 1; item <= 7; ++item) {
        paste(gradient());
        w->SetPictureState(1);
        g("mnColr").click(item);
        EXPECT_EQ(w->ColourDepthCode, QString::number(codes[item])) << item;
        EXPECT_EQ(pic().depthCode(), codes[item]) << item;
        for (int j = 1; j <= 7; ++j)
            EXPECT_EQ(g("mnColr").isChecked(j), j == item) << item << " tick " << j;
        // 24 bit is what the picture has: nothing changed, nothing to save.
        EXPECT_EQ(w->PictureState, codes[item] == 24 ? 1 : 2) << item;
    }
    // A disabled colour item does nothing.
    paste(gradient());
    g("mnColr").setEnabled(3, false);
    g("mnColr").click(3);
    EXPECT_EQ(pic().depthCode(), 24);
}

TEST_F(EditCommandsTest, UndoAndRedoAcrossThreeEdits)
{
    const QImage src = gradient();
    paste(src);
    EXPECT_FALSE(g("mnEdt").isEnabled(15));
    EXPECT_FALSE(g("mnEdt").isEnabled(16));
    const QImage s0 = pic().image();
    range(5, 5, 31, 25);
    g("mnEdt").click(6); // trim to 26 x 20
    const QImage s1 = pic().image();
    g("mnColr").click(3); // 256 colours
    const QImage s2 = pic().image();
    g("mnRotate").click(3); // right 90
    const QImage s3 = pic().image();
    ASSERT_EQ(s3.size(), QSize(20, 26));
    EXPECT_TRUE(g("mnEdt").isEnabled(15));

    g("mnEdt").click(15);
    EXPECT_EQ(pic().image(), s2);
    EXPECT_EQ(pic().depthCode(), 8);
    g("mnEdt").click(15);
    EXPECT_EQ(pic().image(), s1);
    EXPECT_EQ(pic().depthCode(), 24);
    EXPECT_EQ(w->ColourDepthCode, "24");
    EXPECT_TRUE(g("mnColr").isChecked(6));
    g("mnEdt").click(15);
    EXPECT_EQ(pic().image(), s0);
    EXPECT_EQ(pic().image(), src.convertToFormat(pic().image().format()));
    EXPECT_FALSE(g("mnEdt").isEnabled(15));
    EXPECT_TRUE(g("mnEdt").isEnabled(16));
    g("mnEdt").click(15); // nothing left: no change
    EXPECT_EQ(pic().image(), s0);

    g("mnEdt").click(16);
    EXPECT_EQ(pic().image(), s1);
    g("mnEdt").click(16);
    EXPECT_EQ(pic().image(), s2);
    EXPECT_EQ(pic().depthCode(), 8);
    EXPECT_EQ(w->ColourDepthCode, "8");
    EXPECT_TRUE(g("mnColr").isChecked(3));
    g("mnEdt").click(16);
    EXPECT_EQ(pic().image(), s3);
    EXPECT_FALSE(g("mnEdt").isEnabled(16));

    // A new edit after an undo forgets the redo side.
    g("mnEdt").click(15);
    g("mnRotate").click(0);
    EXPECT_FALSE(g("mnEdt").isEnabled(16));

    // A paste is an edit of its own: the picture before is one undo away,
    // and the pasted one, in no file, is a change to save.
    const QImage edited = pic().image();
    paste(gradient(10, 10));
    EXPECT_EQ(w->PictureState, 2);
    EXPECT_TRUE(g("mnFile").isEnabled(1));
    g("mnEdt").click(15);
    EXPECT_EQ(pic().image(), edited);
    EXPECT_EQ(w->PictureState, 2);
    g("mnEdt").click(16);
    EXPECT_EQ(pic().image().size(), QSize(10, 10));
}

TEST_F(EditCommandsTest, ACommandAfterAPasteWorksOnThePastedPicture)
{
    paste(gradient());
    fake.clipboard->answerLater = true;
    fake.clipboard->setSilently(QImage(50, 20, QImage::Format_RGB32));
    g("mnEdt").click(3); // the owner takes its time
    ASSERT_NE(QApplication::overrideCursor(), nullptr) << "busy while it waits";
    // The user turns the picture before the paste arrives: the turn waits
    // for it and works on the pasted picture.
    QTimer::singleShot(30, [this] { fake.clipboard->answer(); });
    g("mnRotate").click(3);
    EXPECT_EQ(pic().image().size(), QSize(20, 50));
    EXPECT_EQ(w->editHistory().undoCount(), 2);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Answered while a dialog that is no command's is open (a load's
    // question, say): nothing is pasted under it.
    g("mnEdt").click(3);
    QDialog modal;
    modal.setModal(true);
    modal.show();
    fake.clipboard->answer();
    modal.close();
    EXPECT_EQ(pic().image().size(), QSize(20, 50));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // An owner that never answers: the command waits a while, then goes
    // on without the paste, which is given up.
    g("mnEdt").click(3);
    g("mnRotate").click(3);
    EXPECT_EQ(pic().image().size(), QSize(50, 20));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    fake.clipboard->answer();
    EXPECT_EQ(pic().image().size(), QSize(50, 20)) << "its late answer is dropped";
}

TEST_F(EditCommandsTest, UndoingAPasteBackToASavedPictureLeavesNothingToSave)
{
    const QString file = dir.path() + "/a.bmp";
    gradient().save(file);
    w->OpenPictureFile(file);
    g("mnRotate").click(3);
    g("mnFile").click(1); // Ctrl+S writes the turn
    ASSERT_EQ(w->PictureState, 1);
    paste(QImage(50, 20, QImage::Format_RGB32));
    ASSERT_EQ(w->PictureState, 2);
    g("mnEdt").click(15);
    EXPECT_EQ(w->CurrentFilePath, file);
    EXPECT_EQ(w->PictureState, 1) << "the picture is again what a.bmp holds";
}

TEST_F(EditCommandsTest, UndoAndRedoAreNoMacroSteps)
{
    paste(gradient());
    w->MacroRecording = true;
    g("mnRotate").click(3);
    g("mnEdt").click(15);
    g("mnEdt").click(16);
    EXPECT_EQ(w->MacroBuffer, QStringLiteral("回転⇒右90度"));
    // The edit menu keeps its indexes; the new items sit after a separator.
    EXPECT_EQ(g("mnEdt").caption(13), QStringLiteral("画像枠を追加"));
    EXPECT_TRUE(g("mnEdt").item(14).isSeparator());
    EXPECT_EQ(g("mnEdt").caption(15), QStringLiteral("元に戻す"));
    EXPECT_EQ(g("mnEdt").item(15).shortcut, QKeySequence(QKeySequence::Undo));
    EXPECT_EQ(g("mnEdt").caption(16), QStringLiteral("やり直し"));
}

TEST_F(EditCommandsTest, CopyWithARangeCopiesTheRangeAt96Dpi)
{
    const QImage src = gradient();
    paste(src);
    w->surface()->picture().setResolution(72, 72);
    w->SetPictureState(2);
    range(4, 3, 14, 8);
    g("mnEdt").click(2);
    const QImage clip = fake.clipboard->picture().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(clip.size(), QSize(10, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(clip.pixel(x, y), src.pixel(4 + x, 3 + y));
    EXPECT_EQ(qRound(fake.clipboard->picture().dotsPerMeterX() / 39.3700787), 96);
    EXPECT_EQ(qRound(fake.clipboard->picture().dotsPerMeterY() / 39.3700787), 96);
    // The picture, its state and its range stay.
    EXPECT_EQ(shown(), src);
    EXPECT_EQ(pic().dpiX(), 72);
    EXPECT_EQ(w->PictureState, 2);
    EXPECT_EQ(w->surface()->selectionEdges(), QRect(4, 3, 14, 8));
    EXPECT_FALSE(g("mnEdt").isEnabled(15));

    // Without a range: the whole picture.
    w->ClearRange();
    g("mnEdt").click(2);
    EXPECT_EQ(fake.clipboard->picture().size(), src.size());
}

TEST_F(EditCommandsTest, RecordsTheKeywordTableLines)
{
    paste(gradient(64, 48));
    w->MacroRecording = true;
    range(2, 2, 40, 30);
    g("mnEdt").click(6);       // trimming
    g("mnEdt").click(1);       // separator: nothing
    g("mnEdt").click(13);      // frame
    range(2, 2, 10, 10);
    g("mnRng").click(5);       // marker
    g("mnRng").click(4);       // relative, no range: still recorded
    g("mnRng").click(3);       // separator
    g("mnRng").click(7);       // mosaic
    range(0, 0, 20, 0);
    g("mnResize").click(0);
    g("mnResize").click(2);    // separator
    g("mnRotate").click(2);    // separator
    g("mnRotate").click(5);
    g("mnColr").click(2);
    range(2, 2, 4, 4);
    g("mnCut").click(0);
    g("mnEdt").click(2);       // copy
    const QStringList lines = w->MacroBuffer.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines, (QStringList{QStringLiteral("画像編集⇒ﾄﾘﾐﾝｸﾞ"), QStringLiteral("画像編集⇒画像枠を追加"),
                                  QStringLiteral("範囲⇒強調(ﾏｰｶｰ)"), QStringLiteral("範囲⇒強調(相対)"),
                                  QStringLiteral("範囲⇒ﾓｻﾞｲｸ"), QStringLiteral("ﾘｻｲｽﾞ⇒横方向を基準に縮小"),
                                  QStringLiteral("回転⇒左90度"), QStringLiteral("色数⇒ｸﾞﾚｰ(4bit)"),
                                  QStringLiteral("綴込⇒縦方向"),
                                  QStringLiteral("画像編集⇒ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ")}));
}

TEST_F(EditCommandsTest, MenuEnablingFollowsThePictureAndTheClipboard)
{
    for (int i : {0, 5, 6, 7, 8, 9, 11, 12})
        EXPECT_FALSE(g("mnEdt").isEnabled(i)) << i;
    EXPECT_TRUE(g("mnEdt").isEnabled(2));
    EXPECT_TRUE(g("mnEdt").isEnabled(13));
    paste(gradient());
    for (int i : {0, 5, 6, 7, 8, 9, 11, 12})
        EXPECT_TRUE(g("mnEdt").isEnabled(i)) << i;
    // Opening the edit menu: paste follows the clipboard, range the tool bar.
    fake.clipboard->setSilently(QImage());
    w->ToolBarShown = true;
    emit w->menuOf("mnEdt")->aboutToShow();
    EXPECT_FALSE(g("mnEdt").isEnabled(3));
    EXPECT_FALSE(g("mnEdt").isEnabled(5));
    fake.clipboard->setSilently(gradient());
    w->ToolBarShown = false;
    emit w->menuOf("mnEdt")->aboutToShow();
    EXPECT_TRUE(g("mnEdt").isEnabled(3));
    EXPECT_TRUE(g("mnEdt").isEnabled(5));
}

TEST_F(EditCommandsTest, RevertReadsTheFileAgainAndIsAnUndoStep)
{
    const QString path = dir.path() + "/shot.png";
    ASSERT_TRUE(gradient().save(path));
    w->OpenPictureFile(path);
    ASSERT_EQ(w->CurrentFilePath, path);
    g("mnRotate").click(3);
    range(1, 1, 6, 6);
    g("mnEdt").click(6);
    ASSERT_EQ(pic().width(), 5);
    g("mnEdt").click(0);
    EXPECT_EQ(shown(), gradient());
    EXPECT_EQ(w->PictureState, 1);
    // The edits it set aside are one undo away.
    g("mnEdt").click(15);
    EXPECT_EQ(pic().width(), 5);
    EXPECT_EQ(w->PictureState, 2);

    // A picture from the clipboard has no file: it stays, and so do its
    // unsaved changes.
    paste(gradient(12, 12));
    g("mnRotate").click(0);
    g("mnEdt").click(0);
    EXPECT_EQ(pic().width(), 12);
    EXPECT_EQ(w->PictureState, 2);
}

namespace {
// A clipboard that fails as a broken system service would.
class ThrowingClipboard : public FakeClipboard {
public:
    void putPicture(const QImage&) override { throw std::runtime_error("clipboard gone"); }
};
} // namespace

TEST_F(EditCommandsTest, AnErrorInsideACommandEndsNeitherTheProgramNorTheBusyPointer)
{
    paste(gradient());
    auto kept = std::move(fake.platform.clipboard);
    fake.platform.clipboard = std::make_unique<ThrowingClipboard>();
    g("mnEdt").click(2);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(fake.dialogs->messages.size(), 1);
    fake.platform.clipboard = std::move(kept);
    // The window goes on working.
    range(1, 1, 6, 6);
    g("mnEdt").click(6);
    EXPECT_EQ(pic().width(), 5);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(EditCommandsTest, DraggingARangeShowsItsSize)
{
    paste(gradient(400, 300));
    w->resize(900, 700);
    QApplication::processEvents();
    ASSERT_GE(w->surface()->displayScale(), 1.0);
    QWidget* vp = w->surface()->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(20, 30));
    QTest::mouseMove(vp, QPoint(84, 78));
    EXPECT_EQ(w->surface()->dragSizeText(), QStringLiteral("64 x 48"));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(84, 78));
    EXPECT_TRUE(w->surface()->dragSizeText().isEmpty());
    // Trimming to it gives that size.
    g("mnEdt").click(6);
    EXPECT_EQ(QSize(pic().width(), pic().height()), QSize(64, 48));
}

TEST_F(EditCommandsTest, ARegisteredRangeTrimsToItsRegisteredSize)
{
    // The size a range is registered with, shown while dragging, resized to
    // and trimmed to is one and the same: right - left by bottom - top.
    paste(gradient(400, 300));
    w->rangeMenu().SetRangeList(QStringLiteral("Card,100,60,px"));
    w->SelectUserRange(0);
    EXPECT_EQ(w->surface()->selectionEdges(), QRect(1, 1, 101, 61));
    g("mnEdt").click(6);
    EXPECT_EQ(QSize(pic().width(), pic().height()), QSize(100, 60));

    // A range that covers no pixel column trims nothing.
    paste(gradient(400, 300));
    range(10, 10, 10, 50);
    g("mnEdt").click(6);
    EXPECT_EQ(pic().width(), 400);
}
