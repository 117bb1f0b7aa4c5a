// A Qt program that copies a picture and keeps the clipboard, encoding the
// picture anew for each request as Qt programs do: the owner the capture
// road meets with real tools.
//
//   qt_owner FILE [all|bmp|png]
//
// all: whatever Qt offers for a picture; bmp, png: only that format. Prints
// "owned <monotonic ms>" once it holds the clipboard; ends when it loses it.
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <cstdio>
#include <ctime>

namespace {
class OneFormat : public QMimeData {
public:
    OneFormat(QImage image, QString mime) : m_image(std::move(image)), m_mime(std::move(mime)) {}
    QStringList formats() const override { return {m_mime}; }
    bool hasFormat(const QString& m) const override { return m == m_mime; }

protected:
    QVariant retrieveData(const QString& m, QMetaType) const override
    {
        if (m != m_mime)
            return {};
        QByteArray out;
        QBuffer buf(&out);
        buf.open(QIODevice::WriteOnly);
        timespec t0{}, t1{};
        clock_gettime(CLOCK_MONOTONIC, &t0);
        m_image.save(&buf, m == QLatin1String("image/png") ? "PNG" : "BMP");
        clock_gettime(CLOCK_MONOTONIC, &t1);
        // The owner's own share of the road, for the benchmark to subtract.
        std::fprintf(stderr, "encoded %.1f ms, ends at %.1f\n",
                     (t1.tv_sec - t0.tv_sec) * 1e3 + (t1.tv_nsec - t0.tv_nsec) / 1e6,
                     t1.tv_sec * 1e3 + t1.tv_nsec / 1e6);
        return out;
    }

private:
    QImage m_image;
    QString m_mime;
};
} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull())
        return 3;
    const QByteArray mode = argc > 2 ? QByteArray(argv[2]) : QByteArray("all");
    QClipboard* cb = QGuiApplication::clipboard();
    if (mode == "all")
        cb->setImage(image);
    else
        cb->setMimeData(new OneFormat(image, mode == "png" ? QStringLiteral("image/png") : QStringLiteral("image/bmp")));
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("owned %.1f\n", now.tv_sec * 1e3 + now.tv_nsec / 1e6);
    std::fflush(stdout);
    QObject::connect(cb, &QClipboard::dataChanged, &app, [&] {
        if (!cb->ownsClipboard())
            app.quit();
    });
    return app.exec();
}
