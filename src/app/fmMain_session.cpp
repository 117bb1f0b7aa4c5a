// Wayland sessions: telling the user what standby cannot hear there.
#include "fmMain.h"

namespace varnel {

void fmMain::onWatchGap(int reason)
{
    // Once a run: the same gap is there at every standby.
    if (m_watchGapTold)
        return;
    m_watchGapTold = true;
    m_platform.dialogs->message(CaptureSession::watchGapMessage(reason));
}

} // namespace varnel
