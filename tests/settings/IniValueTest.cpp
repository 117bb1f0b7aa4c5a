#include <gtest/gtest.h>

#include <QStringDecoder>

#include "SettingsTestSupport.h"
#include "settings/IniValue.h"

using namespace varnel;

TEST(Cp932, TheCodecHoldsWhatTheFileFormatNeeds)
{
    EXPECT_EQ(cp932(QStringLiteral("‡")), QByteArray("\x81\xF6"));
    EXPECT_EQ(cp932(QStringLiteral("ｱﾌｫｰﾑ")), QByteArray("\xB1\xCC\xAB\xB0\xD1"));
    EXPECT_EQ(cp932(QStringLiteral("運用")), QByteArray("\x89\x5E\x97\x70"));
    QStringDecoder d("CP932");
    const QString back = d.decode(QByteArray("a\\b\x81\xF6"));
    EXPECT_FALSE(d.hasError());
    EXPECT_EQ(back, QStringLiteral("a\\b‡"));
}

TEST(IniValueText, KindsAreWrittenInTheirFileForm)
{
    EXPECT_EQ(IniValue(true).toText(), "True");
    EXPECT_EQ(IniValue(false).toText(), "False");
    EXPECT_EQ(IniValue(-42).toText(), "-42");
    EXPECT_EQ(IniValue(qint64(12345678901)).toText(), "12345678901");
    EXPECT_EQ(IniValue("ﾃｷｽﾄ <&>").toText(), QStringLiteral("ﾃｷｽﾄ <&>"));
    EXPECT_EQ(IniValue(QDateTime(QDate(2024, 2, 29), QTime(0, 0))).toText(), "2024/02/29");
    EXPECT_EQ(IniValue(QDateTime(QDate(2024, 2, 29), QTime(7, 5, 9))).toText(), "2024/02/29 07:05:09");
}

TEST(IniValueText, SinglesUseTheShortestFormOfAtMostSevenDigits)
{
    EXPECT_EQ(IniValue(15360.0f).toText(), "15360");
    EXPECT_EQ(IniValue(-120.0f).toText(), "-120");
    EXPECT_EQ(IniValue(0.0f).toText(), "0");
    EXPECT_EQ(IniValue(-0.0f).toText(), "0");
    EXPECT_EQ(IniValue(1234.5f).toText(), "1234.5");
    EXPECT_EQ(IniValue(0.1f).toText(), "0.1");
    EXPECT_EQ(IniValue(1.0f / 3.0f).toText(), "0.3333333");
    EXPECT_EQ(IniValue(9999999.0f).toText(), "9999999");
    EXPECT_EQ(IniValue(12345678.0f).toText(), "1.234568E+07");
    EXPECT_EQ(IniValue(0.00012f).toText(), "0.00012");
    EXPECT_EQ(IniValue(1e-7f).toText(), "1E-07");
    EXPECT_EQ(IniValue(100000.0f).toText(), "100000");
}

TEST(IniValueText, DoublesKeepUpToFifteenDigits)
{
    EXPECT_EQ(IniValue(0.1).toText(), "0.1");
    EXPECT_EQ(IniValue(1.0 / 3.0).toText(), "0.333333333333333");
    EXPECT_EQ(IniValue(123456789012.0).toText(), "123456789012");
    EXPECT_EQ(IniValue(1e20).toText(), "1E+20");
}

TEST(IniValueText, WrittenNumbersReadBackTheSame)
{
    for (float f : {15360.0f, -1.5f, 0.3333333f, 1234567.0f, 1e-7f, 7200.25f}) {
        const QString t = IniValue(f).toText();
        EXPECT_EQ(float(ini::leadingNumber(t)), f) << t.toStdString();
    }
}

TEST(LeadingNumber, TakesTheNumberATextBeginsWith)
{
    EXPECT_EQ(ini::leadingNumber(u"12abc"), 12.0);
    EXPECT_EQ(ini::leadingNumber(u"abc"), 0.0);
    EXPECT_EQ(ini::leadingNumber(u""), 0.0);
    EXPECT_EQ(ini::leadingNumber(u"  -7.5 twips"), -7.5);
    EXPECT_EQ(ini::leadingNumber(u"1.5E+3"), 1500.0);
    EXPECT_EQ(ini::leadingNumber(u"2e"), 2.0);
    EXPECT_EQ(ini::leadingNumber(u"+.5"), 0.5);
    EXPECT_EQ(ini::leadingNumber(u"1D2"), 100.0);
    EXPECT_EQ(ini::leadingNumber(u"-"), 0.0);
    EXPECT_EQ(ini::leadingNumber(u"1e-999"), 0.0);
    bool overflow = false;
    EXPECT_EQ(ini::leadingNumber(u"1e999", &overflow), 0.0);
    EXPECT_TRUE(overflow);
    ini::leadingNumber(u"1e300", &overflow);
    EXPECT_FALSE(overflow);
}

TEST(IniValueConversion, BooleansAndWholeNumbers)
{
    EXPECT_EQ(ini::parseBool(u"TRUE"), true);
    EXPECT_EQ(ini::parseBool(u"false"), false);
    EXPECT_EQ(ini::parseBool(u"0"), false);
    EXPECT_EQ(ini::parseBool(u"-1"), true);
    EXPECT_EQ(ini::parseBool(u" 2.5 "), true);
    EXPECT_FALSE(ini::parseBool(u"yes").has_value());
    EXPECT_FALSE(ini::parseBool(u"1x").has_value());
    EXPECT_FALSE(ini::parseBool(u"").has_value());

    EXPECT_EQ(IniValue(2.5).toInt(), 2);
    EXPECT_EQ(IniValue(3.5).toInt(), 4);
    EXPECT_EQ(IniValue(-0.6).toInt(), -1);
    EXPECT_EQ(IniValue(1e300).toInt(), std::numeric_limits<int>::max());
    EXPECT_EQ(IniValue(-1e300).toInt(), std::numeric_limits<int>::min());
    EXPECT_EQ(IniValue(qint64(1) << 40).toInt(), std::numeric_limits<int>::max());
}

TEST(IniValueConversion, Dates)
{
    EXPECT_EQ(ini::parseDate("2023/1/5"), QDateTime(QDate(2023, 1, 5), QTime(0, 0)));
    EXPECT_EQ(ini::parseDate("2023-01-05 13:04"), QDateTime(QDate(2023, 1, 5), QTime(13, 4)));
    EXPECT_FALSE(ini::parseDate("yesterday").isValid());
}
