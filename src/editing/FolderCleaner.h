#pragma once
#include <QString>

namespace varnel {

// Empties a folder of its files, and of nothing else.
class FolderCleaner {
public:
    struct Result {
        int removed = 0;
        int failed = 0;     // files that could not be removed
        bool opened = false; // false when the folder could not be read as a real folder
    };
    // Removes the regular files directly inside folder. Subfolders, symbolic
    // links and special files stay; a folder that is itself a symbolic link
    // is not entered, so nothing outside it is ever touched.
    static Result removeFiles(const QString& folder);
};

} // namespace varnel
