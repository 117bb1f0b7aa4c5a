#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "SettingsTestSupport.h"
#include "TestFiles.h"
#include "platform/ShownLanguage.h"
#include "platform/fake/FakePlatform.h"
#include "settings/ExeName.h"
#include "settings/ShippedData.h"
#include "settings/yIni.h"

using namespace varnel;

namespace {

// A program folder, a data home and a documents folder in a temporary
// folder, with the fake desktop pointing at them.
struct Environment {
    testfiles::TempFolder root;
    FakeShell shell;
    FakeFamilyStore family;
    yIni ini{&shell, &family};
    QStringList messages;
    QString program, exe, dataHome, docs;

    Environment()
    {
        QDir d(root.path());
        d.mkpath("prog");
        d.mkpath("home/data");
        d.mkpath("home/Documents");
        program = root.file("prog");
        exe = program + "/varnel_dv";
        dataHome = root.file("home/data");
        docs = root.file("home/Documents");
        shell.folders[26] = dataHome + "/";
        shell.folders[5] = docs;
        ini.setMessageHandler([this](const QString& m) { messages << m; });
    }
    QString standard() const { return dataHome + "/Quillon/varnel/"; }
    QString choiceFile() const { return program + "/UserData.ini"; }
    void writeChoice(const QByteArray& bytes) const
    {
        QFile f(choiceFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray choice() const
    {
        QFile f(choiceFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void run() { ini.W_UserData(exe, exeNameFromPath(exe)); }
};

} // namespace

TEST(ExeName, BaseNameWithoutTheDevelopmentSuffix)
{
    EXPECT_EQ(exeNameFromPath("/opt/q/varnel"), "varnel");
    EXPECT_EQ(exeNameFromPath("/opt/q/varnel_DV"), "varnel");
    EXPECT_EQ(exeNameFromPath("/opt/q/Varnel_dv.exe"), "Varnel");
    EXPECT_EQ(exeNameFromPath("/opt/q/dv_dvx"), "dv_dvx");
}

TEST(UserData, NoChoiceFileMeansTheStandardFolderAndWritesTheChoice)
{
    Environment e;
    e.run();
    EXPECT_EQ(e.ini.exeName(), "varnel");
    EXPECT_EQ(e.ini.programFolder(), e.program + "/");
    EXPECT_EQ(e.ini.apDataFolder(), e.program + "/apData/");
    EXPECT_EQ(e.ini.userDataFolder(), e.standard());
    EXPECT_TRUE(QFileInfo(e.standard()).isDir());
    EXPECT_EQ(e.choice(), QByteArray("%applicaion data%"));
    EXPECT_TRUE(e.messages.isEmpty());
}

TEST(UserData, KeywordsAreMatchedWithoutRegardToCase)
{
    Environment e;
    e.writeChoice("%APP%");
    e.run();
    EXPECT_EQ(e.ini.userDataFolder(), e.program + "/usData/");
    EXPECT_TRUE(QFileInfo(e.program + "/usData").isDir());
    EXPECT_EQ(e.choice(), QByteArray("%APP%"));

    Environment d;
    d.writeChoice("%My Document%");
    d.run();
    EXPECT_EQ(d.ini.userDataFolder(), d.docs + "/Quillon/varnel/");

    Environment u;
    u.writeChoice("%usr%");
    u.run();
    EXPECT_EQ(u.ini.userDataFolder(), u.standard());
}

TEST(UserData, AKeywordFollowedByALineBreakIsNoKeyword)
{
    Environment e;
    e.writeChoice("%app%\r\n");
    e.run();
    EXPECT_EQ(e.ini.userDataFolder(), e.standard());
    EXPECT_EQ(e.choice(), QByteArray("%app%\r\n"));
    EXPECT_TRUE(e.messages.isEmpty());
}

TEST(UserData, AnExistingPathKeepsItsCaseAndGetsASeparator)
{
    Environment e;
    QDir(e.root.path()).mkpath("Shared/MyData");
    const QString path = e.root.file("Shared/MyData");
    e.writeChoice(cp932(path));
    e.run();
    // Folder names are case-sensitive here: the lower-case name is another
    // (missing) folder.
    EXPECT_EQ(e.ini.userDataFolder(), path + "/");
    EXPECT_TRUE(e.messages.isEmpty());
    EXPECT_EQ(e.choice(), cp932(path));
}

TEST(UserData, AMissingPathIsReportedAndTheStandardFolderUsed)
{
    Environment e;
    const QString path = e.root.file("ﾃﾞｰﾀ/nowhere");
    e.writeChoice(cp932(path));
    e.run();
    EXPECT_EQ(e.ini.userDataFolder(), e.standard());
    ASSERT_EQ(e.messages.size(), 1);
    EXPECT_EQ(e.messages[0], QStringLiteral("ﾌｫﾙﾀﾞ ") + path + QStringLiteral(" が見つかりません\nﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは　")
                                 + e.standard() + QStringLiteral(" を使用します"));
    EXPECT_EQ(e.choice(), cp932(path));
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(UserData, AnEmptyChoiceFileIsRewrittenWithTheDefault)
{
    for (const QByteArray& content : {QByteArray(), QByteArray("\r\n%app%")}) {
        Environment e;
        e.writeChoice(content);
        e.run();
        EXPECT_EQ(e.ini.userDataFolder(), e.standard());
        EXPECT_EQ(e.choice(), QByteArray("%applicaion data%"));
    }
}

TEST(UserData, TheFamilyEntryFollowsTheProgram)
{
    Environment e;
    const QString key = "QuillonTools/Path/varnel";
    e.run();
    EXPECT_EQ(e.family.values.value(key), e.program + "/varnel");
    EXPECT_EQ(e.family.writes, 1);
    e.run();
    EXPECT_EQ(e.family.writes, 1);
    e.family.values[key] = (e.program + "/varnel").toUpper();
    e.run();
    EXPECT_EQ(e.family.values.value(key), e.program + "/varnel");
    EXPECT_EQ(e.family.writes, 2);
}

TEST(Folders, CreateFldMakesEveryMissingLevel)
{
    testfiles::TempFolder root;
    yIni ini;
    ini.F_CreateFld(root.file("a/b/c"));
    EXPECT_TRUE(QFileInfo(root.file("a/b/c")).isDir());
    // A level that cannot be made (a file is in the way) is passed over.
    root.write("file", "x");
    ini.F_CreateFld(root.file("file/sub/"));
    EXPECT_FALSE(QFileInfo::exists(root.file("file/sub")));
    EXPECT_EQ(root.read("file"), QByteArray("x"));

    ini.F_ChkSb(root.path() + "/", {"Temp", "a"});
    EXPECT_TRUE(QFileInfo(root.file("Temp")).isDir());
    EXPECT_TRUE(QFileInfo(root.file("a/b")).isDir());
}

TEST(Folders, SpecialFoldersComeFromTheDesktop)
{
    FakeShell shell;
    shell.folders[26] = "/home/u/.local/share/";
    shell.folders[5] = QStringLiteral("/home/u/Docs") + QChar(0) + "junk";
    yIni ini(&shell);
    EXPECT_EQ(ini.FsGtSpFld(26), "/home/u/.local/share");
    EXPECT_EQ(ini.FsGtSpFld(5), "/home/u/Docs");
    EXPECT_EQ(ini.FsGtSpFld(9), "");
    EXPECT_EQ(yIni().FsGtSpFld(26), "");
}

TEST(Shortcuts, HelpOpensTheShippedGuideAndLeavesALinkFile)
{
    Environment e;
    QDir(e.program).mkpath("help");
    e.root.write("prog/help/varnel.htm", "<html></html>");
    e.run();
    e.ini.W_Help("VARNEL");
    const QString address = QUrl::fromLocalFile(e.program + "/help/varnel.htm").toString();
    ASSERT_EQ(e.shell.opened, QStringList{address});
    QFile link(e.standard() + "varnel_help.desktop");
    ASSERT_TRUE(link.open(QIODevice::ReadOnly));
    const QByteArray content = link.readAll();
    EXPECT_TRUE(content.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(content.contains("\nType=Link\n"));
    EXPECT_TRUE(content.contains("\nURL=" + address.toUtf8() + "\n"));

    e.ini.W_Help("Guide.HTML");
    EXPECT_EQ(e.shell.opened.last(), QUrl::fromLocalFile(e.program + "/help/guide.html").toString());
}

TEST(Shortcuts, HelpOpensTheGuideOfTheLanguageShown)
{
    Environment e;
    QDir(e.program).mkpath("help/en");
    e.root.write("prog/help/varnel.htm", "<html></html>");
    e.root.write("prog/help/en/varnel.htm", "<html></html>");
    e.run();
    ShownLanguage::install(Language::English);
    e.ini.W_Help("varnel");
    ShownLanguage::install(Language::Japanese);
    e.ini.W_Help("varnel");
    EXPECT_EQ(e.shell.opened, QStringList({QUrl::fromLocalFile(e.program + "/help/en/varnel.htm").toString(),
                                           QUrl::fromLocalFile(e.program + "/help/varnel.htm").toString()}));
}

TEST(Shortcuts, HelpWithoutTheGuideSaysSoAndOpensNothing)
{
    Environment e;
    e.run();
    e.ini.W_Help("varnel");
    EXPECT_TRUE(e.shell.opened.isEmpty());
    ASSERT_EQ(e.messages.size(), 1);
    EXPECT_TRUE(e.messages[0].startsWith(QStringLiteral("ﾍﾙﾌﾟが見つかりません。")));
}

TEST(ShippedData, BesideTheProgramFirstThenTheInstalledShareFolder)
{
    testfiles::TempFolder root;
    QDir d(root.path());
    d.mkpath("usr/bin");
    d.mkpath("usr/share/varnel/apData");
    d.mkpath("usr/share/doc/varnel");
    root.write("usr/share/doc/varnel/varnel.htm", "x");
    const QString bin = root.file("usr/bin") + "/";
    EXPECT_EQ(ShippedData::apDataFolder(bin), root.file("usr/share/varnel/apData") + "/");
    EXPECT_EQ(ShippedData::helpFolder(bin), root.file("usr/share/doc/varnel") + "/");

    d.mkpath("usr/bin/apData");
    EXPECT_EQ(ShippedData::apDataFolder(bin), root.file("usr/bin/apData") + "/");
    // A guide folder without its index is no guide.
    d.mkpath("usr/bin/help");
    EXPECT_EQ(ShippedData::helpFolder(bin), root.file("usr/share/doc/varnel") + "/");
    QFile::remove(root.file("usr/share/doc/varnel/varnel.htm"));
    EXPECT_EQ(ShippedData::helpFolder(bin), "");
    // Neither there: the folder beside the program, as before.
    d.rmdir("usr/bin/apData");
    d.rmdir("usr/share/varnel/apData");
    EXPECT_EQ(ShippedData::apDataFolder(bin), root.file("usr/bin/apData") + "/");
}

TEST(Shortcuts, NothingOpensWithoutAPlaceForTheLink)
{
    Environment e;
    e.ini.W_Help("varnel");
    EXPECT_TRUE(e.shell.opened.isEmpty());
    e.run();
    e.ini.W_HtmView("https://example.org/a\nExec=evil");
    EXPECT_TRUE(e.shell.opened.isEmpty());
    QDir().mkpath(e.standard() + "Wrk");
    e.ini.W_HtmView("https://example.org/a\nExec=evil");
    EXPECT_EQ(e.shell.opened, QStringList{"https://example.org/a\nExec=evil"});
    QFile link(e.standard() + "Wrk/htm_view.desktop");
    ASSERT_TRUE(link.open(QIODevice::ReadOnly));
    // The address cannot add keys of its own to the link file.
    EXPECT_FALSE(link.readAll().contains("\nExec="));
}

TEST(Shortcuts, SendToNeedsAFolderFromTheDesktop)
{
    Environment e;
    e.run();
    e.ini.W_SendTo();
    EXPECT_TRUE(e.messages.isEmpty());
    const QString sendTo = e.root.file("sendto");
    QDir().mkpath(sendTo);
    e.shell.folders[9] = sendTo;
    e.ini.W_SendTo();
    QFile link(sendTo + "/varnel.desktop");
    ASSERT_TRUE(link.open(QIODevice::ReadOnly));
    EXPECT_TRUE(link.readAll().contains("\nExec=\"" + (e.program + "/varnel").toUtf8() + "\"\n"));
    ASSERT_EQ(e.messages.size(), 1);
    EXPECT_EQ(e.messages[0], e.program + QStringLiteral("/varnel のｼｮｰﾄｶｯﾄを ") + sendTo + QStringLiteral(" に作成しました"));
}

TEST(Shortcuts, ExploreOnlyExistingFoldersOpenAnything)
{
    Environment e;
    e.ini.W_ExpFd("", true);
    e.ini.W_ExpFd("", false);
    e.ini.W_ExpFd(e.root.file("missing"), false);
    EXPECT_TRUE(e.shell.explored.isEmpty());
    EXPECT_TRUE(e.shell.opened.isEmpty());
    e.ini.W_ExpFd(e.program, false);
    EXPECT_EQ(e.shell.explored, QStringList{e.program});
    e.ini.W_ExpFd(e.root.file("missing"), true);
    EXPECT_EQ(e.shell.opened, QStringList{e.root.file("missing")});
}

TEST(UserData, WithoutADataHomeTheProgramFolderIsUsed)
{
    Environment e;
    e.shell.folders.clear();
    e.writeChoice("%doc");
    e.run();
    // Never a folder at the root of the file system.
    EXPECT_EQ(e.ini.userDataFolder(), e.program + "/usData/");
    EXPECT_TRUE(QFileInfo(e.program + "/usData").isDir());
}

TEST(UserData, DocumentsKeywordUsesTheDocumentsFolder)
{
    Environment e;
    e.writeChoice("%doc");
    e.run();
    EXPECT_EQ(e.ini.userDataFolder(), e.docs + "/Quillon/varnel/");
    EXPECT_TRUE(QFileInfo(e.docs + "/Quillon/varnel").isDir());
    EXPECT_EQ(e.choice(), QByteArray("%doc"));
    EXPECT_TRUE(e.messages.isEmpty());
}
