#include <gtest/gtest.h>

#include <QDir>
#include <QRandomGenerator>

#include <cerrno>

#include "SettingsTestSupport.h"
#include "TestFiles.h"
#include "platform/DurableFile.h"
#include "settings/AppSettings.h"
#include "settings/Twips.h"
#include "settings/yIni.h"

using namespace varnel;

namespace {

struct Session {
    yIni ini;
    QStringList messages;
    Session()
    {
        ini.setMessageHandler([this](const QString& m) { messages << m; });
    }
};

// A settings file with one group written by hand.
QByteArray fileWith(const QString& group, const QString& keyLines)
{
    return cp932(QStringLiteral("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <") + group
                 + QStringLiteral(">\r\n") + keyLines + QStringLiteral("   </") + group
                 + QStringLiteral(">\r\n</運用>"));
}

SettingsValues loaded(const testfiles::TempFolder& dir)
{
    Session s;
    SettingsValues v;
    EXPECT_TRUE(AppSettings::load(s.ini, dir.path() + "/", v));
    return v;
}

} // namespace

TEST(AppSettingsFile, FirstStartGivesTheBuiltInValuesAndAFullFile)
{
    testfiles::TempFolder dir;
    Session s;
    SettingsValues v;
    v.displayMode = 9;
    ASSERT_TRUE(AppSettings::load(s.ini, dir.path() + "/", v));
    EXPECT_EQ(v.left, 0);
    EXPECT_EQ(v.top, 0);
    EXPECT_EQ(v.width, 10000);
    EXPECT_EQ(v.height, 6000);
    EXPECT_EQ(v.displayMode, 1);
    EXPECT_FALSE(v.workListShown);
    EXPECT_EQ(v.afterCaptureAction, 1);
    EXPECT_EQ(v.captureColourIndex, 0);
    EXPECT_TRUE(v.bMpnt);
    EXPECT_TRUE(v.standbyOnMinimise);
    EXPECT_EQ(v.storageExtension, "png");
    EXPECT_EQ(v.stamp, "");
    EXPECT_EQ(v.macroText, "");

    ASSERT_TRUE(AppSettings::save(s.ini, v, true));
    const QString expected = QStringLiteral(
        "<?xml version='1.0' encoding='Shift-JIS' ?>\r\n"
        "<運用>\r\n"
        "   <ﾌｫｰﾑ>\r\n"
        "      <Left>0</Left>\r\n"
        "      <Top>0</Top>\r\n"
        "      <Width>10000</Width>\r\n"
        "      <Height>6000</Height>\r\n"
        "   </ﾌｫｰﾑ>\r\n"
        "   <ﾕｰｻﾞｰ>\r\n"
        "      <ｽｹｰﾙ表示>1</ｽｹｰﾙ表示>\r\n"
        "      <作業ﾌｫﾙﾀﾞ表示>False</作業ﾌｫﾙﾀﾞ表示>\r\n"
        "      <ｷｬﾌﾟﾁｬ後表示>1</ｷｬﾌﾟﾁｬ後表示>\r\n"
        "      <ｷｬﾌﾟﾁｬ後減色>0</ｷｬﾌﾟﾁｬ後減色>\r\n"
        "      <ｽﾀﾝﾌﾟ></ｽﾀﾝﾌﾟ>\r\n"
        "      <QL_RNG></QL_RNG>\r\n"
        "      <ﾏｳｽﾎﾟｲﾝﾀ>取込</ﾏｳｽﾎﾟｲﾝﾀ>\r\n"
        "      <最小化時>待機</最小化時>\r\n"
        "      <格納ﾌｫﾙﾀﾞ></格納ﾌｫﾙﾀﾞ>\r\n"
        "      <格納Pfx></格納Pfx>\r\n"
        "      <格納拡張子>png</格納拡張子>\r\n"
        "   </ﾕｰｻﾞｰ>\r\n"
        "   <マクロ>\r\n"
        "      <COMMAND></COMMAND>\r\n"
        "   </マクロ>\r\n"
        "   <描画>\r\n"
        "      <次の番号>1</次の番号>\r\n"
        "   </描画>\r\n"
        "</運用>");
    EXPECT_EQ(dir.read("User.xml"), cp932(expected));
    EXPECT_TRUE(s.messages.isEmpty());
}

TEST(AppSettingsFile, EveryValueSurvivesARoundTrip)
{
    testfiles::TempFolder dir;
    QDir(dir.path()).mkpath("ｷｬﾌﾟﾁｬ store");
    SettingsValues v;
    v.left = 1440;
    v.top = 720.5;
    v.width = 15360;
    v.height = 9000.25;
    v.displayMode = 3;
    v.workListShown = true;
    v.afterCaptureAction = 2;
    v.captureColourIndex = 4;
    v.nextStepNumber = 12;
    v.stamp = "arrow.bmp";
    v.rangeList = QStringLiteral("ﾊｶﾞｷ,100,148,cm;<VGA>&,640,480,px");
    v.bMpnt = false;
    v.standbyOnMinimise = false;
    v.storageFolder = dir.file("ｷｬﾌﾟﾁｬ store");
    v.storagePrefix = "shot_";
    v.storageExtension = "jpg";
    v.macroText = QStringLiteral("画像編集,ﾄﾘﾐﾝｸﾞ\r\nｻｲｽﾞ,50%~x\r\n色,16色");
    {
        Session s;
        SettingsValues first;
        ASSERT_TRUE(AppSettings::load(s.ini, dir.path() + "/", first));
        ASSERT_TRUE(AppSettings::save(s.ini, v, true));
    }
    SettingsValues back = loaded(dir);
    // A "~" inside a line is the stored line break, so it comes back as one.
    EXPECT_EQ(back.macroText, QStringLiteral("画像編集,ﾄﾘﾐﾝｸﾞ\r\nｻｲｽﾞ,50%\r\nx\r\n色,16色"));
    EXPECT_TRUE(dir.read("User.xml").contains(cp932(QStringLiteral("<COMMAND>画像編集,ﾄﾘﾐﾝｸﾞ~ｻｲｽﾞ,50%~x~色,16色</COMMAND>"))));
    back.macroText = v.macroText;
    EXPECT_EQ(back, v);

    // Line breaks without CR count the same.
    Session s;
    SettingsValues again;
    ASSERT_TRUE(AppSettings::load(s.ini, dir.path() + "/", again));
    again.macroText = "a\nb\rc";
    ASSERT_TRUE(AppSettings::save(s.ini, again, true));
    EXPECT_EQ(loaded(dir).macroText, "a\r\nb\r\nc");
}

TEST(AppSettingsFile, WindowGeometryHasLowerLimits)
{
    testfiles::TempFolder dir;
    dir.write("User.xml", fileWith(QStringLiteral("ﾌｫｰﾑ"), "      <Left>-120</Left>\r\n      <Top>abc</Top>\r\n"
                                                          "      <Width>5000</Width>\r\n      <Height>6000.5</Height>\r\n"));
    const SettingsValues v = loaded(dir);
    EXPECT_EQ(v.left, 0);
    EXPECT_EQ(v.top, 0);
    EXPECT_EQ(v.width, 10000);
    EXPECT_EQ(v.height, 6000.5);
}

TEST(AppSettingsFile, InStandbyTheStoredGeometryStays)
{
    testfiles::TempFolder dir;
    const QString form = QStringLiteral("      <Left>100</Left>\r\n      <Top>200</Top>\r\n"
                                        "      <Width>20000</Width>\r\n      <Height>10000</Height>\r\n");
    dir.write("User.xml", fileWith(QStringLiteral("ﾌｫｰﾑ"), form));
    Session s;
    SettingsValues v;
    ASSERT_TRUE(AppSettings::load(s.ini, dir.path() + "/", v));
    v.left = 5;
    v.width = 30000;
    v.displayMode = 3;
    ASSERT_TRUE(AppSettings::save(s.ini, v, false));
    const QByteArray bytes = dir.read("User.xml");
    EXPECT_TRUE(bytes.contains(cp932(QStringLiteral("   <ﾌｫｰﾑ>\r\n") + form + QStringLiteral("   </ﾌｫｰﾑ>\r\n"))));
    const SettingsValues back = loaded(dir);
    EXPECT_EQ(back.left, 100);
    EXPECT_EQ(back.width, 20000);
    EXPECT_EQ(back.displayMode, 3);

    // Without a stored geometry, standby writes none.
    testfiles::TempFolder fresh;
    Session f;
    SettingsValues w;
    ASSERT_TRUE(AppSettings::load(f.ini, fresh.path() + "/", w));
    ASSERT_TRUE(AppSettings::save(f.ini, w, false));
    EXPECT_FALSE(fresh.read("User.xml").contains("Left"));
    EXPECT_TRUE(fresh.read("User.xml").contains("COMMAND"));
}

TEST(AppSettingsFile, AFailedLoadGivesTheBuiltInValues)
{
    testfiles::TempFolder dir;
    Session s;
    SettingsValues v;
    v.bMpnt = true;
    v.displayMode = 3;
    v.storageExtension = "bmp";
    v.left = 77;
    EXPECT_FALSE(AppSettings::load(s.ini, dir.file("missing") + "/", v));
    EXPECT_EQ(v, SettingsValues{});
    EXPECT_EQ(v.displayMode, 1);
    EXPECT_EQ(v.afterCaptureAction, 1);
    EXPECT_EQ(v.captureColourIndex, 0);
    EXPECT_FALSE(v.workListShown);
    EXPECT_FALSE(v.bMpnt);
    EXPECT_FALSE(v.standbyOnMinimise);
    EXPECT_EQ(v.storageExtension, "");
    EXPECT_EQ(v.width, 0);
    // The exit still tries the same path, and nothing is written there.
    EXPECT_FALSE(AppSettings::save(s.ini, v, true));
    EXPECT_FALSE(QFileInfo::exists(dir.file("missing")));
}

TEST(AppSettingsFile, StoredTextsAndNumbersAreReadByTheirRules)
{
    testfiles::TempFolder dir;
    dir.write("User.xml", fileWith(QStringLiteral("ﾕｰｻﾞｰ"),
                                   QStringLiteral("      <ｽｹｰﾙ表示>2.5</ｽｹｰﾙ表示>\r\n"
                                                  "      <作業ﾌｫﾙﾀﾞ表示>yes</作業ﾌｫﾙﾀﾞ表示>\r\n"
                                                  "      <ｷｬﾌﾟﾁｬ後表示>7</ｷｬﾌﾟﾁｬ後表示>\r\n"
                                                  "      <ｷｬﾌﾟﾁｬ後減色>-2</ｷｬﾌﾟﾁｬ後減色>\r\n"
                                                  "      <ﾏｳｽﾎﾟｲﾝﾀ>取込み</ﾏｳｽﾎﾟｲﾝﾀ>\r\n"
                                                  "      <最小化時></最小化時>\r\n"
                                                  "      <格納ﾌｫﾙﾀﾞ>/no/such/folder</格納ﾌｫﾙﾀﾞ>\r\n"
                                                  "      <格納拡張子></格納拡張子>\r\n")));
    const SettingsValues v = loaded(dir);
    EXPECT_EQ(v.displayMode, 2);
    EXPECT_FALSE(v.workListShown);
    EXPECT_EQ(v.afterCaptureAction, 7);
    EXPECT_EQ(v.captureColourIndex, -2);
    EXPECT_FALSE(v.bMpnt);
    EXPECT_TRUE(v.standbyOnMinimise);
    EXPECT_EQ(v.storageFolder, "");
    EXPECT_EQ(v.storageExtension, "png");
}

TEST(AppSettingsFile, ADamagedKeyIsReportedAndDefaulted)
{
    testfiles::TempFolder dir;
    dir.write("User.xml", fileWith(QStringLiteral("ﾕｰｻﾞｰ"),
                                   QStringLiteral("      </ｷｬﾌﾟﾁｬ後表示>3<ｷｬﾌﾟﾁｬ後表示>\r\n"
                                                  "      <ｷｬﾌﾟﾁｬ後減色>5</ｷｬﾌﾟﾁｬ後減色>\r\n")));
    const QByteArray original = dir.read("User.xml");
    Session s;
    SettingsValues v;
    ASSERT_TRUE(AppSettings::load(s.ini, dir.path() + "/", v));
    EXPECT_EQ(v.afterCaptureAction, 1);
    EXPECT_EQ(v.captureColourIndex, 5);
    ASSERT_EQ(s.messages.size(), 1);
    EXPECT_TRUE(s.messages[0].startsWith(QStringLiteral("<ｷｬﾌﾟﾁｬ後表示> の設定が読み込めません")));
    AppSettings::save(s.ini, v, true);
    EXPECT_EQ(dir.read("User.xml.bak"), original);
}

TEST(Stamps, BitmapsOfTheDataFolderInNameOrder)
{
    testfiles::TempFolder dir;
    for (const char* n : {"b.BMP", "a.bmp", "c.png", "d.bmp.txt", "e.Bmp"})
        dir.write(n, "x");
    QDir(dir.path()).mkdir("f.bmp");
    const QStringList stamps = AppSettings::stampFiles(dir.path() + "/");
    EXPECT_EQ(stamps, (QStringList{"a.bmp", "b.BMP", "e.Bmp"}));
    EXPECT_EQ(AppSettings::stampIndex(stamps, "b.BMP"), 1);
    EXPECT_EQ(AppSettings::stampIndex(stamps, "B.BMP"), 0);
    EXPECT_EQ(AppSettings::stampIndex(stamps, ""), 0);
    EXPECT_EQ(AppSettings::stampFiles(dir.file("none/")), QStringList{QString()});
    EXPECT_EQ(AppSettings::stampFiles(""), QStringList{QString()});
}

TEST(Twips, ConvertWithTheScreensDpi)
{
    EXPECT_EQ(twipsToPixels(1440, 96), 96);
    EXPECT_EQ(twipsToPixels(10000, 96), 667);
    EXPECT_EQ(twipsToPixels(10000, 120), 833);
    EXPECT_EQ(twipsToPixels(1440, 0), 96);
    EXPECT_EQ(twipsToPixels(-1440, 96), -96);
    EXPECT_EQ(twipsToPixels(1e300, 96), 1 << 24);
    EXPECT_EQ(pixelsToTwips(96, 96), 1440.0);
    EXPECT_EQ(pixelsToTwips(100, 120), 1200.0);
    EXPECT_EQ(twipsToPixels(pixelsToTwips(777, 144), 144), 777);
}

// A damaged file, once kept as ".bak", is replaced by a whole new one: the
// values chosen afterwards are the ones in force at the next start.
TEST(AppSettingsFile, ADamagedFileIsReplacedWholeAtTheNextSave)
{
    QRandomGenerator rng(7);
    QByteArray noise(3000, '\0');
    for (char& c : noise)
        c = char(rng.bounded(256));
    const QByteArray unclosedGroup =
        cp932(QStringLiteral("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <ﾕｰｻﾞｰ>\r\n"
                             "      <ｷｬﾌﾟﾁｬ後表示>3</ｷｬﾌﾟﾁｬ後表示>\r\n</運用>"));
    for (const QByteArray& original : {unclosedGroup, noise}) {
        testfiles::TempFolder dir;
        dir.write("User.xml", original);
        for (bool shown : {true, false}) {
            Session s;
            SettingsValues v;
            AppSettings::load(s.ini, dir.path() + "/", v);
            v.afterCaptureAction = shown ? 2 : 0;
            v.captureColourIndex = 4;
            v.width = 12345;
            ASSERT_TRUE(AppSettings::save(s.ini, v, shown));
            EXPECT_EQ(dir.read("User.xml.bak"), original);

            Session again;
            SettingsValues back;
            ASSERT_TRUE(AppSettings::load(again.ini, dir.path() + "/", back));
            EXPECT_TRUE(again.messages.isEmpty()) << again.messages.join("|").toStdString();
            EXPECT_FALSE(again.ini.isDamaged());
            EXPECT_EQ(back.afterCaptureAction, shown ? 2 : 0);
            EXPECT_EQ(back.captureColourIndex, 4);
            EXPECT_EQ(back.width, 12345);
            const QString text = again.ini.wholeText();
            EXPECT_EQ(text.count(QStringLiteral("<ﾕｰｻﾞｰ>")), 1);
            EXPECT_TRUE(text.startsWith(QStringLiteral("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <ﾌｫｰﾑ>")));
        }
    }
}

TEST(AppSettingsFile, AFailedSaveSaysWhyAndKeepsTheOldFile)
{
    testfiles::TempFolder dir;
    dir.write("User.xml", fileWith(QStringLiteral("ﾕｰｻﾞｰ"), QStringLiteral("      <ｷｬﾌﾟﾁｬ後表示>2</ｷｬﾌﾟﾁｬ後表示>\r\n")));
    const QByteArray original = dir.read("User.xml");
    Session s;
    SettingsValues v;
    ASSERT_TRUE(AppSettings::load(s.ini, dir.path() + "/", v));
    v.afterCaptureAction = 0;
    DurableFile::failNextWrite(DurableFile::Step::Sync, ENOSPC);
    EXPECT_FALSE(AppSettings::save(s.ini, v, true));
    EXPECT_TRUE(s.ini.lastError().contains(QStringLiteral("ﾃﾞｨｽｸの空き容量が足りません")));
    EXPECT_EQ(dir.read("User.xml"), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"User.xml"});
}
