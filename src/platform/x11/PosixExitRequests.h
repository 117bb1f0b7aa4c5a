#pragma once
#include "platform/ExitRequests.h"

class QSocketNotifier;

namespace varnel {

// Termination signals through a self-pipe: the handler only writes a byte,
// the event loop reads it and emits exitRequested(). The session's end
// arrives through the application's commit-data request.
class PosixExitRequests : public ExitRequests {
    Q_OBJECT
public:
    PosixExitRequests();
    ~PosixExitRequests() override;

private:
    void onReadable();
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace varnel
