// edit_commands: times every edit command of the main window on a large
// picture, in process, from the menu handler's call to the repainted view.
//
//   edit_commands [--runs N] [--size WIDTHxHEIGHT] [--zoom]
//
// Each command starts from the same fresh picture (a screenshot-like
// 3840 x 2160 true-colour picture unless --size says otherwise) with a
// range of half the picture's size where the command takes one. Prints the
// median, the fastest and the slowest run in milliseconds. The view is
// scaled to the window unless --zoom shows it at 100 %. The last column is
// the median CPU time of the process, which a busy machine disturbs less.
#include <QApplication>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

#include "FakeDesk.h"
#include "app/fmMain.h"
#include "editing/PictureSurface.h"
#include "macros/MenuGroup.h"
#include "platform/fake/FakePlatform.h"
#include "settings/yIni.h"

using namespace varnel;

namespace {

// Flat window areas, title bars, lines of text and a photograph-like area.
QImage screenshot(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(30, 60, 120));
    sky.setColorAt(1, QColor(120, 170, 210));
    p.fillRect(img.rect(), sky);
    QRandomGenerator rng(2024);
    for (int i = 0; i < 12; ++i) {
        const QRect win(rng.bounded(w - w / 3), rng.bounded(h - h / 3), w / 4 + rng.bounded(w / 6),
                        h / 4 + rng.bounded(h / 6));
        p.fillRect(win, QColor(240, 240, 240));
        p.fillRect(QRect(win.topLeft(), QSize(win.width(), 30)), QColor(0, 84, 166));
        p.setPen(Qt::black);
        for (int y = win.top() + 50; y < win.bottom() - 20; y += 22)
            p.drawText(win.left() + 12, y, QStringLiteral("The quick brown fox 0123456789 ｷｬﾌﾟﾁｬｰ待機"));
    }
    for (int y = h / 2; y < h / 2 + h / 5; ++y)
        for (int x = w / 10; x < w / 10 + w / 5; ++x)
            img.setPixel(x, y, qRgb((x * 7 + y * 3) & 255, (x * y) & 255, (x ^ y) & 255));
    return img;
}

struct Command {
    const char* name;
    const char* group;
    int index;
    bool range;
    std::function<void(fmMain&)> before; // untimed preparation after the fresh picture
};

// CPU time of the process: steadier than wall time on a busy machine.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    int runs = 5;
    QSize size(3840, 2160);
    bool zoom = false;
    QString only;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--runs" && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else if (args[i] == "--size" && i + 1 < args.size()) {
            const QStringList wh = args[++i].split('x');
            size = QSize(wh.value(0).toInt(), wh.value(1).toInt());
        } else if (args[i] == "--zoom") {
            zoom = true;
        } else if (args[i] == "--only" && i + 1 < args.size()) {
            only = args[++i];
        } else {
            std::fprintf(stderr, "usage: edit_commands [--runs N] [--size WIDTHxHEIGHT] [--zoom] [--only COMMAND]\n");
            return 2;
        }
    }
    if (size.isEmpty())
        return 2;

    FakeDesk desk;
    QTemporaryDir& dir = desk.dir;
    FakePlatform& fake = desk.fake;
    fmMain w(fake.platform, desk.env, std::move(desk.ini));
    w.resize(1280, 900);
    w.show();
    if (zoom)
        w.SetScaleDisplay(false);
    QApplication::processEvents();

    const QImage shot = screenshot(size.width(), size.height());
    const QString file = dir.path() + "/shot.bmp";
    fake.clipboard->setSilently(shot);
    w.group("mnEdt")->click(3);
    w.surface()->picture().save(file, ImageFormat::Bmp);
    const Picture base = w.surface()->picture();

    auto colour = [](int item) { return [item](fmMain& m) { m.group("mnColr")->click(item); }; };
    auto edited = [](fmMain& m) { m.group("mnRotate")->click(0); };
    auto undone = [](fmMain& m) {
        m.group("mnRotate")->click(0);
        m.group("mnEdt")->click(15);
    };
    const std::vector<Command> commands = {
        {"paste from the clipboard", "mnEdt", 3, false, {}},
        {"revert to the file", "mnEdt", 0, false, [&](fmMain& m) { m.CurrentFilePath = file; }},
        {"copy (range)", "mnEdt", 2, true, {}},
        {"copy (whole)", "mnEdt", 2, false, {}},
        {"trimming", "mnEdt", 6, true, {}},
        {"picture frame", "mnEdt", 13, false, {}},
        {"clear range", "mnRng", 2, true, {}},
        {"highlight, relative", "mnRng", 4, true, {}},
        {"highlight, marker", "mnRng", 5, true, {}},
        {"highlight, relative, 256 colours", "mnRng", 4, true, colour(3)},
        {"highlight, marker, 16 colours", "mnRng", 5, true, colour(1)},
        {"mosaic (range)", "mnRng", 7, true, {}},
        {"mosaic (whole)", "mnRng", 7, false, {}},
        {"resize, width decides", "mnResize", 0, true, {}},
        {"resize, height decides", "mnResize", 1, true, {}},
        {"resize, aspect changes", "mnResize", 3, true, {}},
        {"resize, 256 colours", "mnResize", 0, true, colour(3)},
        {"stitch, vertical", "mnCut", 0, true, {}},
        {"stitch, horizontal", "mnCut", 1, true, {}},
        {"stitch, horizontal, 256 colours", "mnCut", 1, true, colour(3)},
        {"mirror left-right", "mnRotate", 0, false, {}},
        {"flip top-bottom", "mnRotate", 1, false, {}},
        {"right 90", "mnRotate", 3, false, {}},
        {"right 180", "mnRotate", 4, false, {}},
        {"left 90", "mnRotate", 5, false, {}},
        {"left 180", "mnRotate", 6, false, {}},
        {"colours: 16 colours", "mnColr", 1, false, {}},
        {"colours: grey 4 bit", "mnColr", 2, false, {}},
        {"colours: 256 colours", "mnColr", 3, false, {}},
        {"colours: grey 8 bit", "mnColr", 4, false, {}},
        {"colours: 16 bit", "mnColr", 5, false, {}},
        {"colours: 24 bit", "mnColr", 6, false, {}},
        {"colours: 32 bit", "mnColr", 7, false, {}},
        {"undo", "mnEdt", 15, false, edited},
        {"redo", "mnEdt", 16, false, undone},
    };

    std::printf("%d x %d, %s view, %d runs each; ms from the handler call to the repainted view\n",
                size.width(), size.height(), zoom ? "100 %" : "scaled", runs);
    std::printf("%-36s %8s %8s %8s %8s\n", "command", "median", "min", "max", "cpu");
    bool allWithin = true;
    for (const Command& c : commands) {
        if (!only.isEmpty() && !QString::fromUtf8(c.name).contains(only))
            continue;
        std::vector<double> times, cpu;
        for (int r = 0; r < runs; ++r) {
            // A fresh picture, shown and painted, before the clock starts.
            fake.clipboard->setSilently(shot);
            w.document().history.clear();
            w.surface()->picture() = base;
            w.CurrentFilePath.clear();
            w.SetPictureState(1);
            w.UpdateColourDepth(0);
            w.ShowPicture();
            if (c.before)
                c.before(w);
            if (c.range)
                w.surface()->setSelection(size.width() / 4, size.height() / 4, size.width() * 3 / 4,
                                          size.height() * 3 / 4);
            else
                w.ClearRange();
            w.surface()->viewport()->repaint();
            QApplication::processEvents();

            QElapsedTimer t;
            const double c0 = cpuMs();
            t.start();
            w.group(QString::fromLatin1(c.group))->click(c.index);
            w.surface()->viewport()->repaint();
            times.push_back(t.nsecsElapsed() / 1e6);
            cpu.push_back(cpuMs() - c0);
        }
        const double med = median(times);
        allWithin = allWithin && med <= 150;
        std::printf("%-36s %8.1f %8.1f %8.1f %8.1f%s\n", c.name, med, *std::min_element(times.begin(), times.end()),
                    *std::max_element(times.begin(), times.end()), median(cpu), med > 150 ? "  over 150" : "");
    }
    std::printf("%s\n", allWithin ? "every median within 150 ms" : "some medians over 150 ms");
    return 0;
}
