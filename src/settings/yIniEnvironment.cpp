// The environment half of yIni: user data folder, folders, special folders
// and the desktop links for help and send-to.
#include "yIni.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QUrl>

#include <unistd.h>

#include "ShippedData.h"
#include "platform/DurableFile.h"
#include "platform/FamilyStore.h"
#include "platform/Shell.h"
#include "platform/ShownLanguage.h"

namespace varnel {

namespace {

const QString kFamilyApp = QStringLiteral("QuillonTools");
const QString kFamilySection = QStringLiteral("Path");
const QString kMakerFolder = QStringLiteral("Quillon");
const QString kChoiceFile = QStringLiteral("UserData.ini");
const QString kDefaultChoice = QStringLiteral("%applicaion data%");

QString withSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

bool isFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

// Whether the program can make its files in folder: in the folder itself
// when it exists, else in the nearest existing folder above it, where the
// missing levels would be created.
bool canWriteInto(const QString& folder)
{
    QString p = QDir::cleanPath(folder);
    while (!p.isEmpty() && !QFileInfo::exists(p)) {
        const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0) {
            p = QStringLiteral("/");
            break;
        }
        p.truncate(slash);
    }
    return !p.isEmpty() && QFileInfo(p).isDir() && ::access(QFile::encodeName(p).constData(), W_OK | X_OK) == 0;
}

// A value of a desktop entry file: no raw line breaks, backslash escaped.
QString desktopValue(const QString& s)
{
    QString out;
    for (QChar c : s) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

// One argument of an Exec line, quoted as desktop entries require.
QString execArgument(const QString& s)
{
    QString q = QStringLiteral("\"");
    for (QChar c : s) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            q += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            q += QLatin1Char('%');
        q += c;
    }
    return q + QLatin1Char('"');
}

} // namespace

void yIni::W_UserData(const QString& exePath, const QString& exeName)
{
    const QFileInfo exe(exePath);
    m_exeName = exeName;
    m_programFolder = withSlash(exe.absolutePath());
    m_apDataFolder = ShippedData::apDataFolder(m_programFolder);
    const QString suffix = exe.suffix();
    m_registeredExePath = m_programFolder + exeName + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);

    // Sibling tools find this program through the family store; keep the
    // entry pointing at where it runs from now. Paths are case-sensitive here.
    if (m_family
        && m_family->value(kFamilyApp, kFamilySection, exeName) != m_registeredExePath)
        m_family->setValue(kFamilyApp, kFamilySection, exeName, m_registeredExePath);

    const QString dataHome = FsGtSpFld(26);
    const QString standard = dataHome.isEmpty()
                                 ? m_programFolder + QLatin1String("usData/")
                                 : dataHome + QLatin1Char('/') + kMakerFolder + QLatin1Char('/') + exeName
                                       + QLatin1Char('/');

    QString choice = kDefaultChoice;
    bool writeChoice = false;
    const QString choicePath = m_programFolder + kChoiceFile;
    if (QFileInfo::exists(choicePath)) {
        QFile f(choicePath);
        if (f.open(QIODevice::ReadOnly)) {
            QStringDecoder decoder("CP932");
            const QString text = decoder.decode(f.readAll());
            if (text.isEmpty() || text.startsWith(QLatin1Char('\r')) || text.startsWith(QLatin1Char('\n')))
                writeChoice = true;
            else
                choice = text;
        }
        // An unreadable choice file is the user's: use the default, keep it.
    } else {
        writeChoice = true;
    }

    // Keywords are matched without regard to case; a path keeps its case,
    // since folder names are case-sensitive here.
    const QString keyword = choice.toLower();
    if (keyword == QLatin1String("%app%")) {
        m_userDataFolder = m_programFolder + QLatin1String("usData/");
    } else if (keyword == QLatin1String("%usr%") || keyword == kDefaultChoice) {
        m_userDataFolder = standard;
    } else if (keyword == QLatin1String("%doc") || keyword == QLatin1String("%my document%")) {
        const QString docs = FsGtSpFld(5);
        m_userDataFolder = docs.isEmpty() ? standard
                                          : docs + QLatin1Char('/') + kMakerFolder + QLatin1Char('/')
                                                + exeName + QLatin1Char('/');
    } else if (keyword.startsWith(QLatin1Char('%'))) {
        m_userDataFolder = standard;
    } else if (isFolder(choice)) {
        m_userDataFolder = withSlash(choice);
    } else {
        if (m_message)
            m_message(QStringLiteral("ﾌｫﾙﾀﾞ ") + choice + QStringLiteral(" が見つかりません\nﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは　")
                      + standard + QStringLiteral(" を使用します"));
        m_userDataFolder = standard;
    }

    // A chosen folder the program cannot write in would lose every setting
    // and capture silently; it is treated like a missing one.
    if (m_userDataFolder != standard && !canWriteInto(m_userDataFolder)) {
        if (m_message)
            m_message(QStringLiteral("ﾌｫﾙﾀﾞ ") + m_userDataFolder.chopped(1)
                      + QStringLiteral(" に書き込めません\nﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは　") + standard
                      + QStringLiteral(" を使用します"));
        m_userDataFolder = standard;
    }

    // Installed for all users, the program folder is read-only: the default
    // choice then simply is not written down.
    if (writeChoice && canWriteInto(m_programFolder)) {
        QStringEncoder encoder("CP932");
        const QByteArray bytes = encoder.encode(kDefaultChoice);
        DurableFile::write(choicePath, bytes);
    }

    if (!isFolder(m_userDataFolder))
        F_CreateFld(m_userDataFolder);
}

QString yIni::FsGtSpFld(int csidl)
{
    if (!m_shell)
        return {};
    QString p = m_shell->specialFolder(csidl);
    const qsizetype nul = p.indexOf(QChar(0));
    if (nul >= 0)
        p.truncate(nul);
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

void yIni::F_ChkSb(const QString& base, const QStringList& names)
{
    for (const QString& name : names) {
        const QString path = base + name;
        if (!QFileInfo::exists(path))
            QDir().mkdir(path);
    }
}

void yIni::F_CreateFld(const QString& folder)
{
    if (folder.isEmpty() || isFolder(folder))
        return;
    const QString path = withSlash(folder);
    // Top down, one level at a time; a level that cannot be made is passed
    // over so that whatever can be made below it still is.
    for (qsizetype i = path.indexOf(QLatin1Char('/')); i >= 0; i = path.indexOf(QLatin1Char('/'), i + 1)) {
        const QString prefix = path.left(i);
        if (!prefix.isEmpty() && !isFolder(prefix))
            QDir().mkdir(prefix);
    }
}

QString yIni::helpBaseAddress() const
{
    const QString folder = ShippedData::helpFolder(m_programFolder);
    return folder.isEmpty() ? QString() : QUrl::fromLocalFile(folder).toString();
}

bool yIni::writeLinkFile(const QString& path, const QString& content)
{
    return DurableFile::write(path, content.toUtf8()).ok;
}

void yIni::openThroughLink(const QString& linkPath, const QString& address)
{
    if (!m_shell)
        return;
    const QString content = QStringLiteral("[Desktop Entry]\nVersion=1.0\nType=Link\nName=")
                            + desktopValue(QFileInfo(linkPath).completeBaseName()) + QStringLiteral("\nURL=")
                            + desktopValue(address) + QLatin1Char('\n');
    if (!writeLinkFile(linkPath, content))
        return;
    // Desktop openers show a link file as text rather than follow it, so the
    // address itself goes to the browser; the file stays for the user.
    m_shell->open(address);
}

void yIni::W_Help(const QString& page)
{
    if (m_userDataFolder.isEmpty())
        return;
    QString name = page.toLower();
    if (!name.contains(QLatin1Char('.')))
        name += QLatin1String(".htm");
    const QString base = helpBaseAddress();
    if (base.isEmpty()) {
        if (m_message)
            m_message(QStringLiteral("ﾍﾙﾌﾟが見つかりません。") + m_programFolder);
        return;
    }
    // The guide of the language shown, when it is there.
    const QString english = QLatin1String("en/") + name;
    if (ShownLanguage::current() == Language::English
        && QFileInfo::exists(ShippedData::helpFolder(m_programFolder) + english))
        name = english;
    openThroughLink(m_userDataFolder + m_exeName + QLatin1String("_help.desktop"), base + name);
}

void yIni::W_HtmView(const QString& address)
{
    if (m_userDataFolder.isEmpty())
        return;
    openThroughLink(m_userDataFolder + QLatin1String("Wrk/htm_view.desktop"), address);
}

void yIni::W_SendTo()
{
    const QString folder = FsGtSpFld(9);
    if (folder.isEmpty() || m_registeredExePath.isEmpty())
        return;
    const QString content = QStringLiteral("[Desktop Entry]\nVersion=1.0\nType=Application\nName=")
                            + desktopValue(m_exeName) + QStringLiteral("\nExec=")
                            + desktopValue(execArgument(m_registeredExePath)) + QLatin1Char('\n');
    if (!writeLinkFile(folder + QLatin1Char('/') + m_exeName + QLatin1String(".desktop"), content))
        return;
    if (m_message)
        m_message(m_registeredExePath + QStringLiteral(" のｼｮｰﾄｶｯﾄを ") + folder + QStringLiteral(" に作成しました"));
}

void yIni::W_ExpFd(const QString& folder, bool open)
{
    if (folder.isEmpty() || !m_shell)
        return;
    if (open)
        m_shell->open(folder);
    else if (isFolder(folder))
        m_shell->explore(folder);
}

} // namespace varnel
