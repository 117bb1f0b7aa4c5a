#include "MacroRecorder.h"

#include "MacroScript.h"
#include "MenuGroup.h"

namespace varnel {

void MacroRecorder::attach(MenuGroup* macros, MenuGroup* recordMenu)
{
    m_macros = macros;
    m_record = recordMenu;
}

void MacroRecorder::setRecording(bool on)
{
    recording = on;
    m_record->setEnabled(Start, !on);
    m_record->setEnabled(Edit, !on);
    m_record->setEnabled(End, on);
}

void MacroRecorder::onRecordMenu(int index)
{
    if (!m_record->isEnabled(index))
        return;
    if (index == Start) {
        if (!services.confirm(QStringLiteral("マクロを記録開始します")))
            return;
        buffer.clear();
        setRecording(true);
        services.recordingStarts();
    } else if (index == End) {
        if (!services.confirm(QStringLiteral("マクロを記録終了します")))
            return;
        recording = false;
        text = MacroScript::appendRecording(text, buffer);
        QString edited = text;
        if (services.edit(edited))
            text = edited;
        // Recording is over either way and the new macro is already part of
        // the text (it is saved at exit): the menu lists it, also when the
        // editor was closed without updating.
        services.recordingEnds();
        BuildMacroMenu();
        setRecording(false);
    } else if (index == Edit) {
        QString edited = text;
        if (services.edit(edited)) {
            text = edited;
            BuildMacroMenu();
        }
    }
}

void MacroRecorder::RecordMacroStep(const QString& keyword, const QString& argument)
{
    if (!recording)
        return;
    if (!buffer.isEmpty())
        buffer += MacroScript::kLineBreak;
    buffer += keyword + MacroScript::kArrow + argument;
}

void MacroRecorder::BuildMacroMenu()
{
    m_macros->setVisible(0, false);
    m_record->setVisible(Separator, false);
    const QStringList names = text.isEmpty() ? QStringList() : MacroScript::names(text);
    int n = 0;
    for (const QString& name : names) {
        if (!m_macros->exists(n))
            m_macros->addAt(n, name);
        m_macros->setCaption(n, name);
        m_macros->setVisible(n, true);
        ++n;
    }
    for (int i = n; i < m_macros->size(); ++i)
        m_macros->setVisible(i, false);
    m_record->setVisible(Separator, !text.isEmpty());
}

} // namespace varnel
