#include "PendingPaste.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include "platform/Clipboard.h"

namespace varnel {

PendingPaste::PendingPaste(Clipboard& clipboard, QObject* parent) : QObject(parent), m_clipboard(clipboard) {}

void PendingPaste::setBusy(bool on)
{
    if (busy)
        busy(on);
}

void PendingPaste::request()
{
    const quint64 ticket = ++m_ticket;
    if (!m_pending)
        setBusy(true);
    m_pending = true;
    QPointer<PendingPaste> self(this);
    m_clipboard.requestPicture([self, ticket](QImage picture) {
        if (self && ticket == self->m_ticket)
            self->answered(std::move(picture));
    });
}

void PendingPaste::answered(QImage picture)
{
    m_pending = false;
    setBusy(false);
    if (m_loop) {
        m_answer = std::move(picture);
        m_loop->quit();
    } else if (!mayLand || mayLand()) {
        land(std::move(picture));
    }
}

bool PendingPaste::finish(int mostMs)
{
    if (!m_pending)
        return true;
    QPointer<PendingPaste> self(this);
    QEventLoop loop;
    m_loop = &loop;
    m_answer.reset();
    bool timedOut = false;
    if (mostMs >= 0)
        QTimer::singleShot(mostMs, &loop, [&] {
            timedOut = true;
            loop.quit();
        });
    loop.exec();
    if (!self)
        return false;
    m_loop = nullptr;
    if (!m_answer) {
        cancel();
        return timedOut && !(ending && ending());
    }
    land(*std::exchange(m_answer, std::nullopt));
    return true;
}

void PendingPaste::cancel()
{
    if (!m_pending)
        return;
    ++m_ticket;
    m_pending = false;
    setBusy(false);
    if (m_loop)
        m_loop->quit();
}

} // namespace varnel
