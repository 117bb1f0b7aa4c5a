#include "yIni.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <QStringDecoder>
#include <QStringEncoder>

#include "platform/DurableFile.h"

namespace varnel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kIndentGroup = QStringLiteral("   ");
const QString kIndentKey = QStringLiteral("      ");
const QString kRoot = QStringLiteral("運用");
const QString kXmlDeclaration = QStringLiteral("<?xml version='1.0' encoding='Shift-JIS' ?>");
// Built elements carry this marker where a line break belongs; values may
// carry it too, so a caller can ask for line breaks inside a new element.
const QChar kLineBreakMarker(0x2021);
const char* const kCodec = "CP932";

QString openTag(const QString& name)
{
    return QLatin1Char('<') + name + QLatin1Char('>');
}

QString closeTag(const QString& name)
{
    return QLatin1String("</") + name + QLatin1Char('>');
}

// A development build is started as "..._DV" and shares the settings of the
// release build: "User_DV.xml" is read and written as "User.xml". Only the
// file name is looked at, never the folders above it.
QString withoutDvSuffix(const QString& path)
{
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype i = path.indexOf(QLatin1String("_DV.xml"), nameStart, Qt::CaseInsensitive);
    if (i < 0)
        return path;
    return path.left(i) + QLatin1String(".xml") + path.mid(i + 7);
}

} // namespace

yIni::yIni(Shell* shell, FamilyStore* family) : m_shell(shell), m_family(family) {}

bool yIni::GetTxt(const QString& path)
{
    m_wholeText.clear();
    m_damaged = false;
    m_backupDone = false;
    m_filePath = withoutDvSuffix(path);

    QFile file(m_filePath);
    if (QFileInfo::exists(m_filePath)) {
        // A file that is there but cannot be read must not be replaced by
        // a save of built-in values: the backup step then refuses to save.
        m_damaged = true;
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return false;
        m_damaged = false;
        QStringDecoder decoder(kCodec);
        if (!decoder.isValid())
            return false;
        // Read whole even when the first character is a line break: the
        // next save writes the whole text back, so nothing may be skipped.
        m_wholeText = decoder.decode(bytes);
        if (decoder.hasError())
            m_damaged = true;
    } else if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        return false;
    }
    file.close();

    if (m_wholeText.isEmpty())
        m_wholeText = BuildElement(0, kRoot, kCrLf);
    else if (!m_wholeText.contains(closeTag(kRoot)))
        m_damaged = true;
    return true;
}

void yIni::GetGtx(const QString& group)
{
    m_groupName = group;
    m_groupText = ExtractElement(Source::Whole, group);
}

IniValue yIni::vGtVal(const QString& key, const IniValue& defaultValue)
{
    m_conversionFailed = false;
    const QString raw = ExtractElement(Source::Group, key);
    if (raw.isEmpty())
        return defaultValue;

    switch (defaultValue.kind()) {
    case IniValue::Kind::Text:
        return IniValue(raw);
    case IniValue::Kind::Boolean: {
        const std::optional<bool> b = ini::parseBool(raw);
        if (!b) {
            m_conversionFailed = true;
            return defaultValue;
        }
        return IniValue(*b);
    }
    case IniValue::Kind::Date: {
        const QDateTime d = ini::parseDate(raw);
        return d.isValid() ? IniValue(d) : defaultValue;
    }
    case IniValue::Kind::Whole:
    case IniValue::Kind::Single:
    case IniValue::Kind::Double: {
        bool overflow = false;
        const double v = ini::leadingNumber(raw, &overflow);
        if (overflow) {
            m_conversionFailed = true;
            return defaultValue;
        }
        return IniValue(v);
    }
    }
    return defaultValue;
}

void yIni::SetVal(const QString& key, const IniValue& value)
{
    const QString text = value.toText();
    const QString open = openTag(key);
    const qsizetype o = m_groupText.indexOf(open);
    if (o >= 0) {
        const qsizetype e = o + open.size();
        const qsizetype c = m_groupText.indexOf(closeTag(key), e);
        if (c >= 0) {
            // In place: the value is taken as it is, markers included.
            m_groupText = m_groupText.left(e) + text + m_groupText.mid(c);
            return;
        }
    }
    m_groupText += BuildElement(2, key, text);
}

void yIni::SetGtx()
{
    if (m_wholeText.isEmpty())
        m_wholeText = BuildElement(0, kRoot, kCrLf);

    const QString open = openTag(m_groupName);
    const qsizetype o = m_wholeText.indexOf(open);
    if (o >= 0) {
        const qsizetype after = o + open.size();
        const qsizetype c = m_wholeText.indexOf(closeTag(m_groupName), after);
        if (c >= 0) {
            // The group's content is rewritten in the standard layout, which
            // is what a file written by this class already has.
            m_wholeText = m_wholeText.left(after) + kCrLf + m_groupText + kIndentGroup + m_wholeText.mid(c);
            return;
        }
    }

    const qsizetype r = m_wholeText.indexOf(closeTag(kRoot));
    if (r < 0) {
        // Nowhere to put a new group without guessing; keep the text as it
        // is so that nothing of it is lost.
        reportDamaged(kRoot);
        return;
    }
    m_wholeText = m_wholeText.left(r) + BuildElement(1, m_groupName, m_groupText) + m_wholeText.mid(r);
}

bool yIni::SetTxt()
{
    m_lastError.clear();
    if (m_filePath.isEmpty())
        return false;

    QStringEncoder encoder(kCodec);
    if (!encoder.isValid())
        return false;
    // Characters CP932 cannot hold are substituted; the rest of the file is
    // still worth keeping.
    const QByteArray bytes = encoder.encode(m_wholeText);

    if (m_damaged && !m_backupDone && QFileInfo::exists(m_filePath)) {
        // The damaged file may still hold what the user wants back; keep its
        // bytes untouched before it is overwritten the first time.
        QFile old(m_filePath);
        if (!old.open(QIODevice::ReadOnly)) {
            m_lastError = DurableFile::reasonText(EACCES);
            return false;
        }
        const QByteArray oldBytes = old.readAll();
        if (old.error() != QFileDevice::NoError) {
            m_lastError = old.errorString();
            return false;
        }
        const DurableFile::Result kept = DurableFile::write(m_filePath + QLatin1String(".bak"), oldBytes);
        if (!kept) {
            m_lastError = kept.error;
            return false;
        }
        m_backupDone = true;
    }

    // Complete on disk or not replaced: a full disk, a kill or a power cut
    // never leaves a truncated settings file.
    const DurableFile::Result written = DurableFile::write(m_filePath, bytes);
    if (!written)
        m_lastError = written.error;
    return written.ok;
}

void yIni::StartAfresh()
{
    m_wholeText = BuildElement(0, kRoot, kCrLf);
    m_groupText.clear();
    m_groupName.clear();
}

QString yIni::ExtractElement(Source source, const QString& name)
{
    const QString& text = source == Source::Whole ? m_wholeText : m_groupText;
    if (text.isEmpty())
        return {};
    const QString open = openTag(name);
    const qsizetype o = text.indexOf(open);
    const qsizetype c = text.indexOf(closeTag(name));
    if (o < 0 && c < 0)
        return {};
    if (o < 0 || c < 0 || o > c) {
        reportDamaged(name);
        return {};
    }
    const qsizetype s = o + open.size();
    QStringView content = QStringView(text).mid(s, c - s);
    if (source == Source::Whole) {
        // A group's key lines start after the line break of its opening tag
        // and end before the indentation of its closing tag. Hand-edited
        // groups may lack either; take what is there.
        if (content.startsWith(kCrLf))
            content = content.mid(2);
        if (content.endsWith(kIndentGroup))
            content.chop(3);
    }
    return content.toString();
}

QString yIni::BuildElement(int level, const QString& name, const QString& value)
{
    QString built;
    switch (level) {
    case 0:
        built = kXmlDeclaration + kLineBreakMarker + openTag(name) + value + closeTag(name);
        break;
    case 1:
        built = kIndentGroup + openTag(name) + kLineBreakMarker + value + kIndentGroup + closeTag(name)
                + kLineBreakMarker;
        break;
    case 2:
        built = kIndentKey + openTag(name) + value + closeTag(name) + kLineBreakMarker;
        break;
    default:
        return {};
    }
    return built.replace(kLineBreakMarker, kCrLf);
}

void yIni::reportDamaged(const QString& name)
{
    m_damaged = true;
    if (m_message)
        m_message(openTag(name) + QStringLiteral(" の設定が読み込めません\nﾕｰｻﾞｰ環境ﾌｧｲﾙ(") + m_filePath
                  + QStringLiteral(") が破損しています"));
}

} // namespace varnel
