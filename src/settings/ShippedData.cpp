#include "ShippedData.h"

#include <QDir>
#include <QFileInfo>

namespace varnel::ShippedData {

namespace {
QString folderOf(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    return clean.endsWith(QLatin1Char('/')) ? clean : clean + QLatin1Char('/');
}
} // namespace

QString locate(const QString& programFolder, const QString& besideName, const QString& installedPath)
{
    const QString beside = folderOf(programFolder + QLatin1Char('/') + besideName);
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed = folderOf(programFolder + QLatin1Char('/') + installedPath);
    return QFileInfo(installed).isDir() ? installed : beside;
}

QString apDataFolder(const QString& programFolder)
{
    return locate(programFolder, QStringLiteral("apData"), QStringLiteral("../share/varnel/apData"));
}

QString helpFolder(const QString& programFolder)
{
    // The guide counts only with its index page.
    for (const QString& f : {folderOf(programFolder + QStringLiteral("/help")),
                             folderOf(programFolder + QStringLiteral("/../share/doc/varnel"))})
        if (QFileInfo::exists(f + QStringLiteral("varnel.htm")))
            return f;
    return {};
}

} // namespace varnel::ShippedData
