// Registered ranges: the range list and the size dialog.
#include "fmMain.h"

#include <algorithm>
#include <cmath>

#include "editing/PictureSurface.h"
#include "macros/MenuGroup.h"
#include "macros/RangeList.h"
#include "macros/spSize.h"

namespace varnel {

bool fmMain::onUserRangeMenu(int i)
{
    return SelectUserRange(i);
}

void fmMain::RegisterRange()
{
    int left, right, top, bottom;
    GetRange(left, right, top, bottom);
    spSize::Services services;
    services.workArea = [this] { return m_platform.shell->desktopWorkArea(frameGeometry().center()); };
    services.startCalculator = [this] { return m_platform.shell->startCalculator(); };
    services.message = [this](const QString& m) { m_platform.dialogs->message(m); };
    spSize dialog(std::move(services), this);
    QString list = RangeList;
    dialog.Act(list, right - left, bottom - top);
    if (list != RangeList)
        SetRangeList(list);
}

void fmMain::SetRangeList(const QString& list)
{
    QStringList captions;
    RangeList = varnel::RangeList::validEntries(list, &captions);
    const int n = int(captions.size());
    for (int i = 0; i < n; ++i) {
        if (mnUsHn->exists(i))
            mnUsHn->setCaption(i, captions[i]);
        else
            mnUsHn->addAt(i, captions[i]);
        mnUsHn->setVisible(i, true);
    }
    mnRng->setVisible(0, n > 0);
    // Item 0 always exists; it only hides while nothing is registered.
    mnUsHn->removeFrom(std::max(n, 1));
    if (n == 0)
        mnUsHn->setVisible(0, false);
}

void fmMain::GetUserRangeSize(int i, float& width, float& height)
{
    width = height = 0;
    if (RangeList.isEmpty())
        return;
    varnel::RangeList::sizeInPixels(RangeList, i, width, height);
    // Centimetres mean something only at a known resolution.
    Picture& pic = ikImg->picture();
    if (pic.hasPicture() && (pic.dpiX() != 96 || pic.dpiY() != 96))
        pic.setResolution(96, 96);
}

bool fmMain::SelectUserRange(int i)
{
    float w = 0, h = 0;
    GetUserRangeSize(i, w, h);
    if (w == 0 || h == 0)
        return false;
    // In double, so that sizes beyond any picture clip instead of overflowing.
    const double right = std::min(double(w) + 1, double(ikImg->picture().width()));
    const double bottom = std::min(double(h) + 1, double(ikImg->picture().height()));
    if (right > 0 && bottom > 0)
        ikImg->setSelection(1, 1, int(std::nearbyint(right)), int(std::nearbyint(bottom)));
    return true;
}

} // namespace varnel
