// Wayland sessions: telling the user what standby cannot hear there.
#include "fmMain.h"

#include "platform/PictureFeed.h"

namespace varnel {

QString fmMain::watchGapMessage(int reason)
{
    const QString rest = QStringLiteral("ほかのｺﾋﾟｰは、このまま待機して取り込みます。");
    switch (WatchGap(reason)) {
    case WatchGap::Failed:
        return QStringLiteral("Waylandのｸﾘｯﾌﾟﾎﾞｰﾄﾞの監視が止まったため、Waylandのﾌﾟﾛｸﾞﾗﾑで"
                              "ｺﾋﾟｰした画像は取り込めません。") + rest;
    case WatchGap::NoDataControl:
    default:
        return QStringLiteral("このﾃﾞｽｸﾄｯﾌﾟでは、Waylandのﾌﾟﾛｸﾞﾗﾑでｺﾋﾟｰした画像を"
                              "ﾊﾞｯｸｸﾞﾗｳﾝﾄﾞで取り込めません。") + rest;
    }
}

void fmMain::onWatchGap(int reason)
{
    // Once a run: the same gap is there at every standby.
    if (m_watchGapTold)
        return;
    m_watchGapTold = true;
    m_platform.dialogs->message(watchGapMessage(reason));
}

} // namespace varnel
