#include "DurableFile.h"

#include "PosixFiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnel {

namespace {

DurableFile::Step g_faultStep = DurableFile::Step::None;
int g_faultErrno = 0;

// A planted fault for this step, consumed on use.
bool planted(DurableFile::Step step)
{
    if (g_faultStep != step)
        return false;
    g_faultStep = DurableFile::Step::None;
    errno = g_faultErrno;
    return true;
}

bool writeAll(int fd, const char* p, qint64 size)
{
    return !planted(DurableFile::Step::Write) && posix::writeAll(fd, p, size);
}

using posix::processUmask;

DurableFile::Result failure(int err)
{
    DurableFile::Result r;
    r.errorNumber = err ? err : EIO;
    r.error = DurableFile::reasonText(r.errorNumber);
    return r;
}

} // namespace

QString DurableFile::reasonText(int e)
{
    QString text;
    switch (e) {
    case ENOSPC:
    case EDQUOT:
        text = QStringLiteral("ﾃﾞｨｽｸの空き容量が足りません");
        break;
    case EACCES:
    case EPERM:
        text = QStringLiteral("書き込みの権限がありません");
        break;
    case EROFS:
        text = QStringLiteral("読み取り専用のﾃﾞｨｽｸです");
        break;
    case ENOENT:
    case ENOTDIR:
        text = QStringLiteral("ﾌｫﾙﾀﾞが見つかりません");
        break;
    default:
        text = QStringLiteral("書き込みに失敗しました");
        break;
    }
    return text + QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(e)) + QLatin1Char(')');
}

namespace {
const QLatin1String kTempMark(".varnel-");
const QLatin1String kTempEnd(".tmp");
constexpr qsizetype kTempExtra = 8 + 6 + 4; // mark, random part, end
} // namespace

QString DurableFile::temporaryTarget(const QString& fileName)
{
    const qsizetype n = fileName.size() - 1 - kTempExtra;
    if (n <= 0 || !fileName.startsWith(QLatin1Char('.')) || !fileName.endsWith(kTempEnd)
        || QStringView(fileName).mid(1 + n, kTempMark.size()) != kTempMark)
        return {};
    for (qsizetype i = 1 + n + kTempMark.size(); i < fileName.size() - kTempEnd.size(); ++i) {
        const QChar c = fileName.at(i);
        if (!(c.isDigit() || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
              || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))))
            return {};
    }
    return fileName.mid(1, n);
}

bool DurableFile::isTemporaryFor(const QString& fileName, const QString& target)
{
    return !target.isEmpty() && temporaryTarget(fileName) == target;
}

QByteArray DurableFile::temporaryPattern(const QString& path)
{
    const QFileInfo info(path);
    return QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() + kTempMark
                             + QStringLiteral("XXXXXX") + kTempEnd);
}

void DurableFile::failNextWrite(Step step, int errorNumber)
{
    g_faultStep = step;
    g_faultErrno = errorNumber;
}

DurableFile::Result DurableFile::write(const QString& path, const QByteArray& bytes)
{
    QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.canonicalFilePath();
        if (!target.isEmpty())
            info = QFileInfo(target);
    }
    const QString folder = info.absolutePath();
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    QByteArray temp = temporaryPattern(info.absoluteFilePath());

    struct stat old;
    const bool existed = ::stat(target.constData(), &old) == 0;

    const int fd = ::mkostemps(temp.data(), kTemporarySuffix, O_CLOEXEC);
    if (fd < 0)
        return failure(errno);
    ::fchmod(fd, existed ? (old.st_mode & 07777) : (0666 & ~processUmask()));

    auto abandon = [&](int err) {
        ::unlink(temp.constData());
        return failure(err);
    };
    if (!writeAll(fd, bytes.constData(), bytes.size())) {
        const int err = errno;
        ::close(fd);
        return abandon(err);
    }
    // Delayed allocation reports a full disk only here, so this check is
    // what makes the write trustworthy.
    if (planted(Step::Sync) || !posix::sync(fd)) {
        const int err = errno;
        ::close(fd);
        return abandon(err);
    }
    if (::close(fd) != 0)
        return abandon(errno);
    if (planted(Step::Rename) || ::rename(temp.constData(), target.constData()) != 0)
        return abandon(errno);

    // The new name must reach the disk too. Some file systems cannot sync a
    // folder; the file itself is complete under its name either way.
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        posix::sync(dir);
        ::close(dir);
    }
    Result ok;
    ok.ok = true;
    return ok;
}

} // namespace varnel
