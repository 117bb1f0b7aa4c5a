#include "ExeName.h"

#include <QFileInfo>

namespace varnel {

QString exeNameFromPath(const QString& exePath)
{
    QString name = QFileInfo(exePath).completeBaseName();
    if (name.endsWith(QLatin1String("_dv"), Qt::CaseInsensitive))
        name.chop(3);
    return name;
}

} // namespace varnel
