#include "SessionClipboard.h"


namespace varnel {

SessionClipboard::SessionClipboard(std::unique_ptr<Clipboard> primary,
                                   std::unique_ptr<PictureFeed> feed, QObject* parent)
    : Clipboard(parent), m_primary(std::move(primary)), m_feed(std::move(feed))
{
    connect(m_primary.get(), &Clipboard::changed, this, &SessionClipboard::onPrimaryChanged);
    connect(m_primary.get(), &Clipboard::watchGap, this, &Clipboard::watchGap);
    if (m_feed) {
        connect(m_feed.get(), &PictureFeed::present, this, &SessionClipboard::onFeedPresent);
        connect(m_feed.get(), &PictureFeed::offered, this, &SessionClipboard::onFeedOffered);
        connect(m_feed.get(), &PictureFeed::unavailable, this, &SessionClipboard::onFeedUnavailable);
    }
}

SessionClipboard::~SessionClipboard()
{
    if (m_feed)
        m_feed->stop();
}

bool SessionClipboard::hasPicture() const
{
    return m_primary->hasPicture();
}

QImage SessionClipboard::takePicture()
{
    QImage p;
    m_tookPending = m_watching && !m_pending.isNull();
    if (!m_tookPending) {
        p = m_primary->takePicture();
        m_lastKey = m_primary->lastKey();
    } else {
        p = std::exchange(m_pending, QImage());
        m_lastKey = m_pendingKey;
    }
    if (m_watching && !p.isNull())
        m_last = p;
    return p;
}

QImage SessionClipboard::takePictureUnless(quint64 key, bool* same)
{
    // The key tells the X11 side's repeats; the pixels tell the feed's (an
    // announced picture was compared when it was announced).
    const QImage before = m_last;
    QImage p = takePicture();
    *same = !p.isNull() && ((key != 0 && m_lastKey == key) || (!m_tookPending && samePicture(p, before)));
    return *same ? QImage() : p;
}

void SessionClipboard::requestPicture(std::function<void(QImage)> done)
{
    // While watching, the main clipboard's reader has the newest picture
    // (on X11 its watching thread read it already).
    if (m_watching) {
        m_primary->requestPicture(std::move(done));
        return;
    }
    if (m_feed && m_pasteThroughFeed) {
        // What the feed finds there when it starts is the clipboard's
        // picture now; a newer request takes the place of an older one.
        m_feedPaste = std::move(done);
        m_feed->stop();
        m_feed->start();
        return;
    }
    m_primary->requestPicture([this, done = std::move(done)](QImage picture) {
        m_lastKey = m_primary->lastKey();
        done(std::move(picture));
    });
}

void SessionClipboard::putPicture(const QImage& picture)
{
    m_primary->putPicture(picture);
}

void SessionClipboard::putText(const QString& text)
{
    m_primary->putText(text);
}

void SessionClipboard::setDecoder(Decoder decoder)
{
    m_primary->setDecoder(decoder);
    Clipboard::setDecoder(std::move(decoder));
}

void SessionClipboard::watch(bool on)
{
    if (on == m_watching)
        return;
    // Standby takes the feed over: a paste still waiting pastes nothing.
    if (auto done = std::exchange(m_feedPaste, nullptr)) {
        m_feed->stop();
        done(QImage());
    }
    m_watching = on;
    m_pending = QImage();
    m_last = QImage();
    m_primary->watch(on);
    if (m_feed) {
        if (on)
            m_feed->start();
        else
            m_feed->stop();
    }
}

bool SessionClipboard::samePicture(const QImage& a, const QImage& b)
{
    if (a.isNull() || b.isNull() || a.size() != b.size())
        return false;
    if (a.format() == b.format())
        return a == b;
    return a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

void SessionClipboard::announce(QImage picture)
{
    // Changes that carry no picture (text) still count as changes.
    if (!picture.isNull() && samePicture(picture, m_last)) {
        ++m_repeats;
        return;
    }
    m_pending = std::move(picture);
    emit changed();
    // Nobody took it (no capture running): it is not kept for later.
    m_pending = QImage();
}

void SessionClipboard::onPrimaryChanged()
{
    if (!m_watching) {
        emit changed();
        return;
    }
    QImage p = m_primary->takePicture();
    m_pendingKey = m_primary->lastKey();
    announce(std::move(p));
}

void SessionClipboard::onFeedPresent(const QByteArray& bytes, const QString& mime)
{
    if (!m_watching && m_feedPaste) {
        auto done = std::exchange(m_feedPaste, nullptr);
        m_feed->stop();
        m_lastKey = 0;
        done(bytes.isEmpty() ? QImage() : decode(bytes, mime));
        return;
    }
    // What was there when standby began is never a capture, also when a
    // bridge announces it again later. A capture taken meanwhile wins.
    if (m_watching && m_last.isNull() && !bytes.isEmpty())
        m_last = decode(bytes, mime);
}

void SessionClipboard::onFeedOffered(const QByteArray& bytes, const QString& mime)
{
    if (!m_watching)
        return;
    QImage p = decode(bytes, mime);
    if (p.isNull())
        return;
    m_pendingKey = 0;
    announce(std::move(p));
}

void SessionClipboard::onFeedUnavailable(WatchGap reason)
{
    // Without the feed a paste reads as it can; the gap is standby's to tell.
    if (!m_watching && m_feedPaste) {
        auto done = std::exchange(m_feedPaste, nullptr);
        m_feed->stop();
        m_primary->requestPicture(std::move(done));
        return;
    }
    if (m_gapReported)
        return;
    m_gapReported = true;
    emit watchGap(int(reason));
}

} // namespace varnel
