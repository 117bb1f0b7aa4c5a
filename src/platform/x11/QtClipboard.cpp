#include "QtClipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <QtGui/qguiapplication_platform.h>

#include "XcbSelectionReader.h"

#include <cstdio>

// Last: its macros (None, Bool, Status ...) must not meet later headers.
#include <X11/Xlib.h>

namespace varnel {

namespace {
// Types the capture road reads, uncompressed first so that decoding is cheapest.
const char* const kPictureTypes[] = {
    "image/bmp", "image/x-bmp", "image/x-MS-bmp", "image/x-win-bitmap", "image/png",
    "image/x-portable-pixmap", "image/tiff", "image/jpeg", "image/gif", "image/webp",
};
} // namespace

QtClipboard::QtClipboard(QObject* parent)
    : Clipboard(parent), m_clipboard(QGuiApplication::clipboard())
{
    connect(m_clipboard, &QClipboard::dataChanged, this, &QtClipboard::onDataChanged);
    // The reader goes to the same X server as Qt, also when it was named
    // on the command line rather than in DISPLAY.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        QByteArray display;
        if (auto* x = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            if (Display* d = x->display())
                display = DisplayString(d);
        m_reader = std::make_unique<XcbSelectionReader>(display);
    }
}

QtClipboard::~QtClipboard() = default;

QString QtClipboard::chooseFormat(const QStringList& offered)
{
    // The offered spelling: the owner matches it exactly.
    for (const char* t : kPictureTypes)
        for (const QString& f : offered)
            if (f.compare(QLatin1String(t), Qt::CaseInsensitive) == 0)
                return f;
    for (const QString& f : offered)
        if (f.startsWith(QLatin1String("image/"), Qt::CaseInsensitive))
            return f;
    if (offered.contains(QLatin1String("application/x-qt-image")))
        return QStringLiteral("application/x-qt-image");
    return {};
}

bool QtClipboard::hasPicture() const
{
    const QMimeData* md = m_clipboard->mimeData();
    return md && !chooseFormat(md->formats()).isEmpty();
}

QImage QtClipboard::takePicture()
{
    bool same = false;
    return take(0, &same);
}

QImage QtClipboard::takePictureUnless(quint64 key, bool* same)
{
    return take(key, same);
}

namespace {
// VARNEL_CAPTURE_TRACE=1: the take's phases on standard error, with the
// monotonic time of its start so a benchmark can line it up with its offer.
const bool kTrace = qEnvironmentVariableIntValue("VARNEL_CAPTURE_TRACE") == 1;
} // namespace

QImage QtClipboard::take(quint64 unless, bool* same)
{
    *same = false;
    m_lastKey = 0;
    QElapsedTimer clock;
    clock.start();
    if (kTrace)
        std::fprintf(stderr, "clipboard take begins at %.1f ms\n", clock.msecsSinceReference() * 1.0);
    // Another program's clipboard is read over our own connection when there
    // is one; our own copy, and Qt's in-process picture type, through Qt.
    QString fmt;
    QByteArray bytes;
    qint64 guessedNs = -1; // how long the fetch under the last format took
    bool ownReader = m_reader && !m_clipboard->ownsClipboard();
    // A series of captures comes from one tool in one format: the format the
    // last one came in is asked for at once, without asking for the list of
    // formats first. A refusal costs no more than that question would have.
    if (ownReader && !m_lastFormat.isEmpty()) {
        bool refused = false;
        std::optional<QByteArray> read = m_reader->read(
            m_lastFormat.toLatin1(), 5000, XcbSelectionReader::kMaxBytes,
            XcbSelectionReader::kWholeReadMs, &refused);
        if (!read)
            ownReader = false; // the connection went away: Qt
        else if (!read->isEmpty())
            fmt = m_lastFormat, bytes = std::move(*read), guessedNs = clock.nsecsElapsed();
        else if (!refused)
            return {}; // the owner went quiet or offered too much
    }
    if (ownReader && fmt.isEmpty()) {
        const std::optional<QStringList> offered = m_reader->targets();
        ownReader = offered.has_value();
        if (ownReader) {
            fmt = chooseFormat(*offered);
            if (fmt.isEmpty())
                return {}; // text, say
            ownReader = fmt != QLatin1String("application/x-qt-image");
        }
    }
    const QMimeData* md = nullptr;
    if (!ownReader) {
        md = m_clipboard->mimeData();
        if (!md)
            return {};
        fmt = chooseFormat(md->formats());
    }
    if (kTrace)
        std::fprintf(stderr, "clipboard formats: %.1f ms\n",
                     guessedNs >= 0 ? 0.0 : clock.nsecsElapsed() / 1e6);
    if (fmt.isEmpty())
        return {};
    if (fmt == QLatin1String("application/x-qt-image")) {
        QImage img = qvariant_cast<QImage>(md->imageData());
        m_lastKey = img.isNull() ? 0 : quint64(img.cacheKey());
        *same = unless != 0 && m_lastKey == unless;
        return *same ? QImage() : img;
    }
    // One fetch, one decode.
    clock.restart();
    if (!bytes.isEmpty()) {
        // Fetched above, under the last capture's format.
    } else if (ownReader) {
        if (std::optional<QByteArray> read = m_reader->read(fmt.toLatin1()))
            bytes = std::move(*read);
        else if ((md = m_clipboard->mimeData())) // the connection went away
            bytes = md->data(fmt);
    } else {
        bytes = md->data(fmt);
    }
    // Only formats that lose nothing are asked for unseen.
    const bool lossless = fmt == QLatin1String("image/png") || fmt == QLatin1String("image/bmp");
    m_lastFormat = ownReader && lossless && !bytes.isEmpty() ? fmt : QString();
    if (kTrace)
        std::fprintf(stderr, "clipboard fetch %s %lld bytes: %.1f ms\n", qPrintable(fmt),
                     qlonglong(bytes.size()),
                     (guessedNs >= 0 ? guessedNs : clock.nsecsElapsed()) / 1e6);
    // Never 0, which stands for "nothing taken".
    m_lastKey = (quint64(qHashBits(bytes.constData(), size_t(bytes.size()), 0x5eed)) << 1) | 1;
    if (unless != 0 && m_lastKey == unless) {
        *same = true;
        return {};
    }
    clock.restart();
    QImage img = decode(bytes, fmt);
    if (kTrace)
        std::fprintf(stderr, "clipboard decode: %.1f ms\n", clock.nsecsElapsed() / 1e6);
    return img;
}

void QtClipboard::putPicture(const QImage& picture)
{
    // The change signal is delivered synchronously inside setImage on X11 and
    // offscreen; the flag tells it apart from changes by other programs.
    m_puttingOwnCopy = true;
    m_clipboard->setImage(picture);
    m_puttingOwnCopy = false;
}

void QtClipboard::putText(const QString& text)
{
    m_puttingOwnCopy = true;
    m_clipboard->setText(text);
    m_puttingOwnCopy = false;
}

void QtClipboard::onDataChanged()
{
    if (m_puttingOwnCopy || m_clipboard->ownsClipboard())
        return;
    emit changed();
}

} // namespace varnel
