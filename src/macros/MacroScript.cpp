#include "MacroScript.h"

namespace varnel::MacroScript {

namespace {
constexpr QChar kIdeographicSpace(0x3000);

bool isTrimmedSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == kIdeographicSpace;
}
} // namespace

const QStringList& keywords()
{
    static const QStringList k{
        QStringLiteral("ﾌｧｲﾙ"),   QStringLiteral("作業ﾌｫﾙﾀﾞ"), QStringLiteral("格納"),
        QStringLiteral("画像編集"), QStringLiteral("範囲USR"),    QStringLiteral("範囲"),
        QStringLiteral("ﾘｻｲｽﾞ"),  QStringLiteral("綴込"),       QStringLiteral("回転"),
        QStringLiteral("色数")};
    return k;
}

QString trimmed(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isTrimmedSpace(s[b]))
        ++b;
    while (e > b && isTrimmedSpace(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

QList<Header> headers(const QString& text)
{
    QList<Header> out;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1Char('['), pos);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(QLatin1Char(']'), open + 1);
        if (close < 0)
            break;
        Header h;
        h.name = trimmed(text.mid(open + 1, close - open - 1));
        h.bodyBegin = close + 1;
        const qsizetype next = text.indexOf(QLatin1Char('['), h.bodyBegin);
        h.bodyEnd = next < 0 ? text.size() : next;
        out << h;
        pos = close + 1;
    }
    return out;
}

QStringList names(const QString& text)
{
    QStringList out;
    for (const Header& h : headers(text))
        out << h.name;
    return out;
}

QString nameKey(const QString& name)
{
    // NFKC joins the half-width and full-width forms (ｸﾞﾚｰ and グレー, Ａ and A)
    // and the two spaces; katakana then fold onto hiragana.
    QString s = name.normalized(QString::NormalizationForm_KC);
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        if (u >= 0x30A1 && u <= 0x30F6)
            c = QChar(char16_t(u - 0x60));
    }
    return s.toCaseFolded();
}

bool sameName(const QString& a, const QString& b)
{
    return nameKey(a) == nameKey(b);
}

bool findBody(const QString& text, const QString& name, QString& body)
{
    const QString key = nameKey(name);
    for (const Header& h : headers(text))
        if (nameKey(h.name) == key) {
            body = text.mid(h.bodyBegin, h.bodyEnd - h.bodyBegin);
            return true;
        }
    return false;
}

QList<Command> commands(const QString& body)
{
    QList<Command> out;
    for (const QString& raw : body.split(kLineBreak)) {
        const QString line = trimmed(raw);
        const qsizetype arrow = line.indexOf(kArrow);
        if (line.isEmpty() || arrow < 0)
            continue;
        out << Command{line.left(arrow), line.mid(arrow + kArrow.size())};
    }
    return out;
}

QString recordedLine(const QString& keyword, const QString& caption)
{
    const qsizetype paren = caption.indexOf(QLatin1Char('('));
    return keyword + kArrow + (paren >= 0 ? caption.left(paren) : caption);
}

QString appendRecording(const QString& text, const QString& buffer)
{
    if (buffer.isEmpty())
        return text;
    QString out = text;
    const QString blank = kLineBreak + kLineBreak;
    if (!out.isEmpty() && !out.endsWith(blank))
        out += out.endsWith(kLineBreak) ? kLineBreak : blank;
    out += QLatin1Char('[') + kNewMacroName + QLatin1Char(']') + kLineBreak + buffer;
    return out;
}

} // namespace varnel::MacroScript
