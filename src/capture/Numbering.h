#pragma once
#include <QString>
#include <QStringList>

namespace varnel {

// The naming rule of numbered files: prefix, the number zero-padded to at
// least three digits, the extension. The next number is one more than the
// largest in use, not the first gap.
class Numbering {
public:
    // The largest number a file gets: fifteen digits, room for date-and-time
    // names, far from any overflow.
    static constexpr qint64 kMaxNumber = 999'999'999'999'999;

    // "shot" + 7 + "bmp" -> "shot007.bmp"
    static QString fileName(const QString& prefix, qint64 number, const QString& extension);
    // Value of the leading decimal digits of text; 0 when it begins with none.
    static qint64 leadingNumber(const QString& text);
    // Largest number carried by a name that begins with prefix and ends with
    // "." + extension (both case-sensitive), plus one. When the numbers are
    // used up it starts again at 1: numbered saves never replace a file, so
    // they move on to the first free name.
    static qint64 nextNumber(const QStringList& fileNames, const QString& prefix,
                             const QString& extension);
    // The same over the files of a folder; -1 when the folder cannot be read.
    static qint64 nextNumberInFolder(const QString& folder, const QString& prefix,
                                     const QString& extension);
};

} // namespace varnel
