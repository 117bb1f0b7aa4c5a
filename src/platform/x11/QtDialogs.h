#pragma once
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QWidget>

#include "platform/Dialogs.h"

class QDialog;
class QMessageBox;

namespace varnel {

class TrayIcon;

class QtDialogs : public Dialogs {
public:
    // tray: where standby's messages go while its icon is shown (may be null).
    explicit QtDialogs(TrayIcon* tray = nullptr) : m_tray(tray) {}
    ~QtDialogs() override;

    void message(const QString& text) override;
    bool confirm(const QString& text) override;
    SaveChoice askSaveChanges(const QString& text) override;
    QString openFile(const QString& title, const QString& fileName, const QString& filter,
                     const QString& folder) override;
    QString saveFile(const QString& title, const QString& fileName, const QString& filter,
                     int* chosenFilter = nullptr) override;
    QString browseFolder(const QString& title, const QString& start) override;
    void setOwner(QWidget* owner) override { m_owner = owner; }
    void beginExit() override;
    bool messageJustShown() const override;

    // "desc|pattern|desc|pattern" -> Qt's "desc (p1 p2);;..." form.
    static QString toQtFilter(const QString& filter);
    // How long after a message window opened the main window's state
    // changes are taken for the window system's doing.
    static constexpr int kSettleMs = 1500;

private:
    // Runs a dialog modally, or not at all once an exit was requested.
    int run(QDialog& dialog);
    void toStandardError(const QString& text) const;

    QPointer<QWidget> m_owner;
    TrayIcon* m_tray;
    QList<QPointer<QDialog>> m_open; // shown by us and not yet closed
    QElapsedTimer m_lastShown;
};

} // namespace varnel
