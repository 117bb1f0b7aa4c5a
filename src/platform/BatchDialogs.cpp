#include "BatchDialogs.h"

namespace varnel {

bool BatchDialogs::reportsFailure(const QString& text)
{
    // The program's failure messages end in a negative ("…できませんでした",
    // "…が見つかりません", "…読み込めません") or name the failure.
    for (const char* mark : {"ません", "失敗", "破損", "エラー"})
        if (text.contains(QString::fromUtf8(mark)))
            return true;
    return false;
}

void BatchDialogs::message(const QString& text)
{
    m_messages << text;
    if (m_failure.isEmpty() && reportsFailure(text))
        m_failure = text;
}

void BatchDialogs::refused(const QString& what)
{
    if (m_failure.isEmpty())
        m_failure = what + QStringLiteral(" needs a person to answer");
}

bool BatchDialogs::confirm(const QString& text)
{
    refused(QStringLiteral("the question \"") + text + QLatin1Char('"'));
    return false;
}

Dialogs::SaveChoice BatchDialogs::askSaveChanges(const QString& text)
{
    refused(QStringLiteral("the question \"") + text + QLatin1Char('"'));
    return SaveChoice::Cancel;
}

QString BatchDialogs::openFile(const QString& title, const QString&, const QString&, const QString&)
{
    refused(QStringLiteral("the file dialog \"") + title + QLatin1Char('"'));
    return {};
}

QString BatchDialogs::saveFile(const QString& title, const QString&, const QString&, int*)
{
    refused(QStringLiteral("the file dialog \"") + title + QLatin1Char('"'));
    return {};
}

QString BatchDialogs::browseFolder(const QString& title, const QString&)
{
    refused(QStringLiteral("the folder dialog \"") + title + QLatin1Char('"'));
    return {};
}

void BatchDialogs::clear()
{
    m_messages.clear();
    m_failure.clear();
}

} // namespace varnel
