// Showing the picture, its colour depth bookkeeping, the range, and the
// clipboard and file intake the capture road shares.
#include "fmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>

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

bool fmMain::SetColourDepth(int code, bool quiet)
{
    const bool ok = ColourDepth::convert(ikImg->picture(), code);
    if (!quiet) {
        SetPictureState(2);
        UpdateColourDepth(code);
    }
    return ok;
}

void fmMain::UpdateColourDepth(int code)
{
    if (!ikImg->hasPicture())
        return;
    if (code == 0)
        code = ikImg->picture().depthCode();
    mnColr->tickOnly(ColourDepth::itemForCode(code));
    ColourDepthCode = QString::number(code);
}

bool fmMain::GetRange(int& left, int& right, int& top, int& bottom)
{
    left = right = top = bottom = 0;
    if (!ikImg->hasPicture())
        return false;
    left = ikImg->selLeft();
    right = ikImg->selRight();
    top = ikImg->selTop();
    bottom = ikImg->selBottom();
    return left > 0 || right > 0 || top > 0 || bottom > 0;
}

void fmMain::ClearRange()
{
    ikImg->clearSelection();
}

void fmMain::CopyToClipboard()
{
    if (!ikImg->hasPicture())
        return;
    int l, r, t, b;
    const bool found = GetRange(l, r, t, b);
    SetBusy(true);
    ikImg2 = ikImg->picture();
    if (found)
        ikImg2.crop(l, t, r, b);
    ikImg2.setResolution(96, 96);
    m_platform.clipboard->putPicture(ikImg2.image());
    SetBusy(false);
}

bool fmMain::LoadImageFile(const QString& path)
{
    SetBusy(true);
    SuspendOverlay(false);
    ClearRange();
    bool ok = QFileInfo(path).isFile() && ikImg->picture().load(path);
    if (ok)
        ok = ShowPicture();
    if (ok) {
        UpdateColourDepth(0);
        SetPictureState(1);
        CurrentFilePath = path;
    }
    SetBusy(false);
    SuspendOverlay(true);
    return ok;
}

void fmMain::OpenPictureFile(const QString& path)
{
    if (LoadImageFile(path))
        CurrentFilePath = path;
    SetPictureState(1);
}

} // namespace varnel
