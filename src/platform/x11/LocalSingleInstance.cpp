#include "LocalSingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>

namespace varnel {

namespace {
constexpr int kMaxMessage = 64 * 1024;
constexpr int kSendTimeoutMs = 5000;
} // namespace

LocalSingleInstance::LocalSingleInstance(QString runtimeFolder) : m_runtime(std::move(runtimeFolder))
{
    if (m_runtime.isEmpty())
        m_runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (m_runtime.isEmpty())
        m_runtime = QDir::tempPath();
}

LocalSingleInstance::~LocalSingleInstance()
{
    release();
}

QString LocalSingleInstance::baseName(const QString& userDataFolder) const
{
    // The same folder reached by another spelling is the same folder.
    QString folder = QFileInfo(userDataFolder).canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(QFileInfo(userDataFolder).absoluteFilePath());
    const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex();
    return m_runtime + QStringLiteral("/varnel-") + QString::fromLatin1(hash.left(16));
}

bool LocalSingleInstance::claim(const QString& userDataFolder)
{
    release();
    const QString base = baseName(userDataFolder);
    QDir().mkpath(m_runtime);
    auto lock = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
    // Only a live holder counts: a lock whose process is gone is stale at once.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString socket = base + QStringLiteral(".sock");
    // A socket file left by a crashed holder is ours to replace: we hold the lock.
    QLocalServer::removeServer(socket);
    if (!m_server->listen(socket)) {
        // Still the only program on the folder; later starts just cannot
        // reach it and say so.
        qWarning("varnel: cannot listen on %s: %s", qPrintable(socket), qPrintable(m_server->errorString()));
    }
    connect(m_server, &QLocalServer::newConnection, this, &LocalSingleInstance::onConnection);
    return true;
}

void LocalSingleInstance::onConnection()
{
    while (QLocalSocket* s = m_server->nextPendingConnection()) {
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QLocalSocket::readyRead, this, [this, s] {
            if (!s->canReadLine()) {
                if (s->bytesAvailable() > kMaxMessage)
                    s->abort();
                return;
            }
            const auto message = InstanceMessage::decode(s->readLine(kMaxMessage));
            // The answer tells the sender that its request was taken.
            s->write(message ? "ok\n" : "?\n");
            s->flush();
            s->disconnectFromServer();
            if (message)
                emit received(*message);
        });
    }
}

bool LocalSingleInstance::send(const QString& userDataFolder, const InstanceMessage& message)
{
    const QString socket = baseName(userDataFolder) + QStringLiteral(".sock");
    QElapsedTimer clock;
    clock.start();
    // The holder may have claimed the folder a moment ago and not listen yet.
    while (clock.elapsed() < kSendTimeoutMs) {
        QLocalSocket s;
        s.connectToServer(socket);
        if (!s.waitForConnected(1000)) {
            QThread::msleep(100);
            continue;
        }
        s.write(message.encode());
        if (!s.waitForBytesWritten(kSendTimeoutMs))
            return false;
        while (!s.canReadLine() && s.waitForReadyRead(kSendTimeoutMs)) {
        }
        return s.readLine().startsWith("ok");
    }
    return false;
}

void LocalSingleInstance::release()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    if (m_lock) {
        m_lock->unlock();
        m_lock.reset();
    }
}

} // namespace varnel
