#include "OuterGeometry.h"

#include <QWidget>
#include <QWindow>

namespace varnel {

namespace {
QMargins frameOf(const QWidget* w)
{
    return w->windowHandle() ? w->windowHandle()->frameMargins() : QMargins();
}
} // namespace

QRect OuterGeometry::get() const
{
    if (m_window->isMaximized() || m_window->isMinimized())
        return m_window->normalGeometry().marginsAdded(frameOf(m_window));
    return m_window->frameGeometry();
}

void OuterGeometry::set(const QRect& outer)
{
    // Until the frame is known the inner size is the outer one, corrected later.
    const QMargins frame = frameOf(m_window);
    m_window->move(outer.topLeft());
    m_window->resize(outer.size().shrunkBy(frame).expandedTo(QSize(1, 1)));
    m_pending = frame.isNull() ? outer : QRect();
}

void OuterGeometry::settle()
{
    if (m_pending.isNull() || frameOf(m_window).isNull())
        return;
    const QRect outer = std::exchange(m_pending, QRect());
    if (!m_window->isMaximized() && !m_window->isMinimized())
        set(outer);
}

} // namespace varnel
