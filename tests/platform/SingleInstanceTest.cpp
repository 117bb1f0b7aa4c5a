#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>

#include <future>

#include <csignal>

#include "TestFiles.h"
#include "platform/SingleInstance.h"
#include "platform/x11/LocalSingleInstance.h"
#include "platform/x11/PosixExitRequests.h"

using namespace varnel;

TEST(InstanceMessage, OneWholeKnownLineOrNothing)
{
    const InstanceMessage open{InstanceMessage::Kind::Open, "/home/u/画像 1.png"};
    EXPECT_EQ(InstanceMessage::decode(open.encode()), open);
    EXPECT_EQ(InstanceMessage::decode(InstanceMessage{}.encode()), InstanceMessage{});
    EXPECT_EQ(InstanceMessage{}.encode(), QByteArray("show\n"));
    for (const QByteArray& bad : {QByteArray("show"), QByteArray("show\nshow\n"), QByteArray("open \n"),
                                  QByteArray("open relative.png\n"), QByteArray("quit\n"), QByteArray("\n"),
                                  QByteArray("open /a\0b\n", 10)})
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

TEST(LocalSingleInstance, OneHolderPerFolderAndMessagesReachIt)
{
    testfiles::TempFolder runtime, a, b;
    LocalSingleInstance first(runtime.path()), second(runtime.path());
    QSignalSpy got(&first, &SingleInstance::received);

    ASSERT_TRUE(first.claim(a.path()));
    EXPECT_FALSE(second.claim(a.path()));
    EXPECT_FALSE(second.claim(a.path() + "/./")); // the same folder spelt otherwise
    EXPECT_TRUE(second.claim(b.path()));           // another folder is free

    const InstanceMessage open{InstanceMessage::Kind::Open, "/pics/a.png"};
    EXPECT_TRUE(sendFromThread(second, a.path(), open));
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0][0].value<InstanceMessage>(), open);

    // Released, the folder can be claimed again and nobody answers for it.
    first.release();
    LocalSingleInstance third(runtime.path());
    EXPECT_FALSE(sendFromThread(third, a.path(), InstanceMessage{}));
    EXPECT_TRUE(third.claim(a.path()));
}

TEST(LocalSingleInstance, AClaimLeftByACrashedProgramDoesNotBlock)
{
    testfiles::TempFolder runtime, data;
    LocalSingleInstance probe(runtime.path());
    const QString base = probe.baseName(data.path());
    // A process that has ended held the lock and left its socket file.
    QProcess gone;
    gone.start("sleep", {"0.05"});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    {
        QFile lock(base + ".lock");
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(deadPid) + "\n" + QCoreApplication::applicationName().toUtf8() + "\n"
                   + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    QFile(base + ".sock").open(QIODevice::WriteOnly);

    LocalSingleInstance next(runtime.path());
    ASSERT_TRUE(next.claim(data.path()));
    QSignalSpy got(&next, &SingleInstance::received);
    LocalSingleInstance later(runtime.path());
    EXPECT_FALSE(later.claim(data.path()));
    EXPECT_TRUE(sendFromThread(later, data.path(), InstanceMessage{}));
    EXPECT_EQ(got.size(), 1);
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
