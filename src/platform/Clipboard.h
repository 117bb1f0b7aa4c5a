#pragma once
#include <QImage>
#include <QObject>

namespace varnel {

// The system clipboard as the capture road sees it: a picture or not, fetched
// and decoded once per request, and a change signal that leaves out the
// copies this program put there itself.
class Clipboard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Clipboard() override = default;

    virtual bool hasPicture() const = 0;
    // The clipboard picture, decoded once; a null image when none is offered
    // or it cannot be decoded.
    virtual QImage takePicture() = 0;
    // Puts a picture on the clipboard. The change this causes is not signalled.
    virtual void putPicture(const QImage& picture) = 0;

signals:
    // Another program changed the clipboard.
    void changed();
};

} // namespace varnel
