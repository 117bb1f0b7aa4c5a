#include "PosixFiles.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace varnel::posix {

bool writeAll(int fd, const char* p, qint64 left)
{
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(qMin<qint64>(left, 1 << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) { // no progress and no error: treat as a full disk
            errno = ENOSPC;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

mode_t processUmask()
{
    static const mode_t mask = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("Umask:")) {
                    bool ok = false;
                    const uint v = line.mid(6).trimmed().toUInt(&ok, 8);
                    if (ok)
                        return mode_t(v);
                }
            }
        }
        return mode_t(022);
    }();
    return mask;
}

namespace {
std::atomic<int> g_syncCalls{0};
std::atomic<int> g_syncFault{0};
} // namespace

int syncCalls()
{
    return g_syncCalls;
}

void failNextSync(int errorNumber)
{
    g_syncFault = errorNumber;
}

bool sync(int fd)
{
    ++g_syncCalls;
    if (const int planted = g_syncFault.exchange(0)) {
        errno = planted;
        return false;
    }
    return ::fsync(fd) == 0;
}

bool syncPath(const QByteArray& path, bool folder)
{
    const int fd = ::open(path.constData(), (folder ? O_RDONLY | O_DIRECTORY : O_RDONLY) | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = sync(fd);
    const int err = errno;
    ::close(fd);
    errno = err;
    return ok;
}

} // namespace varnel::posix
