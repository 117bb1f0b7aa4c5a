#include "NumberedSaver.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

#include "Numbering.h"

namespace varnel {

NumberedSaver::Result NumberedSaver::save(const Picture& picture, const QString& folder,
                                          const QString& prefix, qint64 start,
                                          const QString& extension, ImageFormat format, int quality,
                                          int maxTries)
{
    Result r;
    if (!picture.hasPicture() || !QFileInfo(folder).isDir())
        return r;
    qint64 n = std::clamp<qint64>(start, 1, Numbering::kMaxNumber);
    for (int tries = 0; tries < maxTries && n <= Numbering::kMaxNumber; ++tries, ++n) {
        const QString path = QDir(folder).filePath(Numbering::fileName(prefix, n, extension));
        bool taken = false;
        // Created exclusively: a name taken meanwhile is never replaced.
        if (picture.saveNew(path, format, quality, &taken)) {
            r.ok = true;
            r.path = path;
            r.number = n;
            return r;
        }
        if (!taken)
            return r;
    }
    return r;
}

} // namespace varnel
