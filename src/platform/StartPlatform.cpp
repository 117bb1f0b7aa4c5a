#include "StartPlatform.h"

namespace varnel {

QByteArray startPlatform(const QByteArray& qpa, const QByteArray& waylandDisplay,
                         const QByteArray& display, const QStringList& args)
{
    if (!qpa.trimmed().isEmpty())
        return {};
    for (const QString& a : args)
        if (a == QLatin1String("-platform") || a == QLatin1String("--platform") ||
            a.startsWith(QLatin1String("-platform=")) || a.startsWith(QLatin1String("--platform=")))
            return {};
    if (waylandDisplay.isEmpty() || display.isEmpty())
        return {};
    return QByteArrayLiteral("xcb");
}

void applyStartPlatform(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QByteArray p = startPlatform(qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"),
                                       qgetenv("DISPLAY"), args);
    if (!p.isEmpty())
        qputenv("QT_QPA_PLATFORM", p);
}

} // namespace varnel
