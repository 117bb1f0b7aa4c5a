#include "XcbClipboardThread.h"

#include <QHash>

#include "XcbSelectionNotify.h"
#include "XcbSelectionReader.h"

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cstring>
#include <deque>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace varnel {

namespace {
// Types the capture road reads, uncompressed first so that decoding is cheapest.
const char* const kPictureTypes[] = {
    "image/bmp", "image/x-bmp", "image/x-MS-bmp", "image/x-win-bitmap", "image/png",
    "image/x-portable-pixmap", "image/tiff", "image/jpeg", "image/gif", "image/webp",
};
const QLatin1String kQtImage("application/x-qt-image");

// VARNEL_CAPTURE_TRACE=1: the reader's phases on standard error, on the
// monotonic clock (for the capture-road benchmark).
void traceRead(const char* phase, qsizetype bytes = -1)
{
    static const bool on = qEnvironmentVariableIntValue("VARNEL_CAPTURE_TRACE") == 1;
    if (!on)
        return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "reader %s at %.1f ms (%lld bytes)\n", phase,
                 now.tv_sec * 1e3 + now.tv_nsec / 1e6, static_cast<long long>(bytes));
}
} // namespace

QString PictureFetcher::chooseFormat(const QStringList& offered)
{
    // The offered spelling: the owner matches it exactly.
    for (const char* t : kPictureTypes)
        for (const QString& f : offered)
            if (f.compare(QLatin1String(t), Qt::CaseInsensitive) == 0)
                return f;
    for (const QString& f : offered)
        if (f.startsWith(QLatin1String("image/"), Qt::CaseInsensitive))
            return f;
    if (offered.contains(kQtImage))
        return kQtImage;
    return {};
}

quint64 PictureFetcher::keyOf(const QByteArray& bytes)
{
    return (quint64(qHashBits(bytes.constData(), size_t(bytes.size()), 0x5eed)) << 1) | 1;
}

FetchedPicture PictureFetcher::fetch(XcbSelectionReader& reader, int quietMs)
{
    FetchedPicture out;
    const auto endWith = [&](FetchedPicture::Status s) {
        out.status = reader.cancelled() ? FetchedPicture::Cancelled : s;
        if (out.status != FetchedPicture::Got)
            out.bytes.clear();
        return out;
    };
    if (!m_lastFormat.isEmpty()) {
        bool refused = false;
        std::optional<QByteArray> read = reader.read(m_lastFormat.toLatin1(), quietMs,
                                                     XcbSelectionReader::kMaxBytes,
                                                     XcbSelectionReader::kWholeReadMs, &refused);
        if (!read)
            return endWith(FetchedPicture::NoConnection);
        if (!read->isEmpty()) {
            out.format = m_lastFormat;
            out.bytes = std::move(*read);
            return endWith(FetchedPicture::Got);
        }
        if (!refused)
            return endWith(FetchedPicture::Failed); // quiet, too big, or given up
    }
    const std::optional<QStringList> offered = reader.targets(quietMs);
    if (!offered)
        return endWith(FetchedPicture::NoConnection);
    if (reader.cancelled())
        return endWith(FetchedPicture::Cancelled);
    out.format = chooseFormat(*offered);
    if (out.format.isEmpty())
        return endWith(FetchedPicture::NoPicture);
    if (out.format == kQtImage)
        return endWith(FetchedPicture::InProcessQt);
    std::optional<QByteArray> read = reader.read(out.format.toLatin1(), quietMs);
    if (!read)
        return endWith(FetchedPicture::NoConnection);
    // Only formats that lose nothing are asked for unseen.
    const bool lossless = out.format == QLatin1String("image/png") || out.format == QLatin1String("image/bmp");
    m_lastFormat = lossless && !read->isEmpty() ? out.format : QString();
    out.bytes = std::move(*read);
    return endWith(out.bytes.isEmpty() ? FetchedPicture::Failed : FetchedPicture::Got);
}

// --- the watching thread ---

// Everything the thread owns; lives on the thread only.
class XcbClipboardThread::Loop {
public:
    Loop(XcbClipboardThread& t) : m_t(t), m_reader(t.m_display) {}

    bool init();
    void run();

private:
    // A picture handed over, offered further; pieces go to big readers.
    struct Sending {
        xcb_window_t window;
        xcb_atom_t property;
        qsizetype at;
        bool ended;
    };
    struct SaveRequest {
        xcb_window_t requestor;
        xcb_atom_t property;
        xcb_timestamp_t time;
    };

    xcb_connection_t* conn() const { return m_reader.connection(); }
    // Handles an event that is not a read's own; true when it ends the read.
    bool handle(const xcb_generic_event_t* e);
    bool ours(xcb_window_t owner) const
    {
        return owner == m_window || (m_t.m_ownMask && (owner & ~m_t.m_ownMask) == m_t.m_ownBase);
    }
    void readNewest();
    void answerSaves();
    void takeManagerRole();
    void serve(const xcb_selection_request_event_t& req);
    void sendNextPiece(const xcb_property_notify_event_t& n);
    void deliver(const FetchedPicture& f);

    XcbClipboardThread& m_t;
    XcbSelectionReader m_reader;
    PictureFetcher m_fetcher;
    xcb_window_t m_window = 0; // ours, for ownerships and change notices
    xcb_atom_t m_clipboard = 0, m_manager = 0, m_saveTargets = 0, m_targets = 0, m_timestamp = 0,
               m_incr = 0, m_null = 0;
    uint8_t m_xfixesEvent = 0;
    bool m_changed = false;        // a new owner is waiting to be read
    bool m_changeSeen = false;     // any change heard since watching began
    bool m_lastReadCurrent = false; // m_last is what the current owner offers
    FetchedPicture m_last;          // the latest picture read
    std::deque<SaveRequest> m_saves;
    // Offered after a hand-over, while we hold the clipboard.
    QByteArray m_offer;
    xcb_atom_t m_offerType = 0;
    std::deque<Sending> m_sending;
};

bool XcbClipboardThread::Loop::init()
{
    if (!m_reader.open())
        return false;
    xcb_connection_t* c = conn();
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_xfixes_id);
    if (!ext || !ext->present)
        return false;
    m_xfixesEvent = ext->first_event;
    std::free(xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    m_window = xcb_generate_id(c);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    m_clipboard = m_reader.atom("CLIPBOARD");
    m_manager = m_reader.atom("CLIPBOARD_MANAGER");
    m_saveTargets = m_reader.atom("SAVE_TARGETS");
    m_targets = m_reader.atom("TARGETS");
    m_timestamp = m_reader.atom("TIMESTAMP");
    m_incr = m_reader.atom("INCR");
    m_null = m_reader.atom("NULL");
    if (!m_clipboard || !m_manager || !m_saveTargets || !m_targets || !m_incr)
        return false;
    xcb_xfixes_select_selection_input(
        c, m_window, m_clipboard,
        XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
            | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
            | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    takeManagerRole();
    m_reader.setInterrupt(m_t.m_wakeFd, [this](const xcb_generic_event_t* e) { return handle(e); });
    return !xcb_connection_has_error(c);
}

void XcbClipboardThread::Loop::takeManagerRole()
{
    xcb_connection_t* c = conn();
    xcb_get_selection_owner_reply_t* r =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, m_manager), nullptr);
    const bool free = r && r->owner == XCB_NONE;
    std::free(r);
    if (!free)
        return; // a clipboard manager runs: it keeps what exiting owners hand over
    xcb_set_selection_owner(c, m_window, m_manager, XCB_CURRENT_TIME);
    r = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, m_manager), nullptr);
    m_t.m_manager = r && r->owner == m_window;
    std::free(r);
}

bool XcbClipboardThread::Loop::handle(const xcb_generic_event_t* e)
{
    const int type = e->response_type & 0x7f;
    if (type == m_xfixesEvent + XCB_XFIXES_SELECTION_NOTIFY) {
        const auto* n = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(e);
        if (n->selection != m_clipboard)
            return false;
        if (n->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER) {
            if (n->owner == XCB_NONE || ours(n->owner))
                return false;
            m_changed = true;
            m_changeSeen = true;
            m_lastReadCurrent = false;
            return true; // the newest copy is the one to read
        }
        // The owner's window or client went away: nothing more will come.
        m_changed = false;
        m_lastReadCurrent = false;
        return true;
    }
    switch (type) {
    case XCB_SELECTION_REQUEST:
        serve(*reinterpret_cast<const xcb_selection_request_event_t*>(e));
        return false;
    case XCB_PROPERTY_NOTIFY:
        sendNextPiece(*reinterpret_cast<const xcb_property_notify_event_t*>(e));
        return false;
    case XCB_SELECTION_CLEAR: {
        const auto* n = reinterpret_cast<const xcb_selection_clear_event_t*>(e);
        if (n->selection == m_manager)
            m_t.m_manager = false; // another manager took over: it keeps the hand-overs now
        else if (n->selection == m_clipboard)
            m_offer.clear(), m_sending.clear();
        return false;
    }
    default:
        return false;
    }
}

void XcbClipboardThread::Loop::serve(const xcb_selection_request_event_t& req)
{
    xcb_connection_t* c = conn();
    // Old requestors name no property: the target stands for it.
    const xcb_atom_t property = req.property ? req.property : req.target;
    if (req.selection == m_manager) {
        if (req.target == m_saveTargets && m_t.m_manager) {
            m_saves.push_back({req.requestor, property, req.time});
            return; // answered once the picture is read
        }
        if (req.target == m_targets) {
            const xcb_atom_t list[] = {m_targets, m_saveTargets, m_timestamp};
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, req.requestor, property, XCB_ATOM_ATOM, 32,
                                3, list);
            return sendSelectionNotify(conn(), req, property);
        }
        return sendSelectionNotify(conn(), req, XCB_NONE);
    }
    if (req.selection != m_clipboard || m_offer.isEmpty())
        return sendSelectionNotify(conn(), req, XCB_NONE);
    if (req.target == m_targets) {
        const xcb_atom_t list[] = {m_targets, m_offerType};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, req.requestor, property, XCB_ATOM_ATOM, 32, 2,
                            list);
        return sendSelectionNotify(conn(), req, property);
    }
    if (req.target != m_offerType)
        return sendSelectionNotify(conn(), req, XCB_NONE);
    // Pieces well under any server's request limit.
    constexpr qsizetype kPiece = 256 * 1024;
    if (m_offer.size() <= kPiece) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, req.requestor, property, m_offerType, 8,
                            uint32_t(m_offer.size()), m_offer.constData());
        return sendSelectionNotify(conn(), req, property);
    }
    // Incremental: each deletion of the property by the reader asks for the
    // next piece. Readers that never finish are dropped, the oldest first.
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, req.requestor, XCB_CW_EVENT_MASK, &mask);
    const uint32_t size = uint32_t(m_offer.size());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, req.requestor, property, m_incr, 32, 1, &size);
    if (m_sending.size() >= 8)
        m_sending.pop_front();
    m_sending.push_back({req.requestor, property, 0, false});
    sendSelectionNotify(conn(), req, property);
}

void XcbClipboardThread::Loop::sendNextPiece(const xcb_property_notify_event_t& n)
{
    if (n.state != XCB_PROPERTY_DELETE)
        return;
    for (auto it = m_sending.begin(); it != m_sending.end(); ++it) {
        if (it->window != n.window || it->property != n.atom)
            continue;
        if (it->ended) {
            m_sending.erase(it);
            return;
        }
        constexpr qsizetype kPiece = 256 * 1024;
        const qsizetype len = std::min(kPiece, m_offer.size() - it->at);
        xcb_change_property(conn(), XCB_PROP_MODE_REPLACE, n.window, n.atom, m_offerType, 8,
                            uint32_t(len), m_offer.constData() + it->at);
        it->at += len;
        it->ended = len == 0; // the empty piece ends it
        xcb_flush(conn());
        return;
    }
}

void XcbClipboardThread::Loop::deliver(const FetchedPicture& f)
{
    Result r;
    if (f.status == FetchedPicture::Got) {
        r.key = PictureFetcher::keyOf(f.bytes);
        traceRead("fetched", f.bytes.size());
        r.picture = m_t.m_decode(f.bytes, f.format);
        traceRead("decoded");
    }
    m_t.m_deliver(std::move(r));
}

void XcbClipboardThread::Loop::readNewest()
{
    m_changed = false;
    m_lastReadCurrent = false;
    traceRead("begins");
    FetchedPicture f = m_fetcher.fetch(m_reader);
    switch (f.status) {
    case FetchedPicture::Cancelled:
    case FetchedPicture::NoConnection:
    case FetchedPicture::InProcessQt: // a copy of ours, which is never a capture
        return;
    default:
        break;
    }
    // A newer copy arrived while this one decodes: it is still this copy's
    // turn, in the order they were made.
    m_last = f;
    m_lastReadCurrent = !m_changed && f.status == FetchedPicture::Got;
    deliver(f);
}

void XcbClipboardThread::Loop::answerSaves()
{
    if (m_saves.empty())
        return;
    bool fresh = false;
    if (!m_lastReadCurrent) {
        FetchedPicture f = m_fetcher.fetch(m_reader);
        if (f.status == FetchedPicture::Got) {
            m_last = std::move(f);
            m_lastReadCurrent = true;
            fresh = true;
        }
    }
    xcb_connection_t* c = conn();
    const bool kept = m_lastReadCurrent;
    if (kept) {
        // Ours from now on: the owner may leave, the picture stays.
        m_offer = m_last.bytes;
        m_offerType = m_reader.atom(m_last.format.toLatin1());
        m_sending.clear();
        xcb_set_selection_owner(c, m_window, m_clipboard, XCB_CURRENT_TIME);
    }
    for (const SaveRequest& s : m_saves) {
        xcb_selection_request_event_t req{};
        req.requestor = s.requestor;
        req.selection = m_manager;
        req.target = m_saveTargets;
        req.time = s.time;
        if (kept)
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, s.requestor, s.property, m_null, 32, 0, nullptr);
        sendSelectionNotify(conn(), req, kept ? s.property : XCB_NONE);
    }
    m_saves.clear();
    // Copied before watching began and handed over now: kept, not captured.
    if (fresh && m_changeSeen)
        deliver(m_last);
}

void XcbClipboardThread::Loop::run()
{
    xcb_connection_t* c = conn();
    for (;;) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            handle(e);
            std::free(e);
        }
        if (xcb_connection_has_error(c))
            return;
        uint64_t woken = 0;
        if (::read(m_t.m_wakeFd, &woken, sizeof woken) == sizeof woken)
            return;
        if (m_changed) {
            readNewest();
            continue;
        }
        if (!m_saves.empty()) {
            answerSaves();
            continue;
        }
        xcb_flush(c);
        pollfd pfd[2] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {m_t.m_wakeFd, POLLIN, 0}};
        ::poll(pfd, 2, -1);
    }
}

// --- the thread's owner ---

XcbClipboardThread::XcbClipboardThread(QByteArray display, quint32 ownBase, quint32 ownMask,
                                       Decode decode, Deliver deliver)
    : m_display(std::move(display)), m_ownBase(ownBase), m_ownMask(ownMask),
      m_decode(std::move(decode)), m_deliver(std::move(deliver))
{
}

XcbClipboardThread::~XcbClipboardThread()
{
    stop();
}

bool XcbClipboardThread::start()
{
    if (m_thread.joinable())
        return true;
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd < 0)
        return false;
    std::promise<bool> started;
    std::future<bool> ready = started.get_future();
    m_thread = std::thread([this, &started] {
        Loop loop(*this);
        const bool ok = loop.init();
        started.set_value(ok);
        if (ok)
            loop.run();
        m_manager = false;
    });
    if (!ready.get()) {
        stop();
        return false;
    }
    return true;
}

void XcbClipboardThread::stop()
{
    if (m_thread.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const auto n = ::write(m_wakeFd, &one, sizeof one);
        m_thread.join();
    }
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
    m_wakeFd = -1;
}

} // namespace varnel
