// Clipboard owners that misbehave on purpose, and a probe of how fast a
// window answers, for the end-to-end tests.
//
//   varnel-test-owner trickle FILE      offers FILE as image/png, one byte every 4 s
//   varnel-test-owner silent            offers image/png and never answers
//   varnel-test-owner retake FILE MS    offers FILE, taking the clipboard again every MS ms
//   varnel-test-owner wrongtype         offers image/png that is no picture
//   varnel-test-owner handover FILE     offers FILE, hands it to the clipboard manager, exits
//   varnel-test-owner ping WINDOW N     N _NET_WM_PING round trips; prints the slowest in ms
//   varnel-test-owner owner SELECTION   prints the selection's owner window (0: none)
//
// Owners print "owning" once they hold the clipboard and run until killed.
#include <xcb/xcb.h>

#include "platform/x11/XcbSelectionNotify.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <string>
#include <thread>

namespace {

xcb_connection_t* c;
xcb_window_t win, root;

xcb_atom_t atom(const char* name)
{
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : 0;
    std::free(r);
    return a;
}

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void notify(const xcb_selection_request_event_t& q, xcb_atom_t property)
{
    varnel::sendSelectionNotify(c, q, property);
}

int ping(xcb_window_t target, int count)
{
    // The answer goes to the root window, to those who select its structure.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t protocols = atom("WM_PROTOCOLS"), pingAtom = atom("_NET_WM_PING");
    double slowest = 0;
    for (int i = 0; i < count; ++i) {
        xcb_client_message_event_t m{};
        m.response_type = XCB_CLIENT_MESSAGE;
        m.format = 32;
        m.window = target;
        m.type = protocols;
        m.data.data32[0] = pingAtom;
        m.data.data32[1] = uint32_t(1000 + i); // the timestamp names the ping
        m.data.data32[2] = target;
        const double sent = nowMs();
        xcb_send_event(c, 0, target, 0, reinterpret_cast<const char*>(&m));
        xcb_flush(c);
        bool answered = false;
        while (!answered && nowMs() - sent < 2000) {
            xcb_generic_event_t* e = xcb_poll_for_event(c);
            if (!e) {
                pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
                ::poll(&p, 1, 10);
                continue;
            }
            if ((e->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto* r = reinterpret_cast<xcb_client_message_event_t*>(e);
                answered = r->window == root && r->data.data32[0] == pingAtom &&
                           r->data.data32[1] == uint32_t(1000 + i);
            }
            std::free(e);
        }
        const double took = nowMs() - sent;
        if (!answered) {
            std::printf("no answer\n");
            return 1;
        }
        slowest = std::max(slowest, took);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::printf("%.0f\n", slowest);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::string mode = argv[1];
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 3;
    root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    if (mode == "owner" && argc > 2) {
        xcb_get_selection_owner_reply_t* r =
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom(argv[2])), nullptr);
        std::printf("%u\n", r ? r->owner : 0u);
        std::free(r);
        return 0;
    }
    if (mode == "ping")
        return argc < 4 ? 2 : ping(xcb_window_t(std::strtoul(argv[2], nullptr, 0)), std::atoi(argv[3]));

    std::string data;
    if (mode == "trickle" || mode == "retake" || mode == "handover") {
        if (argc < 3)
            return 2;
        std::ifstream in(argv[2], std::ios::binary);
        data.assign(std::istreambuf_iterator<char>(in), {});
    } else if (mode == "wrongtype") {
        data.assign(100000, 'x');
    }
    const int retakeMs = mode == "retake" && argc > 3 ? std::atoi(argv[3]) : 0;

    win = xcb_generate_id(c);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, win, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    const xcb_atom_t clipboard = atom("CLIPBOARD"), targets = atom("TARGETS"), png = atom("image/png"),
                     incr = atom("INCR"), manager = atom("CLIPBOARD_MANAGER"),
                     saveTargets = atom("SAVE_TARGETS");
    xcb_set_selection_owner(c, win, clipboard, XCB_CURRENT_TIME);
    xcb_get_selection_owner_reply_t* o =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
    const bool owning = o && o->owner == win;
    std::free(o);
    if (!owning)
        return 4;
    std::printf("owning\n");
    std::fflush(stdout);
    if (mode == "handover") {
        xcb_convert_selection(c, win, manager, saveTargets, saveTargets, XCB_CURRENT_TIME);
        xcb_flush(c);
    }

    // An incremental transfer under way (trickle: one byte per piece).
    xcb_window_t to = 0;
    xcb_atom_t toProperty = 0;
    size_t sent = 0;
    double nextPiece = 0, nextRetake = nowMs() + retakeMs;
    bool waitingForDelete = false;
    for (;;) {
        if (retakeMs > 0 && nowMs() >= nextRetake) {
            xcb_set_selection_owner(c, win, clipboard, XCB_CURRENT_TIME);
            xcb_flush(c);
            nextRetake = nowMs() + retakeMs;
        }
        if (to && !waitingForDelete && nowMs() >= nextPiece) {
            const size_t n = sent < data.size() ? 1 : 0;
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, to, toProperty, png, 8, uint32_t(n),
                                data.data() + sent);
            xcb_flush(c);
            sent += n;
            waitingForDelete = n > 0;
            if (n == 0)
                to = 0;
        }
        xcb_generic_event_t* e = xcb_poll_for_event(c);
        if (!e) {
            if (xcb_connection_has_error(c))
                return 0;
            pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
            ::poll(&p, 1, 20);
            continue;
        }
        const int type = e->response_type & 0x7f;
        if (type == XCB_SELECTION_REQUEST && mode != "silent") {
            const auto& q = *reinterpret_cast<xcb_selection_request_event_t*>(e);
            if (q.target == targets) {
                const xcb_atom_t list[] = {targets, png};
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, q.requestor, q.property, XCB_ATOM_ATOM, 32,
                                    2, list);
                notify(q, q.property);
            } else if (q.target == png && mode == "trickle") {
                const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(c, q.requestor, XCB_CW_EVENT_MASK, &mask);
                const uint32_t size = uint32_t(data.size());
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, q.requestor, q.property, incr, 32, 1, &size);
                notify(q, q.property);
                to = q.requestor;
                toProperty = q.property;
                sent = 0;
                waitingForDelete = true;
            } else if (q.target == png) {
                // Whole, as long as the server takes it in one request.
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, q.requestor, q.property, png, 8,
                                    uint32_t(data.size()), data.data());
                notify(q, q.property);
            } else {
                notify(q, XCB_NONE);
            }
        } else if (type == XCB_PROPERTY_NOTIFY && to) {
            const auto& n = *reinterpret_cast<xcb_property_notify_event_t*>(e);
            if (n.window == to && n.atom == toProperty && n.state == XCB_PROPERTY_DELETE) {
                waitingForDelete = false;
                nextPiece = nowMs() + 4000;
            }
        } else if (type == XCB_SELECTION_NOTIFY && mode == "handover") {
            const auto& n = *reinterpret_cast<xcb_selection_notify_event_t*>(e);
            if (n.selection == manager) {
                const bool taken = n.property != XCB_NONE;
                std::printf(taken ? "taken\n" : "refused\n");
                std::free(e);
                xcb_disconnect(c);
                return taken ? 0 : 1;
            }
        }
        std::free(e);
    }
}
