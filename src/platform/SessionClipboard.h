#pragma once
#include <memory>

#include "Clipboard.h"
#include "PictureFeed.h"

namespace varnel {

// The desktop's clipboard as one: the main clipboard plus, where the desktop
// needs it, a feed that hears copies the main one misses. While watching,
// every change is fetched at once and a picture identical to the last one
// taken (or to the one there when watching began) is not announced again,
// whichever side reports it: bridges between display systems announce the
// same copy on both sides, and again later.
class SessionClipboard : public Clipboard {
    Q_OBJECT
public:
    SessionClipboard(std::unique_ptr<Clipboard> primary, std::unique_ptr<PictureFeed> feed,
                     QObject* parent = nullptr);
    ~SessionClipboard() override;

    bool hasPicture() const override;
    // While watching: the picture of the announced change, taken once.
    QImage takePicture() override;
    QImage takePictureUnless(quint64 key, bool* same) override;
    void requestPicture(std::function<void(QImage)> done) override;
    void putPicture(const QImage& picture) override;
    void putText(const QString& text) override;
    void setDecoder(Decoder decoder) override;
    void watch(bool on) override;

    bool isWatching() const { return m_watching; }
    // A paste reads through the feed, on its thread, where the main
    // clipboard's reader would wait on the owner in the caller's thread
    // (Qt's own Wayland reader does).
    void setPasteThroughFeed(bool on) { m_pasteThroughFeed = on; }
    PictureFeed* feed() const { return m_feed.get(); }
    // Announcements left out as repeats of the last picture (diagnostics).
    int repeatsSkipped() const { return m_repeats; }

    // Same size and same pixels, whatever the pixel format.
    static bool samePicture(const QImage& a, const QImage& b);

private:
    void onPrimaryChanged();
    void onFeedPresent(const QByteArray& bytes, const QString& mime);
    void onFeedOffered(const QByteArray& bytes, const QString& mime);
    void onFeedUnavailable(WatchGap reason);
    void announce(QImage picture);

    std::unique_ptr<Clipboard> m_primary;
    std::unique_ptr<PictureFeed> m_feed;
    bool m_watching = false;
    bool m_gapReported = false;
    QImage m_pending; // announced, not yet taken
    quint64 m_pendingKey = 0;
    bool m_tookPending = false; // the last take was an announced picture, checked already
    QImage m_last;    // last taken, or the picture there when watching began
    bool m_pasteThroughFeed = false;
    std::function<void(QImage)> m_feedPaste; // a paste waiting for the feed's answer
    int m_repeats = 0;
};

} // namespace varnel
