#include "FolderCleaner.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnel {

FolderCleaner::Result FolderCleaner::removeFiles(const QString& folder)
{
    Result r;
    if (folder.isEmpty())
        return r;
    // Every step works relative to the opened folder, so a name swapped for
    // a link meanwhile cannot lead the deletion elsewhere.
    const int dirFd = ::open(QFile::encodeName(folder).constData(),
                             O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd < 0)
        return r;
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return r;
    }
    r.opened = true;
    while (const dirent* e = ::readdir(dir)) {
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        struct stat st;
        if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (::unlinkat(dirFd, name, 0) == 0)
            ++r.removed;
        else
            ++r.failed;
    }
    ::closedir(dir);
    return r;
}

} // namespace varnel
