// A paste answered aside: commands keep their order around it, and an owner
// that answers late or never neither lands a stale picture nor holds them up.
#include <gtest/gtest.h>

#include <QTimer>

#include "TestFiles.h"
#include "capture/PendingPaste.h"
#include "platform/fake/FakePlatform.h"

using namespace varnel;

using testfiles::filled;

namespace {
struct Paste {
    FakePlatform fake;
    PendingPaste paste{*fake.clipboard};
    QList<QRgb> landed;
    int busyLevel = 0;
    bool modal = false;
    bool ending = false;
    Paste()
    {
        fake.clipboard->answerLater = true;
        paste.busy = [this](bool on) { busyLevel += on ? 1 : -1; };
        paste.land = [this](QImage p) { landed << p.pixel(0, 0); };
        paste.mayLand = [this] { return !modal; };
        paste.ending = [this] { return ending; };
    }
};
} // namespace

TEST(PendingPaste, OnlyTheNewestAnswerLandsAndNotUnderAnotherDialog)
{
    Paste p;
    p.fake.clipboard->setSilently(filled(qRgb(1, 1, 1)));
    p.paste.request();
    auto older = std::exchange(p.fake.clipboard->pending, nullptr);
    p.paste.request(); // a newer paste takes the older one's place
    EXPECT_EQ(p.busyLevel, 1);
    older(filled(qRgb(9, 9, 9)));
    EXPECT_TRUE(p.landed.isEmpty());
    p.fake.clipboard->answer();
    EXPECT_EQ(p.landed, QList<QRgb>{qRgb(1, 1, 1)});
    EXPECT_EQ(p.busyLevel, 0);
    EXPECT_FALSE(p.paste.isPending());

    // Answered while a load's question is open: dropped, not landed later.
    p.paste.request();
    p.modal = true;
    p.fake.clipboard->answer();
    p.modal = false;
    EXPECT_EQ(p.landed.size(), 1);
    EXPECT_EQ(p.busyLevel, 0);
}

TEST(PendingPaste, AWaitingCommandGetsThePictureFirstOrGoesOnWithoutASilentOwner)
{
    Paste p;
    p.fake.clipboard->setSilently(filled(qRgb(2, 2, 2)));
    p.paste.request();
    QTimer::singleShot(20, [&] { p.fake.clipboard->answer(); });
    EXPECT_TRUE(p.paste.finish(5000));
    EXPECT_EQ(p.landed, QList<QRgb>{qRgb(2, 2, 2)});
    EXPECT_FALSE(p.paste.isWaiting());

    // An owner that never answers: the command runs after the wait, and
    // the paste is given up for good.
    p.paste.request();
    EXPECT_TRUE(p.paste.finish(30));
    EXPECT_FALSE(p.paste.isPending());
    EXPECT_EQ(p.busyLevel, 0);
    p.fake.clipboard->answer();
    EXPECT_EQ(p.landed.size(), 1);

    // Given up while a command waits (the program ends): that command does not run.
    p.paste.request();
    QTimer::singleShot(10, [&] {
        p.ending = true;
        p.paste.cancel();
    });
    EXPECT_FALSE(p.paste.finish(5000));
    EXPECT_TRUE(p.paste.finish(5000)); // nothing pending: nothing to wait for
}
