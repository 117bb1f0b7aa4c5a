// varnel_pic: load a picture, apply one engine operation, save the result.
// Used to time the picture engine whole-process against other tools.
//
//   varnel_pic IN OUT [--op OP] [--quality N] [--timing 1]
//   varnel_pic --generate OUT [WIDTH HEIGHT]
//
// OP: none, colors256 (256 colours, dithered), colors16 (16 colours, not
// dithered), grey8, half (resize to half, smooth), rotate90 (clockwise),
// mosaic8. The output format follows OUT's extension: bmp, png, jpg, gif,
// tif, pcx. --timing 1 prints the wall and CPU times of the load, the
// operation and the save in ms.
#include <QColor>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>

#include "editing/engine/Picture.h"

using namespace varnel;

namespace {

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int usage()
{
    std::fprintf(stderr,
                 "usage: varnel_pic IN OUT [--op none|colors256|colors16|grey8|half|rotate90|mosaic8] [--quality N]\n"
                 "       varnel_pic --generate OUT [WIDTH HEIGHT]\n");
    return 2;
}

bool formatFor(const QString& path, ImageFormat* format)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == "bmp")
        *format = ImageFormat::Bmp;
    else if (ext == "png")
        *format = ImageFormat::Png;
    else if (ext == "jpg" || ext == "jpeg")
        *format = ImageFormat::Jpeg;
    else if (ext == "gif")
        *format = ImageFormat::Gif;
    else if (ext == "tif" || ext == "tiff")
        *format = ImageFormat::Tiff;
    else if (ext == "pcx")
        *format = ImageFormat::Pcx;
    else
        return false;
    return true;
}

// A desktop screenshot in miniature detail: flat window areas, title bars,
// lines of text, icons, a gradient and a photograph-like area.
QImage screenshot(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(30, 60, 120));
    sky.setColorAt(1, QColor(120, 170, 210));
    p.fillRect(img.rect(), sky);
    QRandomGenerator rng(12345);
    const QColor titles[] = {QColor(0, 84, 166), QColor(60, 60, 60), QColor(180, 40, 40), QColor(20, 120, 60)};
    QFont font("Sans", 11);
    p.setFont(font);
    static const char* words[] = {"capture", "picture", "settings", "folder", "number", "colour", "window", "file",
                                  "save", "open", "range", "mosaic", "rotate", "stitch", "depth", "format"};
    for (int i = 0; i < 6; ++i) {
        const QRect win(int(w * (0.03 + 0.16 * i)), int(h * (0.05 + 0.07 * i)), int(w * 0.45), int(h * 0.5));
        p.fillRect(win.adjusted(6, 6, 6, 6), QColor(0, 0, 0, 60));
        p.fillRect(win, QColor(246, 246, 246));
        p.fillRect(QRect(win.left(), win.top(), win.width(), 34), titles[i % 4]);
        p.setPen(Qt::white);
        p.drawText(win.left() + 12, win.top() + 23, QString("Window %1 - report.txt").arg(i + 1));
        p.fillRect(QRect(win.left() + 8, win.top() + 44, win.width() - 16, 28), QColor(228, 228, 228));
        p.setPen(QColor(20, 20, 20));
        for (int y = win.top() + 100; y < win.bottom() - 20; y += 22) {
            QString line;
            const int n = 6 + int(rng.bounded(12));
            for (int k = 0; k < n; ++k)
                line += QString::fromLatin1(words[rng.bounded(16)]) + ' ';
            p.drawText(win.left() + 16, y, line);
        }
        for (int k = 0; k < 8; ++k) // toolbar icons
            p.fillRect(QRect(win.left() + 12 + 34 * k, win.top() + 48, 20, 20),
                       QColor::fromHsv(int(rng.bounded(360)), 200, 220));
    }
    // Photograph-like area: smooth shapes with fine noise.
    const QRect photo(int(w * 0.55), int(h * 0.45), int(w * 0.4), int(h * 0.45));
    p.end();
    for (int y = photo.top(); y <= photo.bottom(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = photo.left(); x <= photo.right(); ++x) {
            const double u = double(x - photo.left()) / photo.width(), v = double(y - photo.top()) / photo.height();
            const double n = int(rng.bounded(17)) - 8;
            const double r = 128 + 90 * std::sin(6.0 * u + 2.0 * v) + n;
            const double g = 110 + 80 * std::sin(4.0 * v - 3.0 * u * v + 1.0) + n;
            const double b = 100 + 70 * std::cos(5.0 * u * u + 3.0 * v) + n;
            row[x] = qRgb(qBound(0, int(r), 255), qBound(0, int(g), 255), qBound(0, int(b), 255));
        }
    }
    // A task bar.
    QPainter q(&img);
    q.fillRect(QRect(0, h - 48, w, 48), QColor(32, 32, 36));
    q.setPen(Qt::white);
    q.setFont(font);
    q.drawText(w - 120, h - 18, "12:34");
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && QString(argv[1]) == "--generate") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv); // text needs the font database
        const int w = argc >= 5 ? std::atoi(argv[3]) : 3840;
        const int h = argc >= 5 ? std::atoi(argv[4]) : 2160;
        if (w <= 0 || h <= 0)
            return usage();
        Picture pic(screenshot(w, h).convertToFormat(QImage::Format_RGB888));
        ImageFormat format;
        if (!formatFor(argv[2], &format) || !pic.save(argv[2], format))
            return 1;
        return 0;
    }
    if (argc < 3)
        return usage();
    QCoreApplication app(argc, argv);
    const QString in = argv[1], out = argv[2];
    QString op = "none";
    int quality = 75;
    bool timing = false;
    for (int i = 3; i + 1 < argc; i += 2) {
        const QString key = argv[i];
        if (key == "--op")
            op = argv[i + 1];
        else if (key == "--quality")
            quality = std::atoi(argv[i + 1]);
        else if (key == "--timing")
            timing = std::atoi(argv[i + 1]) != 0;
        else
            return usage();
    }
    ImageFormat format;
    if (!formatFor(out, &format))
        return usage();
    QElapsedTimer clock;
    clock.start();
    qint64 marks[3] = {0, 0, 0};
    double cpu[4] = {cpuMs(), 0, 0, 0};
    Picture pic;
    if (!pic.load(in)) {
        std::fprintf(stderr, "varnel_pic: cannot load %s\n", argv[1]);
        return 1;
    }
    marks[0] = clock.nsecsElapsed();
    cpu[1] = cpuMs();
    bool ok = true;
    if (op == "colors256")
        ok = pic.convertDepth(8, true);
    else if (op == "colors16")
        ok = pic.convertDepth(4, false);
    else if (op == "grey8")
        ok = pic.convertDepth(80, false);
    else if (op == "half")
        ok = pic.resize(pic.width() / 2, pic.height() / 2, true);
    else if (op == "rotate90")
        ok = pic.rotate(-9000, false, false, true, qRgb(255, 255, 255));
    else if (op == "mosaic8") {
        pic.setRegion(RegionSide::Inside, RegionShape::Whole);
        ok = pic.mosaic(8, 8);
    } else if (op != "none")
        return usage();
    if (!ok) {
        std::fprintf(stderr, "varnel_pic: operation %s failed\n", qPrintable(op));
        return 1;
    }
    marks[1] = clock.nsecsElapsed();
    cpu[2] = cpuMs();
    if (!pic.save(out, format, quality)) {
        std::fprintf(stderr, "varnel_pic: cannot save %s\n", argv[2]);
        return 1;
    }
    marks[2] = clock.nsecsElapsed();
    cpu[3] = cpuMs();
    if (timing)
        std::fprintf(stderr, "wall: load %.1f ms, %s %.1f ms, save %.1f ms; cpu: load %.1f ms, %s %.1f ms, save %.1f ms\n",
                     marks[0] / 1e6, qPrintable(op), (marks[1] - marks[0]) / 1e6, (marks[2] - marks[1]) / 1e6,
                     cpu[1] - cpu[0], qPrintable(op), cpu[2] - cpu[1], cpu[3] - cpu[2]);
    return 0;
}
