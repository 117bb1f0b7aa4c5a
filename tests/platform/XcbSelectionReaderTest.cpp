// The clipboard reader against a real X server (Xvfb) and a clipboard owner
// written here, so that the transfer's shape (whole, incremental in odd
// pieces, refused, stalled) is under the test's control.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <xcb/xcb.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>

#include "platform/x11/XcbSelectionReader.h"

#include "XcbTestOwner.h"

using varnel::XcbSelectionReader;

using namespace xtest;

namespace {

// Each test has a server of its own and a reader on it.
class XcbSelectionReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!server.present())
            GTEST_SKIP() << "no Xvfb here: the X clipboard reader is not tried";
        ASSERT_FALSE(server.display().isEmpty()) << "Xvfb did not start";
    }
    // A read, with whether it came back empty, was a refusal, and how long it took.
    struct Outcome {
        bool empty = false;
        bool refused = false;
        qint64 ms = 0;
    };
    Outcome readOutcome(const char* target, int quietMs)
    {
        QElapsedTimer clock;
        clock.start();
        Outcome o;
        const auto got = reader.read(target, quietMs, XcbSelectionReader::kMaxBytes,
                                     XcbSelectionReader::kWholeReadMs, &o.refused);
        o.empty = got.has_value() && got->isEmpty();
        o.ms = clock.elapsed();
        return o;
    }
    TestServer server;
    XcbSelectionReader reader{server.display()};
};

} // namespace

TEST_F(XcbSelectionReaderTest, ReadsWholeAndIncrementalTransfersExactly)
{
    {
        const QByteArray small = noise(70001, 1);
        Owner owner(server.display(), "image/png", small, size_t(1) << 20);
        ASSERT_TRUE(owner.ready());
        const auto names = reader.targets();
        ASSERT_TRUE(names.has_value());
        EXPECT_EQ(*names, (QStringList{"TARGETS", "image/png"}));
        const auto got = reader.read("image/png");
        ASSERT_TRUE(got.has_value());
        EXPECT_TRUE(*got == small);
    }
    {
        // Pieces of an odd size, so the last one is short; bigger than the
        // reader's own request size, so each piece takes several requests.
        const QByteArray big = noise(3 * 1024 * 1024 + 17, 2);
        Owner owner(server.display(), "image/bmp", big, 300007);
        ASSERT_TRUE(owner.ready());
        const auto got = reader.read("image/bmp");
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(got->size(), big.size());
        EXPECT_TRUE(*got == big);
        // The same reader reads the same transfer again.
        const auto again = reader.read("image/bmp");
        ASSERT_TRUE(again.has_value());
        EXPECT_TRUE(*again == big);
    }
}

TEST_F(XcbSelectionReaderTest, RefusalsStallsAndOversizeEndEmptyAndTheNextReadWorks)
{
    {
        Owner owner(server.display(), "image/png", noise(1000, 3), 4096);
        ASSERT_TRUE(owner.ready());
        const Outcome refused = readOutcome("image/tiff", 5000);
        EXPECT_TRUE(refused.empty);
        EXPECT_TRUE(refused.refused);
        EXPECT_LT(refused.ms, 1000) << "a refusal is answered at once";
    }
    {
        // An answer of no bytes (Qt's for a format it lacks) is a refusal
        // too: the caller asks for the list of formats instead.
        Owner owner(server.display(), "image/png", QByteArray(), 4096);
        ASSERT_TRUE(owner.ready());
        const Outcome none = readOutcome("image/png", 5000);
        EXPECT_TRUE(none.empty);
        EXPECT_TRUE(none.refused);
    }
    {
        Owner owner(server.display(), "image/png", noise(1000, 3), 4096);
        ASSERT_TRUE(owner.ready());
        // More than the caller accepts: nothing, not a part.
        const auto tooBig = reader.read("image/png", 5000, 999);
        ASSERT_TRUE(tooBig.has_value());
        EXPECT_TRUE(tooBig->isEmpty());
    }
    {
        // The same in pieces: the announced size is over the limit.
        Owner owner(server.display(), "image/png", noise(300000, 6), 4096);
        ASSERT_TRUE(owner.ready());
        const auto tooBig = reader.read("image/png", 5000, 100000);
        ASSERT_TRUE(tooBig.has_value());
        EXPECT_TRUE(tooBig->isEmpty());
        EXPECT_TRUE(owner.announced());
        QThread::msleep(100); // a piece asked for would be counted by now
        EXPECT_EQ(owner.piecesAsked(), 0) << "refused on the announced size, before any piece";
    }
    {
        // An owner that announces a big transfer and never sends it: the
        // reader gives up after the quiet time instead of hanging.
        Owner owner(server.display(), "image/png", noise(200000, 4), 1000, true);
        ASSERT_TRUE(owner.ready());
        const Outcome stalled = readOutcome("image/png", 1000);
        EXPECT_TRUE(stalled.empty);
        EXPECT_FALSE(stalled.refused) << "a stall is not a refusal: the caller must not ask again";
        EXPECT_TRUE(owner.announced()) << "the reader never got as far as the stall";
        EXPECT_LT(stalled.ms, 5000);
    }
    {
        // An owner that keeps sending, slowly: each piece comes within the
        // quiet time, but the whole read has its own limit.
        Owner owner(server.display(), "image/png", noise(100000, 7), 1000, false, 50);
        ASSERT_TRUE(owner.ready());
        QElapsedTimer clock;
        clock.start();
        const auto trickled = reader.read("image/png", 1000, XcbSelectionReader::kMaxBytes, 600);
        ASSERT_TRUE(trickled.has_value());
        EXPECT_TRUE(trickled->isEmpty());
        EXPECT_LT(clock.elapsed(), 3000);
    }
    {
        const QByteArray data = noise(200000, 5);
        Owner owner(server.display(), "image/png", data, 65536);
        ASSERT_TRUE(owner.ready());
        const auto got = reader.read("image/png");
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(got->size(), data.size());
        EXPECT_TRUE(*got == data) << "the reader gave up the stalled read and is ready again";
    }
    // Nobody owns the clipboard once the last owner's connection is gone:
    // the server answers at once.
    xcb_connection_t* c = xcb_connect(server.display().constData(), nullptr);
    const xcb_atom_t clipboard = internAtom(c, "CLIPBOARD");
    for (int i = 0; i < 100; ++i) {
        xcb_get_selection_owner_reply_t* r =
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
        const bool none = r && r->owner == XCB_NONE;
        std::free(r);
        if (none)
            break;
        QThread::msleep(20);
    }
    xcb_disconnect(c);
    QElapsedTimer clock;
    clock.start();
    const auto none = reader.read("image/png");
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->isEmpty());
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST(XcbSelectionReader, WithoutAServerTheCallerIsToldToAskElsewhere)
{
    XcbSelectionReader reader("127.0.0.1:99.0"); // no such server
    EXPECT_FALSE(reader.read("image/png").has_value());
    EXPECT_FALSE(reader.targets().has_value());
}
