#include "AtomicFile.h"

#include "platform/DurableFile.h"

#include "platform/PosixFiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace varnel {

namespace {

using posix::processUmask;
using posix::syncPath;
using posix::writeAll;

QByteArray folderOf(const QByteArray& path)
{
    const int slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray(slash == 0 ? "/" : ".") : path.left(slash);
}

// Forces published files and their folder entries to the disk off the
// capture road, in the order they were published.
class BackgroundSync {
public:
    static BackgroundSync& instance()
    {
        static BackgroundSync s;
        return s;
    }
    void add(const QByteArray& path)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
        m_queue.push_back(path);
        m_wake.notify_all();
    }
    void setFailureHandler(AtomicFile::SyncFailed failed)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_failed = std::move(failed);
    }
    int wait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_idle.wait(lock, [this] { return m_queue.empty() && !m_working; });
        return m_done;
    }
    ~BackgroundSync()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
            m_wake.notify_all();
        }
        if (m_thread.joinable())
            m_thread.join(); // the queue is emptied first: nothing is left unsynced
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_queue.empty()) {
                if (m_stop)
                    return;
                continue;
            }
            const QByteArray path = m_queue.front();
            m_queue.pop_front();
            m_working = true;
            lock.unlock();
            int err = syncPath(path, false) ? 0 : errno;
            // Some file systems cannot sync a folder at all; that is no loss.
            if (!err && !syncPath(folderOf(path), true) && errno != EINVAL && errno != ENOTSUP)
                err = errno;
            lock.lock();
            // Under the lock: once the handler is replaced, the old one is
            // never called again.
            if (err && m_failed)
                m_failed(QFile::decodeName(path), err);
            m_working = false;
            ++m_done;
            if (m_queue.empty())
                m_idle.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake, m_idle;
    std::deque<QByteArray> m_queue;
    AtomicFile::SyncFailed m_failed;
    std::thread m_thread;
    bool m_working = false;
    bool m_stop = false;
    int m_done = 0;
};

// A new hidden file beside path holding the bytes; its name, or empty with
// *error set.
QByteArray writeTemp(const QString& path, const AtomicFile::Producer& produce, bool syncNow, int* error)
{
    QByteArray name = DurableFile::temporaryPattern(path);
    const int fd = ::mkostemps(name.data(), DurableFile::kTemporarySuffix, O_CLOEXEC);
    if (fd < 0) {
        *error = errno;
        return {};
    }
    ::fchmod(fd, 0666 & ~processUmask()); // as an ordinary new file would get
    int err = 0;
    bool ok = produce([fd, &err](const char* data, qint64 size) {
        if (writeAll(fd, data, size))
            return true;
        err = errno;
        return false;
    });
    if (ok && syncNow && !posix::sync(fd)) {
        ok = false;
        err = errno;
    }
    // close() reports late write errors of some file systems (NFS, FUSE).
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(name.constData());
        *error = err;
        return {};
    }
    return name;
}

AtomicFile::Producer bytesOf(const QByteArray& bytes)
{
    return [bytes](const AtomicFile::Sink& sink) { return sink(bytes.constData(), bytes.size()); };
}

void published(const QByteArray& target, AtomicFile::Sync sync)
{
    if (sync == AtomicFile::Sync::AfterPublish)
        BackgroundSync::instance().add(target);
    else
        syncPath(folderOf(target), true); // the new name itself
}

} // namespace

bool AtomicFile::write(const QString& path, const QByteArray& bytes)
{
    return write(path, bytesOf(bytes));
}

bool AtomicFile::writeNew(const QString& path, const QByteArray& bytes, bool* nameTaken)
{
    return writeNew(path, bytesOf(bytes), nameTaken);
}

void AtomicFile::onBackgroundSyncFailure(SyncFailed failed)
{
    BackgroundSync::instance().setFailureHandler(std::move(failed));
}

int AtomicFile::waitForBackgroundSync()
{
    return BackgroundSync::instance().wait();
}

bool AtomicFile::write(const QString& path, const Producer& produce, int* error)
{
    int err = 0;
    if (!error)
        error = &err;
    *error = 0;
    // Replacing a file: the old one must stay whole until the new one is on disk.
    const QByteArray temp = writeTemp(path, produce, true, error);
    if (temp.isEmpty())
        return false;
    const QByteArray target = QFile::encodeName(path);
    if (::rename(temp.constData(), target.constData()) != 0) {
        *error = errno;
        ::unlink(temp.constData());
        return false;
    }
    published(target, Sync::BeforePublish);
    return true;
}

bool AtomicFile::writeNew(const QString& path, const Producer& produce, bool* nameTaken, int* error,
                          Sync sync)
{
    int err = 0;
    if (!error)
        error = &err;
    *error = 0;
    if (nameTaken)
        *nameTaken = false;
    const QByteArray target = QFile::encodeName(path);
    struct stat st;
    if (::lstat(target.constData(), &st) == 0) {
        if (nameTaken)
            *nameTaken = true;
        *error = EEXIST;
        return false;
    }
    const QByteArray temp = writeTemp(path, produce, sync == Sync::BeforePublish, error);
    if (temp.isEmpty())
        return false;
    // link() fails on an existing name, so the claim and the publication are one step.
    if (::link(temp.constData(), target.constData()) == 0) {
        ::unlink(temp.constData());
        published(target, sync);
        return true;
    }
    const int linkErr = errno;
    if (linkErr == EEXIST) {
        ::unlink(temp.constData());
        if (nameTaken)
            *nameTaken = true;
        *error = EEXIST;
        return false;
    }
    if (linkErr != EPERM && linkErr != EOPNOTSUPP && linkErr != EXDEV && linkErr != ENOSYS) {
        // A real failure (a full disk for the folder entry, a folder gone).
        ::unlink(temp.constData());
        *error = linkErr;
        return false;
    }
    // File systems without hard links: claim the name exclusively, then move
    // the finished file over our own empty claim.
    const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        const int e = errno;
        ::unlink(temp.constData());
        if (nameTaken)
            *nameTaken = e == EEXIST;
        *error = e;
        return false;
    }
    ::close(fd);
    if (::rename(temp.constData(), target.constData()) != 0) {
        *error = errno;
        ::unlink(temp.constData());
        ::unlink(target.constData());
        return false;
    }
    published(target, sync);
    return true;
}

} // namespace varnel
