#include "QtDialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

#include "platform/ShownLanguage.h"

namespace varnel {

namespace {
const QString kTitle = QStringLiteral("Varnel");
}

QString QtDialogs::toQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    // Descriptions are shown, patterns are not.
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Patterns match case-blind on the original desktop; list both cases.
        QStringList pats = pattern.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QStringList both;
        for (const QString& p : pats) {
            both << p.toLower();
            if (p.toUpper() != p.toLower())
                both << p.toUpper();
        }
        out << shownText(parts[i]) + QLatin1String(" (") + both.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out.join(QLatin1String(";;"));
}

void QtDialogs::message(const QString& text)
{
    QMessageBox::information(m_owner, kTitle, shownText(text), QMessageBox::Ok);
}

bool QtDialogs::confirm(const QString& text)
{
    // A plain confirmation: no icon, OK the default.
    QMessageBox box(QMessageBox::NoIcon, kTitle, shownText(text), QMessageBox::Ok | QMessageBox::Cancel, m_owner);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

Dialogs::SaveChoice QtDialogs::askSaveChanges(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, kTitle, shownText(text), QMessageBox::NoButton, m_owner);
    QPushButton* save = box.addButton(shownText(QStringLiteral("保存")), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(shownText(QStringLiteral("保存しない")), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(shownText(QStringLiteral("キャンセル")), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    if (box.clickedButton() == discard)
        return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

QString QtDialogs::openFile(const QString& title, const QString& fileName, const QString& filter,
                            const QString& folder)
{
    QString start = fileName;
    if (!fileName.contains(QLatin1Char('/')) && !folder.isEmpty())
        start = folder + QLatin1Char('/') + fileName;
    // Qt's own dialog: the same on every desktop, and it takes a typed path.
    return QFileDialog::getOpenFileName(m_owner, shownText(title), start, toQtFilter(filter), nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

QString QtDialogs::saveFile(const QString& title, const QString& fileName, const QString& filter,
                            int* chosenFilter)
{
    const QString qtFilter = toQtFilter(filter);
    QString selected;
    const QString path = QFileDialog::getSaveFileName(m_owner, shownText(title), fileName, qtFilter, &selected,
                                                      QFileDialog::DontUseNativeDialog);
    if (chosenFilter)
        *chosenFilter = std::max(0, int(qtFilter.split(QStringLiteral(";;")).indexOf(selected)));
    return path;
}

QString QtDialogs::browseFolder(const QString& title, const QString& start)
{
    return QFileDialog::getExistingDirectory(m_owner, shownText(title), start);
}

} // namespace varnel
