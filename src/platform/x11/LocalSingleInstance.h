#pragma once
#include <QString>
#include <memory>

#include "platform/SingleInstance.h"

class QLocalServer;
class QLockFile;

namespace varnel {

// A lock file and a local socket per user data folder, both in the user's
// runtime folder and named from a hash of the folder's path. The lock tells
// whether a program holds the folder (a crashed holder's lock is stale and
// taken over); the socket carries the messages.
class LocalSingleInstance : public SingleInstance {
    Q_OBJECT
public:
    // runtimeFolder: where the lock and the socket live; empty for the
    // user's runtime folder.
    explicit LocalSingleInstance(QString runtimeFolder = {});
    ~LocalSingleInstance() override;

    bool claim(const QString& userDataFolder) override;
    bool send(const QString& userDataFolder, const InstanceMessage& message) override;
    void release() override;

    // The common part of the lock's and the socket's names.
    QString baseName(const QString& userDataFolder) const;

private:
    void onConnection();

    QString m_runtime;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace varnel
