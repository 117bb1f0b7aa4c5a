#include "DesktopShell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

namespace varnel {

bool DesktopShell::open(const QString& pathOrUrl)
{
    const QUrl url = pathOrUrl.contains(QLatin1String("://")) ? QUrl(pathOrUrl)
                                                                : QUrl::fromLocalFile(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

bool DesktopShell::explore(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

bool DesktopShell::startProgram(const QString& program, const QStringList& args)
{
    return QProcess::startDetached(program, args);
}

QString DesktopShell::specialFolder(int csidl)
{
    QString p;
    switch (csidl) {
    case 5:  // documents
        p = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        break;
    case 26: // per-user application data: the XDG data home
        p = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        break;
    case 9: {
        // Linux desktops have no common "send to" folder; file managers that
        // offer one keep it under the data home.
        const QString nautilus = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                                 + QLatin1String("/nautilus/scripts");
        p = QFileInfo(nautilus).isDir() ? nautilus : QString();
        break;
    }
    default:
        break;
    }
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

QRect DesktopShell::desktopWorkArea()
{
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect();
}

bool DesktopShell::startCalculator()
{
    for (const char* calc : {"gnome-calculator", "kcalc", "galculator", "xcalc"}) {
        const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(calc));
        if (!exe.isEmpty())
            return QProcess::startDetached(exe, {});
    }
    return false;
}

} // namespace varnel
