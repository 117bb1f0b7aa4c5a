#include "PosixExitRequests.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace varnel {

namespace {

int g_pipe[2] = {-1, -1};
const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Async-signal-safe: one byte into the pipe, errno left as it was.
void onSignal(int)
{
    const int saved = errno;
    const char b = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &b, 1);
    errno = saved;
}

} // namespace

PosixExitRequests::PosixExitRequests()
{
    if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PosixExitRequests::onReadable);

    struct sigaction sa{};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : kSignals)
        ::sigaction(s, &sa, nullptr);

    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // The session manager asks once before logging out; the program
        // leaves as at its own exit.
        connect(app, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { emit exitRequested(); }, Qt::DirectConnection);
    }
}

PosixExitRequests::~PosixExitRequests()
{
    struct sigaction sa{};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (int s : kSignals)
        ::sigaction(s, &sa, nullptr);
}

void PosixExitRequests::onReadable()
{
    char buf[64];
    bool any = false;
    while (::read(g_pipe[0], buf, sizeof buf) > 0)
        any = true;
    if (any)
        emit exitRequested();
}

} // namespace varnel
