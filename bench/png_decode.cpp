// png_decode: the capture road's PNG decode, in process, against Qt's own
// PNG reader on the same bytes.
//
//   png_decode FILE.png [RUNS]
#include <QElapsedTimer>
#include <QFile>
#include <QCoreApplication>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "editing/engine/FastPngDecoder.h"

using namespace varnel;

namespace {
double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: png_decode FILE.png [RUNS]\n");
        return 2;
    }
    QFile f(QString::fromLocal8Bit(argv[1]));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QByteArray bytes = f.readAll();
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 15;
    std::vector<double> ours, qt;
    QImage keep; // the previous picture lives on, as on the surface
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        QImage img;
        if (FastPngDecoder::decode(bytes, img) != FastPngDecoder::Result::Decoded) {
            std::fprintf(stderr, "not decoded by the fast decoder\n");
            return 1;
        }
        ours.push_back(t.nsecsElapsed() / 1e6);
        keep = img;
        t.restart();
        QImage q = QImage::fromData(bytes, "PNG");
        qt.push_back(t.nsecsElapsed() / 1e6);
    }
    const QImage probe = QImage::fromData(bytes, "PNG");
    std::printf("%dx%d PNG %.1f MB, median of %d: ours %.1f ms, Qt's reader %.1f ms (%.1fx)\n",
                probe.width(), probe.height(), bytes.size() / 1e6, runs, median(ours), median(qt),
                median(qt) / median(ours));
    return 0;
}
