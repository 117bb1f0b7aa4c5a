#include "WaylandPictureFeed.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <cstring>
#include <sys/prctl.h>

#include <wayland-client.h>

namespace varnel {

namespace {
const QString kPng = QStringLiteral("image/png");
constexpr char kTrailerMark[8] = {'\0', 'V', 'R', 'N', 'L', 'E', 'N', 'D'};

void onGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t)
{
    if (std::strcmp(interface, "zwlr_data_control_manager_v1") == 0)
        *static_cast<bool*>(data) = true;
}
void onGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

} // namespace

QByteArray WaylandPictureFeed::completePicture(const QByteArray& data)
{
    if (data.size() < 16 || std::memcmp(data.constData() + data.size() - 16, kTrailerMark, 8) != 0)
        return {};
    quint64 n = 0;
    for (int i = 0; i < 8; ++i)
        n |= quint64(quint8(data[data.size() - 8 + i])) << (8 * i);
    if (n != quint64(data.size() - 16))
        return {};
    return data.left(data.size() - 16);
}

namespace {

// A watcher outliving a crashed program would run for the rest of the session.
QProcess* newChild(QObject* parent)
{
    auto* p = new QProcess(parent);
    p->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    return p;
}

void endProcess(QProcess*& p)
{
    if (!p)
        return;
    p->disconnect();
    if (p->state() != QProcess::NotRunning) {
        p->terminate();
        if (!p->waitForFinished(500)) {
            p->kill();
            p->waitForFinished(500);
        }
    }
    // Often called from inside one of its own signals.
    p->deleteLater();
    p = nullptr;
}
} // namespace

DataControl probeDataControl()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return DataControl::NoCompositor;
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return DataControl::NoCompositor;
    bool found = false;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &found);
    const int r = wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    if (r < 0)
        return DataControl::NoCompositor;
    return found ? DataControl::Available : DataControl::Missing;
}

QString WaylandPictureFeed::defaultRelay()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("varnel-clipfeed"));
}

WaylandPictureFeed::WaylandPictureFeed(Config config, QObject* parent)
    : PictureFeed(parent), m_config(std::move(config))
{
    if (m_config.relay.isEmpty())
        m_config.relay = defaultRelay();
}

WaylandPictureFeed::~WaylandPictureFeed()
{
    stop();
}

void WaylandPictureFeed::start()
{
    if (m_running)
        return;
    const DataControl dc = m_config.probe ? m_config.probe() : DataControl::Available;
    if (dc != DataControl::Available) {
        fail(WatchGap::NoDataControl);
        return;
    }
    // wl-paste would run a missing relay for every copy and lose them all.
    if (!QFileInfo(m_config.relay).isExecutable()) {
        fail(WatchGap::ToolMissing);
        return;
    }
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/varnel-feed.XXXXXX"));
    m_server = new QLocalServer(this);
    // The folder is the owner's only; the socket in it is too.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_dir->isValid() || !m_server->listen(m_dir->filePath(QStringLiteral("s")))) {
        stop();
        fail(WatchGap::Failed);
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, &WaylandPictureFeed::onConnection);
    m_running = true;
    ++m_generation;
    m_restartsLeft = m_config.restarts;
    startBaseline();
}

void WaylandPictureFeed::stop()
{
    m_running = false;
    ++m_generation;
    endProcess(m_baseline);
    endProcess(m_watch);
    // Pictures still arriving belong to the standby that ended.
    for (QLocalSocket* s : m_incoming.keys())
        s->disconnect(this);
    m_incoming.clear();
    if (m_server) {
        m_server->disconnect(this);
        m_server->close();
        m_server->deleteLater(); // takes its sockets along
        m_server = nullptr;
    }
    m_dir.reset();
}

void WaylandPictureFeed::fail(WatchGap reason)
{
    stop();
    emit unavailable(reason);
}

void WaylandPictureFeed::startBaseline()
{
    m_baseline = newChild(this);
    const int gen = m_generation;
    connect(m_baseline, &QProcess::finished, this, [this, gen](int code, QProcess::ExitStatus st) {
        if (gen != m_generation || !m_baseline)
            return;
        // Nothing there, or no picture: an empty baseline.
        QByteArray bytes;
        if (st == QProcess::NormalExit && code == 0)
            bytes = m_baseline->readAllStandardOutput();
        m_baseline->deleteLater();
        m_baseline = nullptr;
        emit present(bytes, kPng);
        if (m_running && gen == m_generation)
            startWatch();
    });
    connect(m_baseline, &QProcess::errorOccurred, this, [this, gen](QProcess::ProcessError e) {
        if (gen != m_generation || e != QProcess::FailedToStart)
            return;
        fail(WatchGap::ToolMissing);
    });
    m_baseline->start(m_config.wlPaste, {QStringLiteral("--no-newline"), QStringLiteral("--type"), kPng});
}

void WaylandPictureFeed::startWatch()
{
    m_watch = newChild(this);
    m_watch->setStandardOutputFile(QProcess::nullDevice());
    const int gen = m_generation;
    connect(m_watch, &QProcess::finished, this, [this, gen](int, QProcess::ExitStatus) {
        if (gen == m_generation)
            onWatchEnded();
    });
    connect(m_watch, &QProcess::errorOccurred, this, [this, gen](QProcess::ProcessError e) {
        if (gen == m_generation && e == QProcess::FailedToStart)
            fail(WatchGap::ToolMissing);
    });
    m_watch->start(m_config.wlPaste, {QStringLiteral("--type"), kPng, QStringLiteral("--watch"),
                                      m_config.relay, m_server->fullServerName()});
}

void WaylandPictureFeed::onWatchEnded()
{
    const QString err = QString::fromLocal8Bit(m_watch->readAllStandardError());
    m_watch->deleteLater();
    m_watch = nullptr;
    if (!m_running)
        return;
    if (err.contains(QLatin1String("data-control"), Qt::CaseInsensitive)) {
        fail(WatchGap::NoDataControl);
        return;
    }
    if (m_restartsLeft-- <= 0) {
        fail(WatchGap::Failed);
        return;
    }
    // Copies made while it was down are not lost for good: a new watcher
    // reports what is there now first.
    const int gen = m_generation;
    QTimer::singleShot(m_config.restartDelayMs, this, [this, gen] {
        if (gen == m_generation && m_running && !m_watch)
            startWatch();
    });
}

void WaylandPictureFeed::onConnection()
{
    while (QLocalSocket* s = m_server->nextPendingConnection()) {
        m_incoming.insert(s, {});
        connect(s, &QLocalSocket::readyRead, this, [this, s] {
            QByteArray& buf = m_incoming[s];
            buf += s->readAll();
            if (buf.size() > kMaxBytes + 16) {
                m_incoming.remove(s);
                s->disconnect(this);
                s->abort();
                s->deleteLater();
            }
        });
        connect(s, &QLocalSocket::disconnected, this, [this, s] {
            if (!m_incoming.contains(s))
                return;
            QByteArray buf = m_incoming.take(s);
            buf += s->readAll();
            s->deleteLater();
            const QByteArray picture = completePicture(buf);
            if (!picture.isEmpty() && m_running)
                emit offered(picture, kPng);
        });
    }
}

} // namespace varnel
