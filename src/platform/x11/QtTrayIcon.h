#pragma once
#include "platform/TrayIcon.h"

class QSystemTrayIcon;

namespace varnel {

class QtTrayIcon : public TrayIcon {
    Q_OBJECT
public:
    explicit QtTrayIcon(QObject* parent = nullptr);
    ~QtTrayIcon() override;
    bool isAvailable() const override;
    void add(const QIcon& icon, const QString& tip) override;
    void remove() override;
    bool isAdded() const override;
    void showMessage(const QString& title, const QString& text) override;
    void setToolTip(const QString& tip) override;

private:
    QSystemTrayIcon* m_icon = nullptr;
    QString m_tip;
};

} // namespace varnel
