#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>
#include <thread>

namespace varnel {

// One look at another program's clipboard, off the caller's thread and over
// an X connection of its own, so that an owner that stalls holds up nothing
// but this request. Giving the request up (destroying it) wakes a read that
// waits for the owner and joins the thread; `done` is then never called.
class XcbPictureRequest {
public:
    enum class Kind {
        Picture, // the picture's bytes, decoded
        Formats, // only whether a picture is offered
    };
    struct Result {
        bool throughQt = false;     // no connection of our own: only Qt's reader is left
        bool offersPicture = false; // Formats: a picture type is offered
        QImage picture;             // Picture: null when none could be had
        quint64 key = 0;            // identifies the bytes read (0: none)
    };
    using Decode = std::function<QImage(const QByteArray&, const QString&)>;

    // `done` runs on the request's thread, once, unless the request is given
    // up (at once, on the caller's thread, when no thread can be started).
    XcbPictureRequest(QByteArray display, Kind kind, Decode decode, std::function<void(Result)> done);
    ~XcbPictureRequest();
    XcbPictureRequest(const XcbPictureRequest&) = delete;
    XcbPictureRequest& operator=(const XcbPictureRequest&) = delete;

private:
    void run(QByteArray display, Kind kind, Decode decode, std::function<void(Result)> done);

    int m_wake = -1;
    std::thread m_thread;
};

} // namespace varnel
