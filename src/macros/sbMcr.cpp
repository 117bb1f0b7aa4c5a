#include "sbMcr.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "MacroScript.h"

namespace varnel {

namespace {
QFont editorFont()
{
    // A proportional Japanese gothic; the first one installed wins.
    const QStringList families = QFontDatabase::families();
    for (const char* f : {"IPAPGothic", "IPA Pゴシック", "IPAexGothic", "Noto Sans CJK JP",
                          "VL PGothic", "TakaoPGothic"}) {
        const QString name = QString::fromUtf8(f);
        if (families.contains(name)) {
            QFont font(name);
            font.setPointSizeF(9.75);
            return font;
        }
    }
    QFont font;
    font.setPointSizeF(9.75);
    return font;
}
} // namespace

sbMcr::sbMcr(QWidget* parent) : QDialog(parent)
{
    setModal(true);
    resize(420, 320);

    auto* bar = new QMenuBar(this);
    m_file = bar->addMenu(QString());
    for (int i = 0; i < 4; ++i) {
        QAction* a = i == 1 ? m_file->addSeparator() : m_file->addAction(QString());
        if (i != 1)
            connect(a, &QAction::triggered, this, [this, i] { chooseFileItem(i); });
        m_items[size_t(i)] = a;
    }

    Rtex = new QPlainTextEdit(this);
    Rtex->setFont(editorFont());
    Rtex->setLineWrapMode(QPlainTextEdit::NoWrap);
    Rtex->setTabChangesFocus(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(bar);
    layout->addWidget(Rtex);
    m_help = new QLabel(this);
    m_help->setWordWrap(true);
    m_help->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_help);
    retranslateUi();
}

void sbMcr::retranslateUi()
{
    setWindowTitle(tr("マクロコマンドの編集"));
    m_file->setTitle(tr("ﾌｧｲﾙ"));
    m_items[0]->setText(tr("編集取り消"));
    m_items[2]->setText(tr("更新して閉じる"));
    m_items[3]->setText(tr("更新しないで閉じる"));
    // Lines name menu items by their Japanese captions in every language,
    // so that a macro replays the same wherever it was recorded.
    m_help->setText(tr("1行に1つ「ｷｰﾜｰﾄﾞ⇒見出し」。見出しは、英語の表示でも日本語で記録し、日本語で照合します。"));
}

void sbMcr::fill(const QString& text)
{
    // The box holds lines; the macro text breaks them with CR LF.
    QString shown = text;
    shown.replace(MacroScript::kLineBreak, QStringLiteral("\n"));
    Rtex->setPlainText(shown);
}

void sbMcr::Act(QString& text, bool& updated)
{
    Updated = false;
    OpeningText = text;
    if (QWidget* p = parentWidget()) {
        const QRect pg = p->frameGeometry();
        move(pg.left() + (pg.width() - frameGeometry().width()) / 2,
             pg.top() + (pg.height() - frameGeometry().height()) / 2);
    }
    fill(text);
    // Typing renames a freshly recorded macro at once.
    const qsizetype at = Rtex->toPlainText().indexOf(MacroScript::kNewMacroName);
    QTextCursor c = Rtex->textCursor();
    if (at >= 0) {
        c.setPosition(int(at));
        c.setPosition(int(at + MacroScript::kNewMacroName.size()), QTextCursor::KeepAnchor);
    } else {
        c.movePosition(QTextCursor::Start);
    }
    Rtex->setTextCursor(c);
    Rtex->setFocus();
    exec();
    updated = Updated;
    if (Updated) {
        // Back to CR LF breaks, whatever the box used.
        QString edited = Rtex->toPlainText();
        edited.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        edited.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        edited.replace(QLatin1Char('\n'), MacroScript::kLineBreak);
        text = edited;
    }
}

void sbMcr::chooseFileItem(int index)
{
    switch (index) {
    case 0:
        fill(OpeningText);
        break;
    case 2:
        Updated = true;
        accept();
        break;
    case 3:
        Updated = false;
        reject();
        break;
    default:
        break;
    }
}

void sbMcr::closeEvent(QCloseEvent* e)
{
    // The close box hands nothing back.
    Updated = false;
    QDialog::closeEvent(e);
}

} // namespace varnel
