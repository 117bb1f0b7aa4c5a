// The view: showing the picture scaled or zoomed, the work-folder list
// toggle and the tool strip.
#include "fmMain.h"

#include "MenuItems.h"

#include <QCheckBox>
#include <QComboBox>

#include "editing/ColourDepth.h"
#include "editing/PictureSurface.h"
#include "editing/ZoomSteps.h"
#include "macros/MenuGroup.h"

namespace varnel {

bool fmMain::ShowPicture()
{
    return ikImg->showPicture(DisplayMode);
}

void fmMain::SetScaleDisplay(bool ticked)
{
    SuppressEvents = true;
    DisplayMode = ticked ? 1 : 3;
    cbZoom->setEnabled(DisplayMode == 3);
    cbZoom->setCurrentIndex(ticked ? -1 : 2);
    ikImg->setZoom(1.0);
    ShowPicture();
    SuppressEvents = false;
}

void fmMain::onZoomChosen()
{
    if (SuppressEvents)
        return;
    const double f = ZoomSteps::factorOf(cbZoom->currentText());
    if (f <= 0)
        return;
    ikImg->setZoom(f);
    ikImg->showPicture(3);
}

void fmMain::StepZoom(int step)
{
    const int current = DisplayMode == 3 ? cbZoom->currentIndex() : -1;
    const int next = ZoomSteps::step(current, ikImg->displayScale(), step);
    if (next < 0 || next >= cbZoom->count())
        return;
    // Zooming from the scaled view leaves it, as unticking the box would.
    SuppressEvents = true;
    if (DisplayMode != 3) {
        DisplayMode = 3;
        chDsp[0]->setChecked(false);
        cbZoom->setEnabled(true);
    }
    cbZoom->setCurrentIndex(next);
    SuppressEvents = false;
    ikImg->setZoom(ZoomSteps::factorOf(cbZoom->itemText(next)));
    ikImg->showPicture(3);
}

void fmMain::onDisplayMenu(int)
{
    WorkListShown = !WorkListShown;
    mnDisp->setCaption(0, WorkListShown ? QStringLiteral("作業ﾌｫﾙﾀﾞを非表示")
                                        : QStringLiteral("作業ﾌｫﾙﾀﾞを表示"));
    LayoutWindow();
    RefreshFileList();
}

void fmMain::onToolButton(int index)
{
    // The tool strip's buttons, left to right, as menu items (so that a
    // recording takes them as steps); the last copies and stands by.
    using namespace MenuItems;
    const std::pair<MenuGroup*, int> items[] = {
        {mnFile, FileOpen},      {mnFile, FileSave},  {mnWkf, WorkSaveNumbered}, {mnWkf, WorkExplore},
        {mnEdt, EditPaste},      {mnEdt, EditCopy},   {mnEdt, EditTrim},         {mnCut, StitchRows},
        {mnCut, StitchColumns},
    };
    if (index >= 0 && index < int(std::size(items))) {
        items[index].first->click(items[index].second);
    } else if (index == int(std::size(items))) {
        CopyToClipboard();
        SetFormShown(false);
    }
}

} // namespace varnel
