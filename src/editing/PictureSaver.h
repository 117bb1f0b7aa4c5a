#pragma once
#include <QString>

#include "PictureDocument.h"

namespace varnel {

// Writing the document's picture under a name, by the save rules.
class PictureSaver {
public:
    // The name a save dialog's answer is written under: the chosen format's
    // extension when none was typed, the extension lower-cased.
    static QString chosenName(const QString& typed, int formatIndex);

    // Writes the picture to path (".bmp" added to a name without extension;
    // path tells the name written). A format that cannot keep the depth gets
    // a converted copy. On success the document is what the file holds: the
    // file is its current one, and a conversion is an undo step, so the full
    // depth stays one undo away. A failure changes nothing.
    static bool save(PictureDocument& doc, QString& path);
};

} // namespace varnel
