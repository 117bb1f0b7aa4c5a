#include "TestFiles.h"

#include <QFile>
#include <QFileInfo>

namespace testfiles {

TempFolder::TempFolder() = default;

void TempFolder::write(const QString& name, const QByteArray& bytes) const
{
    QFile f(file(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray TempFolder::read(const QString& name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool TempFolder::exists(const QString& name) const
{
    return QFileInfo::exists(file(name));
}

} // namespace testfiles
