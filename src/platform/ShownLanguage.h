#pragma once
#include <QByteArray>
#include <QString>

namespace varnel {

// The language the window shows. The program is written in Japanese: every
// caption and message is made in Japanese, and only what reaches the screen
// is translated. Macros, settings and file names therefore stay Japanese
// whatever is shown.
enum class Language { Japanese, English };

class ShownLanguage {
public:
    // Chosen once per start: VARNEL_LANGUAGE ("en"/"ja") wins over the
    // stored choice; anything else is Japanese.
    static Language choose(const QString& stored, const QByteArray& environment);
    static Language fromCode(const QString& code);
    static QString code(Language language);

    // Installs the translations of the language for the whole program: our
    // English texts, or Qt's own Japanese ones for its dialogs and buttons.
    // Replaces whatever an earlier call installed.
    static void install(Language language);
    static Language current();
};

// The text to show for a Japanese text of the program: itself in Japanese,
// its English translation otherwise. A text built from a pattern with
// placeholders ("%1 に保存できませんでした") is matched against the pattern,
// and its parts are translated in turn. Texts without a translation are shown
// as they are.
QString shownText(const QString& japanese);

// Whether an English translation exists for the text (exactly or by pattern).
bool hasTranslation(const QString& japanese);

} // namespace varnel
