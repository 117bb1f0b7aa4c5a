#pragma once
#include <QString>
#include <QStringList>
#include <optional>

namespace varnel {

// The registered ranges as text: entries joined by ":", each entry
// "name,width,height,unit" (fields after the fourth are ignored). Widths and
// heights are read like a typed number: the leading decimal number of the
// field, 0 when there is none. The unit "cm" in any case means centimetres,
// anything else pixels. These rules are shared by the range menu and the
// size dialog, so that both read an entry the same way.
class RangeList {
public:
    static constexpr QChar kEntrySep = QLatin1Char(':');
    static constexpr QChar kFieldSep = QLatin1Char(',');

    struct Entry {
        QString name;
        double width = 0;
        double height = 0;
        bool cm = false;
        int fieldCount = 0;
        QString unit() const { return cm ? QStringLiteral("cm") : QStringLiteral("px"); }
        // A name, four fields and a size that is not 0 either way.
        bool isValid() const { return fieldCount >= 4 && !name.isEmpty() && width != 0 && height != 0; }
    };

    // The leading decimal number of a field ("21.0" 21, " 640px" 640, "1,024" 1,
    // "abc" 0). Leading blanks are skipped; an optional sign; "." as the point.
    static double leadingNumber(const QString& field);
    // Shortest plain form that reads back to the same value, never with an
    // exponent: 21 for 21.0, 29.7, 0.000001, -50.
    static QString plainNumber(double v);
    // The same for single precision, so that 29.7f * 0.5f shows as 14.85.
    static QString plainNumber(float v);

    static Entry parse(const QString& entry);

    // The range menu's caption, "A4(21 * 29.7 cm)"; empty for an invalid entry.
    static QString FormatRangeEntry(const QString& entry);

    // Keeps the valid entries of a list unchanged and in order; captions gets
    // their menu captions.
    static QString validEntries(const QString& list, QStringList* captions = nullptr);

    // The size in pixels that entry index of a list stands for; centimetres
    // count at 96 dots per inch. Computed in single precision. Both 0 when
    // the entry does not exist.
    static void sizeInPixels(const QString& list, int index, float& width, float& height);

    // The line of the dialog's list, "Temporary(640*480 px)".
    static QString listLine(const QString& entry);

    // Entry text as the dialog writes it: the boxes as typed, unit px or cm.
    static QString BuildRangeEntry(const QString& name, const QString& sizeX, const QString& sizeY, bool cm);

    // ":" and "," split entries and fields, so a name must not hold them.
    static bool nameIsAllowed(const QString& name);
    // Whether an entry of the list carries name, in any letter case.
    static bool hasName(const QString& list, const QString& name);

    // The dialog's scratch entry in front of a list that has none yet (the
    // text "Temporary," anywhere, so "MyTemporary" counts).
    static QString withTemporary(const QString& list, int width, int height);

    // The preset rows of the size dialog: screens in pixels (the last row is
    // the work area) and papers in centimetres, aligned for a fixed-pitch font.
    static QStringList screenRows(int workWidth, int workHeight);
    static QStringList paperRows();
    // "#,#": 1920 as 1,920.
    static QString thousands(qint64 v);

    // A preset row scaled by a percentage, as the dialog fills its boxes.
    struct Preset {
        QString caption; // "A4 50%"
        float width = 0;
        float height = 0;
    };
    // Percentage boxes accept 0 < value <= 100.
    static bool percentInRange(const QString& percent);
    // Nothing when the percentage is out of range or the row has no size.
    static std::optional<Preset> applyPreset(const QString& row, const QString& percent, bool swap);

    // The dialog's list buttons on the list's lines (the non-empty entries).
    enum Button { Up = 0, Down = 1, Delete = 2, Replace = 3, Add = 4 };
    struct Edited {
        QString list;
        int target = -1; // the line to highlight afterwards
    };
    // sel: the selected line, -1 for none. newEntry: the entry for Replace and
    // Add. A button that cannot act on sel leaves the list as it is.
    static Edited applyListButton(const QString& list, Button button, int sel, const QString& newEntry);
};

} // namespace varnel
