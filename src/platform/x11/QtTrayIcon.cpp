#include "QtTrayIcon.h"

#include <QCursor>
#include <QSystemTrayIcon>

namespace varnel {

QtTrayIcon::QtTrayIcon(QObject* parent) : TrayIcon(parent) {}

QtTrayIcon::~QtTrayIcon()
{
    remove();
}

bool QtTrayIcon::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::add(const QIcon& icon, const QString& tip)
{
    if (m_icon)
        return;
    m_icon = new QSystemTrayIcon(icon, this);
    m_icon->setToolTip(tip);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick)
            emit leftClicked();
        else if (r == QSystemTrayIcon::Context)
            emit rightClicked(QCursor::pos());
    });
    m_icon->show();
}

void QtTrayIcon::remove()
{
    if (!m_icon)
        return;
    m_icon->hide();
    delete m_icon;
    m_icon = nullptr;
}

bool QtTrayIcon::isAdded() const
{
    return m_icon != nullptr;
}

} // namespace varnel
