#pragma once
#include <QString>
#include <QStringList>

#include "SettingsValues.h"

namespace varnel {

class yIni;

// The table of groups and keys of "User.xml" and how each value is read at
// start and written at the user's exit. The main window owns the values and
// applies them to its menus and controls.
class AppSettings {
public:
    static QString fileName() { return QStringLiteral("User.xml"); }

    // Loads userDataFolder + "User.xml" into values. False when the file
    // cannot be loaded; values then holds SettingsValues{} (the built-in
    // values). On success: window geometry with its lower limits (left and
    // top at least 0, width 10000, height 6000 twips), a storage folder that
    // does not exist dropped, the macro text with each "~" as CR LF.
    // A range list or macro text of more than kMaxEntries entries (ranges,
    // macros) or kMaxChars characters is loaded only up to those limits, in
    // whole entries, with one message; values then keeps the stored text
    // (rangeListKept, macroTextKept) for save().
    static bool load(yIni& ini, const QString& userDataFolder, SettingsValues& values);

    static constexpr int kMaxEntries = 10000;
    static constexpr qsizetype kMaxChars = 1 << 20;

    // Writes every value back through the store loaded by load(). While the
    // window is hidden in capture standby (windowShown false) the stored
    // geometry is left as it is. A store that loaded a damaged file is
    // written as a whole new file. A partly loaded list goes back as stored
    // when the program's list is still the loaded part (or its valid
    // entries), else the program's list with the part not loaded behind it.
    // Returns the store's write result
    // (ini.lastError() tells why it failed).
    static bool save(yIni& ini, const SettingsValues& values, bool windowShown);

    // The language stored in the file ("ja", "en"), read before the window
    // is made; empty when the file or the key is not there. Reports nothing
    // and creates nothing: the full load follows.
    static QString storedLanguage(const QString& userDataFolder);

    // The stamp bitmaps: names of the files in apDataFolder ending in ".bmp"
    // (any case), sorted by name; one empty name when there are none.
    static QStringList stampFiles(const QString& apDataFolder);
    // Index of the entry equal (exactly) to the stored name, else 0.
    static int stampIndex(const QStringList& stamps, const QString& stored);
};

} // namespace varnel
