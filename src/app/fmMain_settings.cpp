// Loading the stored settings at start and writing them at the user's exit.
#include "fmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>

#include "macros/MenuGroup.h"

namespace varnel {

void fmMain::LoadSettings()
{
    cbZoom->clear();
    cbZoom->addItems({QStringLiteral(" 50%"), QStringLiteral(" 75%"), QStringLiteral("100%"),
                      QStringLiteral("125%"), QStringLiteral("150%"), QStringLiteral("200%"),
                      QStringLiteral("300%"), QStringLiteral("400%"), QStringLiteral("500%")});
    // No stored settings yet: the built-in values.
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        resize(int(10000 * s->logicalDotsPerInch() / 1440.0), int(6000 * s->logicalDotsPerInch() / 1440.0));
        move(s->availableGeometry().center() - rect().center());
    }
    DisplayMode = 1;
    WorkListShown = false;
    AfterCaptureAction = 1;
    CaptureColourIndex = 0;

    SuppressEvents = true;
    chDsp[0]->setChecked(DisplayMode == 1);
    cbZoom->setEnabled(DisplayMode == 3);
    cbZoom->setCurrentIndex(DisplayMode == 3 ? 2 : -1);
    chDsp[1]->setChecked(false);
    SuppressEvents = false;
}

void fmMain::SaveSettings()
{
    ShutDown(TrayIconAdded);
}

} // namespace varnel
