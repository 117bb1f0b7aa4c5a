#include "NumberedSaver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "Numbering.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace varnel {

bool NumberedSaver::saveExclusive(const Picture& picture, const QString& path, ImageFormat format,
                                  int quality, bool* nameTaken)
{
    if (nameTaken)
        *nameTaken = false;
    if (QFileInfo::exists(path)) {
        if (nameTaken)
            *nameTaken = true;
        return false;
    }
    // Write beside the target, then publish with link(): it fails when the
    // name exists, so a file that appeared meanwhile is never replaced and a
    // reader never sees a half-written picture.
    const QFileInfo target(path);
    QTemporaryFile tmp(target.absolutePath() + QLatin1String("/.varnel-XXXXXX.part"));
    if (!tmp.open())
        return false;
    const QString tmpPath = tmp.fileName();
    tmp.close();
    // Temporary files are private; the published picture gets the usual
    // permissions of a new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(QFile::encodeName(tmpPath).constData(), 0666 & ~mask);
    if (!picture.save(tmpPath, format, quality))
        return false;
    const QByteArray from = QFile::encodeName(tmpPath);
    const QByteArray to = QFile::encodeName(path);
    if (::link(from.constData(), to.constData()) == 0)
        return true; // the temporary name goes with tmp
    const int err = errno;
    if (err == EEXIST) {
        if (nameTaken)
            *nameTaken = true;
        return false;
    }
    // File systems without hard links: claim the name exclusively, then move
    // the finished file onto the claim.
    QFile claim(path);
    if (!claim.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (nameTaken)
            *nameTaken = QFileInfo::exists(path);
        return false;
    }
    claim.close();
    if (::rename(from.constData(), to.constData()) != 0) {
        QFile::remove(path);
        return false;
    }
    tmp.setAutoRemove(false);
    return true;
}

NumberedSaver::Result NumberedSaver::save(const Picture& picture, const QString& folder,
                                          const QString& prefix, qint64 start,
                                          const QString& extension, ImageFormat format, int quality,
                                          int maxTries)
{
    Result r;
    if (!picture.hasPicture() || !QFileInfo(folder).isDir())
        return r;
    qint64 n = std::max<qint64>(start, 1);
    for (int tries = 0; tries < maxTries; ++tries, ++n) {
        const QString path = QDir(folder).filePath(Numbering::fileName(prefix, n, extension));
        bool taken = false;
        if (saveExclusive(picture, path, format, quality, &taken)) {
            r.ok = true;
            r.path = path;
            r.number = n;
            return r;
        }
        if (!taken)
            return r;
    }
    return r;
}

} // namespace varnel
