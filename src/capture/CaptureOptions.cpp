#include "CaptureOptions.h"

namespace varnel {

const QStringList& CaptureOptions::afterCaptureCaptions()
{
    static const QStringList l{QStringLiteral("何もしない"), QStringLiteral("画面を表示"),
                               QStringLiteral("連番をつけて保存"),
                               QStringLiteral("連番をつけて保存 & 画面を表示")};
    return l;
}

const QStringList& CaptureOptions::colourReductionCaptions()
{
    static const QStringList l{QStringLiteral("何もしない"),  QStringLiteral("16色(4bit)"),
                               QStringLiteral("ｸﾞﾚｰ(4bit)"),  QStringLiteral("256色(8bit)"),
                               QStringLiteral("ｸﾞﾚｰ(8bit)"), QStringLiteral("16bit")};
    return l;
}

const QStringList& CaptureOptions::onMinimiseCaptions()
{
    static const QStringList l{QStringLiteral("最小化時に、自動的にｷｬﾌﾟﾁｬｰ待機"),
                               QStringLiteral("最小化時は、ｷｬﾌﾟﾁｬｰ待機しない")};
    return l;
}

const QStringList& CaptureOptions::pointerCaptions()
{
    static const QStringList l{QStringLiteral("ｷｬﾌﾟﾁｬｰ画像に取り込む"),
                               QStringLiteral("ｷｬﾌﾟﾁｬｰ画像に取り込まない")};
    return l;
}

const QStringList& CaptureOptions::groupCaptions()
{
    static const QStringList l{QStringLiteral("ｷｬﾌﾟﾁｬ後(&A)"), QStringLiteral("ｷｬﾌﾟﾁｬ後減色(&C)"),
                               QStringLiteral("最小化時"), QStringLiteral("ﾏｳｽﾎﾟｲﾝﾀ")};
    return l;
}

std::optional<int> CaptureOptions::colourCode(int index)
{
    static const int codes[] = {4, 40, 8, 80, 16, 24, 32, 32};
    if (index < 1 || index > 8)
        return std::nullopt;
    return codes[index - 1];
}

} // namespace varnel
