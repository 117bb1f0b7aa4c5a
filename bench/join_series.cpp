// join_series: times the join of a scrolled series of captures.
//
//   join_series [--runs N]
//
// A page of text lines (blank rows between them, as real pages have) under
// a fixed tool bar and over a fixed status line is captured through a
// window at scrolls of about half a window, then joined in process. Two
// cases: three 1920 x 1080 captures and ten 3840 x 2160. Prints the median,
// fastest and slowest run in milliseconds and whether the joined picture
// equals the page.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "editing/engine/ScrollJoin.h"

using namespace varnel;

namespace {

QImage textPage(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(250, 250, 250));
    QPainter p(&img);
    QFont f = p.font();
    f.setPixelSize(16);
    p.setFont(f);
    p.setPen(Qt::black);
    int n = 0;
    for (int y = 30; y < h; y += 24) {
        if (++n % 9 == 0)
            continue; // paragraph gap
        p.drawText(40 + (n * 37) % 200, y,
                   QStringLiteral("%1: The quick brown fox jumps over the lazy dog 画像をつなぐ 0123456789").arg(n));
    }
    return img;
}

QImage bar(int w, int h, QColor c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    QPainter p(&img);
    p.setPen(Qt::white);
    p.drawText(10, h - 8, QStringLiteral("File  Edit  View"));
    return img;
}

struct Case {
    int count, w, h, scroll;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    int runs = 5;
    for (int i = 1; i + 1 < argc; ++i)
        if (QByteArray(argv[i]) == "--runs")
            runs = std::max(1, atoi(argv[i + 1]));
    const int headerH = 80, footerH = 24;
    for (const Case c : {Case{3, 1920, 1080, 500}, Case{10, 3840, 2160, 1000}}) {
        const int moving = c.h - headerH - footerH;
        const QImage pg = textPage(c.w, moving + (c.count - 1) * c.scroll);
        const QImage header = bar(c.w, headerH, QColor(0, 84, 166)), footer = bar(c.w, footerH, QColor(60, 60, 60));
        QList<QImage> caps;
        for (int i = 0; i < c.count; ++i) {
            QImage cap(c.w, c.h, QImage::Format_RGB32);
            QPainter p(&cap);
            p.drawImage(0, 0, header);
            p.drawImage(0, headerH, pg, 0, i * c.scroll, c.w, moving);
            p.drawImage(0, c.h - footerH, footer);
            caps << cap;
        }
        QImage expected(c.w, headerH + pg.height() + footerH, QImage::Format_RGB32);
        {
            QPainter p(&expected);
            p.drawImage(0, 0, header);
            p.drawImage(0, headerH, pg);
            p.drawImage(0, headerH + pg.height(), footer);
        }
        std::vector<double> ms;
        bool same = true;
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            const ScrollJoin::Result res = ScrollJoin::join(caps);
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
            same = same && res.ok() && res.image == expected;
        }
        std::printf("%2d x %d x %d: median %.1f ms, fastest %.1f, slowest %.1f, joined %d rows, %s\n", c.count, c.w,
                    c.h, median(ms), *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()),
                    expected.height(), same ? "equals the page" : "DIFFERS from the page");
    }
    return 0;
}
