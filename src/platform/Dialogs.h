#pragma once
#include <QString>

class QWidget;

namespace varnel {

// Message boxes and file pickers, behind an interface so that tests answer
// them without a person.
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
};

} // namespace varnel
