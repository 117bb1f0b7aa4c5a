#pragma once
#include <QObject>
#include <functional>

class QWidget;

namespace varnel {

// Lets a window take local files dropped on it: the first file goes to open.
class FileDrop : public QObject {
    Q_OBJECT
public:
    FileDrop(QWidget* window, std::function<void(const QString& path)> open);
    // Whether now is a time to take drops (the window shown, not busy).
    void setAccepting(std::function<bool()> accepting) { m_accepting = std::move(accepting); }

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    std::function<void(const QString&)> m_open;
    std::function<bool()> m_accepting;
};

} // namespace varnel
