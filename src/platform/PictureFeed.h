#pragma once
#include <QByteArray>
#include <QObject>

namespace varnel {

// Why a feed cannot hear copies in the background.
enum class WatchGap {
    NoDataControl = 1, // the compositor offers no clipboard-watching protocol
    Failed = 3,        // the compositor ended the watch (or went away)
};

// A second source of clipboard pictures for copies the main clipboard does
// not hear: it delivers each new picture as encoded bytes, in order.
class PictureFeed : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~PictureFeed() override = default;

    // Starts listening; what is on the clipboard now arrives as present(),
    // every later copy as offered(). Stopping ends every read at once.
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;

signals:
    // The picture already there when listening began (empty bytes: none).
    void present(const QByteArray& bytes, const QString& mimeType);
    void offered(const QByteArray& bytes, const QString& mimeType);
    void unavailable(WatchGap reason);
};

} // namespace varnel
