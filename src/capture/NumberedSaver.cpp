#include "NumberedSaver.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "Numbering.h"

namespace varnel {

NumberedSaver::Result NumberedSaver::save(const Picture& picture, const QString& folder,
                                          const QString& prefix, qint64 start,
                                          const QString& extension, ImageFormat format, int quality,
                                          int maxTries, bool syncLater)
{
    Result r;
    if (!picture.hasPicture())
        return r;
    if (!QFileInfo(folder).isDir()) {
        r.error = QFileInfo::exists(folder) ? ENOTDIR : ENOENT;
        return r;
    }
    qint64 n = std::clamp<qint64>(start, 1, Numbering::kMaxNumber);
    for (int tries = 0; tries < maxTries && n <= Numbering::kMaxNumber; ++tries, ++n) {
        const QString path = QDir(folder).filePath(Numbering::fileName(prefix, n, extension));
        bool taken = false;
        int error = 0;
        // Created exclusively: a name taken meanwhile is never replaced.
        if (picture.saveNew(path, format, quality, &taken, &error, syncLater)) {
            r.ok = true;
            r.path = path;
            r.number = n;
            r.error = 0;
            return r;
        }
        r.error = error;
        if (!taken)
            return r;
    }
    return r;
}

QString NumberedSaver::reason(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("ディスクの空き容量が不足しています");
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込みの許可がありません");
    case EROFS:
        return QStringLiteral("読み取り専用のディスクです");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("フォルダが見つかりません");
    case EEXIST:
        return QStringLiteral("空いている番号がありません");
    case 0:
        return QStringLiteral("画像を書き出せませんでした");
    default:
        return QString::fromLocal8Bit(strerror(error));
    }
}

} // namespace varnel
