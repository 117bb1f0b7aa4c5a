#pragma once
#include <QString>
#include <QStringList>

#include "engine/Picture.h"

namespace varnel {

// How a picture saved under a name is written: the format its extension
// stands for, the depths that format can keep, the depth any other picture
// is brought to first, and the compression quality.
class SaveRules {
public:
    // The formats the save dialog offers, in its order; the first is the default.
    static const QStringList& formatNames();
    // "BMP|*.bmp|JPG|*.jpg|..." for the save picker.
    static QString saveFilter();
    // Lower-case extension of the format at a dialog index ("bmp" when out of range).
    static QString extensionOfFormat(int formatIndex);
    // A name typed without an extension takes that of the format chosen in the dialog.
    static QString withFormatExtension(const QString& path, int formatIndex);

    // Lower-cases the extension of path's file name. Folder names are left
    // alone: on this file system their case matters.
    static void LowerCaseExtension(QString& path);
    // The text after the last "." of the file name, lower-cased; empty when
    // the name has no ".".
    static QString FileExtension(const QString& path);

    // jpg and jpeg 2, tif and tiff 5, png 12, fpx 13, pcx 16, gif 4, any other 0.
    static ImageFormat format(const QString& ext);
    // The depth codes a format keeps as they are; empty means every code.
    static QList<int> allowedDepths(const QString& ext);
    // The code a picture of another depth is converted to before saving
    // (8 for gif, 24 otherwise); 0 when the code is allowed as it is.
    static int conversionFor(const QString& ext, int depthCode);
    // 80 for the JPEG-like formats, the writer's default otherwise.
    static int quality(const QString& ext);
};

} // namespace varnel
