// An X server and clipboard owners of the tests' own making, so that a
// transfer's shape (whole, incremental in odd pieces, refused, stalled,
// handed over at exit) is under the test's control.
#pragma once
#include <QByteArray>
#include <QStandardPaths>
#include <QThread>

#include <xcb/xcb.h>

#include "platform/x11/XcbSelectionNotify.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace xtest {

inline xcb_atom_t internAtom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : 0;
    std::free(r);
    return a;
}

// An Xvfb of the test's own, on a display it picks itself (tests run side
// by side). No reset when the last client leaves: owners come and go here.
class TestServer {
public:
    TestServer()
    {
        m_present = !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty();
        int fds[2];
        if (!m_present || ::pipe(fds) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::dup2(fds[1], 3);
            ::execlp("Xvfb", "Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-noreset", nullptr);
            ::_exit(127);
        }
        ::close(fds[1]);
        char number[16] = {};
        pollfd pfd{fds[0], POLLIN, 0};
        if (m_pid > 0 && ::poll(&pfd, 1, 10000) == 1 && ::read(fds[0], number, sizeof number - 1) > 0)
            m_display = ":" + QByteArray(number).trimmed();
        ::close(fds[0]);
        if (m_display == ":")
            m_display.clear();
    }
    ~TestServer()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    // Xvfb is installed here (set-up installs it), so a server that does not
    // start is a failure, not a reason to skip.
    bool present() const { return m_present; }
    const QByteArray& display() const { return m_display; }

private:
    bool m_present = false;
    pid_t m_pid = -1;
    QByteArray m_display;
};

// Owns the clipboard and answers like a real program: the whole value in
// one property when it fits in `piece`, else the incremental protocol in
// pieces of that size. A stalled owner announces an incremental transfer
// and then never sends.
class Owner {
public:
    // trickleMs: a pause before each piece.
    Owner(const QByteArray& display, QByteArray type, QByteArray data, size_t piece, bool stall = false,
          int trickleMs = 0)
        : m_data(std::move(data)), m_piece(piece), m_stall(stall), m_trickleMs(trickleMs)
    {
        m_conn = xcb_connect(display.constData(), nullptr);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data;
        m_window = xcb_generate_id(m_conn);
        const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_conn, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
        m_clipboard = internAtom(m_conn, "CLIPBOARD");
        m_targets = internAtom(m_conn, "TARGETS");
        m_incr = internAtom(m_conn, "INCR");
        m_manager = internAtom(m_conn, "CLIPBOARD_MANAGER");
        m_saveTargets = internAtom(m_conn, "SAVE_TARGETS");
        m_type = internAtom(m_conn, type.constData());
        xcb_set_selection_owner(m_conn, m_window, m_clipboard, XCB_CURRENT_TIME);
        m_ready = owns();
        m_thread = std::thread([this] { serve(); });
    }
    bool ready() const { return m_ready; }
    // An incremental transfer was announced to a reader.
    bool announced() const { return m_announced; }
    // Takes the clipboard again (a new copy); true when it has it.
    bool retake()
    {
        xcb_set_selection_owner(m_conn, m_window, m_clipboard, XCB_CURRENT_TIME);
        return owns();
    }
    // Its connection's resource ids: copies by "this program".
    quint32 idBase() const { return xcb_get_setup(m_conn)->resource_id_base; }
    quint32 idMask() const { return xcb_get_setup(m_conn)->resource_id_mask; }
    // Pieces of an incremental transfer a reader asked for.
    int piecesAsked() const { return m_piecesAsked; }
    // Hands the clipboard to the clipboard manager as programs do at exit,
    // still answering its reads meanwhile: true when it took it.
    bool handOver(int waitMs = 5000)
    {
        m_handOver = 1;
        for (int i = 0; i < waitMs / 10 && m_handOver < 3; ++i)
            QThread::msleep(10);
        return m_handOver == 3;
    }
    ~Owner()
    {
        m_stop = true;
        m_thread.join();
        xcb_disconnect(m_conn);
    }

private:
    bool owns()
    {
        xcb_get_selection_owner_reply_t* r =
            xcb_get_selection_owner_reply(m_conn, xcb_get_selection_owner(m_conn, m_clipboard), nullptr);
        const bool mine = r && r->owner == m_window;
        std::free(r);
        return mine;
    }
    void serve()
    {
        while (!m_stop) {
            if (m_handOver == 1) {
                m_handOver = 2; // asked, waiting
                xcb_convert_selection(m_conn, m_window, m_manager, m_saveTargets, m_saveTargets,
                                      XCB_CURRENT_TIME);
                xcb_flush(m_conn);
            }
            xcb_generic_event_t* e = xcb_poll_for_event(m_conn);
            if (!e) {
                pollfd pfd{xcb_get_file_descriptor(m_conn), POLLIN, 0};
                ::poll(&pfd, 1, 20);
                continue;
            }
            const int type = e->response_type & 0x7f;
            if (type == XCB_SELECTION_REQUEST)
                answer(*reinterpret_cast<xcb_selection_request_event_t*>(e));
            else if (type == XCB_PROPERTY_NOTIFY)
                next(*reinterpret_cast<xcb_property_notify_event_t*>(e));
            else if (type == XCB_SELECTION_NOTIFY) {
                const auto* n = reinterpret_cast<xcb_selection_notify_event_t*>(e);
                if (n->selection == m_manager)
                    m_handOver = n->property != XCB_NONE ? 3 : 4;
            }
            std::free(e);
        }
    }
    void answer(const xcb_selection_request_event_t& req)
    {
        xcb_atom_t answered = req.property;
        if (req.target == m_targets) {
            const xcb_atom_t list[] = {m_targets, m_type};
            xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, req.requestor, req.property,
                                XCB_ATOM_ATOM, 32, 2, list);
        } else if (req.target == m_type && size_t(m_data.size()) <= m_piece) {
            xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, req.requestor, req.property, m_type, 8,
                                uint32_t(m_data.size()), m_data.constData());
        } else if (req.target == m_type) {
            // The requestor deleting this property asks for the first piece.
            const uint32_t size = uint32_t(m_data.size());
            const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(m_conn, req.requestor, XCB_CW_EVENT_MASK, &mask);
            xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, req.requestor, req.property, m_incr, 32,
                                1, &size);
            m_requestor = req.requestor;
            m_property = req.property;
            m_sent = 0;
            m_sending = !m_stall;
            m_announced = true;
        } else {
            answered = XCB_NONE;
        }
        varnel::sendSelectionNotify(m_conn, req, answered);
    }
    void next(const xcb_property_notify_event_t& ev)
    {
        if (!m_sending || ev.window != m_requestor || ev.atom != m_property ||
            ev.state != XCB_PROPERTY_DELETE)
            return;
        ++m_piecesAsked;
        if (m_trickleMs > 0)
            QThread::msleep(m_trickleMs);
        const size_t n = std::min(m_piece, size_t(m_data.size()) - m_sent);
        xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, m_requestor, m_property, m_type, 8,
                            uint32_t(n), m_data.constData() + m_sent);
        m_sent += n;
        if (n == 0)
            m_sending = false; // the empty piece ends it
        xcb_flush(m_conn);
    }

    QByteArray m_data;
    size_t m_piece;
    bool m_stall;
    int m_trickleMs;
    xcb_connection_t* m_conn;
    xcb_window_t m_window;
    xcb_atom_t m_clipboard, m_targets, m_incr, m_type, m_manager, m_saveTargets;
    std::atomic<int> m_handOver{0}; // 1 to ask, 2 asked, 3 taken, 4 refused
    std::atomic<int> m_piecesAsked{0};
    xcb_window_t m_requestor = 0;
    xcb_atom_t m_property = 0;
    size_t m_sent = 0;
    bool m_sending = false;
    bool m_ready = false;
    std::atomic<bool> m_announced{false};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

inline QByteArray noise(int size, uint32_t seed)
{
    QByteArray out(size, 0);
    for (char& c : out) {
        seed = seed * 1664525u + 1013904223u;
        c = char(seed >> 24);
    }
    return out;
}

} // namespace xtest
