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

QImage gradient(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, qRgb(x * 6 % 256, y * 8 % 256, 90));
    return img;
}

QImage filled(QRgb colour, int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

} // namespace testfiles
