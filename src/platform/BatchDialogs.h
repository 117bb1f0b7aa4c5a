#pragma once
#include <QStringList>

#include "Dialogs.h"

namespace varnel {

// Dialogs for a run without a person: every question is refused at once
// (as if cancelled) and remembered, so that the caller can fail the work
// instead of waiting; messages are kept to be printed.
class BatchDialogs : public Dialogs {
public:
    void message(const QString& text) override;
    bool confirm(const QString& text) override;
    SaveChoice askSaveChanges(const QString& text) override;
    QString openFile(const QString& title, const QString& fileName, const QString& filter,
                     const QString& folder) override;
    QString saveFile(const QString& title, const QString& fileName, const QString& filter,
                     int* chosenFilter = nullptr) override;
    QString browseFolder(const QString& title, const QString& start) override;
    void setOwner(QWidget*) override {}

    // A window that would have waited for a person (opened elsewhere).
    void refused(const QString& what);

    // Since the last clear: the messages shown, and the first reason the
    // work cannot count as done (a refused question or a failure message).
    const QStringList& messages() const { return m_messages; }
    const QString& failure() const { return m_failure; }
    void clear();

    // Whether a message reports that something could not be done.
    static bool reportsFailure(const QString& text);

private:
    QStringList m_messages;
    QString m_failure;
};

} // namespace varnel
