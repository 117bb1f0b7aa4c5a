#include "AppSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "yIni.h"

namespace varnel {

namespace {

const QString kForm = QStringLiteral("ﾌｫｰﾑ");
const QString kUser = QStringLiteral("ﾕｰｻﾞｰ");
const QString kMacro = QStringLiteral("マクロ");
// A group of its own, after the others: files written before it existed
// read as they did, and their groups are written back as they were.
const QString kDrawing = QStringLiteral("描画");
const QString kNextStep = QStringLiteral("次の番号");

const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");

const QString kDisplayMode = QStringLiteral("ｽｹｰﾙ表示");
const QString kWorkList = QStringLiteral("作業ﾌｫﾙﾀﾞ表示");
const QString kAfterCapture = QStringLiteral("ｷｬﾌﾟﾁｬ後表示");
const QString kCaptureColour = QStringLiteral("ｷｬﾌﾟﾁｬ後減色");
const QString kStamp = QStringLiteral("ｽﾀﾝﾌﾟ");
const QString kRangeList = QStringLiteral("QL_RNG");
const QString kPointer = QStringLiteral("ﾏｳｽﾎﾟｲﾝﾀ");
const QString kMinimise = QStringLiteral("最小化時");
const QString kStorageFolder = QStringLiteral("格納ﾌｫﾙﾀﾞ");
const QString kStoragePrefix = QStringLiteral("格納Pfx");
const QString kStorageExtension = QStringLiteral("格納拡張子");
const QString kCommand = QStringLiteral("COMMAND");

const QString kPointerOn = QStringLiteral("取込");
const QString kPointerOff = QStringLiteral("取込まない");
const QString kStandbyOn = QStringLiteral("待機");
const QString kStandbyOff = QStringLiteral("待機なし");

const QString kMacroBreak = QStringLiteral("~");

constexpr double kMinWidth = 10000;
constexpr double kMinHeight = 6000;

} // namespace

bool AppSettings::load(yIni& ini, const QString& userDataFolder, SettingsValues& v)
{
    v = SettingsValues{};
    if (!ini.GetTxt(userDataFolder + fileName()))
        return false;

    ini.GetGtx(kForm);
    v.left = std::max(0.0, ini.vGtVal(kLeft, 0).toDouble());
    v.top = std::max(0.0, ini.vGtVal(kTop, 0).toDouble());
    v.width = std::max(kMinWidth, ini.vGtVal(kWidth, 0).toDouble());
    v.height = std::max(kMinHeight, ini.vGtVal(kHeight, 0).toDouble());

    ini.GetGtx(kUser);
    v.workListShown = ini.vGtVal(kWorkList, false).toBool();
    v.displayMode = ini.vGtVal(kDisplayMode, 1).toInt();
    v.afterCaptureAction = ini.vGtVal(kAfterCapture, 1).toInt();
    v.stamp = ini.vGtVal(kStamp, QString()).toText();
    v.captureColourIndex = ini.vGtVal(kCaptureColour, 0).toInt();
    v.rangeList = ini.vGtVal(kRangeList, QString()).toText();
    v.bMpnt = ini.vGtVal(kPointer, kPointerOn).toText() == kPointerOn;
    v.standbyOnMinimise = ini.vGtVal(kMinimise, kStandbyOn).toText() == kStandbyOn;
    v.storageFolder = ini.vGtVal(kStorageFolder, QString()).toText();
    if (!v.storageFolder.isEmpty() && !QFileInfo(v.storageFolder).isDir())
        v.storageFolder.clear();
    v.storagePrefix = ini.vGtVal(kStoragePrefix, QString()).toText();
    v.storageExtension = ini.vGtVal(kStorageExtension, QStringLiteral("png")).toText();

    ini.GetGtx(kMacro);
    v.macroText = ini.vGtVal(kCommand, QString()).toText().replace(kMacroBreak, QStringLiteral("\r\n"));

    ini.GetGtx(kDrawing);
    v.nextStepNumber = std::max(1, ini.vGtVal(kNextStep, 1).toInt());
    return true;
}

bool AppSettings::save(yIni& ini, const SettingsValues& v, bool windowShown)
{
    // A damaged file is replaced by a whole new one (it was kept as ".bak"
    // when loaded damaged): patching it would leave a second group behind
    // the damaged one, and the stale values would win at the next start.
    const bool afresh = ini.isDamaged();
    if (afresh)
        ini.StartAfresh();

    // In standby the window is hidden and its geometry says nothing about
    // where the user wants it; keep what the last shown exit stored. A new
    // file has nothing stored, so the last known geometry goes in.
    if (windowShown || afresh) {
        ini.GetGtx(kForm);
        ini.SetVal(kLeft, float(v.left));
        ini.SetVal(kTop, float(v.top));
        ini.SetVal(kWidth, float(v.width));
        ini.SetVal(kHeight, float(v.height));
        ini.SetGtx();
    }

    ini.GetGtx(kUser);
    ini.SetVal(kDisplayMode, v.displayMode);
    ini.SetVal(kWorkList, v.workListShown);
    ini.SetVal(kAfterCapture, v.afterCaptureAction);
    ini.SetVal(kCaptureColour, v.captureColourIndex);
    ini.SetVal(kStamp, v.stamp);
    ini.SetVal(kRangeList, v.rangeList);
    ini.SetVal(kPointer, v.bMpnt ? kPointerOn : kPointerOff);
    ini.SetVal(kMinimise, v.standbyOnMinimise ? kStandbyOn : kStandbyOff);
    ini.SetVal(kStorageFolder, v.storageFolder);
    ini.SetVal(kStoragePrefix, v.storagePrefix);
    ini.SetVal(kStorageExtension, v.storageExtension);
    ini.SetGtx();

    // The value is one line: every line break, whichever form the editor
    // produced, becomes "~". A bare LF left in would break the file layout.
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    QString macro = v.macroText;
    macro.replace(lineBreak, kMacroBreak);
    ini.GetGtx(kMacro);
    ini.SetVal(kCommand, macro);
    ini.SetGtx();

    ini.GetGtx(kDrawing);
    ini.SetVal(kNextStep, v.nextStepNumber);
    ini.SetGtx();

    return ini.SetTxt();
}

QStringList AppSettings::stampFiles(const QString& apDataFolder)
{
    QStringList stamps;
    if (!apDataFolder.isEmpty()) {
        const QFileInfoList files =
            QDir(apDataFolder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
        for (const QFileInfo& f : files)
            if (f.fileName().endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
                stamps << f.fileName();
    }
    if (stamps.isEmpty())
        stamps << QString();
    return stamps;
}

int AppSettings::stampIndex(const QStringList& stamps, const QString& stored)
{
    const qsizetype i = stamps.indexOf(stored);
    return i < 0 ? 0 : int(i);
}

} // namespace varnel
