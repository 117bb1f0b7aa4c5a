#include "WorkFolderList.h"

#include <QFile>
#include <QListWidget>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace varnel {

WorkFolderList::Stamp WorkFolderList::stamp(const QString& folder)
{
    struct stat st;
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return {};
    Stamp s;
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    s.changedNs = qint64(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
    s.inode = quint64(st.st_ino);
    s.device = quint64(st.st_dev);
    return s;
}

namespace {
bool isListedName(const char* name, size_t len)
{
    if (len == 0 || name[0] == '.')
        return false;
    static const char* const suffixes[] = {".bmp", ".jpg", ".jpeg", ".gif"};
    for (const char* suf : suffixes) {
        const size_t n = strlen(suf);
        if (len > n && strncasecmp(name + len - n, suf, n) == 0)
            return true;
    }
    return false;
}
} // namespace

QStringList WorkFolderList::list(const QString& folder)
{
    // Sorted by a case-folded key computed once per name: comparing names
    // case-blind inside the sort costs ten times more at 100,000 names.
    std::vector<std::pair<QString, QString>> entries;
    const QByteArray path = QFile::encodeName(folder);
    DIR* dir = ::opendir(path.constData());
    if (!dir)
        return {};
    const int dfd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        const size_t len = strlen(e->d_name);
        if (!isListedName(e->d_name, len))
            continue;
        bool file = e->d_type == DT_REG;
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            struct stat st;
            file = ::fstatat(dfd, e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (file) {
            QString name = QFile::decodeName(QByteArray::fromRawData(e->d_name, qsizetype(len)));
            QString key = name.toCaseFolded();
            entries.emplace_back(std::move(key), std::move(name));
        }
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end());
    QStringList names;
    names.reserve(qsizetype(entries.size()));
    for (auto& e : entries)
        names << std::move(e.second);
    return names;
}

bool WorkFolderList::lessThan(const QString& a, const QString& b)
{
    const int c = a.toCaseFolded().compare(b.toCaseFolded());
    return c != 0 ? c < 0 : a < b;
}

int WorkFolderList::findCaseBlind(const QStringList& sorted, const QString& name)
{
    const QString key = name.toCaseFolded();
    const auto it = std::lower_bound(sorted.cbegin(), sorted.cend(), key, [](const QString& a, const QString& k) {
        return a.toCaseFolded() < k;
    });
    if (it == sorted.cend() || it->toCaseFolded() != key)
        return -1;
    return int(it - sorted.cbegin());
}

void WorkFolderList::update(QListWidget* list, QStringList& shown, const QStringList& names)
{
    if (list->count() != shown.size()) { // changed behind our back: start afresh
        list->clear();
        shown.clear();
    }
    if (shown.isEmpty()) {
        list->addItems(names);
        shown = names;
        return;
    }
    if (shown == names)
        return;
    // A merge of two sorted lists: each row that differs is one insert or
    // one removal, and the rows in between (the current one too) stay.
    list->setUpdatesEnabled(false);
    int row = 0;
    qsizetype i = 0, j = 0;
    while (i < shown.size() || j < names.size()) {
        if (i < shown.size() && j < names.size() && shown[i] == names[j]) {
            ++i, ++j, ++row;
        } else if (j >= names.size() || (i < shown.size() && lessThan(shown[i], names[j]))) {
            delete list->takeItem(row);
            ++i;
        } else {
            list->insertItem(row, names[j]);
            ++j, ++row;
        }
    }
    list->setUpdatesEnabled(true);
    shown = names;
}

} // namespace varnel
