#include "Clipboard.h"

#include <QBuffer>
#include <QImageReader>

namespace varnel {

QImage Clipboard::readPicture(const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer buf(&copy);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf);
    reader.setDecideFormatFromContent(true);
    // Screens up to 16384 pixels a side, at four bytes a pixel.
    reader.setAllocationLimit(1024);
    QImage img;
    if (!reader.read(&img))
        return {};
    return img;
}

} // namespace varnel
