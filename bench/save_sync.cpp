// What forcing a capture to the disk costs: a 3840x2160 24-bit numbered BMP
// saved with the bytes synced before the name appears, and with the name
// appearing first and the sync done on a background thread. Prints the time
// until the file stands complete under its name (what the user waits for)
// and, for the background sync, how long after that the bytes are safe.
// Usage: save_sync [FOLDER] [RUNS=7]   (FOLDER on the disk to measure; default .)
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "capture/NumberedSaver.h"
#include "editing/engine/AtomicFile.h"

using namespace varnel;

namespace {
double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv)
{
    QGuiApplication::setAttribute(Qt::AA_Use96Dpi);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    const int runs = argc > 2 ? atoi(argv[2]) : 7;
    QTemporaryDir dir(base + QStringLiteral("/save_sync.XXXXXX"));
    QImage img(3840, 2160, QImage::Format_RGB888);
    for (int y = 0; y < img.height(); ++y) {
        uchar* p = img.scanLine(y);
        for (int x = 0; x < img.width() * 3; ++x)
            p[x] = uchar((x * 7 + y * 13) ^ (x >> 5));
    }
    const Picture pic(img);
    std::vector<double> before, after, safe;
    qint64 n = 1;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        if (!NumberedSaver::save(pic, dir.path(), QString(), n++, QStringLiteral("bmp"), ImageFormat::Bmp).ok)
            return 1;
        before.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        if (!NumberedSaver::save(pic, dir.path(), QString(), n++, QStringLiteral("bmp"), ImageFormat::Bmp, 80,
                                 10000, true).ok)
            return 1;
        after.push_back(t.nsecsElapsed() / 1e6);
        AtomicFile::waitForBackgroundSync();
        safe.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("3840x2160 24-bit BMP (24.9 MB) in %s, median of %d:\n", qPrintable(dir.path()), runs);
    std::printf("  synced before the name appears: file complete after %.1f ms\n", median(before));
    std::printf("  synced after, in the background: file complete after %.1f ms, on the disk after %.1f ms\n",
                median(after), median(safe));
    return 0;
}
