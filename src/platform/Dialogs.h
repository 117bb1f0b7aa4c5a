#pragma once
#include <QString>

class QWidget;

namespace varnel {

// Message boxes and file pickers, behind an interface so that tests answer
// them without a person. Every message of the program passes through here,
// and here alone it is decided how it is shown: a message never changes the
// program's state (no window brought back, no standby ended) and never
// holds up an exit requested from outside.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void message(const QString& text) = 0;
    // OK/Cancel; true for OK.
    virtual bool confirm(const QString& text) = 0;
    // Whether to save unsaved changes before they are set aside: the usual
    // three buttons, 保存 / 保存しない / キャンセル.
    enum class SaveChoice { Save, Discard, Cancel };
    virtual SaveChoice askSaveChanges(const QString& text) { return confirm(text) ? SaveChoice::Save : SaveChoice::Cancel; }
    // Empty when cancelled. filter in the "description|pattern" form.
    virtual QString openFile(const QString& title, const QString& fileName,
                             const QString& filter, const QString& folder) = 0;
    // Empty when cancelled. *chosenFilter (when given) receives the index of
    // the description|pattern pair the user left selected.
    virtual QString saveFile(const QString& title, const QString& fileName,
                             const QString& filter, int* chosenFilter = nullptr) = 0;
    // Empty when cancelled.
    virtual QString browseFolder(const QString& title, const QString& start) = 0;
    virtual void setOwner(QWidget* owner) = 0;

    // Standing by: the window is hidden or minimised and must stay so; a
    // message goes to the notification area, or stands alone without it.
    virtual void setStandby(bool on) { m_standby = on; }
    bool isStandby() const { return m_standby; }
    // An exit was requested from outside (a signal, the session's end):
    // nobody may be waited for. Open questions end as cancelled, later
    // messages go to standard error (and the notification area).
    virtual void beginExit() { m_exiting = true; }
    bool isExiting() const { return m_exiting; }
    // Whether a message window opened a moment ago or is still open: the
    // window system may then change the main window's state on its own.
    virtual bool messageJustShown() const { return false; }

private:
    bool m_standby = false;
    bool m_exiting = false;
};

} // namespace varnel
