#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QSignalSpy>

#include <future>

#include <csignal>

#include "TestFiles.h"
#include "platform/SingleInstance.h"
#include "platform/x11/LocalSingleInstance.h"
#include "platform/x11/PosixExitRequests.h"

using namespace varnel;

TEST(InstanceMessage, OneWholeKnownFrameOrNothing)
{
    // Any character of a file name survives, line breaks included.
    const InstanceMessage open{InstanceMessage::Kind::Open, "/home/u/画像\n 1.png\r"};
    EXPECT_EQ(InstanceMessage::decode(open.encode()), open);
    EXPECT_EQ(InstanceMessage::decode(InstanceMessage{}.encode()), InstanceMessage{});
    EXPECT_EQ(InstanceMessage{}.encode(), QByteArray("\0\0\0\4show", 8));
    const auto frame = [](const QByteArray& body) -> QByteArray {
        const quint32 n = quint32(body.size());
        const char head[4] = {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
        return QByteArray(head, 4) + body;
    };
    for (const QByteArray& bad : {frame("show") + "x", frame("show").chopped(1), frame("open "),
                                  frame("open relative.png"), frame("quit"), QByteArray("sho"),
                                  frame(QByteArray("open /a\0b", 9)),
                                  frame("open /" + QByteArray(int(InstanceMessage::kMaxBody), 'a'))})
        EXPECT_FALSE(InstanceMessage::decode(bad).has_value()) << bad.toStdString();
}

// The sender blocks while it waits for the answer, so it runs on its own
// thread and the holder's event loop turns here.
static bool sendFromThread(LocalSingleInstance& sender, const QString& folder, const InstanceMessage& m)
{
    auto future = std::async(std::launch::async, [&] { return sender.send(folder, m); });
    while (future.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return future.get();
}

TEST(LocalSingleInstance, OneHolderPerFolderWhateverTheRuntimeFolderAndMessagesReachIt)
{
    testfiles::TempFolder runtime1, runtime2, a, b;
    QFile::setPermissions(runtime1.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(runtime2.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Two sessions with runtime folders of their own, on one data folder.
    LocalSingleInstance first(runtime1.path()), second(runtime2.path());
    QSignalSpy got(&first, &SingleInstance::received);

    ASSERT_TRUE(first.claim(a.path()));
    EXPECT_FALSE(second.claim(a.path()));
    EXPECT_FALSE(second.claim(a.path() + "/./")); // the same folder spelt otherwise
    EXPECT_TRUE(second.claim(b.path()));           // another folder is free

    const InstanceMessage open{InstanceMessage::Kind::Open, "/pics/a\nb.png"};
    EXPECT_TRUE(sendFromThread(second, a.path(), open));
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0][0].value<InstanceMessage>(), open);

    // Released, the folder can be claimed again and nobody answers for it.
    first.release();
    LocalSingleInstance third(runtime2.path());
    EXPECT_FALSE(sendFromThread(third, a.path(), InstanceMessage{}));
    EXPECT_TRUE(third.claim(a.path()));
}

TEST(LocalSingleInstance, AClaimLeftByACrashedProgramDoesNotBlock)
{
    testfiles::TempFolder data;
    // A process that has ended held the lock.
    QProcess gone;
    gone.start("sleep", {"0.05"});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    {
        QFile lock(LocalSingleInstance::lockPath(data.path()));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(deadPid) + "\n" + QCoreApplication::applicationName().toUtf8() + "\n"
                   + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    // Without a private runtime folder the socket goes to one of our own.
    qunsetenv("XDG_RUNTIME_DIR");
    LocalSingleInstance next;
    ASSERT_TRUE(next.claim(data.path()));
    QSignalSpy got(&next, &SingleInstance::received);
    LocalSingleInstance later;
    EXPECT_FALSE(later.claim(data.path()));
    EXPECT_TRUE(sendFromThread(later, data.path(), InstanceMessage{}));
    EXPECT_EQ(got.size(), 1);
}

TEST(LocalSingleInstance, ASocketOthersCanReachIsNotTalkedTo)
{
    testfiles::TempFolder data, open;
    LocalSingleInstance holder;
    qunsetenv("XDG_RUNTIME_DIR");
    ASSERT_TRUE(holder.claim(data.path()));
    // The note points to a socket in a folder anybody may enter.
    QFile::setPermissions(open.path(), QFile::permissions(open.path()) | QFile::ReadOther | QFile::ExeOther);
    QLocalServer planted;
    ASSERT_TRUE(planted.listen(open.path() + "/planted.sock"));
    {
        QFile note(LocalSingleInstance::notePath(data.path()));
        ASSERT_TRUE(note.open(QIODevice::WriteOnly | QIODevice::Truncate));
        note.write((open.path() + "/planted.sock").toUtf8());
    }
    LocalSingleInstance later;
    EXPECT_FALSE(sendFromThread(later, data.path(), InstanceMessage{}));
    EXPECT_FALSE(planted.hasPendingConnections());
}

TEST(PosixExitRequests, TerminationSignalsArriveThroughTheEventLoop)
{
    PosixExitRequests requests;
    QSignalSpy spy(&requests, &ExitRequests::exitRequested);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        const int before = int(spy.size());
        ::raise(sig);
        // Nothing happens inside the handler; the loop delivers it.
        EXPECT_EQ(spy.size(), before);
        EXPECT_TRUE(spy.wait(2000)) << sig;
        EXPECT_EQ(spy.size(), before + 1);
    }
    // Two signals before the loop turns are one request.
    ::raise(SIGTERM);
    ::raise(SIGTERM);
    EXPECT_TRUE(spy.wait(2000));
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.size(), 4);
}
