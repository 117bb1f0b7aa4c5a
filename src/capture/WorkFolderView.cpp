#include "WorkFolderView.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QThread>

namespace varnel {

WorkFolderView::WorkFolderView(QListWidget* list, WorkFolderList::Stamp& watch, QObject* parent)
    : QObject(parent), m_list(list), m_watch(watch), m_thread(new QThread(this)), m_worker(new QObject)
{
    m_worker->moveToThread(m_thread);
    m_thread->start(QThread::LowPriority);
}

WorkFolderView::~WorkFolderView()
{
    // The worker's last listing ends before the view it reports to goes.
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
}

bool WorkFolderView::upToDate(const QString& folder, const WorkFolderList::Stamp& seen) const
{
    return seen == m_watch && !m_stale && m_folder == folder;
}

void WorkFolderView::refresh(const QString& folder)
{
    m_wanted = folder;
    const WorkFolderList::Stamp seen = WorkFolderList::stamp(folder);
    if (!seen.isValid())
        return;
    if (upToDate(folder, seen)) {
        selectCurrent();
        return;
    }
    if (m_names.size() > kSyncListLimit && m_folder == folder) {
        listInBackground(folder, seen);
        selectCurrent();
        return;
    }
    ++m_generation;
    apply(folder, WorkFolderList::list(folder));
    m_watch = seen;
    m_stale = false;
}

void WorkFolderView::poll(const QString& folder)
{
    m_wanted = folder;
    const WorkFolderList::Stamp seen = WorkFolderList::stamp(folder);
    if (seen.isValid() && !upToDate(folder, seen))
        listInBackground(folder, seen);
}

void WorkFolderView::listInBackground(const QString& folder, const WorkFolderList::Stamp& seen)
{
    if (m_listing)
        return; // the next tick sees what this one missed
    m_listing = true;
    const int generation = m_generation;
    QMetaObject::invokeMethod(m_worker, [this, folder, seen, generation] {
        const QStringList names = WorkFolderList::list(folder);
        // Posted to the view; dropped with it if it is gone by then.
        QMetaObject::invokeMethod(this, [this, folder, seen, generation, names] {
            m_listing = false;
            if (generation != m_generation || (shown && !shown()))
                return;
            apply(folder, names);
            if (folder == m_wanted) {
                m_watch = seen;
                m_stale = false;
            }
        }, Qt::QueuedConnection);
    });
}

void WorkFolderView::apply(const QString& folder, const QStringList& names)
{
    if (folder != m_wanted)
        return;
    if (m_folder != folder) {
        m_names.clear();
        m_list->clear();
    }
    m_folder = folder;
    WorkFolderList::update(m_list, m_names, names);
    selectCurrent();
}

void WorkFolderView::selectCurrent()
{
    const QString current = currentFile ? currentFile() : QString();
    // A picked set of files stays picked.
    if (current.isEmpty() || m_list->selectedItems().size() > 1)
        return;
    // No match leaves the selection where it is.
    const int row = WorkFolderList::findCaseBlind(m_names, QFileInfo(current).fileName());
    // The list picks several rows with Ctrl and Shift; selecting the
    // current file replaces whatever else was picked.
    if (row >= 0 && (m_list->currentRow() != row || m_list->selectedItems().size() != 1))
        m_list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

QStringList WorkFolderView::selectedPaths() const
{
    QList<int> rows;
    for (const QListWidgetItem* item : m_list->selectedItems())
        rows << m_list->row(item);
    std::sort(rows.begin(), rows.end());
    QStringList paths;
    for (int row : rows)
        paths << QDir(m_folder).filePath(m_list->item(row)->text());
    return paths;
}

QString WorkFolderView::selectedName() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

} // namespace varnel
