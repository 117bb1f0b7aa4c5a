#pragma once
#include <QImage>
#include <QObject>

#include <functional>
#include <optional>

class QEventLoop;

namespace varnel {

class Clipboard;

// A paste asked of the clipboard's owner and not answered yet. The answer
// comes aside (the window still answering); a command that comes meanwhile
// waits for it, so that commands keep their order. A newer paste takes the
// older one's place; a load, a capture or the exit gives it up.
class PendingPaste : public QObject {
    Q_OBJECT
public:
    explicit PendingPaste(Clipboard& clipboard, QObject* parent = nullptr);

    std::function<void(bool)> busy;        // on while a paste is on its way
    std::function<void(QImage)> land;      // the picture, pasted
    // False while the answer must not land (another command's dialog is
    // open: what it works on must not change under it); it is then dropped.
    std::function<bool()> mayLand;
    std::function<bool()> ending;          // the program is ending

    void request();
    bool isPending() const { return m_pending; }
    // A command waits for the paste in here.
    bool isWaiting() const { return m_loop != nullptr; }
    // Waits for the paste (the event loop turning), at most mostMs (-1: as
    // long as the reader's own limits allow); the picture lands first. An
    // owner that keeps the user waiting loses its paste. False when the
    // waiting command must not run (the program is ending).
    bool finish(int mostMs = -1);
    void cancel();

private:
    void answered(QImage picture);
    void setBusy(bool on);

    Clipboard& m_clipboard;
    quint64 m_ticket = 0;
    bool m_pending = false;
    QEventLoop* m_loop = nullptr;
    std::optional<QImage> m_answer; // the answer a waiting command receives
};

} // namespace varnel
