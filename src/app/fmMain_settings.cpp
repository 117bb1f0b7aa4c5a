// Loading the stored settings at start and writing them at the user's exit.
#include "fmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>

#include "editing/DrawingOverlay.h"
#include "editing/PictureSurface.h"
#include "editing/StampPreview.h"
#include "macros/MenuGroup.h"
#include "settings/AppSettings.h"
#include "settings/Twips.h"
#include "settings/yIni.h"

namespace varnel {

namespace {
double logicalDpi(const QWidget* w)
{
    const QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInch() : 96.0;
}
} // namespace

yIni& fmMain::settingsStore()
{
    if (!m_ini) {
        m_ini = std::make_unique<yIni>(m_platform.shell.get(), m_platform.family.get());
        m_ini->setMessageHandler([this](const QString& m) { m_platform.dialogs->message(m); });
    }
    return *m_ini;
}

void fmMain::LoadSettings()
{
    cbZoom->clear();
    cbZoom->addItems({QStringLiteral(" 50%"), QStringLiteral(" 75%"), QStringLiteral("100%"),
                      QStringLiteral("125%"), QStringLiteral("150%"), QStringLiteral("200%"),
                      QStringLiteral("300%"), QStringLiteral("400%"), QStringLiteral("500%")});
    SettingsValues v;
    const bool loaded = AppSettings::load(settingsStore(), m_env.userDataFolder, v);
    const double dpi = logicalDpi(this);
    if (loaded) {
        // The stored values are the outer window's, frame included.
        const QRect outer(twipsToPixels(v.left, dpi), twipsToPixels(v.top, dpi),
                          twipsToPixels(v.width, dpi), twipsToPixels(v.height, dpi));
        m_outer.set(outer);
    } else if (const QScreen* s = QGuiApplication::primaryScreen()) {
        // Centred at the size the window has.
        move(s->availableGeometry().center() - QRect(QPoint(), frameGeometry().size()).center());
    }
    WorkListShown = v.workListShown;
    DisplayMode = v.displayMode;
    AfterCaptureAction = v.afterCaptureAction;
    CaptureColourIndex = v.captureColourIndex;
    m_ranges.SetRangeList(v.rangeList);
    RangeListKept = v.rangeListKept;
    bMpnt = v.bMpnt;
    StandbyOnMinimise = v.standbyOnMinimise;
    StorageFolder = v.storageFolder;
    StoragePrefix = v.storagePrefix;
    StorageExtension = v.storageExtension;
    MacroText = v.macroText;
    MacroTextKept = v.macroTextKept;
    LanguageChoice = v.language;
    m_recorder.BuildMacroMenu();
    ikImg->overlay()->setNextNumber(v.nextStepNumber);
    // Out-of-range stored options tick nothing and are used as they are.
    mnCpt->tickOnly(AfterCaptureAction);
    mnGen->tickOnly(CaptureColourIndex);
    mnKkn->setEnabled(0, !StorageFolder.isEmpty());
    mnDisp->setCaption(0, WorkListShown ? QStringLiteral("作業ﾌｫﾙﾀﾞを非表示")
                                        : QStringLiteral("作業ﾌｫﾙﾀﾞを表示"));
    // The ticks always tell what the program will do, a failed load included.
    mnMpn->setChecked(0, bMpnt);
    mnMpn->setChecked(1, !bMpnt);
    mnCptW->setChecked(0, StandbyOnMinimise);
    mnCptW->setChecked(1, !StandbyOnMinimise);

    // Without settings there is no stamp either, as on a first start that
    // could not create its file.
    pnBmp->folder = m_env.apDataFolder;
    pnBmp->stamps = loaded ? AppSettings::stampFiles(m_env.apDataFolder) : QStringList{QString()};
    pnBmp->index = AppSettings::stampIndex(pnBmp->stamps, v.stamp);
    pnBmp->setVisible(!pnBmp->stamps.value(0).isEmpty());
    if (!pnBmp->isHidden())
        pnBmp->showCurrent();

    SuppressEvents = true;
    chDsp[0]->setChecked(DisplayMode == 1);
    cbZoom->setEnabled(DisplayMode == 3);
    cbZoom->setCurrentIndex(DisplayMode == 3 ? 2 : -1);
    chDsp[1]->setChecked(false);
    SuppressEvents = false;
}

SettingsValues fmMain::currentSettings() const
{
    SettingsValues v;
    const double dpi = logicalDpi(this);
    const QRect g = m_outer.get();
    v.left = pixelsToTwips(g.x(), dpi);
    v.top = pixelsToTwips(g.y(), dpi);
    v.width = pixelsToTwips(g.width(), dpi);
    v.height = pixelsToTwips(g.height(), dpi);
    v.displayMode = DisplayMode;
    v.workListShown = WorkListShown;
    v.afterCaptureAction = AfterCaptureAction;
    v.captureColourIndex = CaptureColourIndex;
    v.stamp = pnBmp->current();
    v.rangeList = RangeList;
    v.rangeListKept = RangeListKept;
    v.bMpnt = bMpnt;
    v.standbyOnMinimise = StandbyOnMinimise;
    v.storageFolder = StorageFolder;
    v.storagePrefix = StoragePrefix;
    v.storageExtension = StorageExtension;
    v.macroText = MacroText;
    v.macroTextKept = MacroTextKept;
    v.language = LanguageChoice;
    v.nextStepNumber = ikImg->overlay()->drawing().nextNumber();
    return v;
}

void fmMain::SaveSettings()
{
    if (m_shutDown || m_saving)
        return;
    m_saving = true;
    yIni& ini = settingsStore();
    if (!AppSettings::save(ini, currentSettings(), FormShown) && !ini.filePath().isEmpty()) {
        // The old file is still whole; the user must learn that this run's
        // changes are not in it.
        m_platform.dialogs->message(QStringLiteral("設定を保存できません\nﾕｰｻﾞｰ環境ﾌｧｲﾙ(") + ini.filePath()
                                    + QStringLiteral(")\n") + ini.lastError());
    }
    m_ini.reset();
    ShutDown(TrayIconAdded);
    m_saving = false;
}

} // namespace varnel
