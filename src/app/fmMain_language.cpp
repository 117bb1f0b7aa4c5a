// The language the window shows: chosen in the settings menu, kept in
// User.xml, applied at the next start.
#include "fmMain.h"

#include "macros/MenuBinder.h"
#include "macros/MenuGroup.h"
#include "platform/ShownLanguage.h"

namespace varnel {

namespace {
const Language kChoices[] = {Language::Japanese, Language::English};
}

void fmMain::buildLanguageMenu()
{
    // After every item the settings menu had, so that no index moves; the
    // group records nothing in macros.
    mnLang = new MenuGroup(QStringLiteral("mnLang"), {}, this);
    m_groups.insert(mnLang->name(), mnLang);
    mnLang->setCheckable(true);
    mnLang->add(QStringLiteral("日本語"));
    mnLang->add(QStringLiteral("English"));
    mnLang->tickOnly(ShownLanguage::current() == Language::English ? 1 : 0);
    mnLang->setHandler([this](int i) { onLanguageMenu(i); });
    const int at = mnUsr->add(QStringLiteral("Language / 言語"));
    mnUsr->setSubmenu(at, mnLang);
    // Macro and range names are the user's words, shown as typed.
    for (MenuGroup* g : {mnMcr, mnUsHn})
        g->setProperty(MenuBinder::kUserNames, true);
}

void fmMain::onLanguageMenu(int index)
{
    if (index < 0 || index > 1)
        return;
    const Language chosen = kChoices[index];
    mnLang->tickOnly(index);
    const bool change = ShownLanguage::code(chosen) != LanguageChoice && chosen != ShownLanguage::current();
    LanguageChoice = ShownLanguage::code(chosen);
    // Menus, messages and Qt's own dialogs all take the language at start;
    // switching half of them now would leave a window in two languages.
    if (change)
        m_platform.dialogs->message(chosen == Language::English
                                        ? QStringLiteral("次に起動したときから、英語で表示します。")
                                        : QStringLiteral("次に起動したときから、日本語で表示します。"));
}

} // namespace varnel
