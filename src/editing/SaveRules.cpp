#include "SaveRules.h"

namespace varnel {

const QStringList& SaveRules::formatNames()
{
    static const QStringList names = QStringLiteral("BMP;JPG;TIF;PCX;FPX;PNG;GIF").split(QLatin1Char(';'));
    return names;
}

QString SaveRules::saveFilter()
{
    QStringList parts;
    for (const QString& n : formatNames())
        parts << n << QStringLiteral("*.") + n.toLower();
    return parts.join(QLatin1Char('|'));
}

QString SaveRules::extensionOfFormat(int formatIndex)
{
    const QStringList& names = formatNames();
    return formatIndex >= 0 && formatIndex < names.size() ? names[formatIndex].toLower()
                                                          : QStringLiteral("bmp");
}

QString SaveRules::withFormatExtension(const QString& path, int formatIndex)
{
    if (path.isEmpty() || !FileExtension(path).isEmpty())
        return path;
    return path + QLatin1Char('.') + extensionOfFormat(formatIndex);
}

namespace {
// Index of the "." that starts the extension of the file name; -1 when none.
qsizetype extensionDot(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return dot > slash ? dot : -1;
}
} // namespace

void SaveRules::LowerCaseExtension(QString& path)
{
    const qsizetype dot = extensionDot(path);
    if (dot >= 0)
        path = path.left(dot + 1) + path.mid(dot + 1).toLower();
}

QString SaveRules::FileExtension(const QString& path)
{
    const qsizetype dot = extensionDot(path);
    return dot >= 0 ? path.mid(dot + 1).toLower() : QString();
}

ImageFormat SaveRules::format(const QString& ext)
{
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return ImageFormat::Jpeg;
    if (ext == QLatin1String("tif") || ext == QLatin1String("tiff"))
        return ImageFormat::Tiff;
    if (ext == QLatin1String("png"))
        return ImageFormat::Png;
    if (ext == QLatin1String("fpx"))
        return ImageFormat::FlashPix;
    if (ext == QLatin1String("pcx"))
        return ImageFormat::Pcx;
    if (ext == QLatin1String("gif"))
        return ImageFormat::Gif;
    return ImageFormat::Bmp;
}

QList<int> SaveRules::allowedDepths(const QString& ext)
{
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg") || ext == QLatin1String("fpx"))
        return {80, 24};
    if (ext == QLatin1String("png") || ext == QLatin1String("pcx"))
        return {1, 4, 40, 8, 80, 24};
    if (ext == QLatin1String("gif"))
        return {1, 4, 40, 8, 80};
    return {};
}

int SaveRules::conversionFor(const QString& ext, int depthCode)
{
    const QList<int> allowed = allowedDepths(ext);
    if (allowed.isEmpty() || allowed.contains(depthCode))
        return 0;
    return ext == QLatin1String("gif") ? 8 : 24;
}

int SaveRules::quality(const QString& ext)
{
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg") || ext == QLatin1String("fpx"))
        return 80;
    return 75;
}

} // namespace varnel
