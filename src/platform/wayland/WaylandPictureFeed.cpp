#include "WaylandPictureFeed.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QPointer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <wayland-client.h>

#include "ext-data-control-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

namespace varnel {

namespace {

// Requests and events of the two protocols: the same numbers, other names.
enum ManagerRequest : uint32_t { kGetDataDevice = 1, kManagerDestroy = 2 };
enum DeviceRequest : uint32_t { kDeviceDestroy = 1 };
enum OfferRequest : uint32_t { kReceive = 0, kOfferDestroy = 1 };

struct Protocol {
    const wl_interface* manager;
    const wl_interface* device;
    const wl_interface* offer;
    uint32_t maxVersion;
};
const Protocol kExt{&ext_data_control_manager_v1_interface, &ext_data_control_device_v1_interface,
                    &ext_data_control_offer_v1_interface, 1};
const Protocol kWlr{&zwlr_data_control_manager_v1_interface, &zwlr_data_control_device_v1_interface,
                    &zwlr_data_control_offer_v1_interface, 2};

// Listeners spelled with plain proxies: both protocols' generated ones have
// this layout.
struct DeviceListener {
    void (*dataOffer)(void*, wl_proxy*, wl_proxy*);
    void (*selection)(void*, wl_proxy*, wl_proxy*);
    void (*finished)(void*, wl_proxy*);
    void (*primarySelection)(void*, wl_proxy*, wl_proxy*);
};
struct OfferListener {
    void (*offer)(void*, wl_proxy*, const char*);
};

qint64 nowMs()
{
    return QDeadlineTimer::current().deadline();
}

} // namespace

const QStringList& WaylandPictureFeed::pictureTypes()
{
    static const QStringList types{QStringLiteral("image/png"),  QStringLiteral("image/bmp"),
                                   QStringLiteral("image/x-bmp"), QStringLiteral("image/jpeg"),
                                   QStringLiteral("image/tiff"), QStringLiteral("image/gif")};
    return types;
}

bool WaylandPictureFeed::bridgesToX11(const QStringList& globals, const QByteArray& currentDesktop)
{
    // gtk_shell1 is the GNOME compositor's own; the desktop name covers a
    // future one that drops it.
    if (globals.contains(QLatin1String("gtk_shell1")))
        return true;
    for (const QByteArray& d : currentDesktop.split(':'))
        if (d.trimmed().compare("GNOME", Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Everything Wayland lives on this thread: its own connection, its own loop.
struct WaylandPictureFeed::Worker {
    struct Offer {
        wl_proxy* proxy = nullptr;
        QStringList types;
    };
    struct Transfer {
        int fd = -1;
        QString type;
        QByteArray data;
        bool baseline = false;
        qint64 startedAt = 0;
        qint64 lastByteAt = 0;
    };

    WaylandPictureFeed* feed;
    QPointer<WaylandPictureFeed> target; // made on the feed's thread
    int generation;
    Config config;
    int stopPipe[2] = {-1, -1};
    std::thread thread;

    // Thread-side state.
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_proxy* manager = nullptr;
    wl_proxy* device = nullptr;
    const Protocol* protocol = nullptr;
    uint32_t extName = 0, extVersion = 0, wlrName = 0, wlrVersion = 0, seatName = 0;
    QStringList globals;
    std::vector<Offer> offers; // announced, their selection not yet known
    Offer selection;
    Transfer transfer;
    bool baselineDone = false;
    bool finished = false;
    bool lost = false;
    int syncsDone = 0;

    Worker(WaylandPictureFeed* f, int gen, Config c) : feed(f), target(f), generation(gen), config(std::move(c)) {}

    template <typename F>
    void post(F&& f)
    {
        const int gen = generation;
        QMetaObject::invokeMethod(
            feed,
            [target = target, gen, f = std::forward<F>(f)]() mutable {
                if (target && target->m_running && target->m_generation == gen)
                    f(target.data());
            },
            Qt::QueuedConnection);
    }
    void present(QByteArray bytes, QString type)
    {
        post([bytes = std::move(bytes), type = std::move(type)](WaylandPictureFeed* f) {
            emit f->present(bytes, type);
        });
    }
    void gap(WatchGap reason)
    {
        post([reason](WaylandPictureFeed* f) {
            f->finish(f->m_generation);
            emit f->unavailable(reason);
        });
    }

    bool start()
    {
        if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return false;
        thread = std::thread([this] { run(); });
        return true;
    }
    void stopAndJoin()
    {
        if (stopPipe[1] >= 0) {
            const char c = 0;
            (void)!::write(stopPipe[1], &c, 1);
        }
        if (thread.joinable())
            thread.join();
        for (int& fd : stopPipe)
            if (fd >= 0) {
                ::close(fd);
                fd = -1;
            }
    }

    // --- protocol events ---------------------------------------------------
    static void onGlobal(void* data, wl_registry*, uint32_t name, const char* interface, uint32_t version)
    {
        auto* w = static_cast<Worker*>(data);
        w->globals << QString::fromLatin1(interface);
        if (std::strcmp(interface, "ext_data_control_manager_v1") == 0) {
            w->extName = name;
            w->extVersion = version;
        } else if (std::strcmp(interface, "zwlr_data_control_manager_v1") == 0) {
            w->wlrName = name;
            w->wlrVersion = version;
        } else if (std::strcmp(interface, "wl_seat") == 0 && w->seatName == 0) {
            w->seatName = name;
        }
    }
    static void onGlobalRemove(void*, wl_registry*, uint32_t) {}
    static constexpr wl_registry_listener kRegistry = {onGlobal, onGlobalRemove};

    static void onSyncDone(void* data, wl_callback* cb, uint32_t)
    {
        ++static_cast<Worker*>(data)->syncsDone;
        wl_callback_destroy(cb);
    }
    static constexpr wl_callback_listener kSync = {onSyncDone};

    static void onOfferType(void* data, wl_proxy* offer, const char* type)
    {
        auto* w = static_cast<Worker*>(data);
        for (Offer& o : w->offers)
            if (o.proxy == offer)
                o.types << QString::fromUtf8(type);
    }
    static constexpr OfferListener kOffer = {onOfferType};

    static void onDataOffer(void* data, wl_proxy*, wl_proxy* offer)
    {
        auto* w = static_cast<Worker*>(data);
        wl_proxy_add_listener(offer, reinterpret_cast<void (**)(void)>(const_cast<OfferListener*>(&kOffer)), w);
        w->offers.push_back({offer, {}});
    }
    static void onSelection(void* data, wl_proxy*, wl_proxy* offer)
    {
        static_cast<Worker*>(data)->takeSelection(offer);
    }
    static void onFinished(void* data, wl_proxy*)
    {
        static_cast<Worker*>(data)->finished = true;
    }
    static void onPrimarySelection(void* data, wl_proxy*, wl_proxy* offer)
    {
        // The middle-click selection is not a copy.
        static_cast<Worker*>(data)->forget(offer);
    }
    static constexpr DeviceListener kDevice = {onDataOffer, onSelection, onFinished, onPrimarySelection};

    static void destroyOffer(wl_proxy* p)
    {
        wl_proxy_marshal_flags(p, kOfferDestroy, nullptr, wl_proxy_get_version(p), WL_MARSHAL_FLAG_DESTROY);
    }
    // Takes the offer out of the announced ones and destroys it.
    void forget(wl_proxy* offer)
    {
        if (!offer)
            return;
        for (auto it = offers.begin(); it != offers.end(); ++it)
            if (it->proxy == offer) {
                offers.erase(it);
                break;
            }
        destroyOffer(offer);
    }

    void takeSelection(wl_proxy* offer)
    {
        // The newest copy wins: an older one's read and offer end here.
        endTransfer(false);
        if (selection.proxy)
            destroyOffer(selection.proxy);
        selection = {};
        if (offer)
            for (auto it = offers.begin(); it != offers.end(); ++it)
                if (it->proxy == offer) {
                    selection = *it;
                    offers.erase(it);
                    break;
                }
        const bool baseline = !baselineDone;
        baselineDone = true;
        QString type;
        for (const QString& t : WaylandPictureFeed::pictureTypes())
            if (selection.types.contains(t)) {
                type = t;
                break;
            }
        if (type.isEmpty()) {
            if (baseline)
                present({}, {});
            return;
        }
        // Only our end waits for nothing: the owner writes as it pleases.
        int fds[2];
        const bool piped = ::pipe2(fds, O_CLOEXEC) == 0;
        if (!piped || ::fcntl(fds[0], F_SETFL, O_NONBLOCK) != 0) {
            if (piped) {
                ::close(fds[0]);
                ::close(fds[1]);
            }
            if (baseline)
                present({}, {});
            return;
        }
        // A screenshot is megabytes: a roomier pipe wakes both sides less.
        (void)::fcntl(fds[0], F_SETPIPE_SZ, 1 << 20);
        const QByteArray t = type.toUtf8();
        wl_proxy_marshal_flags(selection.proxy, kReceive, nullptr, wl_proxy_get_version(selection.proxy), 0,
                               t.constData(), fds[1]);
        ::close(fds[1]);
        transfer = {fds[0], type, {}, baseline, nowMs(), nowMs()};
    }

    // Ends the running read: delivered when complete, else dropped. A
    // dropped first read still tells that what was there is unknown.
    void endTransfer(bool complete)
    {
        if (transfer.fd < 0)
            return;
        ::close(transfer.fd);
        Transfer t = std::move(transfer);
        transfer = {};
        if (!complete)
            t.data.clear();
        if (t.baseline)
            present(std::move(t.data), t.type);
        else if (!t.data.isEmpty())
            post([bytes = std::move(t.data), type = t.type](WaylandPictureFeed* f) {
                emit f->offered(bytes, type);
            });
    }

    void readTransfer()
    {
        char buf[1 << 16];
        // A bounded helping per turn, so that a stop is never kept waiting
        // behind a fast writer.
        for (int helpings = 0; helpings < 64; ++helpings) {
            const ssize_t n = ::read(transfer.fd, buf, sizeof buf);
            if (n > 0) {
                transfer.lastByteAt = nowMs();
                if (transfer.data.size() + n > config.maxBytes) {
                    endTransfer(false);
                    return;
                }
                transfer.data.append(buf, n);
                continue;
            }
            if (n == 0) {
                endTransfer(true);
                return;
            }
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN)
                endTransfer(false);
            return;
        }
    }

    // --- the loop ----------------------------------------------------------
    // One turn: waits for the compositor, the read or the stop, at most
    // until the read's next limit. False when the watcher must end.
    bool turn()
    {
        while (wl_display_prepare_read(display) != 0)
            if (wl_display_dispatch_pending(display) < 0) {
                lost = true;
                return false;
            }
        if (wl_display_flush(display) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(display);
            lost = true;
            return false;
        }
        pollfd fds[3] = {{wl_display_get_fd(display), POLLIN, 0}, {stopPipe[0], POLLIN, 0}, {transfer.fd, POLLIN, 0}};
        int timeout = -1;
        if (transfer.fd >= 0) {
            const qint64 now = nowMs();
            const qint64 limit = std::min(transfer.lastByteAt + config.quietMs, transfer.startedAt + config.wholeMs);
            timeout = int(std::clamp<qint64>(limit - now, 0, 1000));
        }
        const int r = ::poll(fds, transfer.fd >= 0 ? 3 : 2, timeout);
        if (r > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
            if (wl_display_read_events(display) < 0) {
                lost = true;
                return false;
            }
        } else {
            wl_display_cancel_read(display);
        }
        if (fds[1].revents)
            return false;
        const int fd = transfer.fd;
        if (wl_display_dispatch_pending(display) < 0) {
            lost = true;
            return false;
        }
        // A new selection may have replaced the read meanwhile.
        if (fd >= 0 && fd == transfer.fd && r > 0 && fds[2].revents)
            readTransfer();
        if (transfer.fd >= 0) {
            const qint64 now = nowMs();
            if (now - transfer.lastByteAt >= config.quietMs || now - transfer.startedAt >= config.wholeMs)
                endTransfer(false);
        }
        return !finished;
    }

    bool roundtrip()
    {
        const int want = syncsDone + 1;
        wl_callback* cb = wl_display_sync(display);
        wl_callback_add_listener(cb, &kSync, this);
        while (syncsDone < want)
            if (!turn())
                return false;
        return true;
    }

    void run()
    {
        // Named so that a person (or a test) can see the watch running.
        pthread_setname_np(pthread_self(), "wl-clip-watch");
        display = wl_display_connect(config.display.isEmpty() ? nullptr : config.display.constData());
        if (!display) {
            gap(WatchGap::NoDataControl);
            return;
        }
        registry = wl_display_get_registry(display);
        wl_registry_add_listener(registry, &kRegistry, this);
        bool stopped = !roundtrip();
        if (!stopped)
            stopped = !bind();
        while (!stopped && turn()) {
        }
        // The compositor ended the device, or went away: said once.
        if (finished || (lost && !stoppedByUs()))
            gap(WatchGap::Failed);
        teardown();
    }

    bool stoppedByUs()
    {
        pollfd p{stopPipe[0], POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }

    // Binds the preferred protocol and the seat's device; reads what is
    // there now. False when there is nothing to watch with.
    bool bind()
    {
        uint32_t name = 0, version = 0;
        if (extName) {
            protocol = &kExt;
            name = extName;
            version = extVersion;
        } else if (wlrName) {
            protocol = &kWlr;
            name = wlrName;
            version = wlrVersion;
        }
        if (!protocol || !seatName) {
            protocol = nullptr;
            if (config.heardThroughX11 && bridgesToX11(globals, qgetenv("XDG_CURRENT_DESKTOP")))
                post([](WaylandPictureFeed* f) { f->finish(f->m_generation); });
            else
                gap(WatchGap::NoDataControl);
            return false;
        }
        const DataControlKind kind = protocol == &kExt ? DataControlKind::Ext : DataControlKind::Wlroots;
        post([kind](WaylandPictureFeed* f) { f->m_kind = kind; });
        auto* seat = static_cast<wl_proxy*>(wl_registry_bind(registry, seatName, &wl_seat_interface, 1));
        manager = static_cast<wl_proxy*>(
            wl_registry_bind(registry, name, protocol->manager, std::min(version, protocol->maxVersion)));
        device = wl_proxy_marshal_flags(manager, kGetDataDevice, protocol->device, wl_proxy_get_version(manager),
                                        0, nullptr, seat);
        wl_proxy_add_listener(device, reinterpret_cast<void (**)(void)>(const_cast<DeviceListener*>(&kDevice)),
                              this);
        wl_proxy_destroy(seat);
        // Compositors tell the selection when the device is made; one that
        // has none may say nothing.
        if (!roundtrip())
            return false;
        if (!baselineDone) {
            baselineDone = true;
            present({}, {});
        }
        return true;
    }

    void teardown()
    {
        endTransfer(false);
        for (Offer& o : offers)
            destroyOffer(o.proxy);
        offers.clear();
        if (selection.proxy)
            destroyOffer(selection.proxy);
        selection = {};
        if (device)
            wl_proxy_marshal_flags(device, kDeviceDestroy, nullptr, wl_proxy_get_version(device),
                                   WL_MARSHAL_FLAG_DESTROY);
        if (manager)
            wl_proxy_marshal_flags(manager, kManagerDestroy, nullptr, wl_proxy_get_version(manager),
                                   WL_MARSHAL_FLAG_DESTROY);
        if (registry)
            wl_registry_destroy(registry);
        wl_display_flush(display);
        wl_display_disconnect(display);
        display = nullptr;
    }
};

WaylandPictureFeed::WaylandPictureFeed(Config config, QObject* parent)
    : PictureFeed(parent), m_config(std::move(config))
{
}

WaylandPictureFeed::~WaylandPictureFeed()
{
    stop();
}

void WaylandPictureFeed::start()
{
    if (m_running)
        return;
    m_running = true;
    ++m_generation;
    m_kind = DataControlKind::None;
    m_worker = std::make_unique<Worker>(this, m_generation, m_config);
    if (!m_worker->start()) {
        m_worker.reset();
        m_running = false;
        emit unavailable(WatchGap::Failed);
    }
}

void WaylandPictureFeed::stop()
{
    m_running = false;
    ++m_generation;
    if (m_worker) {
        // The thread leaves its loop at once: every wait in it also waits
        // for the stop.
        m_worker->stopAndJoin();
        m_worker.reset();
    }
}

void WaylandPictureFeed::finish(int generation)
{
    // The watcher ended by itself; its thread is done or about to be.
    if (generation == m_generation && m_running) {
        m_running = false;
        if (m_worker) {
            m_worker->stopAndJoin();
            m_worker.reset();
        }
    }
}

} // namespace varnel
