#pragma once
#include <QString>
#include <memory>

#include "platform/SingleInstance.h"

class QLocalServer;
class QLockFile;

namespace varnel {

// A lock file in the user data folder itself, so that every start on the
// folder finds it whatever its runtime folder; a local socket in a folder
// only the user can enter, never under a name others can predict, and a
// note in the data folder saying where that socket is.
class LocalSingleInstance : public SingleInstance {
    Q_OBJECT
public:
    // privateFolder: where the socket lives; empty for $XDG_RUNTIME_DIR when
    // it is the user's own and closed to others, else a folder of our own in
    // the user data folder.
    explicit LocalSingleInstance(QString privateFolder = {});
    ~LocalSingleInstance() override;

    bool claim(const QString& userDataFolder) override;
    bool send(const QString& userDataFolder, const InstanceMessage& message) override;
    void release() override;

    // The lock's and the socket note's paths for a user data folder.
    static QString lockPath(const QString& userDataFolder);
    static QString notePath(const QString& userDataFolder);
    // A folder of the current user that nobody else can enter.
    static bool isPrivateFolder(const QString& path);

private:
    void onConnection();
    QString socketFolder(const QString& userDataFolder);

    QString m_private;
    QString m_madeFolder; // made for the socket, removed on release
    QString m_note;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace varnel
