#include "QtTrayIcon.h"

#include <QCursor>
#include <QSystemTrayIcon>

#include <cstdio>

#include "platform/ShownLanguage.h"

namespace varnel {

namespace {
// VARNEL_TRAY_TRACE=1 echoes what the icon says to standard error, so that
// tests of the whole program can read what a user would see.
void trace(const char* what, const QString& text)
{
    static const bool on = qEnvironmentVariableIntValue("VARNEL_TRAY_TRACE") == 1;
    if (!on)
        return;
    QString oneLine = text;
    oneLine.replace(QLatin1Char('\n'), QLatin1String(" / "));
    std::fprintf(stderr, "tray %s: %s\n", what, oneLine.toUtf8().constData());
    std::fflush(stderr);
}
} // namespace

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
    m_tip = tip;
    m_icon->setToolTip(shownText(tip));
    trace("tooltip", shownText(tip));
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

void QtTrayIcon::showMessage(const QString& title, const QString& text)
{
    if (!m_icon)
        return;
    m_icon->showMessage(shownText(title), shownText(text), QSystemTrayIcon::Warning, 10000);
    trace("message", shownText(title) + QLatin1Char('|') + shownText(text));
}

void QtTrayIcon::setToolTip(const QString& tip)
{
    if (tip == m_tip)
        return;
    m_tip = tip;
    if (m_icon) {
        m_icon->setToolTip(shownText(tip));
        trace("tooltip", shownText(tip));
    }
}

} // namespace varnel
