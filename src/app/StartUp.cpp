#include "StartUp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "fmMain.h"

namespace varnel {

std::unique_ptr<fmMain> StartUp(Platform& platform, const QString& executablePath)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QFileInfo exe(executablePath);
    AppEnvironment env;
    env.exeName = exe.completeBaseName();
    if (env.exeName.right(3).compare(QLatin1String("_dv"), Qt::CaseInsensitive) == 0)
        env.exeName.chop(3);
    env.programFolder = exe.absolutePath() + QLatin1Char('/');
    env.apDataFolder = env.programFolder + QStringLiteral("apData/");
    env.userDataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                         + QStringLiteral("/Quillon/") + env.exeName + QLatin1Char('/');
    QDir().mkpath(env.userDataFolder + QStringLiteral("Temp"));

    auto w = std::make_unique<fmMain>(platform, env);
    w->show();
    QApplication::restoreOverrideCursor();
    return w;
}

} // namespace varnel
