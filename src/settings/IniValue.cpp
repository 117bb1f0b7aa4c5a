#include "IniValue.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace varnel {
namespace ini {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
           || c == QLatin1Char('\r');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Scans the number at the start of text (after blanks). Returns the value;
// *end is the index after the number (0 when there is none).
double scanNumber(QStringView text, qsizetype* end, bool* overflow)
{
    if (overflow)
        *overflow = false;
    *end = 0;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    qsizetype mantissaEnd = i;
    // "D" is an old exponent letter for doubles; read it like "E".
    if (i < n && QStringLiteral("eEdD").contains(text[i])) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        if (j < n && isDigit(text[j])) {
            while (j < n && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    QByteArray latin = text.mid(start, i - start).toLatin1();
    if (mantissaEnd < i)
        latin[mantissaEnd - start] = 'e';
    if (latin.startsWith('+'))
        latin.remove(0, 1);
    double v = 0.0;
    const auto r = std::from_chars(latin.constData(), latin.constData() + latin.size(), v);
    *end = i;
    if (r.ec == std::errc::result_out_of_range || !std::isfinite(v)) {
        // Too small to hold is simply 0; too large is an overflow.
        if (overflow && !latin.contains("e-"))
            *overflow = true;
        return 0.0;
    }
    return v;
}

template <typename T>
QString formatShortest(T value, int maxDigits, int scientificFrom)
{
    if (value == T(0) || !std::isfinite(value))
        return QStringLiteral("0");
    char buf[64];
    std::to_chars_result r{};
    for (int p = 1; p <= maxDigits; ++p) {
        r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, p - 1);
        T back{};
        std::from_chars(buf, r.ptr, back);
        if (back == value)
            break;
    }
    const std::string s(buf, r.ptr);
    const bool negative = s[0] == '-';
    const size_t ePos = s.find('e');
    std::string digits;
    for (size_t k = negative ? 1 : 0; k < ePos; ++k)
        if (s[k] != '.')
            digits += s[k];
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int exponent = std::stoi(s.substr(ePos + 1));

    std::string out = negative ? "-" : "";
    if (exponent >= scientificFrom || exponent < -5) {
        out += digits[0];
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        const int a = std::abs(exponent);
        out += exponent < 0 ? "E-" : "E+";
        if (a < 10)
            out += '0';
        out += std::to_string(a);
    } else if (exponent >= 0) {
        const size_t intLen = size_t(exponent) + 1;
        std::string intPart = digits.substr(0, std::min(intLen, digits.size()));
        intPart.append(intLen - intPart.size(), '0');
        out += intPart;
        if (digits.size() > intLen)
            out += "." + digits.substr(intLen);
    } else {
        out += "0." + std::string(size_t(-exponent - 1), '0') + digits;
    }
    return QString::fromLatin1(out.c_str());
}

} // namespace

double leadingNumber(QStringView text, bool* overflow)
{
    qsizetype end = 0;
    return scanNumber(text, &end, overflow);
}

std::optional<bool> parseBool(QStringView text)
{
    const QStringView t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    qsizetype end = 0;
    bool overflow = false;
    const double v = scanNumber(t, &end, &overflow);
    if (end == 0 || end != t.size())
        return std::nullopt;
    return overflow || v != 0.0;
}

QDateTime parseDate(const QString& text)
{
    const QString t = text.trimmed();
    for (const char* f : {"yyyy/M/d H:m:s", "yyyy/M/d H:m", "yyyy/M/d", "yyyy-M-d H:m:s", "yyyy-M-d H:m",
                          "yyyy-M-d", "yyyy-M-dTH:m:s"}) {
        const QDateTime d = QDateTime::fromString(t, QLatin1String(f));
        if (d.isValid())
            return d;
    }
    return {};
}

QString formatSingle(float f)
{
    return formatShortest(f, 7, 7);
}

QString formatDouble(double d)
{
    return formatShortest(d, 15, 15);
}

} // namespace ini

QString IniValue::toText() const
{
    switch (kind()) {
    case Kind::Text:
        return std::get<QString>(m_v);
    case Kind::Boolean:
        return std::get<bool>(m_v) ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Whole:
        return QString::number(std::get<qint64>(m_v));
    case Kind::Single:
        return ini::formatSingle(std::get<float>(m_v));
    case Kind::Double:
        return ini::formatDouble(std::get<double>(m_v));
    case Kind::Date: {
        const QDateTime& d = std::get<QDateTime>(m_v);
        if (!d.isValid())
            return {};
        return d.time() == QTime(0, 0) ? d.toString(QStringLiteral("yyyy/MM/dd"))
                                       : d.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    }
    }
    return {};
}

bool IniValue::toBool() const
{
    switch (kind()) {
    case Kind::Text:
        return ini::parseBool(std::get<QString>(m_v)).value_or(false);
    case Kind::Boolean:
        return std::get<bool>(m_v);
    case Kind::Date:
        return false;
    default:
        return toDouble() != 0.0;
    }
}

double IniValue::toDouble() const
{
    switch (kind()) {
    case Kind::Text:
        return ini::leadingNumber(std::get<QString>(m_v));
    case Kind::Boolean:
        return std::get<bool>(m_v) ? 1.0 : 0.0;
    case Kind::Whole:
        return double(std::get<qint64>(m_v));
    case Kind::Single:
        return double(std::get<float>(m_v));
    case Kind::Double:
        return std::get<double>(m_v);
    case Kind::Date:
        return 0.0;
    }
    return 0.0;
}

int IniValue::toInt() const
{
    if (kind() == Kind::Whole) {
        const qint64 n = std::get<qint64>(m_v);
        return int(std::clamp<qint64>(n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    }
    const double d = std::nearbyint(toDouble());
    if (std::isnan(d))
        return 0;
    if (d <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (d >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(d);
}

QDateTime IniValue::toDateTime() const
{
    if (kind() == Kind::Date)
        return std::get<QDateTime>(m_v);
    if (kind() == Kind::Text)
        return ini::parseDate(std::get<QString>(m_v));
    return {};
}

} // namespace varnel
