#pragma once
#include <xcb/xcb.h>

namespace varnel {

// An owner's answer to a selection request: the data is in property, or
// XCB_NONE refuses it.
inline void sendSelectionNotify(xcb_connection_t* c, const xcb_selection_request_event_t& req,
                                xcb_atom_t property)
{
    xcb_selection_notify_event_t n{};
    n.response_type = XCB_SELECTION_NOTIFY;
    n.time = req.time;
    n.requestor = req.requestor;
    n.selection = req.selection;
    n.target = req.target;
    n.property = property;
    xcb_send_event(c, 0, req.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&n));
    xcb_flush(c);
}

} // namespace varnel
