#include "XcbSelectionReader.h"

#include <QSet>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <poll.h>
#include <vector>

namespace varnel {

XcbSelectionReader::XcbSelectionReader(QByteArray display) : m_display(std::move(display)) {}

XcbSelectionReader::~XcbSelectionReader()
{
    disconnect();
}

bool XcbSelectionReader::open()
{
    return m_conn || connect();
}

void XcbSelectionReader::setInterrupt(int wakeFd,
                                      std::function<bool(const xcb_generic_event_t*)> interrupt)
{
    m_wakeFd = wakeFd;
    m_interrupt = std::move(interrupt);
}

bool XcbSelectionReader::connect()
{
    m_conn = xcb_connect(m_display.isEmpty() ? nullptr : m_display.constData(), nullptr);
    if (xcb_connection_has_error(m_conn)) {
        disconnect();
        return false;
    }
    const xcb_setup_t* setup = xcb_get_setup(m_conn);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    if (!screen) {
        disconnect();
        return false;
    }
    m_root = screen->root;
    renewWindow();
    m_clipboard = atom("CLIPBOARD");
    m_incr = atom("INCR");
    m_property = atom("VARNEL_CLIPBOARD");
    if (!m_clipboard || !m_incr || !m_property) {
        disconnect();
        return false;
    }
    return true;
}

void XcbSelectionReader::renewWindow()
{
    if (m_window)
        xcb_destroy_window(m_conn, m_window);
    m_window = xcb_generate_id(m_conn);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_conn, XCB_COPY_FROM_PARENT, m_window, m_root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
}

void XcbSelectionReader::disconnect()
{
    if (m_conn)
        xcb_disconnect(m_conn);
    m_conn = nullptr;
    m_window = 0;
    m_atoms.clear();
    m_names.clear();
}

unsigned XcbSelectionReader::atom(const QByteArray& name)
{
    if (const auto it = m_atoms.constFind(name); it != m_atoms.cend())
        return *it;
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        m_conn, xcb_intern_atom(m_conn, 0, uint16_t(name.size()), name.constData()), nullptr);
    const unsigned a = r ? r->atom : 0;
    std::free(r);
    if (a)
        m_atoms.insert(name, a);
    return a;
}

std::optional<QStringList> XcbSelectionReader::targets(int quietMs)
{
    // Real owners offer a few dozen formats; a list far longer is refused
    // rather than looked up name by name.
    constexpr int kMostTargets = 1024;
    const std::optional<QByteArray> list = read("TARGETS", quietMs, kMostTargets * 4);
    if (!list)
        return std::nullopt;
    if (m_names.size() > 4 * kMostTargets)
        m_names.clear();
    std::vector<uint32_t> atoms(size_t(list->size()) / 4);
    if (!atoms.empty())
        std::memcpy(atoms.data(), list->constData(), atoms.size() * 4);
    // Names not seen before, asked for all at once.
    std::vector<std::pair<uint32_t, xcb_get_atom_name_cookie_t>> asked;
    for (const uint32_t a : atoms)
        if (a && !m_names.contains(a))
            asked.emplace_back(a, xcb_get_atom_name(m_conn, a));
    for (const auto& [a, cookie] : asked) {
        xcb_get_atom_name_reply_t* r = xcb_get_atom_name_reply(m_conn, cookie, nullptr);
        if (!r)
            continue;
        m_names.insert(a, QString::fromLatin1(xcb_get_atom_name_name(r),
                                              xcb_get_atom_name_name_length(r)));
        std::free(r);
    }
    QStringList names;
    QSet<uint32_t> seen;
    for (const uint32_t a : atoms)
        if (const auto it = m_names.constFind(a); it != m_names.cend() && !seen.contains(a)) {
            seen.insert(a);
            names << *it;
        }
    return names;
}

namespace {
enum class Woken { Data, TimeUp, Cancelled };
// Until the connection has data, the time is up or the wake-up descriptor
// is readable.
Woken waitReadable(xcb_connection_t* c, int wakeFd, qint64 ms)
{
    if (ms <= 0 || xcb_connection_has_error(c))
        return Woken::TimeUp;
    pollfd pfd[2] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    ::poll(pfd, wakeFd >= 0 ? 2 : 1, int(ms));
    return (pfd[1].revents & POLLIN) ? Woken::Cancelled : Woken::Data;
}
} // namespace

template <typename Wanted>
bool XcbSelectionReader::waitFor(Wanted wanted, int quietMs)
{
    QDeadlineTimer quiet(quietMs);
    // A stream of other events must not keep us here past either limit.
    const auto left = [&] { return std::min(quiet.remainingTime(), m_wholeRead.remainingTime()); };
    do {
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_conn)) {
            const bool found = wanted(e);
            const bool stop = !found && m_interrupt && m_interrupt(e);
            std::free(e);
            if (found)
                return true;
            if (stop) {
                m_cancelled = true;
                return false;
            }
            if (left() <= 0)
                return false;
        }
        switch (waitReadable(m_conn, m_wakeFd, left())) {
        case Woken::Data:
            continue;
        case Woken::Cancelled:
            m_cancelled = true;
            return false;
        case Woken::TimeUp:
            return false;
        }
    } while (true);
}

bool XcbSelectionReader::waitForAnswer(unsigned target, unsigned* property, int quietMs)
{
    return waitFor(
        [&](const xcb_generic_event_t* e) {
            const auto* n = reinterpret_cast<const xcb_selection_notify_event_t*>(e);
            if ((e->response_type & 0x7f) != XCB_SELECTION_NOTIFY || n->requestor != m_window ||
                n->selection != m_clipboard || n->target != target)
                return false;
            *property = n->property;
            return true;
        },
        quietMs);
}

bool XcbSelectionReader::waitForNewValue(int quietMs)
{
    return waitFor(
        [&](const xcb_generic_event_t* e) {
            const auto* n = reinterpret_cast<const xcb_property_notify_event_t*>(e);
            return (e->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && n->window == m_window &&
                   n->atom == m_property && n->state == XCB_PROPERTY_NEW_VALUE;
        },
        quietMs);
}

bool XcbSelectionReader::takeProperty(QByteArray& out, qint64 maxBytes, bool* empty)
{
    xcb_get_property_reply_t* head = xcb_get_property_reply(
        m_conn, xcb_get_property(m_conn, 0, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
        nullptr);
    if (!head)
        return false;
    const qint64 size = head->bytes_after;
    std::free(head);
    *empty = size == 0;
    if (out.size() + size > maxBytes)
        return false;
    // Several requests in flight: one huge reply is slower for the server
    // to write than a stream of moderate ones.
    constexpr qint64 kPiece = qint64(1) << 18;
    std::vector<xcb_get_property_cookie_t> cookies;
    for (qint64 off = 0; off < size; off += kPiece)
        cookies.push_back(xcb_get_property(m_conn, 0, m_window, m_property,
                                           XCB_GET_PROPERTY_TYPE_ANY, uint32_t(off / 4),
                                           uint32_t(kPiece / 4)));
    const qsizetype at = out.size();
    try {
        out.resize(at + qsizetype(size));
    } catch (const std::bad_alloc&) {
        for (const xcb_get_property_cookie_t& cookie : cookies)
            xcb_discard_reply(m_conn, cookie.sequence);
        return false;
    }
    qint64 got = 0;
    bool ok = true;
    for (const xcb_get_property_cookie_t& cookie : cookies) {
        xcb_get_property_reply_t* r = xcb_get_property_reply(m_conn, cookie, nullptr);
        if (!r) {
            ok = false;
            continue;
        }
        const qint64 len = xcb_get_property_value_length(r);
        if (ok && got + len <= size)
            std::memcpy(out.data() + at + got, xcb_get_property_value(r), size_t(len));
        else
            ok = false;
        got += len;
        std::free(r);
    }
    xcb_delete_property(m_conn, m_window, m_property);
    xcb_flush(m_conn);
    return ok && got == size;
}

std::optional<QByteArray> XcbSelectionReader::read(const QByteArray& target, int quietMs,
                                                   qint64 maxBytes, int wholeMs, bool* refused)
{
    if (refused)
        *refused = false;
    m_cancelled = false;
    if (!m_conn && !connect())
        return std::nullopt;
    m_wholeRead = QDeadlineTimer(wholeMs);
    // Anything left from an earlier read is stale, but its caller may still
    // need to hear of it (a new owner, say).
    while (xcb_generic_event_t* e = xcb_poll_for_event(m_conn)) {
        const bool stop = m_interrupt && m_interrupt(e);
        std::free(e);
        if (stop) {
            m_cancelled = true;
            return QByteArray();
        }
    }
    const unsigned type = atom(target);
    if (!type)
        return xcb_connection_has_error(m_conn) ? (disconnect(), std::nullopt)
                                                : std::optional<QByteArray>(QByteArray());
    xcb_delete_property(m_conn, m_window, m_property);
    xcb_convert_selection(m_conn, m_window, m_clipboard, type, m_property, XCB_CURRENT_TIME);
    xcb_flush(m_conn);

    // A transfer given up half-way must not write into the next one: the
    // window the owner writes to goes, and the next read has a new one.
    const auto giveUp = [this] {
        if (xcb_connection_has_error(m_conn)) {
            disconnect();
            return std::optional<QByteArray>();
        }
        renewWindow();
        xcb_flush(m_conn);
        return std::optional<QByteArray>(QByteArray());
    };
    unsigned property = 0;
    if (!waitForAnswer(type, &property, quietMs))
        return giveUp();
    if (property == XCB_NONE) { // the owner has no such format, or there is no owner
        if (refused)
            *refused = true;
        return QByteArray();
    }

    xcb_get_property_reply_t* head = xcb_get_property_reply(
        m_conn, xcb_get_property(m_conn, 0, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1),
        nullptr);
    if (!head)
        return giveUp();
    const bool incremental = head->type == m_incr;
    // An incremental owner announces at least how much it will send.
    quint32 announced = 0;
    if (incremental && head->format == 32 && xcb_get_property_value_length(head) >= 4)
        std::memcpy(&announced, xcb_get_property_value(head), 4);
    std::free(head);

    QByteArray out;
    bool empty = false;
    if (!incremental) {
        if (!takeProperty(out, maxBytes, &empty))
            return giveUp();
        // Some owners (Qt's) answer a format they do not have with no bytes
        // rather than with a refusal.
        if (out.isEmpty() && refused)
            *refused = true;
        return out;
    }
    if (announced > maxBytes)
        return giveUp();
    try {
        out.reserve(qsizetype(announced));
    } catch (const std::bad_alloc&) {
        return giveUp();
    }
    // Deleting the INCR property asks for the first piece; a piece of no
    // bytes ends the transfer.
    xcb_delete_property(m_conn, m_window, m_property);
    xcb_flush(m_conn);
    for (;;) {
        if (!waitForNewValue(quietMs) || !takeProperty(out, maxBytes, &empty))
            return giveUp();
        if (empty)
            return out;
    }
}

} // namespace varnel
