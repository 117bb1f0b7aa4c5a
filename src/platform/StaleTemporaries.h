#pragma once
#include <QString>
#include <QStringList>

namespace varnel {

// Hidden temporaries that this program's own saves leave behind only when
// the program is killed or the power fails mid-write, named as only they
// are named (DurableFile::isTemporaryFor). Nothing else is ever touched.
class StaleTemporaries {
public:
    // A temporary for a target whose extension (after its last dot, case-
    // blind) is one of extensions, or whose name is one of names.
    static bool matches(const QString& fileName, const QStringList& extensions, const QStringList& names);

    // Removes the matching files of folder (not below it) that nobody has
    // written for minAgeSeconds: a file still being written by a running
    // save is always fresher than that. Returns the names removed.
    static QStringList remove(const QString& folder, const QStringList& extensions, const QStringList& names,
                              int minAgeSeconds = 60);

    // All the program's folders at once: the picture folders (empty ones
    // skipped) for pictures of pictureExtensions() and extraExtensions,
    // the data folder for the files named. Returns the paths removed.
    static QStringList removeAll(const QStringList& pictureFolders, const QStringList& extraExtensions,
                                 const QString& dataFolder, const QStringList& dataNames);

    // Extensions of the pictures the program saves.
    static QStringList pictureExtensions();
};

} // namespace varnel
