#pragma once
#include <QHash>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "platform/PictureFeed.h"

class QLocalServer;
class QLocalSocket;
class QProcess;
class QTemporaryDir;

namespace varnel {

// What the compositor of this session offers for watching the clipboard.
enum class DataControl { NoCompositor, Missing, Available };

// Asks the compositor named by WAYLAND_DISPLAY for its globals (one round
// trip, no window).
DataControl probeDataControl();

struct WaylandFeedConfig {
    QString wlPaste = QStringLiteral("wl-paste");
    QString relay; // the relay program; empty: beside this program
    std::function<DataControl()> probe = probeDataControl;
    int restarts = 3;         // watcher deaths tolerated per standby
    int restartDelayMs = 500;
};

// Hears every picture copied on a Wayland desktop without a window of its
// own, through the compositor's data-control protocol: a separate
// `wl-paste --type image/png --watch RELAY SOCKET` runs while watching, and
// for every copy the relay streams the picture into a private local socket.
// Before the watch starts, one plain `wl-paste --type image/png` reads what
// is already there (sent as present()).
class WaylandPictureFeed : public PictureFeed {
    Q_OBJECT
public:
    using Config = WaylandFeedConfig;
    explicit WaylandPictureFeed(Config config = Config(), QObject* parent = nullptr);
    ~WaylandPictureFeed() override;

    void start() override;
    void stop() override;
    bool isRunning() const override { return m_running; }

    // Largest picture accepted through the socket.
    static constexpr qint64 kMaxBytes = qint64(512) << 20;
    // The relay program installed beside the executable.
    static QString defaultRelay();
    // What the relay sent, without its trailer; empty when the trailer is
    // missing or names another length (the relay was cut short).
    static QByteArray completePicture(const QByteArray& data);

private:
    void startBaseline();
    void startWatch();
    void onWatchEnded();
    void onConnection();
    void fail(WatchGap reason);

    Config m_config;
    bool m_running = false;
    int m_generation = 0; // stale process callbacks of an earlier start are ignored
    int m_restartsLeft = 0;
    std::unique_ptr<QTemporaryDir> m_dir;
    QLocalServer* m_server = nullptr;
    QProcess* m_baseline = nullptr;
    QProcess* m_watch = nullptr;
    QHash<QLocalSocket*, QByteArray> m_incoming;
};

} // namespace varnel
