#include <gtest/gtest.h>

#include "macros/MacroScript.h"

using namespace varnel;
namespace ms = varnel::MacroScript;

namespace {
const QString CRLF = "\r\n";

QStringList lines(const QString& body)
{
    QStringList out;
    for (const ms::Command& c : ms::commands(body))
        out << c.keyword + "|" + c.argument;
    return out;
}

QString bodyOf(const QString& text, const QString& name)
{
    QString b;
    EXPECT_TRUE(ms::findBody(text, name, b)) << name.toStdString();
    return b;
}
} // namespace

TEST(MacroScript, BodyStopsAtTheNextBracketEvenInsideALine)
{
    const QString text = "[A]" + CRLF + "ﾌｧｲﾙ⇒開く" + CRLF + "回転⇒右90度" + CRLF + "[B]" + CRLF +
                         "色数⇒16bit";
    EXPECT_EQ(lines(bodyOf(text, "A")), QStringList({"ﾌｧｲﾙ|開く", "回転|右90度"}));
    EXPECT_EQ(lines(bodyOf(text, "B")), QStringList({"色数|16bit"}));
    // A "[" in the middle of a command line ends the body there.
    const QString cut = "[A]" + CRLF + "回転⇒右90度" + CRLF + "色数⇒16[bit" + CRLF + "回転⇒左90度";
    EXPECT_EQ(lines(bodyOf(cut, "A")), QStringList({"回転|右90度", "色数|16"}));
    EXPECT_EQ(ms::names(cut), QStringList({"A"})); // unclosed "[" ends the scan
}

TEST(MacroScript, HeadersTrimNamesAndTextAfterBracketIsTheFirstLine)
{
    const QString text = "comment before" + CRLF + "[  A  ]回転⇒右" + CRLF + "[]" + CRLF + "[　全角　]";
    EXPECT_EQ(ms::names(text), QStringList({"A", "", "全角"}));
    EXPECT_EQ(lines(bodyOf(text, "A")), QStringList({"回転|右"}));
    EXPECT_TRUE(ms::names("").isEmpty());
    EXPECT_TRUE(ms::names("no header at all").isEmpty());
    QString b;
    EXPECT_FALSE(ms::findBody(text, "missing", b));
}

TEST(MacroScript, LinesSplitOnlyAtCrLfAndTheFirstArrowSeparates)
{
    const QString body = CRLF + "  ﾌｧｲﾙ⇒開く  " + CRLF +     // outer spaces go
                         "ﾌｧｲﾙ ⇒開く" + CRLF +              // space stays in keyword
                         "回転⇒右\t" + CRLF +                // tab stays in argument
                         "plain words" + CRLF +              // no arrow: a comment
                         "" + CRLF + "   " + CRLF +
                         "a⇒b⇒c" + CRLF +                    // later arrows are argument
                         "色数⇒ｸﾞﾚｰ\n回転⇒右" + CRLF +      // lone LF is no break
                         "範囲⇒強調\r回転⇒右";              // nor a lone CR
    EXPECT_EQ(lines(body), QStringList({"ﾌｧｲﾙ|開く", "ﾌｧｲﾙ |開く", "回転|右\t", "a|b⇒c",
                                        "色数|ｸﾞﾚｰ\n回転⇒右", "範囲|強調\r回転⇒右"}));
}

TEST(MacroScript, NamesMatchAcrossCaseWidthAndKana)
{
    EXPECT_TRUE(ms::sameName("Abc", "aBC"));
    EXPECT_TRUE(ms::sameName("ＡＢＣ", "abc"));       // full-width letters
    EXPECT_TRUE(ms::sameName("ｸﾞﾚｰ", "グレー"));      // half-width katakana
    EXPECT_TRUE(ms::sameName("ぐれー", "グレー"));    // hiragana
    EXPECT_TRUE(ms::sameName("１２３", "123"));
    EXPECT_FALSE(ms::sameName("右90度", "右180度"));
    EXPECT_FALSE(ms::sameName("A", "AB"));
    // Two macros of the same name: the first one runs.
    const QString text = "[Dup]" + CRLF + "回転⇒右" + CRLF + "[dup]" + CRLF + "回転⇒左";
    EXPECT_EQ(ms::names(text), QStringList({"Dup", "dup"}));
    EXPECT_EQ(lines(bodyOf(text, "dup")), QStringList({"回転|右"}));
}

TEST(MacroScript, RecordedLineCutsCaptionBeforeFirstParenthesis)
{
    EXPECT_EQ(ms::recordedLine("ﾌｧｲﾙ", "開く(&O)"), "ﾌｧｲﾙ⇒開く");
    EXPECT_EQ(ms::recordedLine("範囲", "強調(ﾏｰｶｰ)"), "範囲⇒強調");
    EXPECT_EQ(ms::recordedLine("色数", "16bit"), "色数⇒16bit");
    EXPECT_EQ(ms::recordedLine("色数", "ｸﾞﾚｰ(8bit)"), "色数⇒ｸﾞﾚｰ");
    EXPECT_EQ(ms::recordedLine("範囲USR", "A4(210 * 297 mm)"), "範囲USR⇒A4");
}

TEST(MacroScript, RecordingIsAppendedAfterExactlyOneEmptyLine)
{
    const QString buffer = "ﾌｧｲﾙ⇒開く" + CRLF + "回転⇒右90度" + CRLF + "色数⇒16bit";
    const QString added = "[新規マクロ]" + CRLF + buffer;
    EXPECT_EQ(ms::appendRecording("", buffer), added); // nothing before it
    const QString old = "[A]" + CRLF + "回転⇒右";
    EXPECT_EQ(ms::appendRecording(old, buffer), old + CRLF + CRLF + added);
    EXPECT_EQ(ms::appendRecording(old + CRLF, buffer), old + CRLF + CRLF + added);
    EXPECT_EQ(ms::appendRecording(old + CRLF + CRLF, buffer), old + CRLF + CRLF + added);
    // Nothing recorded: the text stays.
    EXPECT_EQ(ms::appendRecording(old, ""), old);
    // A lone LF at the end is no line break.
    EXPECT_EQ(ms::appendRecording(old + "\n", buffer), old + "\n" + CRLF + CRLF + added);
}
