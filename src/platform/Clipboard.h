#pragma once
#include <QImage>
#include <QObject>
#include <functional>

namespace varnel {

// The system clipboard as the capture road sees it: a picture or not, fetched
// and decoded once per request, and a change signal that leaves out the
// copies this program put there itself.
class Clipboard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Clipboard() override = default;

    // Whether a picture is offered. Where asking would wait on another
    // program, the answer last heard (true while it is not known yet).
    virtual bool hasPicture() const = 0;
    // The clipboard picture, decoded once; a null image when none is offered
    // or it cannot be decoded.
    virtual QImage takePicture() = 0;
    // As takePicture, but when the offered picture is the one that carried
    // key (lastKey of an earlier take), nothing is decoded: a null image and
    // *same = true. The comparison costs one fetch and a hash.
    virtual QImage takePictureUnless(quint64 key, bool* same)
    {
        QImage picture = takePicture();
        *same = key != 0 && m_lastKey == key;
        return *same ? QImage() : picture;
    }
    // The clipboard picture for a paste, without holding up the caller while
    // another program answers: done(picture) comes later on the caller's
    // thread (a null image when there is none). A newer request drops an
    // older one. Here: at once, where reading never waits on anyone.
    virtual void requestPicture(std::function<void(QImage)> done) { done(takePicture()); }
    // Identifies the content fetched by the latest take (0 for none).
    quint64 lastKey() const { return m_lastKey; }
    // Puts a picture on the clipboard. The change this causes is not signalled.
    virtual void putPicture(const QImage& picture) = 0;
    // Puts text on the clipboard; not signalled either.
    virtual void putText(const QString& text) = 0;

    // A faster decoder for the encoded picture (bytes, MIME type); a null
    // result leaves the bytes to the general decoder.
    using Decoder = std::function<QImage(const QByteArray&, const QString&)>;
    virtual void setDecoder(Decoder decoder) { m_decoder = std::move(decoder); }

    // Standby begins (true) or ends: a clipboard that needs its own listener
    // for part of the desktop starts or stops it here.
    virtual void watch(bool on) { (void)on; }

signals:
    // Another program changed the clipboard.
    void changed();
    // Copies made by some programs of this desktop cannot be heard in the
    // background (reason: see WatchGap in PictureFeed.h). Sent at most once.
    void watchGap(int reason);

protected:
    // Qt's general decoder for any picture format, within screen-sized limits.
    static QImage readPicture(const QByteArray& bytes);
    // The fast decoder, else the general one. Clipboard pictures count as
    // 96 dpi; set here, while the image has one owner, so that no later
    // holder copies every pixel to change it.
    QImage decode(const QByteArray& bytes, const QString& mime) const
    {
        return decodeWith(m_decoder, bytes, mime);
    }
    // The same for a reader thread that holds its own copy of the decoder.
    static QImage decodeWith(const Decoder& decoder, const QByteArray& bytes, const QString& mime);

    Decoder m_decoder;
    quint64 m_lastKey = 0;
};

} // namespace varnel
