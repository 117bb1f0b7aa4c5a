#include "XcbPictureRequest.h"

#include "XcbClipboardThread.h"
#include "XcbSelectionReader.h"

#include <sys/eventfd.h>
#include <unistd.h>

namespace varnel {

XcbPictureRequest::XcbPictureRequest(QByteArray display, Kind kind, Decode decode,
                                     std::function<void(Result)> done)
    : m_wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    // A read that could not be woken would hold up whoever gives it up:
    // without the descriptor there is no read, and no picture.
    if (m_wake < 0) {
        done(Result());
        return;
    }
    m_thread = std::thread(&XcbPictureRequest::run, this, std::move(display), kind, std::move(decode),
                           std::move(done));
}

XcbPictureRequest::~XcbPictureRequest()
{
    if (m_wake < 0)
        return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_wake, &one, sizeof one);
    m_thread.join();
    ::close(m_wake);
}

void XcbPictureRequest::run(QByteArray display, Kind kind, Decode decode, std::function<void(Result)> done)
{
    Result r;
    XcbSelectionReader reader(std::move(display));
    reader.setInterrupt(m_wake, nullptr);
    if (!reader.open()) {
        r.throughQt = true;
        done(std::move(r));
        return;
    }
    if (kind == Kind::Formats) {
        const std::optional<QStringList> offered = reader.targets();
        if (reader.cancelled())
            return;
        if (!offered) {
            r.throughQt = true;
        } else {
            // Qt's in-process type from another program is no picture we
            // can have (and asking Qt for it would wait on that program).
            const QString format = PictureFetcher::chooseFormat(*offered);
            r.offersPicture = !format.isEmpty() && format != QLatin1String("application/x-qt-image");
        }
        done(std::move(r));
        return;
    }
    PictureFetcher fetcher;
    const FetchedPicture f = fetcher.fetch(reader);
    switch (f.status) {
    case FetchedPicture::Cancelled:
        return;
    case FetchedPicture::NoConnection:
        r.throughQt = true;
        break;
    case FetchedPicture::Got:
        r.key = PictureFetcher::keyOf(f.bytes);
        r.picture = decode(f.bytes, f.format);
        break;
    default:
        break;
    }
    done(std::move(r));
}

} // namespace varnel
