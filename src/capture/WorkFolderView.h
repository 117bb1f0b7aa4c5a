#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

#include "WorkFolderList.h"

class QListWidget;
class QThread;

namespace varnel {

// The work-folder list on screen, kept up to date without holding up the
// window: one stat decides whether the folder is read at all; a big folder
// is read on a worker thread of its own and the rows follow a moment later;
// rows change in place, and the current file stays selected unless several
// are picked.
class WorkFolderView : public QObject {
    Q_OBJECT
public:
    // watch: where the folder's stamp as last listed is kept.
    WorkFolderView(QListWidget* list, WorkFolderList::Stamp& watch, QObject* parent = nullptr);
    ~WorkFolderView() override;

    // Whether anybody sees the list (false in standby), and the file to
    // keep selected; asked when a listing lands.
    std::function<bool()> shown;
    std::function<QString()> currentFile;

    // Lists folder now, or on the worker once the list is big; a folder
    // whose stamp has not changed is not read.
    void refresh(const QString& folder);
    // The window's timer: the folder is read on the worker when it changed.
    void poll(const QString& folder);
    // Nobody sees the list now: the next refresh reads the folder.
    void markStale() { m_stale = true; }
    // Selects the current file's row, when it is listed.
    void selectCurrent();
    const QStringList& names() const { return m_names; }
    // The picked files, in list order, as paths in the folder listed.
    QStringList selectedPaths() const;
    // The current row's name while it is picked; empty otherwise.
    QString selectedName() const;

    // Above this many rows the folder is read on the worker.
    static constexpr int kSyncListLimit = 5000;

private:
    bool upToDate(const QString& folder, const WorkFolderList::Stamp& seen) const;
    void listInBackground(const QString& folder, const WorkFolderList::Stamp& seen);
    void apply(const QString& folder, const QStringList& names);

    QListWidget* m_list;
    WorkFolderList::Stamp& m_watch;
    QThread* m_thread;
    QObject* m_worker;
    bool m_listing = false;
    bool m_stale = false;
    int m_generation = 0;   // a listing still on the worker is older than this
    QStringList m_names;    // the rows of the list
    QString m_folder;       // the folder the rows are of
    QString m_wanted;       // the folder asked for last
};

} // namespace varnel
