#pragma once
#include <QString>
#include <functional>

namespace varnel {

class FamilyStore;

// Finds the executable of a family tool: the path the tool registered for
// itself, else a folder named after it around this program's folder, else
// the user's choice. Whatever is found is registered for next time.
class zKtl {
public:
    // The open-file dialog: title, pre-filled name, filter, start folder ->
    // chosen path, empty when cancelled.
    using OpenDialog = std::function<QString(const QString& title, const QString& fileName,
                                             const QString& filter, const QString& folder)>;

    // programFolder: the folder of the running executable.
    zKtl(FamilyStore& family, const QString& programFolder, OpenDialog openDialog);

    // Tool codes by index: the executable's base name, its folder's name and
    // its registered key.
    static QString toolCode(int index);
    static QString displayName(int index);

    // executable in: the expected file name, empty to accept any; out: the
    // full path when one was found, else unchanged.
    void GetAppNm(int index, QString& executable);
    // parent out: the folder that holds the program's folder. found out: the
    // executable's path in the first folder named code, empty when none;
    // whether the file exists is left to the caller.
    void GetExePh(QString& parent, const QString& code, const QString& exeFileName, QString& found);

private:
    FamilyStore& m_family;
    QString m_programFolder;
    OpenDialog m_openDialog;
};

} // namespace varnel
