#pragma once
#include <QList>
#include <QString>
#include <functional>

#include "MacroScript.h"

namespace varnel {

class MenuGroup;

// Replays command lines through the menu groups that own the keywords: a
// line clicks the first item, in index order, whose caption begins with the
// argument, so it does exactly what the user's click does.
class MacroRunner {
public:
    // Groups whose keyword is one of the macro keywords take part.
    explicit MacroRunner(QList<MenuGroup*> groups);

    // Asked before a step clicks group/index; a non-empty answer refuses the
    // step and ends the run as failed with that reason.
    std::function<QString(const MenuGroup& group, int index)> refuse;
    // Asked after each step; a non-empty answer ends the run as failed.
    std::function<QString()> failure;
    // Asked before each step; false ends the run quietly (the program is
    // ending, the window is gone).
    std::function<bool()> alive;

    struct Result {
        bool found = false;      // a macro of that name exists
        int stepsRun = 0;        // lines that clicked an item
        bool stopped = false;    // ended early, by alive() or a failure
        QString error;           // why it failed; empty when it did not
    };

    // Runs the first macro of text named name.
    Result run(const QString& text, const QString& name);
    // Runs the lines in order; used by run().
    Result runCommands(const QList<MacroScript::Command>& commands);

    // Carries out one line; false when it names nothing known.
    bool runStep(const QString& keyword, const QString& argument);
    // The group and item a line would click; false when none.
    bool resolve(const QString& keyword, const QString& argument, MenuGroup*& group, int& index) const;

    // Runs nest when a step starts another run; this many levels at most.
    static constexpr int kMaxDepth = 4;

private:
    QList<MenuGroup*> m_groups;
    int m_depth = 0;
};

} // namespace varnel
