#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

#include "IniValue.h"

namespace varnel {

class Shell;
class FamilyStore;

// The settings store and the program's dealings with its environment.
//
// The settings file ("User.xml") is kept as one text in memory. It looks like
// XML but is handled by plain search for tag strings in a fixed layout:
//
//   <?xml version='1.0' encoding='Shift-JIS' ?>
//   <運用>
//      <Group>
//         <Key>value</Key>
//      </Group>
//   </運用>
//
// CP932 without a byte-order mark, CR LF line ends, no final line break,
// values stored verbatim (nothing escaped). Load once (GetTxt), then per
// group GetGtx / vGtVal / SetVal / SetGtx, and write once (SetTxt).
//
// Nothing throws: file operations return a success flag, damaged elements
// are reported through the message handler and read as the default.
class yIni {
public:
    using MessageHandler = std::function<void(const QString&)>;

    // shell and family may be null when only the settings text is used.
    explicit yIni(Shell* shell = nullptr, FamilyStore* family = nullptr);

    // Receives every message the user must see (damaged file, missing
    // folder, shortcut created). Without one, messages are dropped.
    void setMessageHandler(MessageHandler handler) { m_message = std::move(handler); }
    // Hands a message about the loaded settings to the handler.
    void report(const QString& message)
    {
        if (m_message)
            m_message(message);
    }

    // ---- settings text ----

    // Loads the file whole (creating it empty when missing). A name ending
    // in "_DV.xml" (any case) is read and written as ".xml". False when the
    // file cannot be read or created; no message.
    bool GetTxt(const QString& path);
    // Makes a group current: its key lines become the group text.
    void GetGtx(const QString& group);
    // One value of the current group; the default when missing or empty.
    // Number defaults give a Double of the text's leading number. A boolean
    // that is neither True/False nor a number gives the default and sets
    // lastConversionFailed().
    IniValue vGtVal(const QString& key, const IniValue& defaultValue);
    // Replaces the key's value in place, or appends a new key line.
    void SetVal(const QString& key, const IniValue& value);
    // Puts the current group text back into the whole text (a new group goes
    // just before the root's closing tag).
    void SetGtx();
    // Writes the whole text back: complete on disk (synced) or the old file
    // left as it was. A file that loaded damaged is first kept as
    // "<name>.bak". False on any failure, with the reason in lastError();
    // no message.
    bool SetTxt();
    // Drops the loaded text for the empty skeleton, so that a damaged file
    // is replaced by a whole new one rather than patched.
    void StartAfresh();
    // Why the last SetTxt failed, for the user; empty after a success.
    QString lastError() const { return m_lastError; }

    bool lastConversionFailed() const { return m_conversionFailed; }
    // Whether the loaded file was found damaged (undecodable bytes, no root
    // closing tag, or an element reported as damaged since loading).
    bool isDamaged() const { return m_damaged; }

    QString filePath() const { return m_filePath; }
    QString wholeText() const { return m_wholeText; }
    QString groupText() const { return m_groupText; }
    QString groupName() const { return m_groupName; }

    // ---- environment ----

    // Decides the user data folder once per start. exePath is the running
    // executable's full path; exeName its name as fixed at start (see
    // exeNameFromPath). Reads or writes "UserData.ini" beside the executable,
    // registers the executable in the family store and creates the folder.
    void W_UserData(const QString& exePath, const QString& exeName);
    // Opens a help page of the web site in the browser (a link file to it
    // is written into the user data folder first).
    void W_Help(const QString& page);
    // Opens a web address the same way, through "Wrk/htm_view.desktop".
    void W_HtmView(const QString& address);
    // Places a link to the program in the desktop's send-to folder.
    void W_SendTo();
    // Shows a folder: with open, through the desktop's opener; otherwise in
    // the file manager, only when the folder exists.
    void W_ExpFd(const QString& folder, bool open);
    // Special folders by their classic numbers (5 documents, 9 send-to,
    // 26 per-user application data); no trailing "/"; empty when unknown.
    QString FsGtSpFld(int csidl);
    // Creates every missing base + name folder (one level each).
    void F_ChkSb(const QString& base, const QStringList& names);
    // Creates a folder with all its missing parents; failures are skipped.
    void F_CreateFld(const QString& folder);

    QString exeName() const { return m_exeName; }
    // The executable's folder, with a trailing "/".
    QString programFolder() const { return m_programFolder; }
    // The stamp bitmaps shipped with the program: "apData/" beside it, or in
    // the installed prefix's share folder.
    QString apDataFolder() const { return m_apDataFolder; }
    // With a trailing "/".
    QString userDataFolder() const { return m_userDataFolder; }
    // programFolder() + exeName + the executable's own suffix, if any.
    QString registeredExePath() const { return m_registeredExePath; }

    // file: address of the shipped user's guide folder, ending in "/";
    // empty when the guide is not there.
    QString helpBaseAddress() const;

private:
    enum class Source { Whole, Group };
    QString ExtractElement(Source source, const QString& name);
    static QString BuildElement(int level, const QString& name, const QString& value);
    void reportDamaged(const QString& name);
    bool writeLinkFile(const QString& path, const QString& content);
    void openThroughLink(const QString& linkPath, const QString& address);

    Shell* m_shell;
    FamilyStore* m_family;
    MessageHandler m_message;

    QString m_filePath;
    QString m_wholeText;
    QString m_groupText;
    QString m_groupName;
    bool m_conversionFailed = false;
    bool m_damaged = false;
    bool m_backupDone = false;
    QString m_lastError;

    QString m_exeName;
    QString m_programFolder;
    QString m_apDataFolder;
    QString m_userDataFolder;
    QString m_registeredExePath;
};

} // namespace varnel
