// The bytes are a "User.xml" as found on disk: load it, read every key of
// the application's table, change values, save, and load the result again.
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "settings/AppSettings.h"
#include "settings/yIni.h"

using namespace varnel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    if (!dir.isValid())
        return 0;
    const QString folder = dir.path() + QLatin1Char('/');
    const QString file = folder + AppSettings::fileName();
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QFile::remove(file + QLatin1String(".bak"));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(input) != input.size())
            return 0;
    }

    int messages = 0;
    yIni ini;
    ini.setMessageHandler([&messages](const QString&) { ++messages; });
    SettingsValues v;
    if (!AppSettings::load(ini, folder, v))
        abort();  // the file exists and is readable

    // Keys of every kind, also in groups the table does not know.
    ini.GetGtx(QStringLiteral("ﾕｰｻﾞｰ"));
    ini.vGtVal(QStringLiteral("Flag"), true);
    ini.vGtVal(QStringLiteral("When"), QDateTime());
    ini.vGtVal(QStringLiteral("Half"), 0.5f);

    v.left -= 1;
    v.width += 0.5;
    v.displayMode ^= 2;
    v.workListShown = !v.workListShown;
    v.stamp += QStringLiteral("‡s.bmp");
    v.rangeList += QStringLiteral(";<r>&,1,2");
    v.bMpnt = !v.bMpnt;
    v.storagePrefix = QStringLiteral("p‡");
    v.macroText += QStringLiteral("\r\nline~2\nline3");
    const bool saved = AppSettings::save(ini, v, size % 2 == 0);

    // A damaged file must survive as the backup, byte for byte.
    if (saved && ini.isDamaged()) {
        QFile bak(file + QLatin1String(".bak"));
        if (!bak.open(QIODevice::ReadOnly) || bak.readAll() != input)
            abort();
    }

    yIni again;
    again.setMessageHandler([&messages](const QString&) { ++messages; });
    SettingsValues w;
    if (!AppSettings::load(again, folder, w))
        abort();
    return 0;
}
