#include "AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnel {

namespace {

bool writeAll(int fd, const char* p, qint64 left)
{
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(qMin<qint64>(left, 1 << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// The umask, read without changing it (umask() would, for a moment, for
// every thread).
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

// A new hidden file beside path holding the bytes; its name, or empty.
QByteArray writeTemp(const QString& path, const AtomicFile::Producer& produce)
{
    const QFileInfo info(path);
    QByteArray name = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                                        + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return {};
    ::fchmod(fd, 0666 & ~processUmask()); // as an ordinary new file would get
    const bool ok = produce([fd](const char* data, qint64 size) { return writeAll(fd, data, size); });
    if (::close(fd) != 0 || !ok) {
        ::unlink(name.constData());
        return {};
    }
    return name;
}

AtomicFile::Producer bytesOf(const QByteArray& bytes)
{
    return [bytes](const AtomicFile::Sink& sink) { return sink(bytes.constData(), bytes.size()); };
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

bool AtomicFile::write(const QString& path, const Producer& produce)
{
    const QByteArray temp = writeTemp(path, produce);
    if (temp.isEmpty())
        return false;
    if (::rename(temp.constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(temp.constData());
        return false;
    }
    return true;
}

bool AtomicFile::writeNew(const QString& path, const Producer& produce, bool* nameTaken)
{
    if (nameTaken)
        *nameTaken = false;
    const QByteArray target = QFile::encodeName(path);
    struct stat st;
    if (::lstat(target.constData(), &st) == 0) {
        if (nameTaken)
            *nameTaken = true;
        return false;
    }
    const QByteArray temp = writeTemp(path, produce);
    if (temp.isEmpty())
        return false;
    // link() fails on an existing name, so the claim and the publication are one step.
    if (::link(temp.constData(), target.constData()) == 0) {
        ::unlink(temp.constData());
        return true;
    }
    const int err = errno;
    if (err == EEXIST) {
        ::unlink(temp.constData());
        if (nameTaken)
            *nameTaken = true;
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
        return false;
    }
    ::close(fd);
    if (::rename(temp.constData(), target.constData()) != 0) {
        ::unlink(temp.constData());
        ::unlink(target.constData());
        return false;
    }
    return true;
}

} // namespace varnel
