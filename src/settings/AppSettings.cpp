#include "AppSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "macros/MacroScript.h"
#include "macros/RangeList.h"
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
// Our own key: files written before it simply lack it, and it is written
// only once a language was chosen, so those files stay as they were.
const QString kLanguage = QStringLiteral("Language");

const QString kPointerOn = QStringLiteral("取込");
const QString kPointerOff = QStringLiteral("取込まない");
const QString kStandbyOn = QStringLiteral("待機");
const QString kStandbyOff = QStringLiteral("待機なし");

const QString kMacroBreak = QStringLiteral("~");

constexpr double kMinWidth = 10000;
constexpr double kMinHeight = 6000;

// Where the range list is cut: at the end of the last entry within both
// limits; -1 when the whole list is.
qsizetype rangeListCut(const QString& list)
{
    if (list.size() <= AppSettings::kMaxChars && list.count(RangeList::kEntrySep) < AppSettings::kMaxEntries)
        return -1;
    qsizetype cut = 0;
    qsizetype pos = 0;
    for (int n = 0; n < AppSettings::kMaxEntries; ++n) {
        const qsizetype sep = list.indexOf(RangeList::kEntrySep, pos);
        const qsizetype end = sep < 0 ? list.size() : sep;
        if (end > AppSettings::kMaxChars)
            break;
        cut = end;
        if (sep < 0)
            break;
        pos = sep + 1;
    }
    return cut;
}

// Where the stored macro text is cut: before the first macro that is not
// within both limits, so that no macro is loaded in part (a replay must do
// all that was recorded); -1 when the whole text is. Only "[" and "]" mark
// macros, so the stored text with its "~" is scanned as it is.
qsizetype macroTextCut(const QString& text)
{
    const QList<MacroScript::Header> macros = MacroScript::headers(text);
    if (text.size() <= AppSettings::kMaxChars && macros.size() <= AppSettings::kMaxEntries)
        return -1;
    qsizetype cut = 0;
    const qsizetype most = std::min<qsizetype>(macros.size(), AppSettings::kMaxEntries);
    for (qsizetype k = 0; k <= most; ++k) {
        // k whole macros end where macro k begins; the text before the
        // first macro comes with them.
        qsizetype end = k > 0 ? macros[k - 1].bodyEnd : text.indexOf(QLatin1Char('['));
        if (end < 0)
            end = text.size();
        if (end > AppSettings::kMaxChars)
            break;
        cut = end;
    }
    return cut;
}

// The loaded part of a stored value; kept records the whole when it is cut.
QString loadedPart(const QString& stored, qsizetype cut, PartlyLoaded& kept)
{
    if (cut < 0)
        return stored;
    kept = PartlyLoaded{stored, cut, stored.left(cut)};
    return kept.loaded;
}

QString rangeListToWrite(const SettingsValues& v)
{
    const PartlyLoaded& kept = v.rangeListKept;
    if (!kept.isPartial())
        return v.rangeList;
    // The window keeps only the valid entries of what it was given.
    if (v.rangeList == kept.loaded || v.rangeList == RangeList::validEntries(kept.loaded))
        return kept.stored;
    // The entries not loaded follow the edited ones.
    QString unseen = kept.stored.mid(kept.cut);
    if (unseen.startsWith(RangeList::kEntrySep))
        unseen.remove(0, 1);
    return v.rangeList.isEmpty() ? unseen : v.rangeList + RangeList::kEntrySep + unseen;
}

QString macroTextToWrite(const SettingsValues& v)
{
    const PartlyLoaded& kept = v.macroTextKept;
    if (kept.isPartial() && v.macroText == kept.loaded)
        return kept.stored;
    // The value is one line: every line break, whichever form the editor
    // produced, becomes "~". A bare LF left in would break the file layout.
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    QString macro = v.macroText;
    macro.replace(lineBreak, kMacroBreak);
    if (kept.isPartial()) {
        // The macros not loaded follow the edited ones, each still whole.
        if (!macro.isEmpty() && !macro.endsWith(kMacroBreak))
            macro += kMacroBreak;
        macro += QStringView(kept.stored).mid(kept.cut);
    }
    return macro;
}

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
    const QString ranges = ini.vGtVal(kRangeList, QString()).toText();
    v.rangeList = loadedPart(ranges, rangeListCut(ranges), v.rangeListKept);
    v.bMpnt = ini.vGtVal(kPointer, kPointerOn).toText() == kPointerOn;
    v.standbyOnMinimise = ini.vGtVal(kMinimise, kStandbyOn).toText() == kStandbyOn;
    v.storageFolder = ini.vGtVal(kStorageFolder, QString()).toText();
    if (!v.storageFolder.isEmpty() && !QFileInfo(v.storageFolder).isDir())
        v.storageFolder.clear();
    v.storagePrefix = ini.vGtVal(kStoragePrefix, QString()).toText();
    v.storageExtension = ini.vGtVal(kStorageExtension, QStringLiteral("png")).toText();
    v.language = ini.vGtVal(kLanguage, QString()).toText();

    ini.GetGtx(kMacro);
    const QString macros = ini.vGtVal(kCommand, QString()).toText();
    v.macroText = loadedPart(macros, macroTextCut(macros), v.macroTextKept).replace(kMacroBreak, QStringLiteral("\r\n"));
    if (v.macroTextKept.isPartial())
        v.macroTextKept.loaded = v.macroText;

    // Lists no person writes; one message for the whole file.
    QStringList partial;
    if (v.rangeListKept.isPartial())
        partial << QLatin1Char('<') + kRangeList + QLatin1Char('>');
    if (v.macroTextKept.isPartial())
        partial << QLatin1Char('<') + kCommand + QLatin1Char('>');
    if (!partial.isEmpty())
        ini.report(partial.join(QLatin1Char(' '))
                   + QStringLiteral(" の設定が多すぎるため一部だけを読み込みました\nﾕｰｻﾞｰ環境ﾌｧｲﾙ(") + ini.filePath()
                   + QStringLiteral(") の値はそのまま残します"));

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
    ini.SetVal(kRangeList, rangeListToWrite(v));
    ini.SetVal(kPointer, v.bMpnt ? kPointerOn : kPointerOff);
    ini.SetVal(kMinimise, v.standbyOnMinimise ? kStandbyOn : kStandbyOff);
    ini.SetVal(kStorageFolder, v.storageFolder);
    ini.SetVal(kStoragePrefix, v.storagePrefix);
    ini.SetVal(kStorageExtension, v.storageExtension);
    if (!v.language.isEmpty())
        ini.SetVal(kLanguage, v.language);
    ini.SetGtx();

    ini.GetGtx(kMacro);
    ini.SetVal(kCommand, macroTextToWrite(v));
    ini.SetGtx();

    ini.GetGtx(kDrawing);
    ini.SetVal(kNextStep, v.nextStepNumber);
    ini.SetGtx();

    return ini.SetTxt();
}

QString AppSettings::storedLanguage(const QString& userDataFolder)
{
    const QString path = userDataFolder + fileName();
    if (userDataFolder.isEmpty() || !QFileInfo(path).isFile())
        return {};
    yIni probe;
    if (!probe.GetTxt(path))
        return {};
    probe.GetGtx(kUser);
    return probe.vGtVal(kLanguage, QString()).toText();
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
