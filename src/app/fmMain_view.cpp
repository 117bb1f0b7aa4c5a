// The view: showing the picture scaled or zoomed, the work-folder list
// toggle and the tool strip.
#include "fmMain.h"

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
    switch (index) {
    case 0: mnFile->click(0); break;
    case 1: mnFile->click(1); break;
    case 2: mnWkf->click(0); break;
    case 3: mnWkf->click(1); break;
    case 4: mnEdt->click(3); break;
    case 5: mnEdt->click(2); break;
    case 6: mnEdt->click(6); break;
    case 7: mnCut->click(0); break;
    case 8: mnCut->click(1); break;
    case 9:
        CopyToClipboard();
        SetFormShown(false);
        break;
    default: break;
    }
}

} // namespace varnel
