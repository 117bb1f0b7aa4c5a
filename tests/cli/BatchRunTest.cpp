#include <gtest/gtest.h>

#include <QDialog>
#include <QElapsedTimer>
#include <QDir>
#include <QTextStream>
#include <QTimer>

#include "TestFiles.h"
#include "cli/BatchRun.h"
#include "app/fmMain.h"
#include "capture/ClipboardWatcher.h"
#include "editing/PictureSurface.h"
#include "macros/MenuGroup.h"
#include "platform/BatchDialogs.h"
#include "platform/ShownLanguage.h"
#include "platform/fake/FakePlatform.h"

using namespace varnel;

namespace {
const QString CRLF = "\r\n";
}

// The main window as a batch run has it: hidden, with dialogs that refuse.
class BatchRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(dir.path() + "/prog");
        QDir().mkpath(dir.path() + "/store");
        fake.shell->folders[26] = dir.path() + "/data";
        dialogs = new BatchDialogs;
        fake.platform.dialogs.reset(dialogs);
        auto ini = std::make_unique<yIni>(fake.shell, fake.family);
        ini->W_UserData(dir.path() + "/prog/varnel", "varnel");
        ini->F_ChkSb(ini->userDataFolder(), {"Temp"});
        env.userDataFolder = ini->userDataFolder();
        w = std::make_unique<fmMain>(fake.platform, env, std::move(ini));
        w->StorageFolder = dir.path() + "/store";
        w->StoragePrefix = "b";
        w->StorageExtension = "bmp";
        // As loading these settings would: a storage folder enables its save.
        w->group("mnKkn")->setEnabled(0, true);
    }
    QString pictureFile(const QString& name, int width = 64, int height = 48)
    {
        QImage img(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                img.setPixel(x, y, qRgb(x * 4, y * 5, (x + y) % 256));
        const QString path = dir.path() + "/" + name;
        EXPECT_TRUE(img.save(path));
        return path;
    }
    int run(const QString& name, const QStringList& files)
    {
        out.clear();
        QTextStream s(&out);
        BatchRun batch(*w, *dialogs, s);
        return batch.run(name, files);
    }
    QStringList stored() const { return QDir(dir.path() + "/store").entryList(QDir::Files, QDir::Name); }

    testfiles::TempFolder dir;
    FakePlatform fake;
    BatchDialogs* dialogs = nullptr;
    AppEnvironment env;
    std::unique_ptr<fmMain> w;
    QString out;
};

TEST_F(BatchRunTest, EachFileIsOpenedRunAndSavedWithOneLineEach)
{
    w->MacroText = "[減色]" + CRLF + "色数⇒256色" + CRLF + "格納⇒連番をつけて保存";
    const QString a = pictureFile("a.png"), b = pictureFile("b.png"), c = pictureFile("c.png");
    QFile junk(dir.path() + "/junk.png");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();

    EXPECT_EQ(run("減色", {a, junk.fileName(), b, c}), 1);
    EXPECT_EQ(stored(), QStringList({"b001.bmp", "b002.bmp", "b003.bmp"}));
    Picture p;
    ASSERT_TRUE(p.load(dir.path() + "/store/b003.bmp"));
    EXPECT_EQ(p.depthCode(), 8);
    const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("[1/4] " + a + ": done (")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains("b001.bmp に保存しました"));
    EXPECT_EQ(lines[1], "[2/4] " + junk.fileName() + ": failed: cannot be opened as a picture");
    EXPECT_TRUE(lines[3].startsWith("[4/4] " + c + ": done"));
    EXPECT_EQ(lines[4], "3 of 4 files done");
    // Hidden all along, never standing by, no settings written.
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(w->watcher()->isHooked());
    // (the settings store leaves an empty file on first use, nothing more)
    EXPECT_EQ(QFileInfo(env.userDataFolder + "User.xml").size(), 0);
    EXPECT_EQ(run("減色", {a}), 0);
}

TEST_F(BatchRunTest, ReportsInTheLanguageShown)
{
    w->MacroText = "[保存]" + CRLF + "格納⇒連番をつけて保存";
    ShownLanguage::install(Language::English);
    run("保存", {pictureFile("a.png")});
    ShownLanguage::install(Language::Japanese);
    EXPECT_TRUE(out.contains("done (Saved to ") && out.contains("b001.bmp)")) << out.toStdString();
}

TEST_F(BatchRunTest, FailedSaveFailsTheFile)
{
    w->MacroText = "[減色]" + CRLF + "色数⇒256色" + CRLF + "格納⇒連番をつけて保存";
    w->StorageFolder = dir.path() + "/no such folder";
    EXPECT_EQ(run("減色", {pictureFile("a.png")}), 1);
    EXPECT_TRUE(out.contains("failed: ") && out.contains("に保存できませんでした")) << out.toStdString();
}

TEST_F(BatchRunTest, StepsThatNeedAPersonFailTheFileInsteadOfWaiting)
{
    const QString a = pictureFile("a.png");
    // A command with a modal window of its own.
    w->group("mnRotate")->setHandler([this](int) {
        QDialog d(w.get());
        d.setWindowTitle("範囲の登録");
        QTimer::singleShot(3000, &d, &QDialog::accept); // only if nothing closed it
        d.exec();
    });
    w->MacroText = "[R]" + CRLF + "回転⇒右" + CRLF + "色数⇒16bit" + CRLF + CRLF + "[S]" + CRLF +
                   "ﾌｧｲﾙ⇒ｷｬﾌﾞﾁｬｰ待機" + CRLF + CRLF + "[X]" + CRLF + "ﾌｧｲﾙ⇒終了" + CRLF + CRLF +
                   "[Q]" + CRLF + "作業ﾌｫﾙﾀﾞ⇒ﾌｫﾙﾀﾞを空" ;
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(run("R", {a}), 1);
    EXPECT_LT(t.elapsed(), 2500);
    EXPECT_TRUE(out.contains("failed: the window \"範囲の登録\" needs a person")) << out.toStdString();
    EXPECT_NE(w->surface()->picture().depthCode(), 16); // the step after it did not run

    EXPECT_EQ(run("S", {a}), 1);
    EXPECT_TRUE(out.contains("ﾌｧｲﾙ⇒ｷｬﾌﾞﾁｬｰ待機 cannot be used")) << out.toStdString();
    EXPECT_TRUE(w->FormShown);
    EXPECT_FALSE(w->watcher()->isHooked());

    EXPECT_EQ(run("X", {a}), 1);
    EXPECT_FALSE(w->isShuttingDown());
    EXPECT_EQ(QFileInfo(env.userDataFolder + "User.xml").size(), 0);

    // A question is answered "no" at once.
    w->group("mnWkf")->setHandler([this](int) { fake.platform.dialogs->confirm("作業ﾌｫﾙﾀﾞを空にして良いですが"); });
    EXPECT_EQ(run("Q", {a}), 1);
    EXPECT_TRUE(out.contains("failed: the question")) << out.toStdString();
}

TEST_F(BatchRunTest, UnknownMacroRunsNothing)
{
    w->MacroText = "[A]" + CRLF + "色数⇒16bit";
    const QString a = pictureFile("a.png");
    EXPECT_EQ(run("B", {a}), 2);
    EXPECT_TRUE(out.contains("no stored macro is named \"B\""));
    EXPECT_FALSE(w->surface()->hasPicture());
    EXPECT_EQ(run("A", {}), 2);
    // Names match as in the menu: case and width do not count.
    EXPECT_EQ(run("a", {a}), 0);
}

TEST_F(BatchRunTest, ATurnAndAnOverwriteWriteTheFileAndTheRunSaysWhat)
{
    const QString a = pictureFile("a.png", 64, 48);
    w->MacroText = "[T]" + CRLF + "回転⇒右90度" + CRLF + "ﾌｧｲﾙ⇒上書き保存" + CRLF + CRLF + "[U]" + CRLF + "回転⇒右90度";
    EXPECT_EQ(run("T", {a}), 0);
    EXPECT_EQ(QImage(a).size(), QSize(48, 64));
    EXPECT_TRUE(out.contains("wrote " + a)) << out.toStdString();

    // Changed and not written: said so; the exit status is as before.
    const QByteArray before = [&] { QFile f(a); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    EXPECT_EQ(run("U", {a}), 0);
    EXPECT_TRUE(out.contains("変更は保存されていません")) << out.toStdString();
    QFile f(a);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}
