#include "ClipboardWatcher.h"

#include <QTimer>

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
        m_missed = false;
    }
}

void ClipboardWatcher::onClipboardChanged()
{
    if (!m_hooked)
        return;
    if (m_busy) {
        ++m_passedBy;
        m_missed = true;
        return;
    }
    capture(false);
}

void ClipboardWatcher::capture(bool catchingUp)
{
    m_busy = true;
    m_catchingUp = catchingUp;
    m_missed = false;
    PointerImage pointer;
    if (m_stamp && m_stamp())
        pointer = m_pointer.probe();
    ++m_captures;
    m_skipKey = catchingUp ? m_lastKey : m_caughtUpKey;
    m_caughtUpKey = 0;
    if (m_capture)
        m_capture(pointer);
    if (catchingUp && m_lastKey != m_skipKey)
        m_caughtUpKey = m_lastKey;
    m_skipKey = 0;
    m_busy = false;
    m_catchingUp = false;
    // Later than now: notifications already queued get their own captures
    // first, and the catch-up then finds nothing new.
    if (m_missed && m_hooked && !m_catchUpQueued) {
        m_catchUpQueued = true;
        QTimer::singleShot(0, this, &ClipboardWatcher::catchUp);
    }
}

void ClipboardWatcher::catchUp()
{
    m_catchUpQueued = false;
    if (!m_missed || !m_hooked || m_busy)
        return;
    ++m_catchUps;
    capture(true);
}

} // namespace varnel
