#pragma once
#include <QObject>
#include <functional>

#include "platform/Clipboard.h"
#include "platform/Pointer.h"

namespace varnel {

// Turns clipboard changes into captures while hooked (capture standby). A
// change that arrives while a capture is still running starts no capture of
// its own, but is not lost: once the capture ended (and the changes queued
// meanwhile were delivered) the picture then on the clipboard is caught up
// with, once. Joining never captures what is already on the clipboard.
class ClipboardWatcher : public QObject {
    Q_OBJECT
public:
    // The capture callback; receives the probed pointer (invalid when
    // pointer stamping is off).
    using CaptureFn = std::function<void(const PointerImage&)>;
    using StampFn = std::function<bool()>;

    ClipboardWatcher(Clipboard& clipboard, Pointer& pointer, QObject* parent = nullptr);

    void setCapture(CaptureFn capture) { m_capture = std::move(capture); }
    // Asked before every capture: probe the pointer at all?
    void setStampPointer(StampFn stamp) { m_stamp = std::move(stamp); }

    // 1 joins and hooks; any other value leaves. Repeated requests change nothing.
    void HookClipboard(int on);
    bool isHooked() const { return m_hooked; }
    bool isBusy() const { return m_busy; }
    // True during a capture that catches up with changes passed by; the
    // capture skips a picture it took just before.
    bool isCatchingUp() const { return m_catchingUp; }
    // The clipboard content (its key, see Clipboard::lastKey) the running
    // capture must not take again, 0 for none: in a catch-up, what the
    // capture before it took; in the first capture after a catch-up, what
    // the catch-up took ahead of its notification. Either way the same
    // content is saved once.
    quint64 skipKey() const { return m_skipKey; }
    // The running capture took the content with this key.
    void tookContent(quint64 key) { m_lastKey = key; }

    // Counts, for tests and diagnostics.
    int capturesStarted() const { return m_captures; }
    int changesPassedBy() const { return m_passedBy; }
    int catchUps() const { return m_catchUps; }

private:
    void onClipboardChanged();
    void capture(bool catchingUp);
    void catchUp();

    Clipboard& m_clipboard;
    Pointer& m_pointer;
    CaptureFn m_capture;
    StampFn m_stamp;
    bool m_hooked = false;
    bool m_busy = false;
    bool m_catchingUp = false;
    bool m_missed = false; // a change passed by since the last capture began
    bool m_catchUpQueued = false;
    int m_catchUps = 0;
    int m_captures = 0;
    int m_passedBy = 0;
    quint64 m_lastKey = 0, m_caughtUpKey = 0, m_skipKey = 0;
    QMetaObject::Connection m_connection;
};

} // namespace varnel
