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

QImage Clipboard::decodeWith(const Decoder& decoder, const QByteArray& bytes, const QString& mime)
{
    QImage img;
    if (decoder)
        img = decoder(bytes, mime);
    if (img.isNull())
        img = readPicture(bytes);
    const int dpm = qRound(96 / 0.0254);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    return img;
}

} // namespace varnel
