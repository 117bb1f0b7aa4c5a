#include "Numbering.h"

#include <QDir>
#include <QFileInfo>

namespace varnel {

QString Numbering::fileName(const QString& prefix, qint64 number, const QString& extension)
{
    return prefix + QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0')) + QLatin1Char('.')
           + extension;
}

qint64 Numbering::leadingNumber(const QString& text)
{
    qint64 n = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        // Absurdly long digit runs saturate instead of wrapping.
        if (n > (std::numeric_limits<qint64>::max() - 9) / 10)
            return std::numeric_limits<qint64>::max() - 1;
        n = n * 10 + (c.unicode() - '0');
    }
    return n;
}

qint64 Numbering::nextNumber(const QStringList& fileNames, const QString& prefix,
                             const QString& extension)
{
    const QString suffix = QLatin1Char('.') + extension;
    qint64 largest = 0;
    for (const QString& name : fileNames) {
        if (!name.startsWith(prefix) || !name.endsWith(suffix))
            continue;
        if (name.size() < prefix.size() + suffix.size())
            continue;
        const QString middle = name.mid(prefix.size(), name.size() - prefix.size() - suffix.size());
        largest = std::max(largest, leadingNumber(middle));
    }
    return largest >= kMaxNumber ? 1 : largest + 1;
}

qint64 Numbering::nextNumberInFolder(const QString& folder, const QString& prefix,
                                     const QString& extension)
{
    QDir dir(folder);
    if (!dir.exists() || !QFileInfo(folder).isReadable())
        return -1;
    return nextNumber(dir.entryList(QDir::Files | QDir::Hidden | QDir::System), prefix, extension);
}

} // namespace varnel
