#include "FileDrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace varnel {

namespace {
QString firstLocalFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& u : mime->urls())
        if (u.isLocalFile() && QFileInfo(u.toLocalFile()).isFile())
            return u.toLocalFile();
    return {};
}
} // namespace

FileDrop::FileDrop(QWidget* window, std::function<void(const QString&)> open)
    : QObject(window), m_open(std::move(open))
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool FileDrop::eventFilter(QObject* o, QEvent* e)
{
    const QEvent::Type t = e->type();
    if (t != QEvent::DragEnter && t != QEvent::DragMove && t != QEvent::Drop)
        return QObject::eventFilter(o, e);
    const bool accepting = !m_accepting || m_accepting();
    if (t == QEvent::DragEnter || t == QEvent::DragMove) {
        auto* d = static_cast<QDropEvent*>(e);
        if (accepting && !firstLocalFile(d->mimeData()).isEmpty())
            d->acceptProposedAction();
        else
            d->ignore();
        return true;
    }
    auto* d = static_cast<QDropEvent*>(e);
    const QString path = firstLocalFile(d->mimeData());
    if (!accepting || path.isEmpty()) {
        d->ignore();
        return true;
    }
    d->acceptProposedAction();
    // Opened after the drop has finished, so that the source program is not
    // kept waiting by a message box.
    QTimer::singleShot(0, this, [this, path] { m_open(path); });
    return true;
}

} // namespace varnel
