// The view: showing the picture scaled or zoomed, the work-folder list
// toggle and the tool strip.
#include "fmMain.h"

#include <QCheckBox>
#include <QComboBox>

#include "editing/ColourDepth.h"
#include "editing/PictureSurface.h"
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
    QString t = cbZoom->currentText().trimmed();
    t.remove(QLatin1Char('%'));
    const int n = t.toInt();
    if (n <= 0)
        return;
    ikImg->setZoom(n / 100.0);
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
