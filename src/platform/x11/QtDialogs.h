#pragma once
#include <QPointer>
#include <QWidget>

#include "platform/Dialogs.h"

namespace varnel {

class QtDialogs : public Dialogs {
public:
    void message(const QString& text) override;
    bool confirm(const QString& text) override;
    SaveChoice askSaveChanges(const QString& text) override;
    QString openFile(const QString& title, const QString& fileName, const QString& filter,
                     const QString& folder) override;
    QString saveFile(const QString& title, const QString& fileName, const QString& filter,
                     int* chosenFilter = nullptr) override;
    QString browseFolder(const QString& title, const QString& start) override;
    void setOwner(QWidget* owner) override { m_owner = owner; }

    // "desc|pattern|desc|pattern" -> Qt's "desc (p1 p2);;..." form.
    static QString toQtFilter(const QString& filter);

private:
    QPointer<QWidget> m_owner;
};

} // namespace varnel
