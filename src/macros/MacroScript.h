#pragma once
#include <QList>
#include <QString>
#include <QStringList>

namespace varnel {

// The macro text: named macros, each a header "[name]" and a body of
// command lines "keyword⇒argument" separated by CR LF. Everything here works
// on plain strings; the menus are the runner's business.
namespace MacroScript {

// The separator between keyword and argument, and the only line break.
inline const QString kArrow = QStringLiteral("⇒");
inline const QString kLineBreak = QStringLiteral("\r\n");
inline const QString kNewMacroName = QStringLiteral("新規マクロ");

// The keywords a command line may start with, one per recordable menu group.
const QStringList& keywords();

struct Header {
    QString name;          // trimmed, may be empty
    qsizetype bodyBegin;   // first character after the "]"
    qsizetype bodyEnd;     // the next "[" or the end of the text
};

struct Command {
    QString keyword;       // as written, not trimmed
    QString argument;      // everything after the first arrow
};

// Headers in text order. An unclosed "[" ends the scan.
QList<Header> headers(const QString& text);
QStringList names(const QString& text);

// Spaces around a name or a line: the ASCII space and the ideographic
// space, which a Japanese input method types; tabs stay.
QString trimmed(const QString& s);

// Macro names compare as a Japanese user reads them: case, full-width and
// half-width forms, hiragana and katakana do not count.
QString nameKey(const QString& name);
bool sameName(const QString& a, const QString& b);

// The body of the first macro whose name matches; false when there is none.
bool findBody(const QString& text, const QString& name, QString& body);

// The command lines of a body in order; empty lines and lines without an
// arrow are left out.
QList<Command> commands(const QString& body);

// The line the recorder writes for a chosen item: the caption is cut
// before its first "(" (accelerators and parenthesised details).
QString recordedLine(const QString& keyword, const QString& caption);

// The text after a recording ended: the recorded lines appended as a new
// macro "[新規マクロ]", one empty line after the text before it. An empty
// buffer leaves the text as it is.
QString appendRecording(const QString& text, const QString& buffer);

} // namespace MacroScript
} // namespace varnel
