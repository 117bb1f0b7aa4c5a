// Folders the user cannot write in. Root ignores mode bits, so these cases
// run in a child process that drops to the unprivileged user "nobody".
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestFiles.h"
#include "platform/fake/FakePlatform.h"
#include "settings/yIni.h"

using namespace varnel;

namespace {

struct Outcome {
    bool ran = false;
    QString why; // when not ran
    QString folder;
    QStringList messages;
    bool choiceExists = false;
};

// Runs W_UserData as "nobody" over program/ and home/ below root. The child
// reports through a pipe: folder, choice file present, messages.
Outcome runAsNobody(const QString& root)
{
    Outcome o;
    if (::geteuid() != 0) {
        o.why = "not root: cannot switch to an unprivileged user";
        return o;
    }
    const passwd* pw = ::getpwnam("nobody");
    if (!pw) {
        o.why = "no user 'nobody'";
        return o;
    }
    int fds[2];
    if (::pipe(fds) != 0) {
        o.why = "no pipe";
        return o;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (::setgroups(0, nullptr) != 0 || ::setresgid(pw->pw_gid, pw->pw_gid, pw->pw_gid) != 0
            || ::setresuid(pw->pw_uid, pw->pw_uid, pw->pw_uid) != 0)
            ::_exit(3);
        FakeShell shell;
        shell.folders[26] = root + "/home/data";
        shell.folders[5] = root + "/home/Documents";
        FakeFamilyStore family;
        yIni ini(&shell, &family);
        QStringList messages;
        ini.setMessageHandler([&](const QString& m) { messages << m; });
        ini.W_UserData(root + "/program/varnel", "varnel");
        const QByteArray report = (ini.userDataFolder() + '\x1f'
                                   + (QFileInfo::exists(root + "/program/UserData.ini") ? "1" : "0") + '\x1f'
                                   + messages.join('\x1e'))
                                      .toUtf8();
        [[maybe_unused]] auto n = ::write(fds[1], report.constData(), size_t(report.size()));
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray got;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
        got.append(buf, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        o.why = "the unprivileged child failed";
        return o;
    }
    const QStringList parts = QString::fromUtf8(got).split('\x1f');
    o.ran = parts.size() == 3;
    o.folder = parts.value(0);
    o.choiceExists = parts.value(1) == "1";
    o.messages = parts.value(2).isEmpty() ? QStringList() : parts.value(2).split('\x1e');
    return o;
}

// A root-owned program folder (read-only to others) and a home that belongs
// to "nobody".
struct Installed {
    testfiles::TempFolder root;
    Installed()
    {
        ::chmod(QFile::encodeName(root.path()).constData(), 0755);
        QDir(root.path()).mkpath("program");
        QDir(root.path()).mkpath("home/data");
        QDir(root.path()).mkpath("home/Documents");
        if (const passwd* pw = ::getpwnam("nobody"))
            for (const char* d : {"home", "home/data", "home/Documents"})
                ::chown(QFile::encodeName(root.file(d)).constData(), pw->pw_uid, pw->pw_gid);
    }
    QString standard() const { return root.path() + "/home/data/Quillon/varnel/"; }
    void choose(const QByteArray& choice) const { root.write("program/UserData.ini", choice); }
};

const QString kCannotWrite = QStringLiteral(" に書き込めません\nﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは　");

} // namespace

TEST(UserDataPermissions, AReadOnlyProgramFolderWithoutAChoiceIsNoError)
{
    Installed i;
    const Outcome o = runAsNobody(i.root.path());
    if (!o.ran)
        GTEST_SKIP() << o.why.toStdString();
    EXPECT_EQ(o.folder, i.standard());
    EXPECT_TRUE(o.messages.isEmpty()) << o.messages.join('|').toStdString();
    EXPECT_FALSE(o.choiceExists);
    EXPECT_TRUE(QFileInfo(i.standard()).isDir());
}

TEST(UserDataPermissions, AChosenFolderThatCannotBeWrittenIsTreatedAsMissing)
{
    Installed i;
    QDir(i.root.path()).mkpath("shared");    // root's, read-only to others
    QDir(i.root.path()).mkpath("locked");
    ::chmod(QFile::encodeName(i.root.file("locked")).constData(), 0);
    for (const QString& chosen : {i.root.file("shared"), i.root.file("locked")}) {
        i.choose(chosen.toUtf8());
        const Outcome o = runAsNobody(i.root.path());
        if (!o.ran)
            GTEST_SKIP() << o.why.toStdString();
        EXPECT_EQ(o.folder, i.standard());
        ASSERT_EQ(o.messages.size(), 1) << chosen.toStdString();
        EXPECT_EQ(o.messages[0], QStringLiteral("ﾌｫﾙﾀﾞ ") + chosen + kCannotWrite + i.standard()
                                     + QStringLiteral(" を使用します"));
        EXPECT_EQ(i.root.read("program/UserData.ini"), chosen.toUtf8()); // the user's choice stays
    }
}

TEST(UserDataPermissions, AppInAReadOnlyProgramFolderFallsBackWithAMessage)
{
    Installed i;
    i.choose("%app%");
    const Outcome o = runAsNobody(i.root.path());
    if (!o.ran)
        GTEST_SKIP() << o.why.toStdString();
    EXPECT_EQ(o.folder, i.standard());
    ASSERT_EQ(o.messages.size(), 1);
    EXPECT_TRUE(o.messages[0].startsWith(QStringLiteral("ﾌｫﾙﾀﾞ ") + i.root.file("program/usData") + kCannotWrite))
        << o.messages[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(i.root.file("program/usData")));

    // A writable program folder still gets its usData folder.
    QDir(i.root.path()).mkpath("program/usData");
    if (const passwd* pw = ::getpwnam("nobody"))
        ::chown(QFile::encodeName(i.root.file("program/usData")).constData(), pw->pw_uid, pw->pw_gid);
    const Outcome ok = runAsNobody(i.root.path());
    EXPECT_EQ(ok.folder, i.root.file("program/usData/"));
    EXPECT_TRUE(ok.messages.isEmpty());
}
