// The clipboard's watching thread against a real X server and owners of the
// test's own making: finished pictures in order, reads given up for newer or
// vanished owners, and the clipboard manager's role.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>

#include <mutex>
#include <vector>

#include "platform/x11/XcbClipboardThread.h"
#include "platform/x11/XcbSelectionReader.h"

#include "XcbTestOwner.h"

using namespace xtest;
using varnel::XcbClipboardThread;
using varnel::XcbSelectionReader;

namespace {

QByteArray png(int w, int h, uint32_t seed)
{
    QImage img(w, h, QImage::Format_RGB32);
    const QByteArray n = noise(w * h * 4, seed);
    std::memcpy(img.bits(), n.constData(), size_t(n.size()));
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG", 0);
    return out;
}

class XcbClipboardThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!server.present())
            GTEST_SKIP() << "no Xvfb here: the clipboard's watching thread is not tried";
        ASSERT_FALSE(server.display().isEmpty()) << "Xvfb did not start";
    }
    std::unique_ptr<XcbClipboardThread> watch(quint32 ownBase = 0, quint32 ownMask = 0)
    {
        auto t = std::make_unique<XcbClipboardThread>(
            server.display(), ownBase, ownMask,
            [](const QByteArray& b, const QString&) { return QImage::fromData(b); },
            [this](XcbClipboardThread::Result r) {
                std::lock_guard<std::mutex> lock(mutex);
                got.push_back(std::move(r.picture));
            });
        EXPECT_TRUE(t->start());
        return t;
    }
    // Waits until n pictures came, for at most ms; how many came.
    size_t waitFor(size_t n, int ms)
    {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (got.size() >= n || clock.elapsed() > ms)
                    return got.size();
            }
            QThread::msleep(5);
        }
    }
    QImage picture(size_t i)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return i < got.size() ? got[i] : QImage();
    }
    TestServer server;
    std::mutex mutex;
    std::vector<QImage> got;
};

} // namespace

TEST_F(XcbClipboardThreadTest, NewerOrVanishedOwnersEndAReadAtOnceAndCopiesComeInOrder)
{
    auto t = watch();
    const QByteArray a = png(64, 48, 1), b = png(640, 480, 2);
    {
        Owner first(server.display(), "image/png", a, size_t(1) << 20);
        ASSERT_TRUE(first.ready());
        ASSERT_EQ(waitFor(1, 3000), 1u);
    }
    // One that never sends what it announced, then a normal copy: the newer
    // copy is read at once, not after the 5 s the stalled read may wait.
    Owner stalled(server.display(), "image/png", noise(300000, 3), 4096, true);
    for (int i = 0; i < 300 && !stalled.announced(); ++i)
        QThread::msleep(10);
    ASSERT_TRUE(stalled.announced());
    QElapsedTimer clock;
    clock.start();
    {
        Owner second(server.display(), "image/png", b, 65536);
        ASSERT_TRUE(second.ready());
        ASSERT_EQ(waitFor(2, 4000), 2u);
        EXPECT_LT(clock.elapsed(), 1000);
    }
    EXPECT_EQ(picture(0), QImage::fromData(a));
    EXPECT_EQ(picture(1), QImage::fromData(b));
    // A stalled owner that goes away ends its read without waiting; stop
    // ends a stalled read at once.
    for (const bool vanish : {true, false}) {
        auto owner = std::make_unique<Owner>(server.display(), "image/png", noise(300000, 4), 4096, true);
        for (int i = 0; i < 300 && !owner->announced(); ++i)
            QThread::msleep(10);
        ASSERT_TRUE(owner->announced());
        if (vanish) {
            owner.reset();
            // The thread is free again: the next copy arrives at once.
            Owner next(server.display(), "image/png", a, 65536);
            clock.restart();
            ASSERT_EQ(waitFor(3, 4000), 3u);
            EXPECT_LT(clock.elapsed(), 1000);
        } else {
            clock.restart();
            t->stop();
            EXPECT_LT(clock.elapsed(), 100);
        }
    }
    EXPECT_EQ(waitFor(4, 0), 3u) << "nothing from the stalled or vanished owners";
}

TEST_F(XcbClipboardThreadTest, CopiesOfThisProgramAreNotRead)
{
    Owner ours(server.display(), "image/png", png(8, 8, 5), 65536, false);
    ASSERT_TRUE(ours.ready());
    auto t = watch(ours.idBase(), ours.idMask());
    ASSERT_TRUE(ours.retake()); // a copy "this program" makes while watching
    Owner other(server.display(), "image/png", png(8, 8, 7), 65536, false);
    ASSERT_EQ(waitFor(1, 3000), 1u);
    EXPECT_EQ(picture(0), QImage::fromData(png(8, 8, 7)));
}

TEST_F(XcbClipboardThreadTest, KeepsWhatAnExitingOwnerHandsOverWhereNoManagerRuns)
{
    auto t = watch();
    ASSERT_TRUE(t->isManager());
    const QByteArray big = png(400, 300, 8); // several pieces each way
    ASSERT_GT(big.size(), 300000);
    {
        Owner tool(server.display(), "image/png", big, 65536);
        ASSERT_TRUE(tool.ready());
        ASSERT_TRUE(tool.handOver()) << "the manager did not take the clipboard";
    } // the tool exits
    ASSERT_EQ(waitFor(1, 3000), 1u);
    EXPECT_EQ(picture(0), QImage::fromData(big));
    // A later paste still gets the picture, from us.
    XcbSelectionReader paste(server.display());
    const auto pasted = paste.read("image/png");
    ASSERT_TRUE(pasted.has_value());
    EXPECT_TRUE(*pasted == big);
    EXPECT_EQ(waitFor(2, 300), 1u) << "the hand-over is one capture";
    // Where a manager runs, its role is left to it.
    t->stop();
    xcb_connection_t* c = xcb_connect(server.display().constData(), nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(c, w, internAtom(c, "CLIPBOARD_MANAGER"), XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    auto second = watch();
    EXPECT_FALSE(second->isManager());
    xcb_disconnect(c);
}
