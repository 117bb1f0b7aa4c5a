#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include <cerrno>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestFiles.h"
#include "platform/DurableFile.h"
#include "platform/PosixFiles.h"

using varnel::DurableFile;

namespace {

QStringList hiddenFiles(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

mode_t modeOf(const QString& path)
{
    struct stat st{};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

TEST(DurableFile, ReplacesTheFileWholeKeepingItsPermissions)
{
    testfiles::TempFolder dir;
    dir.write("User.xml", "old contents");
    ::chmod(QFile::encodeName(dir.file("User.xml")).constData(), 0640);

    const auto r = DurableFile::write(dir.file("User.xml"), "new");
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(dir.read("User.xml"), QByteArray("new"));
    EXPECT_EQ(modeOf(dir.file("User.xml")), mode_t(0640));
    EXPECT_EQ(hiddenFiles(dir.path()), QStringList{"User.xml"});

    // A link is followed: the file it points at gets the bytes.
    dir.write("real.ini", "x");
    QFile::link(dir.file("real.ini"), dir.file("link.ini"));
    ASSERT_TRUE(DurableFile::write(dir.file("link.ini"), "through").ok);
    EXPECT_TRUE(QFileInfo(dir.file("link.ini")).isSymLink());
    EXPECT_EQ(dir.read("real.ini"), QByteArray("through"));
}

TEST(DurableFile, AFailureAtAnyStepLeavesTheOldFileAndNoTemporary)
{
    testfiles::TempFolder dir;
    const QByteArray old(5000, 'o');
    for (auto step : {DurableFile::Step::Write, DurableFile::Step::Sync, DurableFile::Step::Rename}) {
        dir.write("User.xml", old);
        DurableFile::failNextWrite(step, ENOSPC);
        const auto r = DurableFile::write(dir.file("User.xml"), QByteArray(9000, 'n'));
        EXPECT_FALSE(r.ok) << int(step);
        EXPECT_EQ(r.errorNumber, ENOSPC);
        EXPECT_TRUE(r.error.startsWith(QStringLiteral("ﾃﾞｨｽｸの空き容量が足りません"))) << r.error.toStdString();
        EXPECT_EQ(dir.read("User.xml"), old);
        EXPECT_EQ(hiddenFiles(dir.path()), QStringList{"User.xml"});
    }
    // The fault is used up: the next write goes through, its bytes and its
    // new name both forced to the disk.
    const int syncs = varnel::posix::syncCalls();
    EXPECT_TRUE(DurableFile::write(dir.file("User.xml"), "fine").ok);
    EXPECT_EQ(varnel::posix::syncCalls() - syncs, 2);
    // A failure only the sync reports (EIO of a network disk) fails the write.
    varnel::posix::failNextSync(EIO);
    EXPECT_EQ(DurableFile::write(dir.file("User.xml"), "lost").errorNumber, EIO);
    EXPECT_EQ(dir.read("User.xml"), QByteArray("fine"));

    // A folder that does not exist is a failure with a reason, not a crash.
    const auto r = DurableFile::write(dir.file("missing/User.xml"), "x");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errorNumber, ENOENT);
}

TEST(DurableFile, TemporaryNamesAreOnlyThoseItCreates)
{
    EXPECT_TRUE(DurableFile::isTemporaryFor(".User.xml.varnel-a1B2c3.tmp", "User.xml"));
    // Names a user's own file may well have are never ours.
    for (const char* mine : {".User.xml.backup", ".User.xml.a1B2c3", ".User.xml.varnel-a1B2c3",
                             ".User.xml.varnel-a1B2c.tmp", ".User.xml.Varnel-a1B2c3.tmp"})
        EXPECT_FALSE(DurableFile::isTemporaryFor(mine, "User.xml")) << mine;
    EXPECT_FALSE(DurableFile::isTemporaryFor(".User.xml.varnel-a1B2c.tmp", "User.xml"));
    EXPECT_FALSE(DurableFile::isTemporaryFor(".User.xml.varnel-a1B2c-.tmp", "User.xml"));
    EXPECT_FALSE(DurableFile::isTemporaryFor("User.xml.varnel-a1B2c3.tmp", "User.xml"));
    EXPECT_FALSE(DurableFile::isTemporaryFor(".User.xmx.varnel-a1B2c3.tmp", "User.xml"));
    EXPECT_FALSE(DurableFile::isTemporaryFor(".User.xml", "User.xml"));
}

// A real full device: a small tmpfs, mounted when the test may mount.
TEST(DurableFile, AFullDiskKeepsTheOldFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "not root: cannot mount a small tmpfs for the full-disk case";
    testfiles::TempFolder dir;
    const QByteArray mnt = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mnt.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "mounting a tmpfs is not allowed here (" << std::strerror(errno) << ")";
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{mnt};

    const QByteArray old(10000, 'o');
    ASSERT_TRUE(DurableFile::write(dir.file("User.xml"), old).ok);
    // Fill the rest of the device.
    {
        QFile filler(dir.file("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    const auto r = DurableFile::write(dir.file("User.xml"), QByteArray(30000, 'n'));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errorNumber, ENOSPC);
    EXPECT_EQ(dir.read("User.xml"), old);
    EXPECT_EQ(hiddenFiles(dir.path()).size(), 2); // User.xml and the filler
}
