#include "zKtl.h"

#include <QDir>
#include <QFileInfo>

#include <iterator>

#include "platform/FamilyStore.h"

namespace varnel {

namespace {

const QString kFamilyApp = QStringLiteral("QuillonTools");
const QString kFamilySection = QStringLiteral("Path");

struct Tool {
    const char* code;
    const char* name;
};
const Tool kTools[] = {{"Brivane", "画像"}, {"Brivale", "画像L"},  {"Kesmor", "ｸﾞﾗﾌ"},
                       {"Dunavel", "ﾁｬｰﾄ"}, {"Orsk", "FTP"},       {"Pellum", "宛名"},
                       {"Zaffo", "文書ﾃﾞｰﾀｰﾍﾞｰｽ"}};

bool isFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString withoutSlash(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

// The text before the last "/"; empty when there is none or only the root's.
QString above(const QString& folder)
{
    const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
    return slash > 0 ? folder.left(slash) : QString();
}

QFileInfoList subfolders(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    // Listing order, as the file system gives it; hidden folders count too.
    return QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                      QDir::Unsorted);
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The executable inside a tool's folder. Names on this file system differ by
// case, so a file whose name matches case-blind is taken when there is one.
QString executableIn(const QString& folder, const QString& exeFileName)
{
    const QString exact = folder + QLatin1Char('/') + exeFileName;
    if (QFileInfo(exact).isFile())
        return exact;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
        if (sameName(f.fileName(), exeFileName))
            return f.filePath();
    return exact;
}

} // namespace

zKtl::zKtl(FamilyStore& family, const QString& programFolder, OpenDialog openDialog)
    : m_family(family), m_programFolder(withoutSlash(programFolder)), m_openDialog(std::move(openDialog))
{
}

QString zKtl::toolCode(int index)
{
    return index >= 0 && index < int(std::size(kTools)) ? QString::fromUtf8(kTools[index].code) : QString();
}

QString zKtl::displayName(int index)
{
    return index >= 0 && index < int(std::size(kTools)) ? QString::fromUtf8(kTools[index].name) : QString();
}

void zKtl::GetAppNm(int index, QString& executable)
{
    const QString code = toolCode(index);
    if (code.isEmpty())
        return;
    const QString registered = m_family.value(kFamilyApp, kFamilySection, code);
    if (isFile(registered)) {
        executable = registered;
        return;
    }
    // Programs here carry no ".exe": the executable is named by the code.
    QString parent, found;
    GetExePh(parent, code, code, found);
    if (isFile(found)) {
        m_family.setValue(kFamilyApp, kFamilySection, code, found);
        executable = found;
        return;
    }
    QString chosen;
    if (m_openDialog)
        chosen = m_openDialog(displayName(index) + QStringLiteral(" 実行ﾌｧｲﾙの指定"), executable,
                              QStringLiteral("実行ﾌｧｲﾙ|*"), parent);
    if (!executable.isEmpty() && !chosen.endsWith(executable, Qt::CaseInsensitive))
        chosen.clear();
    if (!isFile(chosen))
        return;
    m_family.setValue(kFamilyApp, kFamilySection, code, chosen);
    executable = chosen;
}

void zKtl::GetExePh(QString& parent, const QString& code, const QString& exeFileName, QString& found)
{
    found.clear();
    parent = above(m_programFolder);
    const QString grandparent = above(parent);
    for (const QFileInfo& f : subfolders(parent))
        if (sameName(f.fileName(), code)) {
            found = executableIn(f.filePath(), exeFileName);
            return;
        }
    for (const QFileInfo& f : subfolders(grandparent)) {
        if (sameName(f.filePath(), parent))
            continue;
        if (sameName(f.fileName(), code)) {
            found = executableIn(f.filePath(), exeFileName);
            return;
        }
        for (const QFileInfo& g : subfolders(f.filePath())) {
            if (sameName(g.filePath(), parent))
                continue;
            if (sameName(g.fileName(), code)) {
                found = executableIn(g.filePath(), exeFileName);
                return;
            }
        }
    }
}

} // namespace varnel
