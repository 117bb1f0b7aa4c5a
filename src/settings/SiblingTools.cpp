#include "SiblingTools.h"

#include <QDir>

#include "platform/Platform.h"

namespace varnel {

SiblingTools::SiblingTools(Platform& platform, const QString& programFolder, zKtl::OpenDialog openDialog)
    : m_platform(platform), m_programFolder(programFolder), m_openDialog(std::move(openDialog))
{
}

void SiblingTools::OpenWithBrivale(const QString& folder, const QString& file)
{
    if (folder.isEmpty() || file.isEmpty())
        return;
    if (BrivalePath.isEmpty())
        locate(1, BrivalePath);
    if (!BrivalePath.isEmpty())
        start(BrivalePath, QDir(folder).filePath(file));
}

void SiblingTools::OpenWithBrivane(const QString& folder, const QString& file)
{
    if (BrivanePath.isEmpty())
        locate(0, BrivanePath);
    if (BrivanePath.isEmpty())
        return;
    start(BrivanePath, file.isEmpty() ? folder : QDir(folder).filePath(file));
}

void SiblingTools::locate(int index, QString& executable)
{
    zKtl(*m_platform.family, m_programFolder, m_openDialog).GetAppNm(index, executable);
}

void SiblingTools::start(QString& executable, const QString& target)
{
    // One argument, no shell: a path with blanks or quotes arrives whole.
    const QStringList args = target.isEmpty() ? QStringList() : QStringList{target};
    if (m_platform.shell->startProgram(executable, args))
        return;
    m_platform.dialogs->message(executable + QStringLiteral(" を起動できませんでした"));
    executable.clear();
}

} // namespace varnel
