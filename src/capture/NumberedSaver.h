#pragma once
#include <QString>

#include "editing/engine/Picture.h"

namespace varnel {

// Saves a picture under the next free number without ever replacing a file:
// the name is claimed atomically, and a name that another program took in the
// meantime moves the save on to the next number.
class NumberedSaver {
public:
    struct Result {
        bool ok = false;
        QString path;       // the file written
        qint64 number = 0;  // the number it carries
        int error = 0;      // errno of a failure; 0 when the picture could not be encoded
    };

    // Tries start, start+1, ... in folder; gives up after maxTries taken names
    // or on the first failure that is not a taken name. syncLater: see
    // Picture::saveNew.
    static Result save(const Picture& picture, const QString& folder, const QString& prefix,
                       qint64 start, const QString& extension, ImageFormat format,
                       int quality = 80, int maxTries = 10000, bool syncLater = false);

    // Why a save failed, in the user's words: "ディスクの空き容量が不足しています" …
    static QString reason(int error);
};

} // namespace varnel
