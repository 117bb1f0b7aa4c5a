#include <QCheckBox>
#include <QHelpEvent>
#include <QMenuBar>
#include <QToolButton>
#include <QToolTip>

#include "MainWindowFixture.h"
#include "editing/PictureSurface.h"
#include "platform/ShownLanguage.h"
#include "settings/AppSettings.h"

using namespace varnel;

// The window as an English user sees it: the translations are in place
// before the window is made, as at start.
class EnglishWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        ShownLanguage::install(Language::English);
        MainWindowTest::SetUp();
        QCoreApplication::processEvents(); // menus rebuilt after a group grew
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        ShownLanguage::install(Language::Japanese);
    }
    QAction* shown(const char* group, const QString& text)
    {
        for (QAction* a : w->menuOf(QString::fromLatin1(group))->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }
};

TEST_F(EnglishWindowTest, ShowsEnglishCaptionsButRecordsAndReplaysJapaneseOnes)
{
    QStringList bar;
    for (QAction* a : w->menuBar()->actions())
        bar << a->text();
    EXPECT_EQ(bar, QStringList({"&File", "&Edit", "&Display", "&Macro", "Set&up", "&Help"}));
    EXPECT_NE(shown("mnFile", "&Open"), nullptr);
    EXPECT_NE(shown("mnEdt", "Paste from Clipboard"), nullptr);
    QStringList boxes;
    for (QCheckBox* c : w->findChildren<QCheckBox*>())
        boxes << c->text();
    EXPECT_TRUE(boxes.contains("Fit to window")) << boxes.join('|').toStdString();
    // Tips are translated as they pop up.
    QToolButton* open = nullptr;
    for (QToolButton* b : w->findChildren<QToolButton*>())
        if (b->toolTip().startsWith("Ctrl+O"))
            open = b;
    ASSERT_NE(open, nullptr);
    QHelpEvent tip(QEvent::ToolTip, QPoint(2, 2), open->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(open, &tip);
    EXPECT_EQ(QToolTip::text(), "Ctrl+O Opens a picture file");
    // The language item comes after every item the settings menu had.
    EXPECT_EQ(shown("mnUsr", "Language / 言語"), w->menuOf("mnUsr")->actions().last());

    g("mnMcrS").click(1);
    ASSERT_TRUE(w->MacroRecording);
    EXPECT_EQ(w->windowTitle(), "Recording a macro...");
    fake.clipboard->setSilently(picture(qRgb(10, 20, 30), 40, 30));
    shown("mnEdt", "Paste from Clipboard")->trigger();
    QAction* right90 = shown("mnRotate", "Right 90°");
    ASSERT_NE(right90, nullptr);
    right90->trigger();
    EXPECT_EQ(w->surface()->picture().width(), 30);
    EXPECT_EQ(w->MacroBuffer, QStringLiteral("画像編集⇒ｸﾘｯﾌﾟﾎﾞｰﾄﾞから貼付\r\n回転⇒右90度"));

    // A macro of Japanese lines replays while English is shown.
    w->MacroRecording = false;
    w->MacroText = QStringLiteral("[回転]\r\n回転⇒右90度");
    w->macroRecorder().BuildMacroMenu();
    QCoreApplication::processEvents();
    // The user's name for it is shown as typed, not as the caption it matches.
    EXPECT_NE(shown("mnMcr", QStringLiteral("回転")), nullptr);
    g("mnMcr").click(0);
    EXPECT_EQ(w->surface()->picture().width(), 40);
}

TEST_F(EnglishWindowTest, TheChoiceIsKeptForTheNextStart)
{
    const int item = g("mnUsr").size() - 1;
    ASSERT_EQ(g("mnUsr").caption(item), QStringLiteral("Language / 言語"));
    MenuGroup* languages = g("mnUsr").item(item).submenu;
    ASSERT_NE(languages, nullptr);
    EXPECT_TRUE(languages->isChecked(1)); // English is shown
    languages->click(0);
    EXPECT_TRUE(languages->isChecked(0));
    ASSERT_EQ(fake.dialogs->messages.size(), 1);
    EXPECT_EQ(shownText(fake.dialogs->messages[0]), "Varnel shows Japanese from the next start.");
    w->SaveSettings();
    EXPECT_EQ(AppSettings::storedLanguage(env.userDataFolder), "ja");
}
