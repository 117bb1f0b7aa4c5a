#include "MacroRunner.h"

#include "MenuGroup.h"

#include <QHash>

#include <exception>

namespace varnel {

MacroRunner::MacroRunner(QList<MenuGroup*> groups)
{
    for (MenuGroup* g : groups)
        if (g && MacroScript::keywords().contains(g->keyword()))
            m_groups << g;
}

namespace {
// The items a keyword's line may reach. Items a group has beyond these
// (undo and redo in the edit menu) are never a macro step.
std::pair<int, int> searchedItems(const QString& keyword)
{
    static const QHash<QString, std::pair<int, int>> table = {
        {QStringLiteral("ﾌｧｲﾙ"), {0, 11}},   {QStringLiteral("作業ﾌｫﾙﾀﾞ"), {0, 4}},
        {QStringLiteral("格納"), {0, 4}},      {QStringLiteral("画像編集"), {0, 13}},
        {QStringLiteral("範囲"), {0, 7}},      {QStringLiteral("ﾘｻｲｽﾞ"), {0, 3}},
        {QStringLiteral("綴込"), {0, 1}},      {QStringLiteral("回転"), {0, 6}},
        {QStringLiteral("色数"), {1, 7}}};
    return table.value(keyword, {0, -1}); // 範囲USR: every registered range
}
} // namespace

bool MacroRunner::resolve(const QString& keyword, const QString& argument, MenuGroup*& group,
                          int& index) const
{
    for (MenuGroup* g : m_groups) {
        if (g->keyword() != keyword)
            continue;
        const auto [first, last] = searchedItems(keyword);
        const int i = g->findForReplay(argument, first, last);
        if (i < 0)
            return false;
        group = g;
        index = i;
        return true;
    }
    return false;
}

bool MacroRunner::runStep(const QString& keyword, const QString& argument)
{
    MenuGroup* g = nullptr;
    int i = -1;
    if (!resolve(keyword, argument, g, i))
        return false;
    g->click(i);
    return true;
}

MacroRunner::Result MacroRunner::run(const QString& text, const QString& name)
{
    Result r;
    QString body;
    if (!MacroScript::findBody(text, name, body))
        return r;
    // The lines are taken now: a step that changes the text does not
    // change this run.
    r = runCommands(MacroScript::commands(body));
    r.found = true;
    return r;
}

MacroRunner::Result MacroRunner::runCommands(const QList<MacroScript::Command>& commands)
{
    Result r;
    r.found = true;
    if (m_depth >= kMaxDepth) {
        r.stopped = true;
        r.error = QStringLiteral("マクロの呼び出しが深すぎるため中止しました");
        return r;
    }
    ++m_depth;
    for (const MacroScript::Command& c : commands) {
        if (alive && !alive()) {
            r.stopped = true;
            break;
        }
        MenuGroup* g = nullptr;
        int i = -1;
        if (!resolve(c.keyword, c.argument, g, i))
            continue;
        if (refuse) {
            const QString why = refuse(*g, i);
            if (!why.isEmpty()) {
                r.stopped = true;
                r.error = why;
                break;
            }
        }
        try {
            g->click(i);
        } catch (const std::exception& e) {
            // A command that broke down leaves the run, not the program.
            r.stopped = true;
            r.error = QStringLiteral("マクロの実行中にエラーが発生しました: ") + QString::fromLocal8Bit(e.what());
            break;
        }
        ++r.stepsRun;
        if (failure) {
            const QString why = failure();
            if (!why.isEmpty()) {
                r.stopped = true;
                r.error = why;
                break;
            }
        }
    }
    --m_depth;
    return r;
}

} // namespace varnel
