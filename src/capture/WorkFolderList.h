#pragma once
#include <QMetaType>
#include <QString>
#include <QStringList>

class QListWidget;

namespace varnel {

// The work-folder list without blocking the window: one stat tells whether
// the folder changed, the listing itself is a plain function a worker thread
// can run, and the list widget is brought up to date by inserting and
// removing the names that changed instead of being refilled.
class WorkFolderList {
public:
    // What one stat of the folder tells: adding, removing or renaming a file
    // changes it.
    struct Stamp {
        qint64 modifiedNs = -1;
        qint64 changedNs = -1;
        quint64 inode = 0;
        quint64 device = 0;
        bool operator==(const Stamp&) const = default;
        bool isValid() const { return modifiedNs >= 0; }
    };
    static Stamp stamp(const QString& folder);

    // The picture files of the folder the list shows (pattern
    // "*.BMP;*.JPG; *.JPEG; *.GIF", compared case-blind, hidden files left
    // out), sorted as the list shows them. Safe on any thread.
    static QStringList list(const QString& folder);
    // The list's order: case-blind, ties by exact text.
    static bool lessThan(const QString& a, const QString& b);

    // Makes the widget show names (sorted by lessThan), touching only the
    // rows that differ, so that a current row still listed stays current.
    // shown mirrors the widget's rows (reading 100,000 rows back costs more
    // than the update); it is updated too.
    static void update(QListWidget* list, QStringList& shown, const QStringList& names);
    // Row of the first name equal to name case-blind; -1 when none.
    static int findCaseBlind(const QStringList& sorted, const QString& name);
};

} // namespace varnel

Q_DECLARE_METATYPE(varnel::WorkFolderList::Stamp)
