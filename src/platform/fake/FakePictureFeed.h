#pragma once
#include "platform/PictureFeed.h"

namespace varnel {

// A feed driven by the test: records starts and stops, sends what it is told.
class FakePictureFeed : public PictureFeed {
    Q_OBJECT
public:
    void start() override { ++starts; m_running = true; }
    void stop() override { if (m_running) ++stops; m_running = false; }
    bool isRunning() const override { return m_running; }

    void sendPresent(const QByteArray& b) { emit present(b, QStringLiteral("image/png")); }
    void sendOffered(const QByteArray& b) { emit offered(b, QStringLiteral("image/png")); }
    void sendUnavailable(WatchGap r) { emit unavailable(r); }

    int starts = 0;
    int stops = 0;

private:
    bool m_running = false;
};

} // namespace varnel
