#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "SettingsTestSupport.h"
#include "TestFiles.h"
#include "settings/yIni.h"

using namespace varnel;

namespace {

const QByteArray kDeclaration = "<?xml version='1.0' encoding='Shift-JIS' ?>";

QByteArray lines(std::initializer_list<QString> ls)
{
    QStringList l(ls);
    return cp932(l.join(QStringLiteral("\r\n")));
}

// A store whose messages are collected.
struct Store {
    yIni ini;
    QStringList messages;
    Store()
    {
        ini.setMessageHandler([this](const QString& m) { messages << m; });
    }
};

const QString kHandWritten = QStringLiteral(
    "<?xml version='1.0' encoding='Shift-JIS' ?>\r\n"
    "<運用>\r\n"
    "   <ﾌｫｰﾑ>\r\n"
    "      <Left>1440</Left>\r\n"
    "      <Top>-15</Top>\r\n"
    "   </ﾌｫｰﾑ>\r\n"
    "   <ﾕｰｻﾞｰ>\r\n"
    "      <格納ﾌｫﾙﾀﾞ>C:\\ｷｬﾌﾟﾁｬ\\</格納ﾌｫﾙﾀﾞ>\r\n"
    "      <QL_RNG>a<b>&c</QL_RNG>\r\n"
    "   </ﾕｰｻﾞｰ>\r\n"
    "   <マクロ>\r\n"
    "   </マクロ>\r\n"
    "</運用>");

} // namespace

TEST(yIniFile, MissingFileIsCreatedEmptyAndStartsAsTheSkeleton)
{
    testfiles::TempFolder dir;
    Store s;
    ASSERT_TRUE(s.ini.GetTxt(dir.file("User.xml")));
    EXPECT_TRUE(dir.exists("User.xml"));
    EXPECT_EQ(dir.read("User.xml").size(), 0);
    EXPECT_EQ(s.ini.wholeText(),
              QString::fromLatin1(kDeclaration) + QStringLiteral("\r\n<運用>\r\n</運用>"));
}

TEST(yIniFile, OneGroupAndKeyGiveExactlySixLines)
{
    testfiles::TempFolder dir;
    Store s;
    ASSERT_TRUE(s.ini.GetTxt(dir.file("User.xml")));
    s.ini.GetGtx(QStringLiteral("ﾕｰｻﾞｰ"));
    s.ini.SetVal(QStringLiteral("ｽﾀﾝﾌﾟ"), QStringLiteral("値"));
    s.ini.SetGtx();
    ASSERT_TRUE(s.ini.SetTxt());
    EXPECT_EQ(dir.read("User.xml"),
              lines({QString::fromLatin1(kDeclaration), QStringLiteral("<運用>"), QStringLiteral("   <ﾕｰｻﾞｰ>"),
                     QStringLiteral("      <ｽﾀﾝﾌﾟ>値</ｽﾀﾝﾌﾟ>"), QStringLiteral("   </ﾕｰｻﾞｰ>"),
                     QStringLiteral("</運用>")}));
    EXPECT_TRUE(s.messages.isEmpty());
    EXPECT_FALSE(dir.exists("User.xml.bak"));
}

TEST(yIniFile, AnUnchangedFileComesBackByteForByte)
{
    testfiles::TempFolder dir;
    const QByteArray original = cp932(kHandWritten);
    dir.write("User.xml", original);
    Store s;
    ASSERT_TRUE(s.ini.GetTxt(dir.file("User.xml")));
    for (const char* g : {"ﾌｫｰﾑ", "ﾕｰｻﾞｰ", "マクロ"}) {
        s.ini.GetGtx(QString::fromUtf8(g));
        s.ini.SetGtx();
    }
    s.ini.GetGtx(QStringLiteral("ﾕｰｻﾞｰ"));
    s.ini.SetVal(QStringLiteral("格納ﾌｫﾙﾀﾞ"), QStringLiteral("C:\\ｷｬﾌﾟﾁｬ\\"));
    s.ini.SetGtx();
    ASSERT_TRUE(s.ini.SetTxt());
    EXPECT_EQ(dir.read("User.xml"), original);
    EXPECT_TRUE(s.messages.isEmpty());
    EXPECT_FALSE(dir.exists("User.xml.bak"));
}

TEST(yIniFile, TheDevelopmentSuffixSharesTheReleaseFile)
{
    testfiles::TempFolder dir;
    QDir(dir.path()).mkdir("x_DV.xml");
    const QString folder = dir.file("x_DV.xml");
    QFile(folder + "/User.xml").open(QIODevice::WriteOnly);
    Store s;
    ASSERT_TRUE(s.ini.GetTxt(folder + "/User_dv.XML"));
    EXPECT_EQ(s.ini.filePath(), folder + "/User.xml");
    s.ini.GetGtx("G");
    s.ini.SetVal("K", 1);
    s.ini.SetGtx();
    ASSERT_TRUE(s.ini.SetTxt());
    EXPECT_FALSE(QFileInfo::exists(folder + "/User_dv.XML"));
    EXPECT_TRUE(QFile(folder + "/User.xml").size() > 0);
}

TEST(yIniFile, LoadFailsWhereNoFileCanBe)
{
    testfiles::TempFolder dir;
    Store s;
    EXPECT_FALSE(s.ini.GetTxt(dir.file("missing/User.xml")));
    EXPECT_FALSE(s.ini.GetTxt(dir.path()));
    yIni fresh;
    EXPECT_FALSE(fresh.SetTxt());
}

TEST(yIniFile, AFileStartingWithALineBreakIsReadWhole)
{
    testfiles::TempFolder dir;
    const QByteArray bytes = "\r\n" + cp932(kHandWritten);
    dir.write("User.xml", bytes);
    Store s;
    ASSERT_TRUE(s.ini.GetTxt(dir.file("User.xml")));
    s.ini.GetGtx(QStringLiteral("ﾌｫｰﾑ"));
    EXPECT_EQ(s.ini.vGtVal("Left", 0).toInt(), 1440);
    ASSERT_TRUE(s.ini.SetTxt());
    EXPECT_EQ(dir.read("User.xml"), bytes);
}

TEST(yIniValues, ReadingKeysOfAGroup)
{
    testfiles::TempFolder dir;
    dir.write("User.xml", cp932(kHandWritten));
    Store s;
    ASSERT_TRUE(s.ini.GetTxt(dir.file("User.xml")));
    s.ini.GetGtx(QStringLiteral("ﾕｰｻﾞｰ"));
    EXPECT_EQ(s.ini.vGtVal("QL_RNG", "").toText(), "a<b>&c");
    EXPECT_EQ(s.ini.vGtVal(QStringLiteral("格納ﾌｫﾙﾀﾞ"), "").toText(), QStringLiteral("C:\\ｷｬﾌﾟﾁｬ\\"));
    EXPECT_EQ(s.ini.vGtVal("absent", "dflt").toText(), "dflt");
    EXPECT_EQ(s.ini.vGtVal("absent", 7).kind(), IniValue::Kind::Whole);
    EXPECT_EQ(s.ini.vGtVal("absent", 7).toInt(), 7);
    s.ini.GetGtx(QStringLiteral("ﾌｫｰﾑ"));
    EXPECT_EQ(s.ini.vGtVal("Top", 0).toDouble(), -15.0);
    s.ini.GetGtx(QStringLiteral("マクロ"));
    EXPECT_EQ(s.ini.groupText(), "");
    s.ini.GetGtx("NoSuchGroup");
    EXPECT_EQ(s.ini.vGtVal("Left", 3).toInt(), 3);
    EXPECT_TRUE(s.messages.isEmpty());
}

TEST(yIniValues, NumbersAndBooleansFromText)
{
    Store s;
    s.ini.GetGtx("G");
    s.ini.SetVal("n1", "12abc");
    s.ini.SetVal("n2", "abc");
    s.ini.SetVal("n3", "");
    s.ini.SetVal("n4", "1e999");
    s.ini.SetVal("b1", "tRuE");
    s.ini.SetVal("b2", "0");
    s.ini.SetVal("b3", "yes");
    EXPECT_EQ(s.ini.vGtVal("n1", 5).toDouble(), 12.0);
    EXPECT_EQ(s.ini.vGtVal("n2", 5).toDouble(), 0.0);
    EXPECT_EQ(s.ini.vGtVal("n3", 5).toInt(), 5);
    EXPECT_FALSE(s.ini.lastConversionFailed());
    EXPECT_EQ(s.ini.vGtVal("n4", 5).toInt(), 5);
    EXPECT_TRUE(s.ini.lastConversionFailed());
    EXPECT_TRUE(s.ini.vGtVal("b1", false).toBool());
    EXPECT_FALSE(s.ini.lastConversionFailed());
    EXPECT_FALSE(s.ini.vGtVal("b2", true).toBool());
    EXPECT_TRUE(s.ini.vGtVal("b3", true).toBool());
    EXPECT_TRUE(s.ini.lastConversionFailed());
    EXPECT_FALSE(s.ini.vGtVal("b3", false).toBool());
    EXPECT_TRUE(s.ini.vGtVal("b1", false).toBool());
    EXPECT_FALSE(s.ini.lastConversionFailed());
}

TEST(yIniValues, DamagedKeysAreReportedAndReadAsTheDefault)
{
    Store s;
    s.ini.GetGtx("G");
    s.ini.SetVal("K", "x");
    s.ini.SetVal("Late", "v");
    // Closing tag first, then the opening tag.
    s.ini.SetVal("Swap", "");
    const QString damaged = s.ini.groupText().replace("<Swap></Swap>", "</Swap>1<Swap>");
    Store d;
    testfiles::TempFolder dir;
    dir.write("User.xml", cp932(QStringLiteral("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <G>\r\n")
                                + damaged + QStringLiteral("      <Open>v\r\n   </G>\r\n</運用>")));
    ASSERT_TRUE(d.ini.GetTxt(dir.file("User.xml")));
    d.ini.GetGtx("G");
    EXPECT_EQ(d.ini.vGtVal("K", "").toText(), "x");
    EXPECT_TRUE(d.messages.isEmpty());
    EXPECT_FALSE(d.ini.isDamaged());
    EXPECT_EQ(d.ini.vGtVal("Swap", "dflt").toText(), "dflt");
    ASSERT_EQ(d.messages.size(), 1);
    EXPECT_EQ(d.messages[0], QStringLiteral("<Swap> の設定が読み込めません\nﾕｰｻﾞｰ環境ﾌｧｲﾙ(") + dir.file("User.xml")
                                 + QStringLiteral(") が破損しています"));
    EXPECT_EQ(d.ini.vGtVal("Open", 4).toInt(), 4);
    EXPECT_EQ(d.messages.size(), 2);
    EXPECT_TRUE(d.ini.isDamaged());
}

TEST(yIniValues, SetValReplacesInPlaceOrAppends)
{
    Store s;
    s.ini.GetGtx("G");
    s.ini.SetVal("A", 1);
    s.ini.SetVal("B", 2);
    s.ini.SetVal("A", "long value");
    s.ini.SetVal("C", true);
    EXPECT_EQ(s.ini.groupText(), "      <A>long value</A>\r\n      <B>2</B>\r\n      <C>True</C>\r\n");
    // Nothing reaches the whole text before SetGtx; another GetGtx drops it.
    EXPECT_FALSE(s.ini.wholeText().contains("<A>"));
    s.ini.GetGtx("H");
    s.ini.GetGtx("G");
    EXPECT_EQ(s.ini.groupText(), "");
}

TEST(yIniValues, TheLineBreakMarkerOnlyBreaksNewElements)
{
    testfiles::TempFolder dir;
    Store s;
    ASSERT_TRUE(s.ini.GetTxt(dir.file("User.xml")));
    s.ini.GetGtx("G");
    s.ini.SetVal("Old", "x");
    s.ini.SetGtx();
    s.ini.GetGtx("G");
    s.ini.SetVal("Old", QStringLiteral("c‡d"));
    s.ini.SetVal("New", QStringLiteral("a‡b"));
    s.ini.SetGtx();
    ASSERT_TRUE(s.ini.SetTxt());
    const QByteArray bytes = dir.read("User.xml");
    EXPECT_TRUE(bytes.contains("      <New>a\r\nb</New>\r\n"));
    EXPECT_TRUE(bytes.contains("      <Old>c\x81\xF6" "d</Old>\r\n"));

    // A group text carried into a new group is built too, markers and all.
    Store t;
    t.ini.GetGtx("H");
    t.ini.SetVal("K", "");
    t.ini.SetVal("K", QStringLiteral("e‡f"));
    t.ini.SetGtx();
    EXPECT_TRUE(t.ini.wholeText().contains("   <H>\r\n      <K>e\r\nf</K>\r\n   </H>\r\n</運用>"));
}

TEST(yIniGroups, EmptyGroupsAndGroupOrder)
{
    Store s;
    s.ini.GetGtx("First");
    s.ini.SetGtx();
    s.ini.GetGtx("Second");
    s.ini.SetVal("K", "v");
    s.ini.SetGtx();
    EXPECT_EQ(s.ini.wholeText(), QStringLiteral("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n"
                                                "   <First>\r\n   </First>\r\n"
                                                "   <Second>\r\n      <K>v</K>\r\n   </Second>\r\n</運用>"));
    s.ini.GetGtx("First");
    EXPECT_EQ(s.ini.groupText(), "");
    // Rewriting the first group leaves the second where it is.
    s.ini.SetVal("X", 9);
    s.ini.SetGtx();
    EXPECT_EQ(s.ini.wholeText(), QStringLiteral("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n"
                                                "   <First>\r\n      <X>9</X>\r\n   </First>\r\n"
                                                "   <Second>\r\n      <K>v</K>\r\n   </Second>\r\n</運用>"));
}

TEST(yIniGroups, HandEditedGroupsWithoutTheLayoutStillRead)
{
    testfiles::TempFolder dir;
    dir.write("User.xml", cp932(QStringLiteral("<運用><G><K>v</K></G><E></E></運用>")));
    Store s;
    ASSERT_TRUE(s.ini.GetTxt(dir.file("User.xml")));
    s.ini.GetGtx("G");
    EXPECT_EQ(s.ini.vGtVal("K", "").toText(), "v");
    s.ini.GetGtx("E");
    EXPECT_EQ(s.ini.groupText(), "");
    s.ini.SetVal("N", 1);
    s.ini.SetGtx();
    s.ini.GetGtx("E");
    EXPECT_EQ(s.ini.vGtVal("N", 0).toInt(), 1);
    EXPECT_EQ(s.ini.wholeText().count("<E>"), 1);
    EXPECT_TRUE(s.messages.isEmpty());
}

TEST(yIniGroups, TextsBeyondSixteenBitPositionsWork)
{
    testfiles::TempFolder dir;
    const QString big = QString(70000, QChar(0x30A2)) + QStringLiteral("end");
    {
        Store s;
        ASSERT_TRUE(s.ini.GetTxt(dir.file("User.xml")));
        s.ini.GetGtx("A");
        s.ini.SetVal("Big", big);
        s.ini.SetGtx();
        s.ini.GetGtx("B");
        s.ini.SetVal("After", "tail");
        s.ini.SetGtx();
        ASSERT_TRUE(s.ini.SetTxt());
    }
    Store s;
    ASSERT_TRUE(s.ini.GetTxt(dir.file("User.xml")));
    s.ini.GetGtx("A");
    EXPECT_EQ(s.ini.vGtVal("Big", "").toText(), big);
    s.ini.SetVal("Big", "small");
    s.ini.SetGtx();
    s.ini.GetGtx("B");
    EXPECT_EQ(s.ini.vGtVal("After", "").toText(), "tail");
    EXPECT_TRUE(s.messages.isEmpty());
}

TEST(yIniSafety, SavingReplacesTheFileInsteadOfRewritingIt)
{
    testfiles::TempFolder dir;
    const QByteArray original = cp932(kHandWritten);
    dir.write("User.xml", original);
    // A second name for the old file: if the save truncated and rewrote the
    // file in place, this name would see the new bytes too.
    ASSERT_EQ(::link(QFile::encodeName(dir.file("User.xml")).constData(),
                     QFile::encodeName(dir.file("old.xml")).constData()),
              0);
    Store s;
    ASSERT_TRUE(s.ini.GetTxt(dir.file("User.xml")));
    s.ini.GetGtx("G");
    s.ini.SetVal("K", "v");
    s.ini.SetGtx();
    ASSERT_TRUE(s.ini.SetTxt());
    EXPECT_EQ(dir.read("old.xml"), original);
    EXPECT_NE(dir.read("User.xml"), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST(yIniSafety, AFailedWriteLeavesThePreviousFileWhole)
{
    testfiles::TempFolder dir;
    const QByteArray original = cp932(kHandWritten);
    dir.write("User.xml", original);
    Store s;
    ASSERT_TRUE(s.ini.GetTxt(dir.file("User.xml")));
    s.ini.GetGtx("G");
    s.ini.SetVal("K", QString(200000, QLatin1Char('x')));
    s.ini.SetGtx();

    // A file size limit stands in for a full disk.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = s.ini.SetTxt();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(dir.read("User.xml"), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"User.xml"});
    // With room again the same save goes through.
    EXPECT_TRUE(s.ini.SetTxt());
    EXPECT_GT(dir.read("User.xml").size(), 200000);
}

TEST(yIniSafety, ADamagedElementKeepsTheOldFileAsBackup)
{
    testfiles::TempFolder dir;
    const QByteArray original =
        cp932(QStringLiteral("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <G>\r\n"
                             "      <K>v\r\n   </G>\r\n</運用>"));
    dir.write("User.xml", original);
    Store s;
    ASSERT_TRUE(s.ini.GetTxt(dir.file("User.xml")));
    EXPECT_FALSE(s.ini.isDamaged());
    s.ini.GetGtx("G");
    EXPECT_EQ(s.ini.vGtVal("K", "d").toText(), "d");
    EXPECT_EQ(s.messages.size(), 1);
    s.ini.SetVal("K2", "w");
    s.ini.SetGtx();
    ASSERT_TRUE(s.ini.SetTxt());
    EXPECT_EQ(dir.read("User.xml.bak"), original);
    EXPECT_TRUE(dir.read("User.xml").contains("<K2>w</K2>"));
    // Only the file as it was loaded is kept; a second save leaves the backup.
    s.ini.SetVal("K3", "z");
    s.ini.SetGtx();
    ASSERT_TRUE(s.ini.SetTxt());
    EXPECT_EQ(dir.read("User.xml.bak"), original);
}

TEST(yIniSafety, BytesThatAreNotCp932AreKeptInTheBackup)
{
    testfiles::TempFolder dir;
    const QByteArray original = cp932(kHandWritten).replace("1440", "14\x82\xFF\x81");
    dir.write("User.xml", original);
    Store s;
    ASSERT_TRUE(s.ini.GetTxt(dir.file("User.xml")));
    EXPECT_TRUE(s.ini.isDamaged());
    ASSERT_TRUE(s.ini.SetTxt());
    EXPECT_EQ(dir.read("User.xml.bak"), original);
}

TEST(yIniSafety, NoRootClosingTagLeavesTheTextAndKeepsABackup)
{
    testfiles::TempFolder dir;
    const QByteArray original = cp932(QStringLiteral("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n"
                                                     "   <G>\r\n      <K>v</K>\r\n   </G>\r\n"));
    dir.write("User.xml", original);
    Store s;
    ASSERT_TRUE(s.ini.GetTxt(dir.file("User.xml")));
    EXPECT_TRUE(s.ini.isDamaged());
    const QString before = s.ini.wholeText();
    s.ini.GetGtx("New");
    s.ini.SetVal("A", 1);
    s.ini.SetGtx();
    EXPECT_EQ(s.ini.wholeText(), before);
    ASSERT_EQ(s.messages.size(), 1);
    EXPECT_TRUE(s.messages[0].startsWith(QStringLiteral("<運用> の設定が読み込めません\n")));
    // An existing group can still be rewritten in place.
    s.ini.GetGtx("G");
    EXPECT_EQ(s.ini.vGtVal("K", "").toText(), "v");
    s.ini.SetVal("K", "w");
    s.ini.SetGtx();
    ASSERT_TRUE(s.ini.SetTxt());
    EXPECT_EQ(dir.read("User.xml.bak"), original);
    EXPECT_TRUE(dir.read("User.xml").contains("<K>w</K>"));
}
