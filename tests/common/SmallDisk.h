#pragma once
// Full disks and forbidden folders for tests: a small tmpfs of its own (only
// where the test may mount, as root), and a child process that runs as an
// ordinary user (root passes every permission check).
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <grp.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testfiles {

class SmallDisk {
public:
    explicit SmallDisk(qint64 bytes)
    {
        if (::geteuid() != 0 || !m_dir.isValid())
            return;
        const QByteArray opts = "size=" + QByteArray::number(bytes) + ",mode=0777";
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                            opts.constData()) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool ok() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    // Takes up all the space left but `leave` bytes.
    void fill(qint64 leave = 0) const
    {
        QFile f(m_dir.path() + "/filler");
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
            return;
        const QByteArray block(4096, 'x');
        while (true) {
            if (freeBytes() <= leave + 4096 || f.write(block) != block.size() || !f.flush())
                break;
        }
    }
    qint64 freeBytes() const
    {
        struct statvfs s;
        if (::statvfs(QFile::encodeName(m_dir.path()).constData(), &s) != 0)
            return 0;
        return qint64(s.f_bavail) * qint64(s.f_frsize);
    }
    void removeFiller() const { QFile::remove(m_dir.path() + "/filler"); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// Runs fn in a child process as the user "nobody" (65534); its result, or -1
// when the child could not change user. Only root can do this.
inline int runAsNobody(const std::function<int()>& fn)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0
            || ::setresuid(65534, 65534, 65534) != 0)
            ::_exit(255);
        ::_exit(fn() & 0xff);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

} // namespace testfiles

