#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTimer>

#include "MainWindowFixture.h"
#include "capture/ClipboardWatcher.h"
#include "editing/PictureSurface.h"
#include "macros/sbMcr.h"

using namespace varnel;

namespace {
const QString CRLF = "\r\n";
}

class MacroTest : public MainWindowTest {
protected:
    // The user's actions in the macro editor once it is open; the close
    // box ends it when the script chose nothing.
    void inEditor(std::function<void(sbMcr&)> user)
    {
        editorOpened = false;
        QTimer::singleShot(0, w.get(), [this, user] {
            sbMcr* e = w->macroEditor();
            editorOpened = e->isVisible();
            editorSelection = e->textBox()->textCursor().selectedText();
            user(*e);
            if (e->isVisible())
                e->close();
        });
    }
    void pastePicture(QRgb c = qRgb(200, 30, 60))
    {
        fake.clipboard->setSilently(picture(c));
        g("mnEdt").click(3);
    }
    void startRecording()
    {
        g("mnMcrS").click(1);
        ASSERT_TRUE(w->MacroRecording);
    }
    QStringList shownMacroItems()
    {
        QStringList out;
        for (int i = 0; i < g("mnMcr").size(); ++i)
            if (g("mnMcr").isVisible(i))
                out << g("mnMcr").caption(i);
        return out;
    }
    bool editorOpened = false;
    QString editorSelection;
};

TEST_F(MacroTest, RecordingStartsAndEndsOnlyWhenConfirmed)
{
    MenuGroup& rec = g("mnMcrS");
    for (int i : {1, 2, 3})
        EXPECT_TRUE(rec.isEnabled(i)) << i;
    fake.dialogs->confirmAnswers = {false};
    rec.click(1);
    EXPECT_EQ(fake.dialogs->confirms, QStringList({"マクロを記録開始します"}));
    EXPECT_FALSE(w->MacroRecording);
    EXPECT_EQ(w->windowTitle(), "Varnel");

    rec.click(1);
    EXPECT_TRUE(w->MacroRecording);
    EXPECT_EQ(w->windowTitle(), "マクロ記録中・・・");
    EXPECT_FALSE(rec.isEnabled(1));
    EXPECT_TRUE(rec.isEnabled(2));
    EXPECT_FALSE(rec.isEnabled(3));

    fake.dialogs->confirmAnswers = {false};
    rec.click(2);
    EXPECT_EQ(fake.dialogs->confirms.last(), "マクロを記録終了します");
    EXPECT_TRUE(w->MacroRecording); // cancelled: recording goes on
    EXPECT_EQ(w->windowTitle(), "マクロ記録中・・・");
}

TEST_F(MacroTest, HandlersRecordTheirItemsAfterCarryingThemOut)
{
    startRecording();
    pastePicture();
    g("mnColr").click(4);  // ｸﾞﾚｰ(8bit)
    g("mnColr").click(5);  // 16bit
    g("mnEdt").click(2);   // copy
    g("mnRng").click(2);   // clear the range
    g("mnRng").click(5);   // 強調(ﾏｰｶｰ)
    g("mnRng").click(0);   // a separator records nothing
    g("mnEdt").click(5);   // nor does a submenu header
    g("mnFile").click(9);  // standby ...
    g("mnFile").click(9);  // ... and back: the caption of that moment
    EXPECT_EQ(w->surface()->picture().depthCode(), 16);
    EXPECT_EQ(w->MacroBuffer.toStdString(),
              QStringList({"画像編集⇒ｸﾘｯﾌﾟﾎﾞｰﾄﾞから貼付", "色数⇒ｸﾞﾚｰ(8bit)", "色数⇒16bit",
                           "画像編集⇒ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ", "範囲⇒範囲のｸﾘｱ", "範囲⇒強調(ﾏｰｶｰ)",
                           "ﾌｧｲﾙ⇒ｷｬﾌﾞﾁｬｰ待機", "ﾌｧｲﾙ⇒ﾌｫｰﾑを表示"})
                  .join(CRLF)
                  .toStdString());
    // Not recording: nothing is added.
    w->MacroRecording = false;
    g("mnColr").click(6);
    EXPECT_FALSE(w->MacroBuffer.endsWith("24bit"));
}

TEST_F(MacroTest, EndOfRecordingAppendsNewMacroAndEditorRenamesIt)
{
    w->MacroText = "[A]" + CRLF + "回転⇒右90度";
    w->macroRecorder().BuildMacroMenu();
    startRecording();
    pastePicture();
    g("mnColr").click(4);
    g("mnEdt").click(2);
    inEditor([](sbMcr& e) {
        e.textBox()->insertPlainText("灰色");
        e.chooseFileItem(2);
    });
    g("mnMcrS").click(2);
    EXPECT_TRUE(editorOpened);
    EXPECT_EQ(editorSelection, "新規マクロ");
    EXPECT_FALSE(w->MacroRecording);
    EXPECT_EQ(w->MacroText, "[A]" + CRLF + "回転⇒右90度" + CRLF + CRLF + "[灰色]" + CRLF +
                                "画像編集⇒ｸﾘｯﾌﾟﾎﾞｰﾄﾞから貼付" + CRLF + "色数⇒ｸﾞﾚｰ(8bit)" + CRLF +
                                "画像編集⇒ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ");
    EXPECT_EQ(shownMacroItems(), QStringList({"A", "灰色"}));
    EXPECT_TRUE(g("mnMcrS").isVisible(0));
    EXPECT_EQ(w->windowTitle(), w->CurrentFilePath); // a pasted picture has no file
    EXPECT_TRUE(g("mnMcrS").isEnabled(1));
    EXPECT_FALSE(g("mnMcrS").isEnabled(2));
    EXPECT_TRUE(g("mnMcrS").isEnabled(3));
}

TEST_F(MacroTest, EditorClosedWithoutUpdateKeepsTheAppendedMacroAndEndsRecording)
{
    startRecording();
    pastePicture();
    g("mnColr").click(3);
    g("mnColr").click(5);
    g("mnEdt").click(2);
    inEditor([](sbMcr& e) { e.textBox()->setPlainText("thrown away"); });
    g("mnMcrS").click(2);
    EXPECT_TRUE(editorOpened);
    // Three commands into an empty text, no break after the last line.
    EXPECT_EQ(w->MacroText, "[新規マクロ]" + CRLF + "画像編集⇒ｸﾘｯﾌﾟﾎﾞｰﾄﾞから貼付" + CRLF + "色数⇒256色" +
                                CRLF + "色数⇒16bit" + CRLF + "画像編集⇒ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ");
    EXPECT_FALSE(w->MacroRecording);
    EXPECT_EQ(shownMacroItems(), QStringList({"新規マクロ"}));
    EXPECT_NE(w->windowTitle(), "マクロ記録中・・・");
    EXPECT_TRUE(g("mnMcrS").isEnabled(1));
    EXPECT_FALSE(g("mnMcrS").isEnabled(2));
}

TEST_F(MacroTest, EndWithoutRecordingOnlyOpensTheEditor)
{
    const QString text = "[A]" + CRLF + "回転⇒右";
    w->MacroText = text;
    inEditor([](sbMcr& e) { e.chooseFileItem(2); });
    g("mnMcrS").click(2);
    EXPECT_TRUE(editorOpened);
    EXPECT_TRUE(editorSelection.isEmpty());
    EXPECT_EQ(w->MacroText, text);
}

TEST_F(MacroTest, MenuRunsMacroThroughTheHandlersAndRecordsItsSteps)
{
    w->MacroText = "[灰]" + CRLF + "色数⇒256色" + CRLF + "範囲⇒範囲のｸﾘｱ" + CRLF + CRLF + "[B]" + CRLF +
                   "色数⇒16bit";
    w->macroRecorder().BuildMacroMenu();
    EXPECT_EQ(shownMacroItems(), QStringList({"灰", "B"}));
    pastePicture();
    startRecording();
    g("mnMcr").click(0);
    EXPECT_EQ(w->surface()->picture().depthCode(), 8);
    EXPECT_EQ(w->MacroBuffer, "色数⇒256色" + CRLF + "範囲⇒範囲のｸﾘｱ");
    g("mnMcr").click(1);
    EXPECT_EQ(w->surface()->picture().depthCode(), 16);
}

TEST_F(MacroTest, DeletingEveryMacroHidesItemsAndSeparator)
{
    w->MacroText = "[A]" + CRLF + "回転⇒右" + CRLF + "[B]" + CRLF + "[C]";
    w->macroRecorder().BuildMacroMenu();
    EXPECT_EQ(shownMacroItems(), QStringList({"A", "B", "C"}));
    EXPECT_TRUE(g("mnMcrS").isVisible(0));
    inEditor([](sbMcr& e) { e.textBox()->clear(); e.chooseFileItem(2); });
    g("mnMcrS").click(3);
    EXPECT_TRUE(editorOpened);
    EXPECT_EQ(w->MacroText, "");
    EXPECT_TRUE(shownMacroItems().isEmpty());
    EXPECT_FALSE(g("mnMcrS").isVisible(0));
    // Text without headers shows the separator only.
    w->MacroText = "just a note";
    w->macroRecorder().BuildMacroMenu();
    EXPECT_TRUE(shownMacroItems().isEmpty());
    EXPECT_TRUE(g("mnMcrS").isVisible(0));
}

TEST_F(MacroTest, ExitStepEndsTheRunAfterSavingOnce)
{
    w->MacroText = "[X]" + CRLF + "ﾌｧｲﾙ⇒終了" + CRLF + "ﾌｧｲﾙ⇒ｷｬﾌﾞﾁｬｰ待機" + CRLF + "ﾌｧｲﾙ⇒終了";
    w->macroRecorder().BuildMacroMenu();
    const QString userXml = env.userDataFolder + "User.xml";
    ASSERT_EQ(QFileInfo(userXml).size(), 0); // not written yet
    g("mnMcr").click(0);
    EXPECT_TRUE(w->isShuttingDown());
    EXPECT_GT(QFileInfo(userXml).size(), 0);
    // Nothing after the exit ran on the closing window.
    EXPECT_TRUE(w->FormShown);
    EXPECT_FALSE(w->watcher()->isHooked());
    EXPECT_EQ(fake.tray->addCount, 0);
    EXPECT_TRUE(fake.dialogs->messages.isEmpty());
}

TEST_F(MacroTest, StoredMacrosComeBackAsMenuItemsAfterRestart)
{
    w->MacroText = "[縮小]" + CRLF + "色数⇒256色" + CRLF + CRLF + "[ ｸﾞﾚｰ ]" + CRLF + "色数⇒ｸﾞﾚｰ";
    w->Exit();
    w.reset();
    auto ini = std::make_unique<yIni>(fake.shell, fake.family);
    ini->W_UserData(dir.path() + "/prog/varnel", "varnel");
    w = std::make_unique<fmMain>(fake.platform, env, std::move(ini));
    EXPECT_EQ(w->MacroText, "[縮小]" + CRLF + "色数⇒256色" + CRLF + CRLF + "[ ｸﾞﾚｰ ]" + CRLF + "色数⇒ｸﾞﾚｰ");
    EXPECT_EQ(shownMacroItems(), QStringList({"縮小", "ｸﾞﾚｰ"}));
    EXPECT_TRUE(g("mnMcrS").isVisible(0));
    pastePicture();
    g("mnMcr").click(1);
    EXPECT_EQ(w->surface()->picture().depthCode(), 40); // ｸﾞﾚｰ(4bit), the first match
}

TEST_F(MacroTest, LinesReplayExactlyTheItemRecorded)
{
    // Recorded: the whole caption where the cut one would name another item.
    startRecording();
    pastePicture();
    g("mnColr").click(4); // ｸﾞﾚｰ(8bit)
    w->surface()->setSelection(2, 2, 10, 10);
    g("mnRng").click(5);  // 強調(ﾏｰｶｰ)
    w->MacroRecording = false;
    const QString recorded = w->MacroBuffer;
    EXPECT_EQ(recorded, "画像編集⇒ｸﾘｯﾌﾟﾎﾞｰﾄﾞから貼付" + CRLF + "色数⇒ｸﾞﾚｰ(8bit)" + CRLF + "範囲⇒強調(ﾏｰｶｰ)");

    // Replayed: the same items, whatever else begins with the same words.
    QStringList clicked;
    for (const char* name : {"mnColr", "mnRng"})
        w->group(name)->setHandler([&clicked, name](int i) { clicked << QString("%1:%2").arg(name).arg(i); });
    w->MacroText = "[R]" + CRLF + recorded + CRLF + "[Old]" + CRLF + "色数⇒ｸﾞﾚｰ" + CRLF + "範囲⇒強調";
    w->RunMacroNamed("R");
    EXPECT_EQ(clicked, QStringList({"mnColr:4", "mnRng:5"}));
    // A macro stored before keeps replaying as it did.
    clicked.clear();
    w->RunMacroNamed("Old");
    EXPECT_EQ(clicked, QStringList({"mnColr:2", "mnRng:4"}));
}

TEST_F(MacroTest, AReplayedPasteIsThereForTheNextLine)
{
    // The owner answers after the paste line has been handed on: the turn
    // must still work on the pasted picture, not on the one before it.
    pastePicture();
    fake.clipboard->answerLater = true;
    fake.clipboard->setSilently(picture(qRgb(10, 200, 30), 50, 20));
    QTimer::singleShot(30, [this] { fake.clipboard->answer(); });
    w->MacroText = "[P]" + CRLF + "画像編集⇒ｸﾘｯﾌﾟﾎﾞｰﾄﾞから貼付" + CRLF + "回転⇒右90度";
    w->RunMacroNamed("P");
    ASSERT_FALSE(fake.clipboard->pending);
    EXPECT_EQ(w->surface()->picture().width(), 20);
    EXPECT_EQ(w->surface()->picture().height(), 50);
    EXPECT_EQ(QColor(w->surface()->picture().image().pixel(0, 0)), QColor(10, 200, 30));
    EXPECT_EQ(w->PictureState, 2) << "a pasted picture is in no file yet";
}

TEST_F(MacroTest, UndoIsNoMacroStepEvenByName)
{
    pastePicture();
    w->surface()->setSelection(0, 0, 20, 10);
    w->MacroText = "[T]" + CRLF + "画像編集⇒ﾄﾘﾐﾝｸﾞ" + CRLF + "画像編集⇒元" + CRLF + CRLF + "[R]" + CRLF + "画像編集⇒や";
    w->RunMacroNamed("T");
    EXPECT_EQ(w->surface()->picture().width(), 20) << "the trimming was not taken back";
    g("mnEdt").click(15);
    w->RunMacroNamed("R");
    EXPECT_EQ(w->surface()->picture().width(), 40) << "nor brought back";
}

TEST_F(MacroTest, TheTitleFollowsTheCurrentFileOnceItShowsIt)
{
    const QString a = dir.path() + "/a.png", b = dir.path() + "/b.png";
    picture(qRgb(1, 2, 3)).save(a);
    picture(qRgb(4, 5, 6)).save(b);
    w->OpenPictureFile(a);
    startRecording();
    inEditor([](sbMcr&) {});
    g("mnMcrS").click(2);
    EXPECT_EQ(w->windowTitle(), a);
    w->OpenPictureFile(b);
    EXPECT_EQ(w->windowTitle(), b);
    // A second recording says so until it ends, whatever its steps change.
    startRecording();
    g("mnRotate").click(3);
    w->OpenPictureFile(a);
    EXPECT_EQ(w->windowTitle(), "マクロ記録中・・・");
    inEditor([](sbMcr&) {});
    g("mnMcrS").click(2);
    EXPECT_EQ(w->windowTitle(), a);
}
