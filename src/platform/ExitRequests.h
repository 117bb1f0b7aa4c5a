#pragma once
#include <QObject>

namespace varnel {

// Requests from outside to end the program in order: termination signals
// (SIGTERM, SIGINT, SIGHUP) and the desktop session ending. The program
// answers with its ordinary exit, so that nothing the user chose is lost.
class ExitRequests : public QObject {
    Q_OBJECT
public:
    ~ExitRequests() override = default;

signals:
    // Delivered on the user-interface thread, from its event loop.
    void exitRequested();
};

} // namespace varnel
