#include <QClipboard>
#include <QDialog>
#include <QListWidget>
#include <QPainter>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>

#include "capture/WorkFolderView.h"
#include "MainWindowFixture.h"
#include "editing/PictureSurface.h"
#include "editing/TextReader.h"

using namespace varnel;

namespace {

QImage noise(int w, int h, quint32 seed)
{
    QImage img(w, h, QImage::Format_RGB888);
    QRandomGenerator rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x)
            img.scanLine(y)[x] = uchar(rng.bounded(256));
    return img;
}

} // namespace

class ToolsTest : public MainWindowTest {
protected:
    void clickRow(int row, Qt::KeyboardModifiers mods)
    {
        QListWidget* list = w->fileList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, list->visualItemRect(list->item(row)).center());
    }
    void listFiles(const QList<QImage>& pictures)
    {
        int n = 1;
        for (const QImage& p : pictures)
            ASSERT_TRUE(p.save(w->WorkFolder + QStringLiteral("/%1.bmp").arg(n++, 3, 10, QLatin1Char('0'))));
        g("mnDisp").click(0);
        w->RefreshFileList();
        ASSERT_EQ(w->fileList()->count(), pictures.size());
    }
};

TEST_F(ToolsTest, PickedFilesJoinInListOrderAsAnUndoableUnsavedChange)
{
    const QImage page = noise(50, 300, 11);
    listFiles({page.copy(0, 0, 50, 120), page.copy(0, 90, 50, 120), page.copy(0, 180, 50, 120)});
    // A plain click opens; Ctrl-clicks, in another order, only pick.
    clickRow(1, {});
    ASSERT_EQ(w->PictureState, 1);
    const QImage opened = w->surface()->picture().image();
    clickRow(2, Qt::ControlModifier);
    clickRow(0, Qt::ControlModifier);
    EXPECT_EQ(w->surface()->picture().image(), opened);
    EXPECT_EQ(w->workFolderView()->selectedPaths().size(), 3);

    g("mnWkf").click(6);
    ASSERT_TRUE(fake.dialogs->messages.isEmpty()) << fake.dialogs->messages.join('\n').toStdString();
    EXPECT_EQ(w->surface()->picture().image().convertToFormat(QImage::Format_RGB888), page);
    EXPECT_EQ(w->PictureState, 2);
    EXPECT_TRUE(w->CurrentFilePath.isEmpty());
    g("mnEdt").click(15); // undo
    EXPECT_EQ(w->surface()->picture().image(), opened);
}

TEST_F(ToolsTest, PicturesThatDoNotOverlapAreRefusedAndTheMacroLinesCannotReachTheTools)
{
    listFiles({noise(40, 60, 1), noise(40, 60, 2)});
    clickRow(0, {});
    clickRow(1, Qt::ShiftModifier);
    const QImage before = w->surface()->picture().image();
    g("mnWkf").click(6);
    ASSERT_EQ(fake.dialogs->messages.size(), 1);
    EXPECT_TRUE(fake.dialogs->messages[0].contains("重なる部分")) << fake.dialogs->messages[0].toStdString();
    EXPECT_EQ(w->surface()->picture().image(), before);
    EXPECT_EQ(w->PictureState, 1);

    // Only the fixed items: not the tools, not undo.
    EXPECT_FALSE(w->macroRunner().runStep("作業ﾌｫﾙﾀﾞ", "画像"));
    EXPECT_FALSE(w->macroRunner().runStep("画像編集", "文字"));
    EXPECT_FALSE(w->macroRunner().runStep("画像編集", "元"));
    EXPECT_TRUE(w->macroRunner().runStep("画像編集", "画像枠"));
}

TEST_F(ToolsTest, ReadingTextPutsItOnTheClipboardAndInABox)
{
    if (TextReader().executable().isEmpty())
        GTEST_SKIP() << "tesseract is not installed: the reading itself is not tested";
    QImage img(420, 90, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        QFont f(QStringLiteral("IPAGothic"));
        f.setPixelSize(16);
        p.setFont(f);
        p.setPen(Qt::black);
        p.drawText(20, 35, QStringLiteral("Varnel 画像をつなぐ"));
        p.drawText(20, 65, QStringLiteral("Screenshot 文字の読み取り"));
    }
    w->surface()->picture() = Picture(img);
    w->ShowPicture();
    w->SetPictureState(1);
    g("mnEdt").click(18);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fake.clipboard->text.isEmpty() || !fake.dialogs->messages.isEmpty(); },
                                30000));
    ASSERT_TRUE(fake.dialogs->messages.isEmpty()) << fake.dialogs->messages.join('\n').toStdString();
    const QString text = fake.clipboard->text;
    for (const char* word : {"Varnel", "画像をつなぐ", "Screenshot", "文字の読み取り"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(word))) << word << " not in: " << text.toStdString();
    auto* box = w->findChild<QDialog*>("textReadBox");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    // Reading changes nothing in the picture.
    EXPECT_EQ(w->PictureState, 1);
}

TEST_F(ToolsTest, WithoutTesseractTheItemSaysHowToInstallIt)
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    w->surface()->picture() = Picture(picture(qRgb(255, 255, 255)));
    w->SetPictureState(1);
    g("mnEdt").click(18);
    qputenv("PATH", path);
    ASSERT_EQ(fake.dialogs->messages.size(), 1);
    EXPECT_EQ(fake.dialogs->messages[0], TextReader::missingMessage());
    EXPECT_TRUE(fake.dialogs->messages[0].contains("apt-get install tesseract-ocr tesseract-ocr-jpn"));
    EXPECT_TRUE(fake.clipboard->text.isEmpty());
}
