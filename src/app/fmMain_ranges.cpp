// Registered ranges: the size dialog, and a range chosen from the menu.
#include "fmMain.h"

#include "editing/PictureSurface.h"
#include "macros/MenuGroup.h"
#include "macros/spSize.h"

namespace varnel {

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
        m_ranges.SetRangeList(list);
}

bool fmMain::SelectUserRange(int i)
{
    Picture& pic = ikImg->picture();
    // Centimetres mean something only at a known resolution.
    if (!RangeList.isEmpty() && pic.hasPicture() && (pic.dpiX() != 96 || pic.dpiY() != 96))
        pic.setResolution(96, 96);
    const auto corner = m_ranges.selection(i, QSize(pic.width(), pic.height()));
    if (!corner)
        return false;
    if (!corner->isEmpty())
        ikImg->setSelection(1, 1, corner->width(), corner->height());
    return true;
}

} // namespace varnel
