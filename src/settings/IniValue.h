#pragma once
#include <QDateTime>
#include <QString>
#include <optional>
#include <variant>

namespace varnel {

// One setting value as the settings file carries it: a tag for its kind and
// the value itself. The file only stores text; the kind decides how a value
// is written and how a read value is converted.
class IniValue {
public:
    enum class Kind { Text, Boolean, Whole, Single, Double, Date };

    IniValue() : m_v(QString()) {}
    IniValue(const QString& text) : m_v(text) {}
    // Without this a string literal would silently become a boolean.
    IniValue(const char* utf8) : m_v(QString::fromUtf8(utf8)) {}
    IniValue(bool b) : m_v(b) {}
    IniValue(int n) : m_v(qint64(n)) {}
    IniValue(qint64 n) : m_v(n) {}
    IniValue(float f) : m_v(f) {}
    IniValue(double d) : m_v(d) {}
    IniValue(const QDateTime& d) : m_v(d) {}

    Kind kind() const { return static_cast<Kind>(m_v.index()); }

    // The text written into the file: booleans "True"/"False", whole numbers
    // in decimal, singles in their shortest form of at most seven significant
    // digits (no point when integral), doubles with at most fifteen.
    QString toText() const;

    // Conversions for readers; numbers convert among themselves, a text is
    // taken by its leading number, a date gives its yyyy/MM/dd form as text.
    bool toBool() const;
    double toDouble() const;
    // Rounded to the nearest whole number (ties to even), clamped to int.
    int toInt() const;
    QDateTime toDateTime() const;

    bool operator==(const IniValue& o) const = default;

private:
    std::variant<QString, bool, qint64, float, double, QDateTime> m_v;
};

namespace ini {

// The number a text begins with, after leading blanks: sign, digits, point
// and exponent ("1.5E+3", "12abc" -> 12). A text without a leading number
// gives 0. *overflow is set when the number does not fit a double.
double leadingNumber(QStringView text, bool* overflow = nullptr);

// "True"/"False" in any case, or a whole text that is a number (0 false).
// Empty optional for anything else.
std::optional<bool> parseBool(QStringView text);

// Accepts yyyy/MM/dd or yyyy-MM-dd, optionally followed by hh:mm[:ss].
QDateTime parseDate(const QString& text);

QString formatSingle(float f);
QString formatDouble(double d);

} // namespace ini
} // namespace varnel
