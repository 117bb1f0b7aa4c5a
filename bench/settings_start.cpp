// settings_start: times the start of the main window over a "User.xml"
// with very many registered ranges and macros, as no person writes them.
//
//   settings_start [--ranges N] [--macros N]
//
// Prints the size of the file, the time AppSettings::load takes alone, the
// time from making the main window to its being shown, and the time of the
// save at exit, in milliseconds; then whether both lists went back to the
// file unchanged.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringEncoder>

#include <cstdio>

#include "FakeDesk.h"
#include "app/fmMain.h"
#include "settings/AppSettings.h"
#include "settings/yIni.h"

using namespace varnel;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int ranges = 400000, macros = 0;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--ranges" && i + 1 < args.size())
            ranges = args[++i].toInt();
        else if (args[i] == "--macros" && i + 1 < args.size())
            macros = args[++i].toInt();
        else {
            std::fprintf(stderr, "usage: settings_start [--ranges N] [--macros N]\n");
            return 2;
        }
    }

    FakeDesk desk;
    const AppEnvironment& env = desk.env;

    QStringList r, m;
    for (int i = 0; i < ranges; ++i)
        r << QStringLiteral("範囲%1,%2,480,px").arg(i).arg(100 + i % 1000);
    for (int i = 0; i < macros; ++i)
        m << QStringLiteral("[マクロ%1]~範囲⇒A4~回転⇒右90°~").arg(i);
    const QString text = QStringLiteral("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <ﾕｰｻﾞｰ>\r\n"
                                        "      <QL_RNG>%1</QL_RNG>\r\n   </ﾕｰｻﾞｰ>\r\n   <マクロ>\r\n"
                                        "      <COMMAND>%2</COMMAND>\r\n   </マクロ>\r\n</運用>")
                             .arg(r.join(':'), m.join(QString()));
    const QByteArray bytes = QStringEncoder("CP932").encode(text);
    const QString path = env.userDataFolder + AppSettings::fileName();
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return 1;
    f.close();
    std::printf("file %.1f MB, %d ranges, %d macros\n", bytes.size() / 1e6, ranges, macros);

    QElapsedTimer t;
    t.start();
    {
        yIni probe;
        SettingsValues v;
        AppSettings::load(probe, env.userDataFolder, v);
    }
    std::printf("load alone      %8lld ms\n", t.elapsed());

    t.restart();
    {
        fmMain w(desk.fake.platform, env, std::move(desk.ini));
        w.show();
        QApplication::processEvents();
        std::printf("window shown    %8lld ms\n", t.elapsed());
        t.restart();
        w.SaveSettings();
        std::printf("save at exit    %8lld ms\n", t.elapsed());
    }
    QFile back(path);
    back.open(QIODevice::ReadOnly);
    const QByteArray written = back.readAll();
    QStringEncoder cp932("CP932");
    const bool ranges_kept = written.contains(QByteArray(cp932.encode(QStringLiteral("<QL_RNG>") + r.join(':') + "</QL_RNG>")));
    const bool macros_kept = written.contains(QByteArray(cp932.encode(QStringLiteral("<COMMAND>") + m.join(QString()) + "</COMMAND>")));
    std::printf("written back: ranges %s, macros %s\n", ranges_kept ? "unchanged" : "CHANGED",
                macros_kept ? "unchanged" : "CHANGED");
    return 0;
}
