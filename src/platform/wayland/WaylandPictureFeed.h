#pragma once
#include <QByteArray>
#include <QStringList>
#include <memory>

#include "platform/PictureFeed.h"
#include "platform/x11/XcbSelectionReader.h"

namespace varnel {

// Which clipboard-watching protocol the compositor offers.
enum class DataControlKind { None, Ext, Wlroots };

struct WaylandFeedConfig {
    QByteArray display;           // empty: WAYLAND_DISPLAY
    bool heardThroughX11 = false; // the main clipboard is XWayland's
    // The same limits as the X11 clipboard reader's.
    qint64 maxBytes = XcbSelectionReader::kMaxBytes;
    int quietMs = 5000;
    int wholeMs = XcbSelectionReader::kWholeReadMs;
};

// Hears every picture copied on a Wayland desktop without a window of its
// own, through the compositor's data-control protocol (the standard ext one
// where offered, else the wlroots one), on a thread of its own with its own
// connection: the window only receives finished pictures. The first
// selection it is told of is the one there when listening began (present());
// every later one with a picture type is read through a non-blocking pipe
// and sent as offered(). A newer selection ends the read of an older one.
class WaylandPictureFeed : public PictureFeed {
    Q_OBJECT
public:
    using Config = WaylandFeedConfig;
    explicit WaylandPictureFeed(Config config = Config(), QObject* parent = nullptr);
    ~WaylandPictureFeed() override;

    void start() override;
    void stop() override;
    bool isRunning() const override { return m_running; }

    // The protocol the running watcher bound (None until it has).
    DataControlKind kind() const { return m_kind; }
    // Picture types asked for, the most wanted first.
    static const QStringList& pictureTypes();
    // GNOME's compositor offers no data-control, but passes every Wayland
    // copy on to XWayland at once.
    static bool bridgesToX11(const QStringList& globals, const QByteArray& currentDesktop);

private:
    struct Worker;
    void finish(int generation);

    Config m_config;
    bool m_running = false;
    int m_generation = 0;
    DataControlKind m_kind = DataControlKind::None;
    std::unique_ptr<Worker> m_worker;
};

} // namespace varnel
