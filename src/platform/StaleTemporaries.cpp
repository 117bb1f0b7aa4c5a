#include "StaleTemporaries.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/DurableFile.h"

namespace varnel {

QStringList StaleTemporaries::pictureExtensions()
{
    return {QStringLiteral("bmp"), QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
            QStringLiteral("gif"), QStringLiteral("pcx"), QStringLiteral("tif"), QStringLiteral("tiff")};
}

bool StaleTemporaries::matches(const QString& fileName, const QStringList& extensions, const QStringList& names)
{
    const QString target = DurableFile::temporaryTarget(fileName);
    if (target.isEmpty())
        return false;
    if (names.contains(target))
        return true;
    const qsizetype dot = target.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return false;
    const QString ext = target.mid(dot + 1);
    for (const QString& e : extensions)
        if (!e.isEmpty() && ext.compare(e, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QStringList StaleTemporaries::remove(const QString& folder, const QStringList& extensions, const QStringList& names,
                                     int minAgeSeconds)
{
    QStringList removed;
    if (folder.isEmpty())
        return removed;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& f : files) {
        if (f.isSymLink() || !matches(f.fileName(), extensions, names))
            continue;
        if (f.lastModified().toUTC().secsTo(now) < minAgeSeconds)
            continue;
        if (QFile::remove(f.absoluteFilePath()))
            removed << f.fileName();
    }
    return removed;
}

QStringList StaleTemporaries::removeAll(const QStringList& pictureFolders, const QStringList& extraExtensions,
                                        const QString& dataFolder, const QStringList& dataNames)
{
    QStringList removed;
    for (const QString& folder : pictureFolders)
        if (!folder.isEmpty())
            for (const QString& name : remove(folder, pictureExtensions() + extraExtensions, {}))
                removed << QDir(folder).filePath(name);
    for (const QString& name : remove(dataFolder, {}, dataNames))
        removed << QDir(dataFolder).filePath(name);
    return removed;
}

} // namespace varnel
