// Macro recording and replay through the menu groups.
#include "fmMain.h"

#include <QPointer>

#include "macros/MenuGroup.h"
#include "macros/sbMcr.h"

namespace varnel {

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

void fmMain::wireMenuLists()
{
    m_recorder.attach(mnMcr, mnMcrS);
    m_ranges.attach(mnUsHn, mnRng);
    MacroRecorder::Services& s = m_recorder.services;
    s.confirm = [this](const QString& question) { return m_platform.dialogs->confirm(question); };
    s.edit = [this](QString& text) {
        bool updated = false;
        macroEditor()->Act(text, updated);
        return updated;
    };
    s.recordingStarts = [this] { setWindowTitle(QStringLiteral("マクロ記録中・・・")); };
    // From now on the title names the current file, and follows it.
    s.recordingEnds = [this] {
        m_titleShowsFile = true;
        setWindowTitle(CurrentFilePath);
    };
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
