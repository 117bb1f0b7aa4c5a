#include "LocalSingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QTimer>

#include <cstdlib>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace varnel {

namespace {
constexpr int kSendTimeoutMs = 5000;
constexpr int kIdleMs = 5000;

// The same folder reached by another spelling is the same folder.
QString canonicalFolder(const QString& folder)
{
    const QString c = QFileInfo(folder).canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) : c;
}
} // namespace

LocalSingleInstance::LocalSingleInstance(QString privateFolder) : m_private(std::move(privateFolder)) {}

LocalSingleInstance::~LocalSingleInstance()
{
    release();
}

QString LocalSingleInstance::lockPath(const QString& userDataFolder)
{
    return canonicalFolder(userDataFolder) + QStringLiteral("/varnel.lock");
}

QString LocalSingleInstance::notePath(const QString& userDataFolder)
{
    return canonicalFolder(userDataFolder) + QStringLiteral("/varnel.socket");
}

bool LocalSingleInstance::isPrivateFolder(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode)
           && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

QString LocalSingleInstance::socketFolder(const QString& userDataFolder)
{
    if (!m_private.isEmpty())
        return isPrivateFolder(m_private) ? m_private : QString();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime))
        return runtime;
    const QString own = canonicalFolder(userDataFolder) + QStringLiteral("/.varnel-run");
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return isPrivateFolder(own) ? own : QString();
}

bool LocalSingleInstance::claim(const QString& userDataFolder)
{
    release();
    auto lock = std::make_unique<QLockFile>(lockPath(userDataFolder));
    // Only a live holder counts: a lock whose process is gone is stale at once.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        // A folder we cannot write to holds no lock and no settings either:
        // nothing to keep apart.
        if (lock->error() == QLockFile::LockFailedError)
            return false;
        qWarning("varnel: cannot keep a lock in %s", qPrintable(userDataFolder));
        return true;
    }
    m_lock = std::move(lock);

    QString folder = socketFolder(userDataFolder);
    const QByteArray hash = QCryptographicHash::hash(canonicalFolder(userDataFolder).toUtf8(),
                                                     QCryptographicHash::Sha256)
                                .toHex()
                                .left(16);
    QString socket = folder + QStringLiteral("/varnel-") + QString::fromLatin1(hash) + QStringLiteral(".sock");
    // A socket's path has a small limit; a long one goes to a folder of
    // ours in the temporary folder, under a name nobody can guess.
    if (folder.isEmpty() || QFile::encodeName(socket).size() >= qsizetype(sizeof(sockaddr_un::sun_path))) {
        QByteArray tmpl = QFile::encodeName(QDir::tempPath()) + "/varnel-XXXXXX";
        if (::mkdtemp(tmpl.data())) {
            m_madeFolder = QFile::decodeName(tmpl);
            socket = m_madeFolder + QStringLiteral("/varnel.sock");
        }
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a crashed holder is ours to replace: we hold the lock.
    QLocalServer::removeServer(socket);
    if (!m_server->listen(socket)) {
        // Still the only program on the folder; later starts just cannot
        // reach it and say so.
        qWarning("varnel: cannot listen on %s: %s", qPrintable(socket), qPrintable(m_server->errorString()));
    }
    connect(m_server, &QLocalServer::newConnection, this, &LocalSingleInstance::onConnection);
    // Where later starts find us, whatever their own runtime folder.
    m_note = notePath(userDataFolder);
    QFile note(m_note);
    if (!note.open(QIODevice::WriteOnly | QIODevice::Truncate) || note.write(socket.toUtf8()) < 0
        || !note.flush())
        qWarning("varnel: cannot write %s", qPrintable(m_note));
    return true;
}

void LocalSingleInstance::onConnection()
{
    while (QLocalSocket* s = m_server->nextPendingConnection()) {
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        // A peer that never finishes its message is dropped.
        QTimer::singleShot(kIdleMs, s, [s] { s->abort(); });
        connect(s, &QLocalSocket::readyRead, this, [this, s] {
            const QByteArray head = s->peek(4);
            if (head.size() < 4)
                return;
            const quint32 size = InstanceMessage::frameSize(head);
            if (size > InstanceMessage::kMaxBody) {
                s->write("?\n");
                s->flush();
                s->disconnectFromServer();
                return;
            }
            if (s->bytesAvailable() < 4 + qint64(size))
                return;
            const auto message = InstanceMessage::decode(s->read(4 + size));
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
    QElapsedTimer clock;
    clock.start();
    // The holder may have claimed the folder a moment ago and not listen yet.
    while (clock.elapsed() < kSendTimeoutMs) {
        QFile note(notePath(userDataFolder));
        const QString socket = note.open(QIODevice::ReadOnly) ? QString::fromUtf8(note.read(4096)) : QString();
        // Only a socket in a folder nobody else can enter is ours to talk to.
        if (socket.isEmpty() || !isPrivateFolder(QFileInfo(socket).path())) {
            QThread::msleep(100);
            continue;
        }
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
    if (!m_note.isEmpty())
        QFile::remove(m_note);
    m_note.clear();
    if (!m_madeFolder.isEmpty())
        QDir().rmdir(m_madeFolder);
    m_madeFolder.clear();
    if (m_lock) {
        m_lock->unlock();
        m_lock.reset();
    }
}

} // namespace varnel
