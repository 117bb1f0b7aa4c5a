#include "ClipboardWatcher.h"

namespace varnel {

ClipboardWatcher::ClipboardWatcher(Clipboard& clipboard, Pointer& pointer, QObject* parent)
    : QObject(parent), m_clipboard(clipboard), m_pointer(pointer)
{
}

void ClipboardWatcher::HookClipboard(int on)
{
    if (on == 1) {
        if (m_hooked)
            return;
        // Listening starts now: only changes after this moment are captures,
        // so the picture already on the clipboard is never taken.
        m_connection = connect(&m_clipboard, &Clipboard::changed, this,
                               &ClipboardWatcher::onClipboardChanged);
        m_hooked = true;
        m_clipboard.watch(true);
    } else {
        if (!m_hooked)
            return;
        disconnect(m_connection);
        m_hooked = false;
        m_clipboard.watch(false);
    }
}

void ClipboardWatcher::onClipboardChanged()
{
    if (!m_hooked)
        return;
    if (m_busy) {
        ++m_passedBy;
        return;
    }
    m_busy = true;
    PointerImage pointer;
    if (m_stamp && m_stamp())
        pointer = m_pointer.probe();
    ++m_captures;
    if (m_capture)
        m_capture(pointer);
    m_busy = false;
}

} // namespace varnel
