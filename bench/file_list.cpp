// How long the window's thread is blocked by the work-folder list when the
// folder holds many files: a 1 ms probe timer records the longest gap
// between its ticks while the 5 s folder watch ticks once without a change
// and once after a file was added, and while the list is first filled.
// Usage: file_list [files=100000]   (runs offscreen; prints figures only)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "app/fmMain.h"
#include "capture/WorkFolderList.h"
#include "macros/MenuGroup.h"
#include "platform/fake/FakePlatform.h"

using namespace varnel;

namespace {
// The longest stretch the event loop spent without running a 1 ms timer,
// while it runs for ms milliseconds.
double longestStall(int ms)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 worst = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - last);
        last = now;
    });
    probe.start();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return worst / 1e6;
}

double timed(const std::function<void()>& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int files = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/data/Quillon/file_list/Temp");
    QDir().mkpath(dir.path() + "/prog");
    const QString work = dir.path() + "/data/Quillon/file_list/Temp";
    for (int i = 1; i <= files; ++i) {
        const QByteArray name = QFile::encodeName(work + QStringLiteral("/%1.bmp").arg(i, 6, 10, QLatin1Char('0')));
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT, 0644);
        if (fd >= 0)
            ::close(fd);
    }
    std::printf("work folder of %d files\n", files);
    std::printf("  one listing (read, filter, sort): %.1f ms\n",
                timed([&] { WorkFolderList::list(work); }));

    FakePlatform fake;
    fake.shell->folders[26] = dir.path() + "/data";
    auto ini = std::make_unique<yIni>(fake.shell, fake.family);
    ini->W_UserData(dir.path() + "/prog/file_list", "file_list");
    AppEnvironment env;
    env.exeName = ini->exeName();
    env.userDataFolder = ini->userDataFolder();
    double build = timed([&] {});
    std::unique_ptr<fmMain> w;
    build = timed([&] { w = std::make_unique<fmMain>(fake.platform, env, std::move(ini)); });
    w->resize(800, 600);
    w->show();
    QCoreApplication::processEvents();
    std::printf("  window start with the list hidden: %.1f ms\n", build);
    std::printf("  showing the list (first fill): %.1f ms\n",
                timed([&] { w->group(QStringLiteral("mnDisp"))->click(0); QCoreApplication::processEvents(); }));
    std::printf("  list holds %d rows\n", w->fileList()->count());

    // Timer ticks: the first after 5 s finds nothing new.
    std::printf("  longest stall over a tick without change (6 s): %.1f ms\n", longestStall(6000));
    QFile(work + "/zzz_new.bmp").open(QIODevice::WriteOnly);
    QFile::remove(work + "/000001.bmp");
    std::printf("  longest stall over a tick after a change (5 s): %.1f ms\n", longestStall(5000));
    const auto found = w->fileList()->findItems(QStringLiteral("zzz_new.bmp"), Qt::MatchExactly);
    std::printf("  change listed: %s (%d rows)\n", found.isEmpty() ? "no" : "yes", w->fileList()->count());
    std::printf("  RefreshFileList with no change (activate, save): %.1f ms\n",
                timed([&] { w->RefreshFileList(); }));
    return 0;
}
