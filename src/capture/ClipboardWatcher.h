#pragma once
#include <QObject>
#include <functional>

#include "platform/Clipboard.h"
#include "platform/Pointer.h"

namespace varnel {

// Turns clipboard changes into captures while hooked (capture standby). A
// change that arrives while a capture is still running is passed by, and
// joining never captures what is already on the clipboard.
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

    // Counts, for tests and diagnostics.
    int capturesStarted() const { return m_captures; }
    int changesPassedBy() const { return m_passedBy; }

private:
    void onClipboardChanged();

    Clipboard& m_clipboard;
    Pointer& m_pointer;
    CaptureFn m_capture;
    StampFn m_stamp;
    bool m_hooked = false;
    bool m_busy = false;
    int m_captures = 0;
    int m_passedBy = 0;
    QMetaObject::Connection m_connection;
};

} // namespace varnel
