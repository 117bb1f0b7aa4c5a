#include "TestCompositor.h"

#include <QTemporaryDir>
#include <csignal>
#include <deque>
#include <pthread.h>
#include <fcntl.h>
#include <mutex>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <wayland-server.h>

#include "ext-data-control-v1-server-protocol.h"
#include "wlr-data-control-unstable-v1-server-protocol.h"

namespace {
const wl_interface kGtkShell = {"gtk_shell1", 1, 0, nullptr, 0, nullptr};

struct Selection {
    QStringList types;
    QByteArray bytes;
    TestCompositor::Writer writer = TestCompositor::Writer::Whole;
};
} // namespace

struct TestCompositor::Impl {
    TestCompositor* self;
    QTemporaryDir dir;
    QByteArray path;
    wl_display* display = nullptr;
    int wake = -1;
    wl_event_source* wakeSource = nullptr;
    std::thread thread;
    std::atomic<bool> quit{false};
    std::mutex lock;
    std::deque<std::function<void()>> commands;

    struct Device {
        wl_resource* resource;
        bool ext;
    };
    std::vector<Device> devices;
    std::shared_ptr<Selection> selection;
    std::vector<int> stalled;             // write ends kept open
    std::vector<std::thread> writers;

    // --- offers ----------------------------------------------------------
    // Each offer writes the selection it was made for.
    struct OfferData {
        Impl* impl;
        std::shared_ptr<Selection> selection;
    };
    static void offerReceive(wl_client*, wl_resource* r, const char*, int32_t fd)
    {
        auto* data = static_cast<OfferData*>(wl_resource_get_user_data(r));
        Impl* impl = data->impl;
        ++impl->self->receives;
        std::shared_ptr<Selection> s = data->selection;
        if (s->writer == Writer::Stalled) {
            const qsizetype n = std::min<qsizetype>(s->bytes.size(), 100);
            (void)!::write(fd, s->bytes.constData(), size_t(n));
            impl->stalled.push_back(fd);
            return;
        }
        impl->writers.emplace_back([fd, s] {
            // A reader that gives up closes its end: a failed write here,
            // not the end of the test program.
            sigset_t pipe;
            sigemptyset(&pipe);
            sigaddset(&pipe, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
            qsizetype done = 0;
            while (done < s->bytes.size()) {
                const ssize_t n = ::write(fd, s->bytes.constData() + done, size_t(s->bytes.size() - done));
                if (n <= 0)
                    break;
                done += n;
            }
            ::close(fd);
        });
    }
    static void offerDestroy(wl_client*, wl_resource* r)
    {
        static_cast<OfferData*>(wl_resource_get_user_data(r))->impl->self->offersDestroyed++;
        wl_resource_destroy(r);
    }
    static constexpr struct ext_data_control_offer_v1_interface kExtOffer = {offerReceive, offerDestroy};
    static constexpr struct zwlr_data_control_offer_v1_interface kWlrOffer = {offerReceive, offerDestroy};

    void sendSelection(const Device& dev)
    {
        if (!selection) {
            wl_resource_post_event(dev.resource, 1 /* selection */, nullptr);
            return;
        }
        const wl_interface* iface = dev.ext ? &ext_data_control_offer_v1_interface
                                            : &zwlr_data_control_offer_v1_interface;
        wl_resource* offer = wl_resource_create(wl_resource_get_client(dev.resource), iface, 1, 0);
        auto* data = new OfferData{this, selection};
        const auto free = [](wl_resource* r) { delete static_cast<OfferData*>(wl_resource_get_user_data(r)); };
        if (dev.ext)
            wl_resource_set_implementation(offer, &kExtOffer, data, free);
        else
            wl_resource_set_implementation(offer, &kWlrOffer, data, free);
        wl_resource_post_event(dev.resource, 0 /* data_offer */, offer);
        for (const QString& t : selection->types)
            wl_resource_post_event(offer, 0 /* offer */, t.toUtf8().constData());
        wl_resource_post_event(dev.resource, 1 /* selection */, offer);
    }

    // --- devices ---------------------------------------------------------
    static void deviceSetSelection(wl_client*, wl_resource*, wl_resource*) {}
    static void deviceDestroy(wl_client*, wl_resource* r) { wl_resource_destroy(r); }
    static void deviceGone(wl_resource* r)
    {
        auto* impl = static_cast<Impl*>(wl_resource_get_user_data(r));
        std::erase_if(impl->devices, [r](const Device& d) { return d.resource == r; });
    }
    static constexpr struct ext_data_control_device_v1_interface kExtDevice = {deviceSetSelection, deviceDestroy,
                                                                               deviceSetSelection};
    static constexpr struct zwlr_data_control_device_v1_interface kWlrDevice = {deviceSetSelection, deviceDestroy,
                                                                                deviceSetSelection};

    // --- managers --------------------------------------------------------
    static void sourceOffer(wl_client*, wl_resource*, const char*) {}
    static void sourceDestroy(wl_client*, wl_resource* r) { wl_resource_destroy(r); }
    static constexpr struct ext_data_control_source_v1_interface kExtSource = {sourceOffer, sourceDestroy};
    static constexpr struct zwlr_data_control_source_v1_interface kWlrSource = {sourceOffer, sourceDestroy};

    static void createSource(wl_client* c, wl_resource* m, uint32_t id, bool ext)
    {
        wl_resource* r = wl_resource_create(
            c, ext ? &ext_data_control_source_v1_interface : &zwlr_data_control_source_v1_interface, 1, id);
        if (ext)
            wl_resource_set_implementation(r, &kExtSource, nullptr, nullptr);
        else
            wl_resource_set_implementation(r, &kWlrSource, nullptr, nullptr);
        (void)m;
    }
    static void getDevice(wl_client* c, wl_resource* m, uint32_t id, bool ext)
    {
        auto* impl = static_cast<Impl*>(wl_resource_get_user_data(m));
        wl_resource* r = wl_resource_create(
            c, ext ? &ext_data_control_device_v1_interface : &zwlr_data_control_device_v1_interface,
            wl_resource_get_version(m), id);
        if (ext)
            wl_resource_set_implementation(r, &kExtDevice, impl, deviceGone);
        else
            wl_resource_set_implementation(r, &kWlrDevice, impl, deviceGone);
        ++(ext ? impl->self->devicesExt : impl->self->devicesWlroots);
        impl->devices.push_back({r, ext});
        // As compositors do: the device learns the selection at once.
        impl->sendSelection(impl->devices.back());
    }
    static void managerDestroy(wl_client*, wl_resource* r) { wl_resource_destroy(r); }
    static constexpr struct ext_data_control_manager_v1_interface kExtManager = {
        [](wl_client* c, wl_resource* m, uint32_t id) { createSource(c, m, id, true); },
        [](wl_client* c, wl_resource* m, uint32_t id, wl_resource*) { getDevice(c, m, id, true); },
        managerDestroy};
    static constexpr struct zwlr_data_control_manager_v1_interface kWlrManager = {
        [](wl_client* c, wl_resource* m, uint32_t id) { createSource(c, m, id, false); },
        [](wl_client* c, wl_resource* m, uint32_t id, wl_resource*) { getDevice(c, m, id, false); },
        managerDestroy};

    static void bindExt(wl_client* c, void* data, uint32_t version, uint32_t id)
    {
        wl_resource* r = wl_resource_create(c, &ext_data_control_manager_v1_interface, int(version), id);
        wl_resource_set_implementation(r, &kExtManager, data, nullptr);
    }
    static void bindWlr(wl_client* c, void* data, uint32_t version, uint32_t id)
    {
        wl_resource* r = wl_resource_create(c, &zwlr_data_control_manager_v1_interface, int(version), id);
        wl_resource_set_implementation(r, &kWlrManager, data, nullptr);
    }
    static void bindSeat(wl_client* c, void*, uint32_t version, uint32_t id)
    {
        static const struct wl_seat_interface kSeat = {
            [](wl_client*, wl_resource*, uint32_t) {}, [](wl_client*, wl_resource*, uint32_t) {},
            [](wl_client*, wl_resource*, uint32_t) {}, [](wl_client*, wl_resource* r) { wl_resource_destroy(r); }};
        wl_resource* r = wl_resource_create(c, &wl_seat_interface, int(version), id);
        wl_resource_set_implementation(r, &kSeat, nullptr, nullptr);
    }
    static void bindNothing(wl_client* c, void*, uint32_t version, uint32_t id)
    {
        wl_resource_create(c, &kGtkShell, int(version), id);
    }

    void run()
    {
        wl_event_loop* loop = wl_display_get_event_loop(display);
        while (!quit) {
            wl_event_loop_dispatch(loop, 50);
            std::deque<std::function<void()>> todo;
            {
                std::lock_guard g(lock);
                todo.swap(commands);
            }
            for (auto& f : todo)
                f();
            wl_display_flush_clients(display);
        }
    }
    void post(std::function<void()> f)
    {
        {
            std::lock_guard g(lock);
            commands.push_back(std::move(f));
        }
        const uint64_t one = 1;
        (void)!::write(wake, &one, sizeof one);
    }
};

TestCompositor::TestCompositor(Offers offers) : d(std::make_unique<Impl>())
{
    d->self = this;
    d->path = d->dir.filePath(QStringLiteral("wl")).toUtf8();
    d->display = wl_display_create();
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, d->path.constData(), sizeof addr.sun_path - 1);
    if (::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(s, 8) != 0
        || wl_display_add_socket_fd(d->display, s) != 0)
        qFatal("the test compositor could not listen on %s", d->path.constData());
    wl_global_create(d->display, &wl_seat_interface, 1, d.get(), Impl::bindSeat);
    if (offers.ext)
        wl_global_create(d->display, &ext_data_control_manager_v1_interface, 1, d.get(), Impl::bindExt);
    if (offers.wlroots)
        wl_global_create(d->display, &zwlr_data_control_manager_v1_interface, 2, d.get(), Impl::bindWlr);
    if (offers.gnomeShell)
        wl_global_create(d->display, &kGtkShell, 1, d.get(), Impl::bindNothing);
    d->wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    d->wakeSource = wl_event_loop_add_fd(
        wl_display_get_event_loop(d->display), d->wake, WL_EVENT_READABLE,
        [](int fd, uint32_t, void*) {
            uint64_t n;
            (void)!::read(fd, &n, sizeof n);
            return 0;
        },
        nullptr);
    d->thread = std::thread([this] { d->run(); });
}

TestCompositor::~TestCompositor()
{
    d->quit = true;
    d->post([] {});
    d->thread.join();
    for (int fd : d->stalled)
        ::close(fd);
    for (auto& t : d->writers)
        t.join();
    wl_event_source_remove(d->wakeSource);
    wl_display_destroy_clients(d->display);
    wl_display_destroy(d->display);
    ::close(d->wake);
}

QByteArray TestCompositor::socketPath() const
{
    return d->path;
}

void TestCompositor::setSelection(const QStringList& types, const QByteArray& bytes, Writer writer)
{
    auto s = std::make_shared<Selection>(Selection{types, bytes, writer});
    d->post([this, s] {
        d->selection = s;
        for (const auto& dev : d->devices)
            d->sendSelection(dev);
    });
}

void TestCompositor::finish()
{
    d->post([this] {
        for (const auto& dev : d->devices)
            wl_resource_post_event(dev.resource, 2 /* finished */);
    });
}
