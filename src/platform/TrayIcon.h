#pragma once
#include <QIcon>
#include <QObject>
#include <QPoint>

namespace varnel {

// The notification-area icon that stands for the program in capture standby.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TrayIcon() override = default;

    // Whether the desktop has a notification area at all.
    virtual bool isAvailable() const = 0;
    virtual void add(const QIcon& icon, const QString& tip) = 0;
    virtual void remove() = 0;
    virtual bool isAdded() const = 0;
    // A passing notification from the icon (a balloon or the desktop's
    // notification); nothing when the icon is not added.
    virtual void showMessage(const QString& title, const QString& text) = 0;
    virtual void setToolTip(const QString& tip) = 0;

signals:
    void leftClicked();
    void rightClicked(const QPoint& globalPos);
};

} // namespace varnel
