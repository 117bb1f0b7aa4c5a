#pragma once
#include <QSize>
#include <QString>

#include <optional>

namespace varnel {

class MenuGroup;

// The registered ranges as the range menu lists them: the valid entries of
// the list, one item each, before the range commands.
class RangeMenu {
public:
    QString list; // "RangeList": the valid entries only

    // The group of the ranges, and the range commands that follow them.
    void attach(MenuGroup* ranges, MenuGroup* commands);
    // Takes a list into use (its valid entries) and rebuilds the items.
    void SetRangeList(const QString& list);
    // The selection's right and bottom (it starts at 1, 1) that range index
    // makes on a picture of that size, clipped to it (an empty size for a
    // picture too small); none when the range has no size.
    std::optional<QSize> selection(int index, const QSize& picture) const;

private:
    MenuGroup* m_ranges = nullptr;
    MenuGroup* m_commands = nullptr;
};

} // namespace varnel
