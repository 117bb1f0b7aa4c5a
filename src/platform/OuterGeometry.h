#pragma once
#include <QRect>

class QWidget;

namespace varnel {

// A top-level window's outer rectangle, its frame included: what the
// settings store. The frame's size is known only once the window manager
// has framed the window, so a rectangle set before that is set again then.
class OuterGeometry {
public:
    explicit OuterGeometry(QWidget* window) : m_window(window) {}
    // Maximised or minimised, the normal geometry: what the user returns to.
    QRect get() const;
    void set(const QRect& outer);
    // On the window's Move and Show: a rectangle set before the frame was
    // known is set again, now that it is.
    void settle();

private:
    QWidget* m_window;
    QRect m_pending;
};

} // namespace varnel
