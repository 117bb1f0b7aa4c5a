// Macro recording and replay through the menu groups.
#include "fmMain.h"

#include <QPointer>

#include "macros/MacroScript.h"
#include "macros/MenuGroup.h"
#include "macros/sbMcr.h"

namespace varnel {

namespace {
enum RecordItem { kSeparator = 0, kStart = 1, kEnd = 2, kEdit = 3 };
}

MacroRunner& fmMain::macroRunner()
{
    if (!m_macroRunner) {
        m_macroRunner = std::make_unique<MacroRunner>(
            QList<MenuGroup*>{mnFile, mnWkf, mnKkn, mnEdt, mnUsHn, mnRng, mnResize, mnCut, mnRotate, mnColr});
        // A step that ended the program (the exit item) ends the run: the
        // settings were saved once and nothing may act on a closing window.
        QPointer<fmMain> self(this);
        m_macroRunner->alive = [self] { return self && !self->isShuttingDown(); };
    }
    return *m_macroRunner;
}

sbMcr* fmMain::macroEditor()
{
    if (!m_sbMcr)
        m_sbMcr = new sbMcr(this);
    return m_sbMcr;
}

void fmMain::onMacroMenu(int index)
{
    if (m_paste->isWaiting()) // a replay waits for a paste
        return;
    RunMacro(index);
}

void fmMain::onMacroRecordMenu(int index)
{
    if (!mnMcrS->isEnabled(index))
        return;
    if (index == kStart) {
        if (!m_platform.dialogs->confirm(QStringLiteral("マクロを記録開始します")))
            return;
        MacroRecording = true;
        MacroBuffer.clear();
        setWindowTitle(QStringLiteral("マクロ記録中・・・"));
        mnMcrS->setEnabled(kStart, false);
        mnMcrS->setEnabled(kEdit, false);
        mnMcrS->setEnabled(kEnd, true);
    } else if (index == kEnd) {
        if (!m_platform.dialogs->confirm(QStringLiteral("マクロを記録終了します")))
            return;
        MacroRecording = false;
        MacroText = MacroScript::appendRecording(MacroText, MacroBuffer);
        QString text = MacroText;
        bool updated = false;
        macroEditor()->Act(text, updated);
        if (updated)
            MacroText = text;
        // Recording is over either way and the new macro is already part of
        // the text (it is saved at exit): the window says so and the menu
        // lists it, also when the editor was closed without updating.
        m_titleShowsFile = true;
        setWindowTitle(CurrentFilePath);
        BuildMacroMenu();
        mnMcrS->setEnabled(kStart, true);
        mnMcrS->setEnabled(kEdit, true);
        mnMcrS->setEnabled(kEnd, false);
    } else if (index == kEdit) {
        QString text = MacroText;
        bool updated = false;
        macroEditor()->Act(text, updated);
        if (updated) {
            MacroText = text;
            BuildMacroMenu();
        }
    }
}

void fmMain::RecordMacroStep(const QString& keyword, const QString& caption)
{
    if (!MacroBuffer.isEmpty())
        MacroBuffer += MacroScript::kLineBreak;
    MacroBuffer += MacroScript::recordedLine(keyword, caption);
}

void fmMain::appendMacroLine(const QString& keyword, const QString& argument)
{
    if (!MacroBuffer.isEmpty())
        MacroBuffer += MacroScript::kLineBreak;
    MacroBuffer += keyword + MacroScript::kArrow + argument;
}

void fmMain::BuildMacroMenu()
{
    mnMcr->setVisible(0, false);
    mnMcrS->setVisible(kSeparator, false);
    const QStringList names = MacroText.isEmpty() ? QStringList() : MacroScript::names(MacroText);
    int n = 0;
    for (const QString& name : names) {
        if (!mnMcr->exists(n))
            mnMcr->addAt(n, name);
        mnMcr->setCaption(n, name);
        mnMcr->setVisible(n, true);
        ++n;
    }
    for (int i = n; i < mnMcr->size(); ++i)
        mnMcr->setVisible(i, false);
    mnMcrS->setVisible(kSeparator, !MacroText.isEmpty());
}

void fmMain::RunMacro(int index)
{
    if (!mnMcr->exists(index))
        return;
    const MacroRunner::Result r = RunMacroNamed(mnMcr->caption(index));
    if (!r.error.isEmpty() && !isShuttingDown())
        m_platform.dialogs->message(r.error);
}

MacroRunner::Result fmMain::RunMacroNamed(const QString& name)
{
    ++m_replaying;
    const MacroRunner::Result r = macroRunner().run(MacroText, name);
    --m_replaying;
    return r;
}

void fmMain::RunMacroStep(const QString& keyword, const QString& argument)
{
    ++m_replaying;
    macroRunner().runStep(keyword, argument);
    --m_replaying;
}

} // namespace varnel
