// Macro recording and replay through the menu groups.
#include "fmMain.h"

#include "macros/MenuGroup.h"

namespace varnel {

void fmMain::onMacroMenu(int) {}

void fmMain::onMacroRecordMenu(int) {}

void fmMain::RecordMacroStep(const QString& keyword, const QString& caption)
{
    if (!MacroBuffer.isEmpty())
        MacroBuffer += QStringLiteral("\r\n");
    const int paren = caption.indexOf(QLatin1Char('('));
    MacroBuffer += keyword + QStringLiteral("⇒") + (paren >= 0 ? caption.left(paren) : caption);
}

} // namespace varnel
