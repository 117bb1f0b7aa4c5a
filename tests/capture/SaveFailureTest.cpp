// Numbered saves that cannot complete: nothing half-written is published, no
// temporary is left, and the reason reaches the caller.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "SmallDisk.h"
#include "TestFiles.h"
#include "capture/NumberedSaver.h"
#include "editing/engine/AtomicFile.h"
#include "platform/PosixFiles.h"

using namespace varnel;

namespace {
Picture big(int w = 600, int h = 400)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(200, 100, 50));
    return Picture(img);
}
QStringList allFiles(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}
} // namespace

TEST(SaveFailure, FullDiskPublishesNothingAndSaysSo)
{
    testfiles::SmallDisk disk(256 * 1024);
    if (!disk.ok())
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root): full-disk case not run";
    // Room for one 600x400 capture (720 KB)? No: the disk holds 256 KB.
    const auto r = NumberedSaver::save(big(), disk.path(), "", 1, "bmp", ImageFormat::Bmp, 80, 10, true);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ENOSPC);
    EXPECT_EQ(NumberedSaver::reason(r.error), "ディスクの空き容量が不足しています");
    EXPECT_TRUE(allFiles(disk.path()).isEmpty()) << allFiles(disk.path()).join(",").toStdString();
    // Space again: the same number is used.
    const auto small = NumberedSaver::save(big(40, 30), disk.path(), "", 1, "bmp", ImageFormat::Bmp);
    EXPECT_TRUE(small.ok);
    EXPECT_EQ(small.number, 1);
}

TEST(SaveFailure, WriteErrorHalfwayLeavesNoFile)
{
    // A file size limit makes write() fail part way, for any user.
    testfiles::TempFolder dir;
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit lim = old;
    lim.rlim_cur = 100 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &lim), 0);
    bool taken = true;
    int error = 0;
    const bool ok = big().saveNew(dir.file("001.bmp"), ImageFormat::Bmp, 80, &taken, &error, true);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(taken);
    EXPECT_EQ(error, EFBIG);
    EXPECT_TRUE(allFiles(dir.path()).isEmpty());
    // Replacing an existing file: it stays whole when the new one fails.
    dir.write("keep.bmp", "old contents");
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &lim), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    const bool replaced = big().save(dir.file("keep.bmp"), ImageFormat::Bmp, 75, &error);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(dir.read("keep.bmp"), "old contents");
    EXPECT_EQ(allFiles(dir.path()), QStringList{"keep.bmp"});
}

TEST(SaveFailure, ForbiddenAndMissingFoldersGiveTheirReasons)
{
    testfiles::TempFolder dir;
    const auto missing = NumberedSaver::save(big(8, 8), dir.file("gone"), "", 1, "bmp", ImageFormat::Bmp);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(NumberedSaver::reason(missing.error), "フォルダが見つかりません");

    QDir().mkpath(dir.file("ro"));
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    ::chmod(QFile::encodeName(dir.file("ro")).constData(), 0555);
    auto attempt = [&] {
        const auto r = NumberedSaver::save(big(8, 8), dir.file("ro"), "", 1, "bmp", ImageFormat::Bmp);
        return r.ok ? 1 : r.error == EACCES ? 0 : 2;
    };
    int outcome;
    if (::geteuid() == 0) {
        outcome = testfiles::runAsNobody(attempt);
        if (outcome < 0)
            GTEST_SKIP() << "cannot become an ordinary user: read-only folder case not run";
    } else {
        outcome = attempt();
    }
    EXPECT_EQ(outcome, 0) << "1: saved into a read-only folder, 2: another error";
    EXPECT_TRUE(allFiles(dir.file("ro")).isEmpty());
    EXPECT_EQ(NumberedSaver::reason(EACCES), "書き込みの許可がありません");
}

TEST(SaveFailure, NameTakenWhileTheFileIsWrittenIsNeverReplaced)
{
    // Another program creates the name between our check and our publish:
    // publishing must fail rather than replace its file.
    testfiles::TempFolder dir;
    const QString target = dir.file("007.bmp");
    bool taken = false;
    int error = 0;
    const bool ok = AtomicFile::writeNew(
        target,
        [&](const AtomicFile::Sink& sink) {
            QFile other(target);
            if (!other.open(QIODevice::WriteOnly))
                return false;
            other.write("the other program's file");
            other.close();
            return sink("ours", 4);
        },
        &taken, &error, AtomicFile::Sync::AfterPublish);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(taken);
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(dir.read("007.bmp"), "the other program's file");
    EXPECT_EQ(allFiles(dir.path()), QStringList{"007.bmp"});
}

TEST(SaveFailure, PublishedCapturesAreSyncedInTheBackground)
{
    testfiles::TempFolder dir;
    const int before = AtomicFile::waitForBackgroundSync();
    const int syncs = varnel::posix::syncCalls();
    for (int i = 1; i <= 3; ++i)
        ASSERT_TRUE(NumberedSaver::save(big(16, 16), dir.path(), "", i, "bmp", ImageFormat::Bmp, 80, 10, true).ok);
    // Without the later sync nothing would have been queued.
    EXPECT_EQ(AtomicFile::waitForBackgroundSync(), before + 3);
    EXPECT_EQ(varnel::posix::syncCalls() - syncs, 6) << "each file's bytes and its name, once";
    EXPECT_EQ(QImage(dir.file("003.bmp")).pixel(1, 1), qRgb(200, 100, 50));

    // A failure only the sync reports is told, with the file's name.
    QStringList failed;
    AtomicFile::onBackgroundSyncFailure(
        [&failed](const QString& path, int error) { failed << path + ":" + QString::number(error); });
    varnel::posix::failNextSync(EIO);
    ASSERT_TRUE(NumberedSaver::save(big(16, 16), dir.path(), "", 4, "bmp", ImageFormat::Bmp, 80, 10, true).ok);
    AtomicFile::waitForBackgroundSync();
    AtomicFile::onBackgroundSyncFailure(nullptr);
    EXPECT_EQ(failed, QStringList{dir.file("004.bmp") + ":" + QString::number(EIO)});
}
