#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "MainWindowFixture.h"
#include "editing/ColourDepth.h"
#include "editing/PictureSurface.h"
#include "platform/x11/DesktopShell.h"
#include "settings/sbKkn.h"

using namespace varnel;

namespace {

// A picture with many colours, so that a reduction shows.
QImage gradient(int w = 64, int h = 48)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 255));
    return img;
}

Picture atDepth(int code)
{
    Picture p(gradient());
    if (code != 24) {
        EXPECT_TRUE(ColourDepth::convert(p, code)) << code;
    }
    EXPECT_EQ(p.depthCode(), code);
    return p;
}

Picture decoded(const QString& path)
{
    Picture p;
    EXPECT_TRUE(p.load(path)) << path.toStdString();
    return p;
}

QByteArray bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Bit depth and colour type from a PNG's header.
std::pair<int, int> pngDepth(const QString& path)
{
    const QByteArray b = bytes(path);
    EXPECT_TRUE(b.startsWith("\x89PNG")) << path.toStdString();
    return b.size() > 25 ? std::pair{int(uchar(b[24])), int(uchar(b[25]))} : std::pair{-1, -1};
}

int bmpBitCount(const QString& path)
{
    const QByteArray b = bytes(path);
    EXPECT_TRUE(b.startsWith("BM")) << path.toStdString();
    return b.size() > 29 ? uchar(b[28]) | (uchar(b[29]) << 8) : -1;
}

bool samePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

class FileCommandsTest : public MainWindowTest {
protected:
    void show(const Picture& p, int state = 2)
    {
        w->surface()->picture() = p;
        w->ShowPicture();
        w->SetPictureState(state);
    }
    // "名前を付けて保存" with the dialog answering path, with a format left selected.
    void saveAs(const QString& path, int format = 0)
    {
        fake.dialogs->saveAnswers.push_back(path);
        fake.dialogs->saveFilterAnswers.push_back(format);
        g("mnFile").click(2);
    }
    QString out(const QString& name) const { return dir.file(name); }
    // A fresh main window whose program lives in dir/fam/varnel: the tool
    // search around it then stays inside dir, whatever other tests put in
    // the temporary folder meanwhile.
    void restartWithProgramInFamilyFolder()
    {
        w.reset();
        QDir(dir.path()).mkpath("fam/varnel");
        env.programFolder = dir.file("fam/varnel/");
        w = std::make_unique<varnel::fmMain>(fake.platform, env);
        w->show();
    }
    QStringList leftovers() const
    {
        return QDir(dir.path()).entryList(QStringList{".*.*"}, QDir::Files | QDir::Hidden);
    }
};

} // namespace

TEST_F(FileCommandsTest, PngKeepsPaletteDepthsAndTakesOthersToTrueColour)
{
    show(atDepth(16));
    saveAs(out("sixteen.png"));
    EXPECT_EQ(pngDepth(out("sixteen.png")), std::pair(8, 2)); // 8 bits per channel, RGB
    EXPECT_EQ(decoded(out("sixteen.png")).depthCode(), 24);
    // The picture shown is what the file holds.
    EXPECT_EQ(w->surface()->picture().depthCode(), 24);
    EXPECT_EQ(w->ColourDepthCode, "24");

    for (int code : {4, 40}) {
        show(atDepth(code));
        const QString png = out(QString("d%1.png").arg(code));
        const QString bmp = out(QString("d%1.bmp").arg(code));
        saveAs(png);
        saveAs(bmp);
        EXPECT_EQ(pngDepth(png).first, 4) << code;
        EXPECT_EQ(decoded(png).depthCode(), code);
        EXPECT_EQ(bmpBitCount(bmp), 4) << code;
        EXPECT_EQ(decoded(bmp).depthCode(), code);
        EXPECT_TRUE(samePixels(decoded(png).image(), w->surface()->picture().image())) << code;
    }
}

TEST_F(FileCommandsTest, GifKeeps256ColoursAndReducesTrueColour)
{
    const Picture eight = atDepth(8);
    show(eight);
    saveAs(out("eight.gif"));
    const Picture back = decoded(out("eight.gif"));
    EXPECT_EQ(back.depthCode(), 8);
    EXPECT_TRUE(samePixels(back.image(), eight.image()));

    show(Picture(gradient()));
    ASSERT_EQ(w->surface()->picture().depthCode(), 24);
    saveAs(out("true.gif"));
    const Picture reduced = decoded(out("true.gif"));
    EXPECT_EQ(reduced.depthCode(), 8);
    EXPECT_LE(reduced.image().colorCount(), 256);
    EXPECT_EQ(w->surface()->picture().depthCode(), 8);
}

TEST_F(FileCommandsTest, NameWithoutExtensionTakesTheFormatLeftInTheDialog)
{
    show(Picture(gradient()));
    saveAs(out("plain"), 0);
    EXPECT_EQ(bmpBitCount(out("plain.bmp")), 24);
    EXPECT_FALSE(QFile::exists(out("plain")));
    saveAs(out("chosen"), 5); // PNG
    EXPECT_EQ(pngDepth(out("chosen.png")).first, 8);
}

TEST_F(FileCommandsTest, CapitalJpgIsWrittenLowerCasedAtQuality80AndLongNamesMapToTheirFormats)
{
    const Picture p(gradient());
    show(p);
    saveAs(out("Shot.JPG"));
    EXPECT_FALSE(QDir(dir.path()).entryList().contains("Shot.JPG"));
    const QByteArray written = bytes(out("Shot.jpg"));
    EXPECT_EQ(written, p.encode(ImageFormat::Jpeg, 80));
    EXPECT_NE(written, p.encode(ImageFormat::Jpeg, 75));

    saveAs(out("long.jpeg"));
    EXPECT_EQ(bytes(out("long.jpeg")), p.encode(ImageFormat::Jpeg, 80));
    saveAs(out("long.tiff"));
    EXPECT_TRUE(bytes(out("long.tiff")).startsWith("II*") || bytes(out("long.tiff")).startsWith("MM"));
    EXPECT_TRUE(samePixels(decoded(out("long.tiff")).image(), p.image()));
    EXPECT_TRUE(fake.dialogs->messages.isEmpty()) << fake.dialogs->messages.join("\n").toStdString();
}

TEST_F(FileCommandsTest, OverwriteAfterSaveAsWritesTheNewFile)
{
    Picture(picture(qRgb(10, 20, 30))).save(out("loaded.bmp"), ImageFormat::Bmp);
    const QByteArray loaded = bytes(out("loaded.bmp"));
    w->OpenPictureFile(out("loaded.bmp"));
    ASSERT_EQ(w->CurrentFilePath, out("loaded.bmp"));
    saveAs(out("copy.png"));
    EXPECT_EQ(w->CurrentFilePath, out("copy.png"));
    EXPECT_EQ(w->PictureState, 1); // the picture is what the file holds

    show(Picture(picture(qRgb(200, 100, 50))));
    ASSERT_TRUE(g("mnFile").isEnabled(1));
    g("mnFile").click(1);
    EXPECT_EQ(decoded(out("copy.png")).image().pixel(0, 0), qRgb(200, 100, 50));
    EXPECT_EQ(bytes(out("loaded.bmp")), loaded);
    EXPECT_EQ(w->PictureState, 1);
}

TEST_F(FileCommandsTest, FailedSaveSaysSoAndChangesNothing)
{
    Picture(picture(qRgb(1, 2, 3))).save(out("loaded.bmp"), ImageFormat::Bmp);
    w->OpenPictureFile(out("loaded.bmp"));
    show(atDepth(16), 2);
    dir.write("old.fpx", "old bytes");
    QDir(dir.path()).mkpath("taken.png/inside");

    saveAs(out("old.fpx"));     // a format that cannot be written here
    saveAs(out("taken.png"));   // a folder holds the name
    ASSERT_EQ(fake.dialogs->messages.size(), 2);
    EXPECT_TRUE(fake.dialogs->messages[0].contains(out("old.fpx")));
    EXPECT_TRUE(fake.dialogs->messages[1].contains(out("taken.png")));
    EXPECT_EQ(dir.read("old.fpx"), "old bytes");
    EXPECT_TRUE(QFileInfo(out("taken.png")).isDir());
    EXPECT_EQ(w->CurrentFilePath, out("loaded.bmp"));
    EXPECT_EQ(w->PictureState, 2);
    EXPECT_EQ(w->surface()->picture().depthCode(), 16); // not converted for nothing
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(" ").toStdString();

    // An overwrite that fails keeps the file whole too.
    w->CurrentFilePath = out("old.fpx");
    g("mnFile").click(1);
    EXPECT_EQ(fake.dialogs->messages.size(), 3);
    EXPECT_EQ(dir.read("old.fpx"), "old bytes");
    EXPECT_EQ(w->CurrentFilePath, out("old.fpx"));
}

TEST_F(FileCommandsTest, CancelledSaveDialogWritesNothing)
{
    show(Picture(gradient()));
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    saveAs(QString());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before);
    EXPECT_TRUE(fake.dialogs->messages.isEmpty());
}

TEST_F(FileCommandsTest, OpenDialogLoadsTheChosenFileAndReportsOneThatIsNoPicture)
{
    Picture(picture(qRgb(9, 9, 9), 21, 13)).save(out("in.png"), ImageFormat::Png);
    fake.dialogs->openAnswers.push_back(out("in.png"));
    g("mnFile").click(0);
    EXPECT_EQ(fake.dialogs->lastOpenTitle, "画像ﾌｧｲﾙを開く");
    EXPECT_TRUE(fake.dialogs->lastOpenFilter.startsWith(
        "画像ﾌｧｲﾙ|*.BMP;*.JPG;*.JPEG;*.TIF;*.PCX;*.FPX;*.PNG;*.GIF;*.JP2;*.JPC;*.J2K|"));
    EXPECT_TRUE(fake.dialogs->lastOpenFilter.contains("All files|*"));
    EXPECT_EQ(w->surface()->picture().width(), 21);
    EXPECT_EQ(w->CurrentFilePath, out("in.png"));
    EXPECT_EQ(w->PictureState, 1);

    w->SetPictureState(2);
    dir.write("broken.png", "\x89PNG\r\n\x1a\nnot really");
    fake.dialogs->openAnswers.push_back(out("broken.png"));
    g("mnFile").click(0);
    ASSERT_EQ(fake.dialogs->messages.size(), 1);
    EXPECT_TRUE(fake.dialogs->messages[0].contains(out("broken.png")));
    EXPECT_EQ(w->CurrentFilePath, out("in.png"));
    EXPECT_EQ(w->PictureState, 2);
    EXPECT_EQ(w->surface()->picture().width(), 21);
}

TEST_F(FileCommandsTest, FailedOpenOntoAnEmptySurfaceLeavesNothingToSave)
{
    w->OpenPictureFile(out("missing.bmp"));
    EXPECT_EQ(w->PictureState, 0);
    EXPECT_FALSE(g("mnFile").isEnabled(2));
}

TEST_F(FileCommandsTest, EmptyingTheWorkFolderAsksThenRemovesOnlyItsFiles)
{
    QImage(4, 4, QImage::Format_RGB32).save(w->WorkFolder + "/001.bmp");
    QDir(w->WorkFolder).mkpath("keep");
    dir.write("outside.bmp", "outside");
    QFile::link(out("outside.bmp"), w->WorkFolder + "/link.bmp");
    w->OpenPictureFile(w->WorkFolder + "/001.bmp");

    fake.dialogs->confirmAnswers = {false};
    g("mnWkf").click(4);
    EXPECT_EQ(fake.dialogs->confirms, QStringList{"作業ﾌｫﾙﾀﾞを空にして良いですが"});
    EXPECT_TRUE(QFile::exists(w->WorkFolder + "/001.bmp"));
    EXPECT_EQ(w->PictureState, 1);

    fake.dialogs->confirmAnswers = {true};
    g("mnWkf").click(4);
    EXPECT_FALSE(QFile::exists(w->WorkFolder + "/001.bmp"));
    EXPECT_TRUE(QFileInfo(w->WorkFolder + "/keep").isDir());
    EXPECT_EQ(dir.read("outside.bmp"), "outside");
    EXPECT_EQ(w->PictureState, 0);
    EXPECT_EQ(w->CurrentFilePath, "");
    EXPECT_FALSE(w->surface()->hasPicture());
    EXPECT_FALSE(g("mnFile").isEnabled(2));
}

namespace {
// Plays the user of the storage dialog once it opens.
void answerStorageDialog(const std::function<void(sbKkn&)>& user)
{
    QTimer::singleShot(0, [user] {
        auto* d = qobject_cast<sbKkn*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        user(*d);
    });
}
} // namespace

TEST_F(FileCommandsTest, StorageDialogSetsTheThreeAndEnablesTheNumberedSave)
{
    w->MacroRecording = true;
    QDir(dir.path()).mkpath("store");
    answerStorageDialog([&](sbKkn& d) {
        d.findChild<QLineEdit*>("txFld")->setText(out("store"));
        d.findChild<QLineEdit*>("txPfx")->setText("cap");
        d.findChild<QRadioButton*>("opPic0")->click();
        d.findChild<QPushButton*>("cmOk0")->click();
    });
    g("mnKkn").click(4);
    EXPECT_EQ(w->StorageFolder, out("store"));
    EXPECT_EQ(w->StoragePrefix, "cap");
    EXPECT_EQ(w->StorageExtension, "bmp");
    EXPECT_TRUE(g("mnKkn").isEnabled(0));
    EXPECT_EQ(w->MacroBuffer, "格納⇒画像格納の指定");

    // Cancelled: nothing changes and nothing is recorded.
    answerStorageDialog([&](sbKkn& d) {
        d.findChild<QLineEdit*>("txFld")->setText("/elsewhere");
        d.findChild<QPushButton*>("cmOk1")->click();
    });
    g("mnKkn").click(4);
    EXPECT_EQ(w->StorageFolder, out("store"));
    EXPECT_EQ(w->MacroBuffer, "格納⇒画像格納の指定");

    // A folder that does not exist is dropped, with a word to the user.
    answerStorageDialog([&](sbKkn& d) {
        d.findChild<QLineEdit*>("txFld")->setText(out("nowhere"));
        d.findChild<QPushButton*>("cmOk0")->click();
    });
    g("mnKkn").click(4);
    EXPECT_EQ(w->StorageFolder, "");
    EXPECT_FALSE(g("mnKkn").isEnabled(0));
    ASSERT_EQ(fake.dialogs->messages.size(), 1);
    EXPECT_TRUE(fake.dialogs->messages[0].contains(out("nowhere")));

    // Browse cancelled: the field empties, and an accepted empty folder
    // leaves the numbered save as it was.
    w->StorageFolder = out("store");
    g("mnKkn").setEnabled(0, true);
    fake.dialogs->folderAnswers.push_back(QString());
    answerStorageDialog([&](sbKkn& d) {
        d.findChild<QToolButton*>("cmFold")->click();
        d.findChild<QPushButton*>("cmOk0")->click();
    });
    g("mnKkn").click(4);
    EXPECT_EQ(fake.dialogs->lastBrowseStart, out("store"));
    EXPECT_EQ(w->StorageFolder, "");
    EXPECT_TRUE(g("mnKkn").isEnabled(0));
}

TEST_F(FileCommandsTest, FileMenuRecordsEnabledItemsOnly)
{
    w->MacroRecording = true;
    g("mnFile").click(1); // disabled without a picture
    g("mnFile").click(2);
    EXPECT_EQ(w->MacroBuffer, "");
    g("mnFile").click(0); // dialog cancelled
    g("mnWkf").click(1);
    g("mnWkf").click(0);  // disabled without a picture
    show(Picture(gradient()));
    g("mnFile").click(3); // nothing selected in the list: nothing starts
    EXPECT_EQ(w->MacroBuffer, "ﾌｧｲﾙ⇒開く\r\n作業ﾌｫﾙﾀﾞ⇒ｴｸｽﾌﾟﾛｰﾗｰで開く\r\nﾌｧｲﾙ⇒現在のﾌｧｲﾙをBrivaleで開く");
    EXPECT_EQ(fake.shell->explored, QStringList{w->WorkFolder});
    EXPECT_TRUE(fake.shell->startedPrograms.isEmpty());
}

TEST_F(FileCommandsTest, BrivaneBesideTheProgramGetsTheSelectedFileAsOneArgument)
{
    restartWithProgramInFamilyFolder();
    // The tool: a folder named by its code in lower case beside the program's.
    QDir(dir.path()).mkpath("fam/brivane");
    const QString tool = dir.file("fam/brivane/brivane");
    dir.write("fam/brivane/brivane", "#!/bin/sh\n"
                                 "out=\"$(dirname \"$0\")/received\"\n"
                                 "{ printf '%s\\n' \"$#\"; printf '%s' \"$1\"; } > \"$out.tmp\"\n"
                                 "mv \"$out.tmp\" \"$out\"\n");
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString name = "it's \"a\" shot 1.bmp";
    QImage(4, 4, QImage::Format_RGB32).save(w->WorkFolder + "/" + name, "BMP");
    g("mnDisp").click(0);
    w->RefreshFileList();
    w->fileList()->setCurrentRow(0);

    auto fakeShell = std::move(fake.platform.shell);
    fake.platform.shell = std::make_unique<DesktopShell>();
    g("mnFile").click(8);
    const bool arrived = QTest::qWaitFor([&] { return dir.exists("fam/brivane/received"); }, 5000);
    fake.platform.shell = std::move(fakeShell);

    ASSERT_TRUE(arrived);
    EXPECT_EQ(QString::fromUtf8(dir.read("fam/brivane/received")), "1\n" + w->WorkFolder + "/" + name);
    EXPECT_EQ(fake.family->values.value("QuillonTools/Path/Brivane"), tool);
    EXPECT_EQ(w->siblingTools().BrivanePath, tool);
    EXPECT_EQ(fake.dialogs->lastOpenTitle, ""); // found without asking
}

TEST_F(FileCommandsTest, ToolNotFoundAndNotChosenStartsNothing)
{
    restartWithProgramInFamilyFolder();
    const int writes = fake.family->writes; // the program's own registration
    g("mnWkf").click(2);
    EXPECT_EQ(fake.dialogs->lastOpenTitle, "画像 実行ﾌｧｲﾙの指定");
    EXPECT_EQ(fake.dialogs->lastOpenFolder, dir.file("fam"));
    EXPECT_TRUE(fake.shell->startedPrograms.isEmpty());
    EXPECT_EQ(fake.family->writes, writes);
    EXPECT_EQ(w->siblingTools().BrivanePath, "");
}

TEST_F(FileCommandsTest, ToolThatFailsToStartIsNamedAndLookedUpAgain)
{
    dir.write("tool", "#!/bin/sh\n");
    fake.family->values["QuillonTools/Path/Brivane"] = dir.file("tool");
    fake.shell->startSucceeds = false;
    w->StorageFolder = out("store");
    g("mnKkn").click(2);
    ASSERT_EQ(fake.shell->startArgsFor(0), QStringList{out("store")});
    ASSERT_EQ(fake.dialogs->messages.size(), 1);
    EXPECT_TRUE(fake.dialogs->messages[0].contains(dir.file("tool")));
    EXPECT_EQ(w->siblingTools().BrivanePath, "");
}

TEST_F(FileCommandsTest, ListRightClickPopsUpTheFileMenuAndGoneFilesAreIgnored)
{
    QImage(4, 4, QImage::Format_RGB32).save(w->WorkFolder + "/001.bmp");
    g("mnDisp").click(0);
    w->RefreshFileList();
    QWidget* vp = w->fileList()->viewport();
    ASSERT_NE(w->fileList()->item(0), nullptr);
    const QPoint row = w->fileList()->visualItemRect(w->fileList()->item(0)).center();
    QFile::remove(w->WorkFolder + "/001.bmp");
    QTest::mouseClick(vp, Qt::LeftButton, {}, row);
    EXPECT_EQ(w->PictureState, 0);
    EXPECT_TRUE(fake.dialogs->messages.isEmpty());

    QContextMenuEvent ev(QContextMenuEvent::Mouse, row, vp->mapToGlobal(row));
    QApplication::sendEvent(vp, &ev);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->fileMenu()->isVisible(); }, 1000));
    w->fileMenu()->close();
}

TEST_F(FileCommandsTest, DroppedPictureOpensWithoutAMacroStep)
{
    Picture(picture(qRgb(5, 6, 7), 17, 11)).save(out("dropped.png"), ImageFormat::Png);
    w->MacroRecording = true;
    auto drop = [&](const QString& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(w.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropEv(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(w.get(), &dropEv);
        QTest::qWait(20);
    };
    drop(out("dropped.png"));
    EXPECT_EQ(w->surface()->picture().width(), 17);
    EXPECT_EQ(w->CurrentFilePath, out("dropped.png"));
    EXPECT_EQ(w->MacroBuffer, "");

    dir.write("notes.txt", "text");
    drop(out("notes.txt"));
    ASSERT_EQ(fake.dialogs->messages.size(), 1);
    EXPECT_TRUE(fake.dialogs->messages[0].contains("notes.txt"));
    EXPECT_EQ(w->CurrentFilePath, out("dropped.png"));
}

TEST_F(FileCommandsTest, SaveAsGifThenSaveWritesTheGifAndLeavesTheOriginal)
{
    QImage src(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            src.setPixel(x, y, qRgb(x * 6, y * 8, (x * y) % 256));
    Picture(src).save(out("001.bmp"), ImageFormat::Bmp);
    const QByteArray original = bytes(out("001.bmp"));
    w->OpenPictureFile(out("001.bmp"));
    saveAs(out("001.gif"), 6);
    EXPECT_EQ(w->CurrentFilePath, out("001.gif"));
    EXPECT_EQ(w->surface()->picture().depthCode(), 8);
    EXPECT_EQ(w->PictureState, 1);

    g("mnRotate").click(0);
    ASSERT_TRUE(g("mnFile").isEnabled(1));
    g("mnFile").click(1);
    EXPECT_EQ(bytes(out("001.bmp")), original);
    EXPECT_EQ(decoded(out("001.gif")).image().convertToFormat(QImage::Format_RGB32),
              w->surface()->picture().image().convertToFormat(QImage::Format_RGB32));

    // The full depth is back by undo: the turn, then the reduction.
    g("mnEdt").click(15);
    g("mnEdt").click(15);
    EXPECT_EQ(w->surface()->picture().depthCode(), 24);
    EXPECT_EQ(w->surface()->picture().image().convertToFormat(QImage::Format_RGB32), src);
}

TEST_F(FileCommandsTest, ALoadOverUnsavedChangesAsksFirst)
{
    Picture(picture(qRgb(10, 20, 30))).save(out("a.bmp"), ImageFormat::Bmp);
    Picture(picture(qRgb(90, 20, 30))).save(out("b.bmp"), ImageFormat::Bmp);
    w->OpenPictureFile(out("a.bmp"));
    g("mnRotate").click(3);
    ASSERT_EQ(w->PictureState, 2);

    // キャンセル: the edited picture stays.
    fake.dialogs->saveChoices = {Dialogs::SaveChoice::Cancel};
    fake.dialogs->openAnswers = {out("b.bmp")};
    g("mnFile").click(0);
    EXPECT_EQ(fake.dialogs->saveQuestions.size(), 1);
    EXPECT_EQ(w->CurrentFilePath, out("a.bmp"));
    EXPECT_EQ(w->surface()->picture().width(), 30);
    EXPECT_EQ(w->PictureState, 2);

    // 保存: the edit is written, then the other file opens.
    fake.dialogs->saveChoices = {Dialogs::SaveChoice::Save};
    fake.dialogs->openAnswers = {out("b.bmp")};
    g("mnFile").click(0);
    EXPECT_EQ(decoded(out("a.bmp")).width(), 30);
    EXPECT_EQ(w->CurrentFilePath, out("b.bmp"));
    EXPECT_EQ(w->PictureState, 1);

    // No changes: no question.
    fake.dialogs->openAnswers = {out("a.bmp")};
    g("mnFile").click(0);
    EXPECT_EQ(fake.dialogs->saveQuestions.size(), 2);
}

TEST_F(FileCommandsTest, AFailedLoadKeepsTheEditedPictureAndItsState)
{
    Picture(picture(qRgb(10, 20, 30))).save(out("a.bmp"), ImageFormat::Bmp);
    QFile broken(out("broken.bmp"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("BM not a picture");
    broken.close();
    w->OpenPictureFile(out("a.bmp"));
    g("mnRotate").click(3);
    w->OpenPictureFile(out("broken.bmp"));
    EXPECT_EQ(w->PictureState, 2);
    EXPECT_TRUE(g("mnFile").isEnabled(1));
    EXPECT_EQ(w->CurrentFilePath, out("a.bmp"));
}

TEST_F(FileCommandsTest, TheExitItemAsksAboutUnsavedChanges)
{
    show(Picture(picture(qRgb(1, 2, 3))));
    fake.dialogs->saveChoices = {Dialogs::SaveChoice::Cancel};
    g("mnFile").click(11);
    EXPECT_EQ(fake.dialogs->saveQuestions.size(), 1);
    EXPECT_FALSE(w->isShuttingDown());
    EXPECT_TRUE(w->isVisible());
}
