#include "ShownLanguage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QToolTip>
#include <QTranslator>
#include <QXmlStreamReader>

#include <algorithm>
#include <memory>
#include <vector>

namespace varnel {

namespace {

// The context of the texts translated where they are shown.
constexpr char kContext[] = "Text";

// A translated text with placeholders: the Japanese form as a whole-text
// match, and which placeholder each capture fills.
struct Pattern {
    QRegularExpression match;
    std::vector<int> numbers;
    QString english;
    qsizetype literalLength = 0;
};

// Translates what Qt widgets show without going through our presentation
// points: labels and buttons as they are first shown, window titles as they
// change, tips as they pop up.
class ShownTextFilter : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (!o->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(o);
        switch (e->type()) {
        case QEvent::Polish:
            if (auto* l = qobject_cast<QLabel*>(w))
                translate(l->text(), [l](const QString& t) { l->setText(t); });
            else if (auto* b = qobject_cast<QAbstractButton*>(w))
                translate(b->text(), [b](const QString& t) { b->setText(t); });
            else if (auto* g = qobject_cast<QGroupBox*>(w))
                translate(g->title(), [g](const QString& t) { g->setTitle(t); });
            if (w->isWindow())
                translate(w->windowTitle(), [w](const QString& t) { w->setWindowTitle(t); });
            break;
        case QEvent::WindowTitleChange:
            if (w->isWindow())
                translate(w->windowTitle(), [w](const QString& t) { w->setWindowTitle(t); });
            break;
        case QEvent::ToolTip: {
            const QString tip = shownText(w->toolTip());
            if (tip == w->toolTip())
                return false;
            QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), tip, w);
            return true;
        }
        default:
            break;
        }
        return false;
    }

private:
    template <class Set>
    static void translate(const QString& text, Set set)
    {
        if (text.isEmpty())
            return;
        const QString t = shownText(text);
        if (t != text)
            set(t);
    }
};

struct State {
    Language language = Language::Japanese;
    std::vector<std::unique_ptr<QTranslator>> translators;
    std::vector<Pattern> patterns;
    std::unique_ptr<ShownTextFilter> filter;
};

State& state()
{
    static State s;
    return s;
}

// Japanese "…%1…" as a whole-text expression; each placeholder takes at
// least one character.
Pattern makePattern(const QString& japanese, const QString& english)
{
    static const QRegularExpression placeholder(QStringLiteral("%([1-9])"));
    Pattern p;
    p.english = english;
    QString expr = QStringLiteral("^");
    qsizetype at = 0;
    for (auto it = placeholder.globalMatch(japanese); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString literal = japanese.mid(at, m.capturedStart() - at);
        p.literalLength += literal.size();
        expr += QRegularExpression::escape(literal) + QStringLiteral("(.+?)");
        p.numbers.push_back(m.captured(1).toInt());
        at = m.capturedEnd();
    }
    const QString tail = japanese.mid(at);
    p.literalLength += tail.size();
    expr += QRegularExpression::escape(tail) + QStringLiteral("$");
    p.match.setPattern(expr);
    p.match.setPatternOptions(QRegularExpression::DotMatchesEverythingOption);
    return p;
}

// The patterns are read from the translation source shipped with the
// program: a compiled catalogue can look texts up but not list them.
std::vector<Pattern> loadPatterns(const QString& tsPath)
{
    std::vector<Pattern> out;
    QFile f(tsPath);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    QXmlStreamReader xml(&f);
    QString context, source, translation;
    bool unfinished = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("name"))
                context = xml.readElementText();
            else if (xml.name() == QLatin1String("source"))
                source = xml.readElementText();
            else if (xml.name() == QLatin1String("translation")) {
                unfinished = !xml.attributes().value(QLatin1String("type")).isEmpty();
                translation = xml.readElementText();
            } else if (xml.name() == QLatin1String("message")) {
                source.clear();
                translation.clear();
                unfinished = false;
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            if (context == QLatin1String(kContext) && !unfinished && !translation.isEmpty()
                && source.contains(QRegularExpression(QStringLiteral("%[1-9]"))))
                out.push_back(makePattern(source, translation));
        }
    }
    // The most specific pattern first: more fixed text, fewer guesses.
    std::stable_sort(out.begin(), out.end(),
                     [](const Pattern& a, const Pattern& b) { return a.literalLength > b.literalLength; });
    return out;
}

QString fill(const QString& english, const std::vector<int>& numbers, const QStringList& parts)
{
    // One pass, so that a part holding "%2" is not filled again.
    QString out;
    for (qsizetype i = 0; i < english.size(); ++i) {
        if (english[i] == QLatin1Char('%') && i + 1 < english.size() && english[i + 1].isDigit()) {
            const int n = english[i + 1].digitValue();
            const auto it = std::find(numbers.begin(), numbers.end(), n);
            if (it != numbers.end()) {
                out += parts[qsizetype(it - numbers.begin())];
                ++i;
                continue;
            }
        }
        out += english[i];
    }
    return out;
}

bool lookUp(const QString& japanese, QString* english)
{
    if (state().language == Language::Japanese || japanese.isEmpty())
        return false;
    const QString exact = QCoreApplication::translate(kContext, japanese.toUtf8().constData());
    if (exact != japanese) {
        *english = exact;
        return true;
    }
    for (const Pattern& p : state().patterns) {
        const QRegularExpressionMatch m = p.match.match(japanese);
        if (!m.hasMatch())
            continue;
        QStringList parts;
        for (int i = 1; i <= m.lastCapturedIndex(); ++i)
            parts << shownText(m.captured(i));
        *english = fill(p.english, p.numbers, parts);
        return true;
    }
    return false;
}

} // namespace

Language ShownLanguage::fromCode(const QString& code)
{
    return code.trimmed().compare(QLatin1String("en"), Qt::CaseInsensitive) == 0 ? Language::English
                                                                                  : Language::Japanese;
}

QString ShownLanguage::code(Language language)
{
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("ja");
}

Language ShownLanguage::choose(const QString& stored, const QByteArray& environment)
{
    const QString env = QString::fromLatin1(environment).trimmed().toLower();
    if (env == QLatin1String("en") || env == QLatin1String("ja"))
        return fromCode(env);
    return fromCode(stored);
}

Language ShownLanguage::current()
{
    return state().language;
}

void ShownLanguage::install(Language language)
{
    State& s = state();
    for (auto& t : s.translators)
        QCoreApplication::removeTranslator(t.get());
    s.translators.clear();
    s.patterns.clear();
    if (s.filter && qApp)
        qApp->removeEventFilter(s.filter.get());
    s.filter.reset();
    s.language = language;

    auto load = [&s](const QString& path) {
        auto t = std::make_unique<QTranslator>();
        if (t->load(path) && QCoreApplication::installTranslator(t.get()))
            s.translators.push_back(std::move(t));
    };
    if (language == Language::English) {
        load(QStringLiteral(":/i18n/texts_en.qm"));
        load(QStringLiteral(":/i18n/varnel_en.qm"));
        s.patterns = loadPatterns(QStringLiteral(":/i18n/texts_en.ts"));
        if (qApp) {
            s.filter = std::make_unique<ShownTextFilter>();
            qApp->installEventFilter(s.filter.get());
        }
    } else {
        // Qt's own dialogs and buttons (OK, Cancel, the file dialog) from
        // the system's Qt translations, when they are installed.
        const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        load(dir + QStringLiteral("/qtbase_ja.qm"));
    }
}

QString shownText(const QString& japanese)
{
    QString english;
    return lookUp(japanese, &english) ? english : japanese;
}

bool hasTranslation(const QString& japanese)
{
    QString english;
    return lookUp(japanese, &english);
}

} // namespace varnel
