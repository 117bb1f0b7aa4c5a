#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "TestFiles.h"
#include "macros/MacroScript.h"
#include "macros/RangeList.h"
#include "settings/AppSettings.h"
#include "settings/yIni.h"

using namespace varnel;

namespace {

// Lists no person writes: one entry or macro more than is loaded.
struct HugeLists {
    QStringList ranges;
    QStringList macros;
    HugeLists()
    {
        for (int i = 0; i <= AppSettings::kMaxEntries; ++i) {
            ranges << QStringLiteral("範囲%1,%2,48,px").arg(i).arg(i + 1);
            macros << QStringLiteral("[ﾏｸﾛ%1]\r\n範囲⇒A4\r\n").arg(i);
        }
    }
};

// Writes the lists whole, as an older or a hand-edited file holds them, and
// returns the file's bytes.
QByteArray writeWhole(const testfiles::TempFolder& dir, const HugeLists& lists)
{
    yIni ini;
    SettingsValues v;
    EXPECT_TRUE(AppSettings::load(ini, dir.path() + "/", v));
    v.rangeList = lists.ranges.join(':');
    v.macroText = lists.macros.join(QString());
    EXPECT_TRUE(AppSettings::save(ini, v, true));
    return dir.read("User.xml");
}

} // namespace

TEST(SettingsLimits, AHugeListLoadsInPartWithOneMessageAndIsWrittenBackAsStored)
{
    testfiles::TempFolder dir;
    const HugeLists lists;
    const QByteArray stored = writeWhole(dir, lists);

    QStringList messages;
    yIni ini;
    ini.setMessageHandler([&messages](const QString& m) { messages << m; });
    SettingsValues v;
    ASSERT_TRUE(AppSettings::load(ini, dir.path() + "/", v));
    EXPECT_EQ(v.rangeList, lists.ranges.mid(0, AppSettings::kMaxEntries).join(':'));
    EXPECT_EQ(v.macroText, lists.macros.mid(0, AppSettings::kMaxEntries).join(QString()));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("<QL_RNG> <COMMAND> の設定が多すぎるため")));

    // The window keeps the valid entries; unchanged, the file stays as it was.
    v.rangeList = RangeList::validEntries(v.rangeList);
    ASSERT_TRUE(AppSettings::save(ini, v, true));
    EXPECT_EQ(dir.read("User.xml"), stored);
}

TEST(SettingsLimits, AnEditedPartIsWrittenWithTheRestBehindIt)
{
    testfiles::TempFolder dir;
    const HugeLists lists;
    writeWhole(dir, lists);

    yIni ini;
    SettingsValues v;
    ASSERT_TRUE(AppSettings::load(ini, dir.path() + "/", v));
    v.rangeList = QStringLiteral("新,1,2,px");
    v.macroText = QStringLiteral("[新]\r\n回転⇒右");
    ASSERT_TRUE(AppSettings::save(ini, v, true));

    yIni again;
    SettingsValues back;
    ASSERT_TRUE(AppSettings::load(again, dir.path() + "/", back));
    EXPECT_EQ(back.rangeList, v.rangeList + QLatin1Char(':') + lists.ranges.last());
    EXPECT_EQ(MacroScript::names(back.macroText), QStringList({QStringLiteral("新"), QStringLiteral("ﾏｸﾛ10000")}));
}

TEST(SettingsLimits, OverAMegabyteOnlyWholeEntriesLoad)
{
    testfiles::TempFolder dir;
    const QString big(300000, QLatin1Char('x'));
    HugeLists few;
    few.ranges.clear();
    few.macros.clear();
    for (int i = 0; i < 5; ++i) {
        few.ranges << QStringLiteral("%1%2,1,1,px").arg(big).arg(i);
        few.macros << QStringLiteral("[m%1]\r\n範囲⇒%2\r\n").arg(i).arg(big);
    }
    writeWhole(dir, few);

    QStringList messages;
    yIni ini;
    ini.setMessageHandler([&messages](const QString& m) { messages << m; });
    SettingsValues v;
    ASSERT_TRUE(AppSettings::load(ini, dir.path() + "/", v));
    EXPECT_EQ(v.rangeList, few.ranges.mid(0, 3).join(':'));
    EXPECT_EQ(v.macroText, few.macros.mid(0, 3).join(QString()));
    EXPECT_EQ(messages.size(), 1);
}
