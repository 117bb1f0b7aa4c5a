#include <gtest/gtest.h>

#include "capture/Numbering.h"
#include "TestFiles.h"

using varnel::Numbering;

TEST(Numbering, FileNamePadsToThreeDigitsAndGrowsPastThem)
{
    EXPECT_EQ(Numbering::fileName("", 1, "bmp"), "001.bmp");
    EXPECT_EQ(Numbering::fileName("shot", 7, "bmp"), "shot007.bmp");
    EXPECT_EQ(Numbering::fileName("", 999, "bmp"), "999.bmp");
    EXPECT_EQ(Numbering::fileName("", 1000, "bmp"), "1000.bmp");
    EXPECT_EQ(Numbering::fileName("", 40000, "png"), "40000.png");
}

TEST(Numbering, NextIsOneMoreThanLargestNotFirstGap)
{
    EXPECT_EQ(Numbering::nextNumber({}, "", "bmp"), 1);
    EXPECT_EQ(Numbering::nextNumber({"001.bmp", "005.bmp"}, "", "bmp"), 6);
    EXPECT_EQ(Numbering::nextNumber({"009.bmp", "abc.bmp"}, "", "bmp"), 10);
    EXPECT_EQ(Numbering::nextNumber({"999.bmp"}, "", "bmp"), 1000);
    EXPECT_EQ(Numbering::nextNumber({"1000.bmp", "999.bmp"}, "", "bmp"), 1001);
}

TEST(Numbering, PrefixAndExtensionAreCaseSensitive)
{
    EXPECT_EQ(Numbering::nextNumber({"A001.bmp", "a050.bmp"}, "A", "bmp"), 2);
    EXPECT_EQ(Numbering::nextNumber({"001.BMP", "002.Bmp"}, "", "bmp"), 1);
    EXPECT_EQ(Numbering::nextNumber({"shot007.bmp", "shot003.bmp", "other099.bmp"}, "shot", "bmp"), 8);
    // With an empty prefix every ".bmp" counts, whatever comes first.
    EXPECT_EQ(Numbering::nextNumber({"shot120.bmp"}, "", "bmp"), 1);
    EXPECT_EQ(Numbering::nextNumber({"12abc.bmp"}, "", "bmp"), 13);
}

TEST(Numbering, NamesWithoutDigitsAndOddNamesCountAsZero)
{
    EXPECT_EQ(Numbering::nextNumber({"abc.bmp", ".bmp", "bmp"}, "", "bmp"), 1);
    EXPECT_EQ(Numbering::leadingNumber("0042x7"), 42);
    EXPECT_EQ(Numbering::leadingNumber(""), 0);
    // A run of digits too long for any counter does not wrap to a small number.
    EXPECT_GT(Numbering::leadingNumber(QString(40, QLatin1Char('9'))), 1000000000LL);
}

TEST(Numbering, NumbersGoOnPast16Bits)
{
    EXPECT_EQ(Numbering::nextNumber({"32767.bmp"}, "", "bmp"), 32768);
    EXPECT_EQ(Numbering::nextNumber({"65535.bmp"}, "", "bmp"), 65536);
}

TEST(Numbering, FolderScanIgnoresSubfoldersAndReportsUnreadableFolder)
{
    testfiles::TempFolder dir;
    dir.write("003.bmp", "x");
    dir.write("010.jpg", "x");
    QDir(dir.path()).mkdir("050.bmp");
    EXPECT_EQ(Numbering::nextNumberInFolder(dir.path(), "", "bmp"), 4);
    EXPECT_EQ(Numbering::nextNumberInFolder(dir.path(), "", "jpg"), 11);
    EXPECT_EQ(Numbering::nextNumberInFolder(dir.path() + "/missing", "", "bmp"), -1);
}

TEST(Numbering, UsedUpNumbersStartAgainInsteadOfOverflowing)
{
    // A name with twenty digits must not make the counter wrap.
    EXPECT_EQ(Numbering::nextNumber({"99999999999999999999.bmp"}, "", "bmp"), 1);
    EXPECT_EQ(Numbering::nextNumber({"999999999999999.bmp"}, "", "bmp"), 1);
    // Date-and-time names still count on.
    EXPECT_EQ(Numbering::nextNumber({"20261207123456.bmp"}, "", "bmp"), 20261207123457LL);
}
