#include "RangeList.h"

#include <charconv>
#include <cmath>
#include <string>

namespace varnel {

namespace {

template <typename T>
QString shortestFixed(T v)
{
    if (v == 0 || !std::isfinite(v))
        return QStringLiteral("0"); // also keeps "-0" out of captions
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    if (r.ec != std::errc())
        return QStringLiteral("0");
    return QString::fromLatin1(buf, int(r.ptr - buf));
}

QStringList fields(const QString& entry)
{
    return entry.split(RangeList::kFieldSep);
}

} // namespace

double RangeList::leadingNumber(const QString& field)
{
    int i = 0;
    const int n = int(field.size());
    while (i < n && (field[i] == QLatin1Char(' ') || field[i] == QLatin1Char('\t')))
        ++i;
    std::string s;
    if (i < n && (field[i] == QLatin1Char('-') || field[i] == QLatin1Char('+')))
        s += char(field[i++].toLatin1());
    bool digits = false, point = false;
    for (; i < n; ++i) {
        const QChar c = field[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            s += char(c.toLatin1());
            digits = true;
        } else if (c == QLatin1Char('.') && !point) {
            s += '.';
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    const double v = std::strtod(s.c_str(), nullptr);
    // A run of digits longer than a double holds is no size anyone meant.
    return std::isfinite(v) ? v : 0;
}

QString RangeList::plainNumber(double v)
{
    return shortestFixed(v);
}

QString RangeList::plainNumber(float v)
{
    return shortestFixed(v);
}

RangeList::Entry RangeList::parse(const QString& entry)
{
    const QStringList f = fields(entry);
    Entry e;
    e.fieldCount = int(f.size());
    e.name = f.value(0);
    e.width = leadingNumber(f.value(1));
    e.height = leadingNumber(f.value(2));
    e.cm = f.value(3).toLower() == QLatin1String("cm");
    return e;
}

QString RangeList::FormatRangeEntry(const QString& entry)
{
    const Entry e = parse(entry);
    if (!e.isValid())
        return {};
    return e.name + QLatin1Char('(') + plainNumber(e.width) + QLatin1String(" * ") + plainNumber(e.height)
           + QLatin1Char(' ') + e.unit() + QLatin1Char(')');
}

QString RangeList::validEntries(const QString& list, QStringList* captions)
{
    QStringList kept;
    if (captions)
        captions->clear();
    for (const QString& entry : list.split(kEntrySep)) {
        const QString caption = FormatRangeEntry(entry);
        if (caption.isEmpty())
            continue;
        kept << entry;
        if (captions)
            *captions << caption;
    }
    return kept.join(kEntrySep);
}

void RangeList::sizeInPixels(const QString& list, int index, float& width, float& height)
{
    width = height = 0;
    const QStringList entries = list.split(kEntrySep);
    if (list.isEmpty() || index < 0 || index >= entries.size())
        return;
    const Entry e = parse(entries[index]);
    width = float(e.width);
    height = float(e.height);
    if (e.cm) {
        width = width / 2.54f * 96.0f;
        height = height / 2.54f * 96.0f;
    }
}

QString RangeList::listLine(const QString& entry)
{
    const Entry e = parse(entry);
    return e.name + QLatin1Char('(') + plainNumber(float(e.width)) + QLatin1Char('*')
           + plainNumber(float(e.height)) + QLatin1Char(' ') + e.unit() + QLatin1Char(')');
}

QString RangeList::BuildRangeEntry(const QString& name, const QString& sizeX, const QString& sizeY, bool cm)
{
    return name + kFieldSep + sizeX + kFieldSep + sizeY + (cm ? QLatin1String(",cm") : QLatin1String(",px"));
}

bool RangeList::nameIsAllowed(const QString& name)
{
    return !name.contains(kEntrySep) && !name.contains(kFieldSep);
}

bool RangeList::hasName(const QString& list, const QString& name)
{
    return (kEntrySep + list).contains(kEntrySep + name + kFieldSep, Qt::CaseInsensitive);
}

QString RangeList::withTemporary(const QString& list, int width, int height)
{
    if (list.contains(QLatin1String("Temporary,")))
        return list;
    return QStringLiteral("Temporary,%1,%2,px:").arg(width).arg(height) + list;
}

QString RangeList::thousands(qint64 v)
{
    QString digits = QString::number(v < 0 ? -v : v);
    for (int i = int(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return v < 0 ? QLatin1Char('-') + digits : digits;
}

QStringList RangeList::screenRows(int workWidth, int workHeight)
{
    return {QStringLiteral("QVGA   320 x   240"), QStringLiteral(" VGA   640 x   480"),
            QStringLiteral("SVGA   800 x   600"), QStringLiteral(" XGA 1,024 x   768"),
            QStringLiteral("SXGA 1,280 x 1,024"), QStringLiteral("UXGA 1,600 x 1,200"),
            QStringLiteral("ｽｸﾘｰﾝ ") + thousands(workWidth) + QLatin1String(" * ") + thousands(workHeight)};
}

QStringList RangeList::paperRows()
{
    return {QStringLiteral("A4   21.0 x 29.7"), QStringLiteral("B5   18.2 x 25.7"),
            QStringLiteral("A5   14.8 x 21.0"), QStringLiteral("A6   10.5 x 14.8"),
            QStringLiteral("ﾊｶﾞｷ 10.0 x 14.8"), QStringLiteral("ﾌｫﾄ  10.2 x 15.2"),
            QStringLiteral("L判   8.9 x 12.7")};
}

bool RangeList::percentInRange(const QString& percent)
{
    const double pct = leadingNumber(percent);
    return pct > 0 && pct <= 100;
}

std::optional<RangeList::Preset> RangeList::applyPreset(const QString& row, const QString& percent, bool swap)
{
    if (!percentInRange(percent))
        return std::nullopt;
    const float pct = float(leadingNumber(percent));
    QString r = row.trimmed();
    r.remove(QLatin1Char(','));
    while (r.contains(QLatin1String("  ")))
        r.replace(QLatin1String("  "), QLatin1String(" "));
    const QStringList parts = r.split(QLatin1Char(' '));
    if (parts.size() < 4)
        return std::nullopt;
    Preset p;
    p.caption = parts[0] + QLatin1Char(' ') + plainNumber(pct) + QLatin1Char('%');
    const float x = float(leadingNumber(parts[1])) * pct / 100.0f;
    const float y = float(leadingNumber(parts[3])) * pct / 100.0f;
    p.width = swap ? y : x;
    p.height = swap ? x : y;
    return p;
}

RangeList::Edited RangeList::applyListButton(const QString& list, Button button, int sel,
                                              const QString& newEntry)
{
    // Lines and entries are counted alike over the non-empty entries, so an
    // empty entry (the ":" the scratch entry leaves at the end) never takes
    // a new entry with it.
    QStringList entries = list.split(kEntrySep, Qt::SkipEmptyParts);
    const int n = int(entries.size());
    const bool onLine = sel >= 0 && sel < n;
    Edited out{list, sel};
    switch (button) {
    case Up:
        if (!onLine || sel == 0)
            return out;
        entries.swapItemsAt(sel, sel - 1);
        out.target = sel - 1;
        break;
    case Down:
        if (!onLine || sel == n - 1)
            return out;
        entries.swapItemsAt(sel, sel + 1);
        out.target = sel + 1;
        break;
    case Delete:
        if (!onLine)
            return out;
        entries.removeAt(sel);
        out.target = -1;
        break;
    case Replace:
        if (!onLine)
            return out;
        entries[sel] = newEntry;
        break;
    case Add:
        if (!onLine)
            sel = -1;
        entries.insert(sel < 0 ? 0 : sel, newEntry);
        out.target = sel;
        break;
    }
    out.list = entries.join(kEntrySep);
    return out;
}

} // namespace varnel
