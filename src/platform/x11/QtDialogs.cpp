#include "QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTextStream>

#include <algorithm>

#include "platform/TrayIcon.h"

namespace varnel {

namespace {
const QString kTitle = QStringLiteral("Varnel");
}

QString QtDialogs::toQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
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
        out << parts[i] + QLatin1String(" (") + both.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out.join(QLatin1String(";;"));
}

QtDialogs::~QtDialogs()
{
    for (const QPointer<QDialog>& d : std::as_const(m_open))
        delete d.data();
}

void QtDialogs::toStandardError(const QString& text) const
{
    QTextStream(stderr) << "varnel: " << QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')) << '\n';
}

int QtDialogs::run(QDialog& dialog)
{
    if (isExiting())
        return QDialog::Rejected;
    m_open << &dialog;
    m_lastShown.start();
    const int r = dialog.exec();
    m_open.removeAll(&dialog);
    m_lastShown.start();
    return r;
}

void QtDialogs::message(const QString& text)
{
    const bool trayShown = m_tray && m_tray->isAdded();
    if (isExiting()) {
        toStandardError(text);
        if (trayShown)
            m_tray->showMessage(kTitle, text);
        return;
    }
    if (isStandby() && trayShown) {
        m_tray->showMessage(kTitle, text);
        return;
    }
    if (isStandby()) {
        // Owned by nobody and waited for by nobody: a box owned by the
        // minimised window would bring it back.
        auto* box = new QMessageBox(QMessageBox::Information, kTitle, text, QMessageBox::Ok);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        m_open.removeAll(nullptr);
        m_open << box;
        m_lastShown.start();
        box->show();
        return;
    }
    QMessageBox box(QMessageBox::Information, kTitle, text, QMessageBox::Ok, m_owner);
    run(box);
}

bool QtDialogs::confirm(const QString& text)
{
    if (isExiting()) {
        toStandardError(text + QStringLiteral(" (cancelled: the program is ending)"));
        return false;
    }
    // A plain confirmation: no icon, OK the default. In standby nobody owns
    // it, for the same reason as a message.
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok | QMessageBox::Cancel,
                    isStandby() ? nullptr : m_owner.data());
    box.setDefaultButton(QMessageBox::Ok);
    return run(box) == QMessageBox::Ok;
}

Dialogs::SaveChoice QtDialogs::askSaveChanges(const QString& text)
{
    // Nobody to ask: what was edited stays as it is.
    if (isExiting())
        return SaveChoice::Cancel;
    QMessageBox box(QMessageBox::Warning, kTitle, text, QMessageBox::NoButton,
                    isStandby() ? nullptr : m_owner.data());
    QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("保存しない"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    run(box);
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    if (box.clickedButton() == discard)
        return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

void QtDialogs::beginExit()
{
    Dialogs::beginExit();
    // Whatever waits for a person ends now, as if cancelled.
    for (const QPointer<QDialog>& d : QList(m_open))
        if (d)
            d->reject();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible() && d->isModal())
            d->reject();
}

bool QtDialogs::messageJustShown() const
{
    for (const QPointer<QDialog>& d : m_open)
        if (d && d->isVisible())
            return true;
    return m_lastShown.isValid() && m_lastShown.elapsed() < kSettleMs;
}

QString QtDialogs::openFile(const QString& title, const QString& fileName, const QString& filter,
                            const QString& folder)
{
    if (isExiting())
        return {};
    QString start = fileName;
    if (!fileName.contains(QLatin1Char('/')) && !folder.isEmpty())
        start = folder + QLatin1Char('/') + fileName;
    // Qt's own dialog: the same on every desktop, and it takes a typed path.
    return QFileDialog::getOpenFileName(m_owner, title, start, toQtFilter(filter), nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

QString QtDialogs::saveFile(const QString& title, const QString& fileName, const QString& filter,
                            int* chosenFilter)
{
    if (isExiting())
        return {};
    const QString qtFilter = toQtFilter(filter);
    QString selected;
    const QString path = QFileDialog::getSaveFileName(m_owner, title, fileName, qtFilter, &selected,
                                                      QFileDialog::DontUseNativeDialog);
    if (chosenFilter)
        *chosenFilter = std::max(0, int(qtFilter.split(QStringLiteral(";;")).indexOf(selected)));
    return path;
}

QString QtDialogs::browseFolder(const QString& title, const QString& start)
{
    if (isExiting())
        return {};
    return QFileDialog::getExistingDirectory(m_owner, title, start);
}

} // namespace varnel
