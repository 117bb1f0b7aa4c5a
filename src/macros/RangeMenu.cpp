#include "RangeMenu.h"

#include <algorithm>
#include <cmath>

#include "MenuGroup.h"
#include "RangeList.h"

namespace varnel {

void RangeMenu::attach(MenuGroup* ranges, MenuGroup* commands)
{
    m_ranges = ranges;
    m_commands = commands;
}

void RangeMenu::SetRangeList(const QString& text)
{
    QStringList captions;
    list = RangeList::validEntries(text, &captions);
    const int n = int(captions.size());
    for (int i = 0; i < n; ++i) {
        if (m_ranges->exists(i))
            m_ranges->setCaption(i, captions[i]);
        else
            m_ranges->addAt(i, captions[i]);
        m_ranges->setVisible(i, true);
    }
    m_commands->setVisible(0, n > 0);
    // Item 0 always exists; it only hides while nothing is registered.
    m_ranges->removeFrom(std::max(n, 1));
    if (n == 0)
        m_ranges->setVisible(0, false);
}

std::optional<QSize> RangeMenu::selection(int index, const QSize& picture) const
{
    float w = 0, h = 0;
    if (!list.isEmpty())
        RangeList::sizeInPixels(list, index, w, h);
    if (w == 0 || h == 0)
        return std::nullopt;
    // In double, so that sizes beyond any picture clip instead of overflowing.
    const double right = std::min(double(w) + 1, double(picture.width()));
    const double bottom = std::min(double(h) + 1, double(picture.height()));
    if (right <= 0 || bottom <= 0)
        return QSize();
    return QSize(int(std::nearbyint(right)), int(std::nearbyint(bottom)));
}

} // namespace varnel
