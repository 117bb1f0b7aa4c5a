#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>

#include "macros/sbMcr.h"

using varnel::sbMcr;

namespace {
const QString CRLF = "\r\n";

// Runs Act with the user's actions scripted inside the modal loop.
struct Session {
    sbMcr editor;
    QString selected;
    bool updated = false;

    QString act(QString text, std::function<void(sbMcr&)> user)
    {
        QTimer::singleShot(0, &editor, [this, user] {
            selected = editor.textBox()->textCursor().selectedText();
            user(editor);
            // Whatever the script did, the loop ends (the close box).
            if (editor.isVisible())
                editor.close();
        });
        editor.Act(text, updated);
        return text;
    }
};
} // namespace

TEST(sbMcr, SelectsFirstNewMacroAndUpdatesWithCrLf)
{
    Session s;
    const QString in = "[A]" + CRLF + "回転⇒右" + CRLF + CRLF + "[新規マクロ]" + CRLF + "色数⇒16bit" +
                       CRLF + CRLF + "[新規マクロ]" + CRLF + "回転⇒左";
    const QString out = s.act(in, [](sbMcr& e) {
        e.textBox()->insertPlainText("縮小"); // typing replaces the selected name
        e.chooseFileItem(2);
    });
    EXPECT_EQ(s.selected, "新規マクロ");
    EXPECT_TRUE(s.updated);
    EXPECT_EQ(out, "[A]" + CRLF + "回転⇒右" + CRLF + CRLF + "[縮小]" + CRLF + "色数⇒16bit" + CRLF + CRLF +
                       "[新規マクロ]" + CRLF + "回転⇒左");
    EXPECT_EQ(s.editor.windowTitle(), "マクロコマンドの編集");
}

TEST(sbMcr, CloseWithoutUpdateOrCloseBoxHandsBackNothing)
{
    Session s;
    const QString in = "[A]" + CRLF + "回転⇒右";
    EXPECT_EQ(s.act(in, [](sbMcr& e) { e.textBox()->setPlainText("x"); e.chooseFileItem(3); }), in);
    EXPECT_FALSE(s.updated);
    EXPECT_TRUE(s.selected.isEmpty()); // no placeholder, nothing selected
    EXPECT_EQ(s.act(in, [](sbMcr& e) { e.textBox()->setPlainText("x"); }), in); // close box
    EXPECT_FALSE(s.updated);
    // Emptied and updated: an empty text comes back.
    EXPECT_EQ(s.act(in, [](sbMcr& e) { e.textBox()->clear(); e.chooseFileItem(2); }), "");
    EXPECT_TRUE(s.updated);
}

TEST(sbMcr, UndoRestoresTheOpeningTextAndStaysOpen)
{
    Session s;
    const QString in = "[A]" + CRLF + "回転⇒右" + CRLF + "[B]";
    bool openAfterUndo = false;
    const QString out = s.act(in, [&](sbMcr& e) {
        e.textBox()->setPlainText("first");
        e.textBox()->appendPlainText("second");
        e.chooseFileItem(0);
        openAfterUndo = e.isVisible();
        e.chooseFileItem(2);
    });
    EXPECT_TRUE(openAfterUndo);
    EXPECT_TRUE(s.updated);
    EXPECT_EQ(out, in);
}
