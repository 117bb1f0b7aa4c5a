#include "QtClipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <QtGui/qguiapplication_platform.h>

#include "XcbClipboardThread.h"
#include "XcbPictureRequest.h"
#include "XcbSelectionReader.h"

#include <xcb/xcb.h>

#include <cstdio>

// Last: its macros (None, Bool, Status ...) must not meet later headers.
#include <X11/Xlib.h>

namespace varnel {

QtClipboard::QtClipboard(QObject* parent)
    : Clipboard(parent), m_clipboard(QGuiApplication::clipboard()),
      m_fetcher(std::make_unique<PictureFetcher>())
{
    connect(m_clipboard, &QClipboard::dataChanged, this, &QtClipboard::onDataChanged);
    // The reader goes to the same X server as Qt, also when it was named
    // on the command line rather than in DISPLAY.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto* x = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            if (Display* d = x->display())
                m_display = DisplayString(d);
        m_reader = std::make_unique<XcbSelectionReader>(m_display);
    }
    // Known before the edit menu first opens.
    if (readsAside())
        askFormats();
}

QtClipboard::~QtClipboard()
{
    // Before any member they might deliver to goes.
    m_pasteRequest.reset();
    m_formatsRequest.reset();
    m_thread.reset();
}

QString QtClipboard::chooseFormat(const QStringList& offered)
{
    return PictureFetcher::chooseFormat(offered);
}

bool QtClipboard::readsAside() const
{
    return m_reader && !m_clipboard->ownsClipboard();
}

bool QtClipboard::hasPicture() const
{
    // Qt would ask another program's clipboard here and wait for the answer
    // (seconds, for an owner that stalls): the answer comes from aside.
    if (readsAside()) {
        if (m_offersPicture)
            return *m_offersPicture;
        if (!m_formatsRequest)
            askFormats();
        return true;
    }
    const QMimeData* md = m_clipboard->mimeData();
    return md && !chooseFormat(md->formats()).isEmpty();
}

void QtClipboard::askFormats() const
{
    const quint64 generation = ++m_formatsGeneration;
    auto* self = const_cast<QtClipboard*>(this);
    m_formatsRequest = std::make_unique<XcbPictureRequest>(
        m_display, XcbPictureRequest::Kind::Formats, nullptr,
        [self, generation](XcbPictureRequest::Result r) {
            QMetaObject::invokeMethod(
                self,
                [self, generation, r] {
                    if (generation != self->m_formatsGeneration)
                        return;
                    self->m_formatsRequest.reset();
                    // A type only Qt can read may still be a picture.
                    self->m_offersPicture = r.offersPicture || r.throughQt;
                },
                Qt::QueuedConnection);
        });
}

void QtClipboard::requestPicture(std::function<void(QImage)> done)
{
    if (m_thread || !readsAside()) {
        done(takePicture());
        return;
    }
    const quint64 generation = ++m_pasteGeneration;
    m_pasteRequest.reset();
    auto decoder = m_decoder;
    m_pasteRequest = std::make_unique<XcbPictureRequest>(
        m_display, XcbPictureRequest::Kind::Picture,
        [decoder](const QByteArray& bytes, const QString& mime) { return decodeWith(decoder, bytes, mime); },
        [this, generation, done = std::move(done)](XcbPictureRequest::Result r) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, done, r]() mutable {
                    if (generation != m_pasteGeneration)
                        return;
                    m_pasteRequest.reset();
                    if (r.throughQt) {
                        bool same = false;
                        done(take(0, &same, true));
                        return;
                    }
                    m_lastKey = r.key;
                    done(std::move(r.picture));
                },
                Qt::QueuedConnection);
        });
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

void QtClipboard::watch(bool on)
{
    ++m_generation;
    m_thread.reset();
    m_latest = QImage();
    m_latestKey = 0;
    if (!on || !m_reader)
        return;
    auto* x = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* own = x ? x->connection() : nullptr;
    const xcb_setup_t* setup = own ? xcb_get_setup(own) : nullptr;
    const quint64 generation = m_generation;
    // A copy of the decoder: it runs on the watching thread.
    auto decoder = m_decoder;
    auto thread = std::make_unique<XcbClipboardThread>(
        m_display, setup ? setup->resource_id_base : 0, setup ? setup->resource_id_mask : 0,
        [decoder](const QByteArray& bytes, const QString& mime) {
            return decodeWith(decoder, bytes, mime);
        },
        [this, generation](XcbClipboardThread::Result r) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, r = std::move(r)]() mutable {
                    if (generation != m_generation)
                        return;
                    m_latest = std::move(r.picture);
                    m_latestKey = r.key;
                    emit changed();
                },
                Qt::QueuedConnection);
        });
    // Without XFixes, Qt's change signal and a read on this thread remain.
    if (thread->start())
        m_thread = std::move(thread);
}

namespace {
// VARNEL_CAPTURE_TRACE=1: the take's phases on standard error, with the
// monotonic time of its start so a benchmark can line it up with its offer.
const bool kTrace = qEnvironmentVariableIntValue("VARNEL_CAPTURE_TRACE") == 1;
} // namespace

QImage QtClipboard::take(quint64 unless, bool* same, bool throughQt)
{
    *same = false;
    m_lastKey = 0;
    if (m_thread) {
        m_lastKey = m_latestKey;
        *same = unless != 0 && m_lastKey == unless;
        return *same ? QImage() : m_latest;
    }
    QElapsedTimer clock;
    clock.start();
    if (kTrace)
        std::fprintf(stderr, "clipboard take begins at %.1f ms\n", clock.msecsSinceReference() * 1.0);
    // Another program's clipboard is read over our own connection when there
    // is one; our own copy, and Qt's in-process picture type, through Qt.
    QString fmt;
    QByteArray bytes;
    if (m_reader && !throughQt && !m_clipboard->ownsClipboard()) {
        FetchedPicture f = m_fetcher->fetch(*m_reader);
        switch (f.status) {
        case FetchedPicture::Got:
            fmt = f.format;
            bytes = std::move(f.bytes);
            break;
        case FetchedPicture::NoConnection:
        case FetchedPicture::InProcessQt:
            break; // Qt reads it
        default:
            return {};
        }
    }
    if (fmt.isEmpty()) {
        const QMimeData* md = m_clipboard->mimeData();
        if (!md)
            return {};
        fmt = chooseFormat(md->formats());
        if (fmt.isEmpty())
            return {};
        if (fmt == QLatin1String("application/x-qt-image")) {
            QImage img = qvariant_cast<QImage>(md->imageData());
            m_lastKey = img.isNull() ? 0 : quint64(img.cacheKey());
            *same = unless != 0 && m_lastKey == unless;
            return *same ? QImage() : img;
        }
        bytes = md->data(fmt);
    }
    if (kTrace)
        std::fprintf(stderr, "clipboard fetch %s %lld bytes: %.1f ms\n", qPrintable(fmt),
                     qlonglong(bytes.size()), clock.nsecsElapsed() / 1e6);
    m_lastKey = PictureFetcher::keyOf(bytes);
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
    // Another owner, or ours: what was heard of the formats is stale.
    ++m_formatsGeneration;
    m_formatsRequest.reset();
    m_offersPicture.reset();
    // (Standing by, the watching thread reads every change anyway.)
    if (!m_thread && !m_puttingOwnCopy && readsAside())
        askFormats();
    // The watching thread tells of changes itself, once they are read.
    if (m_thread || m_puttingOwnCopy || m_clipboard->ownsClipboard())
        return;
    emit changed();
}

} // namespace varnel
