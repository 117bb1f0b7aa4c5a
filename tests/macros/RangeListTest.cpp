#include <gtest/gtest.h>

#include "macros/MenuGroup.h"
#include "macros/RangeList.h"
#include "macros/RangeMenu.h"

using varnel::RangeList;

TEST(RangeList, NumbersAreReadLikeTypedNumbers)
{
    EXPECT_EQ(RangeList::leadingNumber("21.0"), 21.0);
    EXPECT_EQ(RangeList::leadingNumber(" 640"), 640.0);
    EXPECT_EQ(RangeList::leadingNumber("12px"), 12.0);
    EXPECT_EQ(RangeList::leadingNumber("1,024"), 1.0);
    EXPECT_EQ(RangeList::leadingNumber("-50"), -50.0);
    EXPECT_EQ(RangeList::leadingNumber(".5"), 0.5);
    EXPECT_EQ(RangeList::leadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(RangeList::leadingNumber("abc"), 0.0);
    EXPECT_EQ(RangeList::leadingNumber("-"), 0.0);
    EXPECT_EQ(RangeList::leadingNumber(""), 0.0);
    // More digits than a double holds count as no number, not as infinity.
    EXPECT_EQ(RangeList::leadingNumber(QString(400, '9')), 0.0);
}

TEST(RangeList, PlainNumbersAreShortestAndNeverExponents)
{
    EXPECT_EQ(RangeList::plainNumber(21.0), "21");
    EXPECT_EQ(RangeList::plainNumber(29.7), "29.7");
    EXPECT_EQ(RangeList::plainNumber(-50.0), "-50");
    EXPECT_EQ(RangeList::plainNumber(-0.0), "0");
    EXPECT_EQ(RangeList::plainNumber(1e20), "100000000000000000000");
    EXPECT_EQ(RangeList::plainNumber(0.000001), "0.000001");
    // Single precision keeps its own shortest form: 29.7f * 50 / 100.
    EXPECT_EQ(RangeList::plainNumber(29.7f * 50.0f / 100.0f), "14.85");
    EXPECT_EQ(RangeList::plainNumber(double(29.7f * 50.0f / 100.0f)).size() > 5, true);
}

TEST(RangeList, CaptionsOfValidEntriesOnly)
{
    EXPECT_EQ(RangeList::FormatRangeEntry("A4,21.0,29.7,CM"), "A4(21 * 29.7 cm)");
    EXPECT_EQ(RangeList::FormatRangeEntry("A, 640,480,px"), "A(640 * 480 px)");
    EXPECT_EQ(RangeList::FormatRangeEntry("A,640,480,inch"), "A(640 * 480 px)");
    EXPECT_EQ(RangeList::FormatRangeEntry("X,-50,20,px"), "X(-50 * 20 px)");
    EXPECT_EQ(RangeList::FormatRangeEntry("E,5,6,cm,extra"), "E(5 * 6 cm)");
    EXPECT_EQ(RangeList::FormatRangeEntry("B,0,10,px"), "");
    EXPECT_EQ(RangeList::FormatRangeEntry("B,10,abc,px"), "");
    EXPECT_EQ(RangeList::FormatRangeEntry("C,5,5"), "");
    EXPECT_EQ(RangeList::FormatRangeEntry(",100,100,px"), "");
    EXPECT_EQ(RangeList::FormatRangeEntry(""), "");
}

TEST(RangeList, ValidEntriesKeepTheirTextAndOrder)
{
    QStringList captions;
    EXPECT_EQ(RangeList::validEntries("A,640,480,px:B,0,10,px:C,5,5", &captions), "A,640,480,px");
    EXPECT_EQ(captions, QStringList{"A(640 * 480 px)"});
    EXPECT_EQ(RangeList::validEntries("::Z,1,2,px::A4,21.0,29.7,CM:", &captions), "Z,1,2,px:A4,21.0,29.7,CM");
    EXPECT_EQ(captions, (QStringList{"Z(1 * 2 px)", "A4(21 * 29.7 cm)"}));
    EXPECT_EQ(RangeList::validEntries("", &captions), "");
    EXPECT_TRUE(captions.isEmpty());
}

TEST(RangeList, SizeInPixelsConvertsCentimetresAt96Dpi)
{
    float w = -1, h = -1;
    RangeList::sizeInPixels("A,640,480,px:B,2.54,5.08,cm", 1, w, h);
    EXPECT_FLOAT_EQ(w, 96.0f);
    EXPECT_FLOAT_EQ(h, 192.0f);
    // The caption says cm whatever the case; so does the size applied.
    RangeList::sizeInPixels("B,2.54,2.54,CM", 0, w, h);
    EXPECT_FLOAT_EQ(w, 96.0f);
    RangeList::sizeInPixels("A,640,480,px", 0, w, h);
    EXPECT_FLOAT_EQ(w, 640.0f);
    EXPECT_FLOAT_EQ(h, 480.0f);
    RangeList::sizeInPixels("A,640,480,px", 3, w, h);
    EXPECT_EQ(w, 0.0f);
    EXPECT_EQ(h, 0.0f);
}

TEST(RangeList, DialogLinesAndEntries)
{
    EXPECT_EQ(RangeList::listLine("Temporary,640,480,px"), "Temporary(640*480 px)");
    EXPECT_EQ(RangeList::listLine("A4,21.0,29.7,Cm"), "A4(21*29.7 cm)");
    EXPECT_EQ(RangeList::listLine("C,5,5"), "C(5*5 px)");
    EXPECT_EQ(RangeList::BuildRangeEntry("A4 50%", "10.5", "14.85", true), "A4 50%,10.5,14.85,cm");
    EXPECT_EQ(RangeList::BuildRangeEntry("V", " 640", "480", false), "V, 640,480,px");
}

TEST(RangeList, NamesAndTheScratchEntry)
{
    EXPECT_TRUE(RangeList::nameIsAllowed("A4 50%"));
    EXPECT_FALSE(RangeList::nameIsAllowed("a:b"));
    EXPECT_FALSE(RangeList::nameIsAllowed("a,b"));
    EXPECT_TRUE(RangeList::hasName("Temporary,1,2,px:VGA,640,480,px", "vga"));
    EXPECT_TRUE(RangeList::hasName("Temporary,1,2,px:VGA,640,480,px", "TEMPORARY"));
    EXPECT_FALSE(RangeList::hasName("Temporary,1,2,px:XVGA,640,480,px", "VGA"));
    EXPECT_FALSE(RangeList::hasName("Temporary,1,2,px", "Temp"));
    EXPECT_EQ(RangeList::withTemporary("", 640, 480), "Temporary,640,480,px:");
    EXPECT_EQ(RangeList::withTemporary("A,1,2,px", 5, 6), "Temporary,5,6,px:A,1,2,px");
    EXPECT_EQ(RangeList::withTemporary("MyTemporary,1,2,px", 5, 6), "MyTemporary,1,2,px");
    EXPECT_EQ(RangeList::withTemporary("A,1,2,px:Temporary,3,4,px", 5, 6), "A,1,2,px:Temporary,3,4,px");
    // Exact case: a lower-case one is another name.
    EXPECT_EQ(RangeList::withTemporary("temporary,1,2,px", 5, 6), "Temporary,5,6,px:temporary,1,2,px");
}

TEST(RangeList, PresetRowsAreWrittenExactly)
{
    const QStringList screens = RangeList::screenRows(1920, 1040);
    ASSERT_EQ(screens.size(), 7);
    EXPECT_EQ(screens[0], "QVGA   320 x   240");
    EXPECT_EQ(screens[3], " XGA 1,024 x   768");
    EXPECT_EQ(screens[6], "ｽｸﾘｰﾝ 1,920 * 1,040");
    EXPECT_EQ(RangeList::screenRows(800, 600)[6], "ｽｸﾘｰﾝ 800 * 600");
    const QStringList papers = RangeList::paperRows();
    ASSERT_EQ(papers.size(), 7);
    EXPECT_EQ(papers[0], "A4   21.0 x 29.7");
    EXPECT_EQ(papers[4], "ﾊｶﾞｷ 10.0 x 14.8");
    EXPECT_EQ(papers[5], "ﾌｫﾄ  10.2 x 15.2");
    EXPECT_EQ(papers[6], "L判   8.9 x 12.7");
    // Every row is as wide as the others in a fixed-pitch font (half-width
    // katakana one column, 判 two).
    for (const QString& r : papers)
        EXPECT_EQ(r.size() + (r.contains("判") ? 1 : 0), 16) << r.toStdString();
    EXPECT_EQ(RangeList::thousands(0), "0");
    EXPECT_EQ(RangeList::thousands(999), "999");
    EXPECT_EQ(RangeList::thousands(1000000), "1,000,000");
}

TEST(RangeList, PresetsScaleByAPercentageAndSwap)
{
    auto a4 = RangeList::applyPreset("A4   21.0 x 29.7", "50", false);
    ASSERT_TRUE(a4);
    EXPECT_EQ(a4->caption, "A4 50%");
    EXPECT_EQ(RangeList::plainNumber(a4->width), "10.5");
    EXPECT_EQ(RangeList::plainNumber(a4->height), "14.85");
    auto swapped = RangeList::applyPreset("A4   21.0 x 29.7", "50", true);
    ASSERT_TRUE(swapped);
    EXPECT_EQ(RangeList::plainNumber(swapped->width), "14.85");
    EXPECT_EQ(RangeList::plainNumber(swapped->height), "10.5");
    auto screen = RangeList::applyPreset("ｽｸﾘｰﾝ 1,920 * 1,040", "100", false);
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->caption, "ｽｸﾘｰﾝ 100%");
    EXPECT_EQ(screen->width, 1920.0f);
    EXPECT_EQ(screen->height, 1040.0f);
    auto vga = RangeList::applyPreset(" VGA   640 x   480", "12.5", false);
    ASSERT_TRUE(vga);
    EXPECT_EQ(vga->caption, "VGA 12.5%");
    EXPECT_EQ(vga->width, 80.0f);
    EXPECT_EQ(vga->height, 60.0f);

    EXPECT_FALSE(RangeList::applyPreset("A4   21.0 x 29.7", "150", false));
    EXPECT_FALSE(RangeList::applyPreset("A4   21.0 x 29.7", "0", false));
    EXPECT_FALSE(RangeList::applyPreset("A4   21.0 x 29.7", "abc", false));
    EXPECT_TRUE(RangeList::applyPreset("A4   21.0 x 29.7", "100", false));
    EXPECT_FALSE(RangeList::applyPreset("", "100", false));
    EXPECT_FALSE(RangeList::applyPreset("A4 21.0", "100", false));
    EXPECT_TRUE(RangeList::percentInRange("100"));
    EXPECT_TRUE(RangeList::percentInRange("0.5"));
    EXPECT_FALSE(RangeList::percentInRange("100.01"));
    EXPECT_FALSE(RangeList::percentInRange("-5"));
}

TEST(RangeList, ListButtonsMoveDeleteReplaceAndInsert)
{
    using E = RangeList::Edited;
    auto run = [](const char* list, RangeList::Button b, int sel, const char* entry = "") {
        return RangeList::applyListButton(list, b, sel, entry);
    };
    E e = run("A:B:C", RangeList::Up, 1);
    EXPECT_EQ(e.list, "B:A:C");
    EXPECT_EQ(e.target, 0);
    e = run("A:B:C", RangeList::Down, 1);
    EXPECT_EQ(e.list, "A:C:B");
    EXPECT_EQ(e.target, 2);
    // At the ends the moves have nothing to swap with.
    EXPECT_EQ(run("A:B:C", RangeList::Up, 0).list, "A:B:C");
    EXPECT_EQ(run("A:B:C", RangeList::Down, 2).list, "A:B:C");
    e = run("A:B:C", RangeList::Delete, 1);
    EXPECT_EQ(e.list, "A:C");
    EXPECT_EQ(e.target, -1);
    EXPECT_EQ(run("A", RangeList::Delete, 0).list, "");
    e = run("Temporary,640,480,px:", RangeList::Replace, 0, "Temporary,100,50,px");
    EXPECT_EQ(e.list, "Temporary,100,50,px");
    EXPECT_EQ(e.target, 0);
    e = run("A:B:C", RangeList::Add, 2, "N");
    EXPECT_EQ(e.list, "A:B:N:C");
    EXPECT_EQ(e.target, 2);
    e = run("A:B:C", RangeList::Add, -1, "N");
    EXPECT_EQ(e.list, "N:A:B:C");
    EXPECT_EQ(e.target, -1);
    EXPECT_EQ(run("", RangeList::Add, -1, "N").list, "N");
    // Empty entries never swallow the new one.
    EXPECT_EQ(run("::", RangeList::Add, -1, "N").list, "N");
    EXPECT_EQ(run("A::B:", RangeList::Add, 1, "N").list, "A:N:B");
}

TEST(RangeMenu, ListsTheValidEntriesAndClipsTheSelectionToThePicture)
{
    varnel::MenuGroup ranges("mnUsHn"), commands("mnRng");
    ranges.add("?");
    commands.add("-");
    varnel::RangeMenu menu;
    menu.attach(&ranges, &commands);
    menu.SetRangeList("Card,100,60,px:bad:Flat,0,10,px:Huge,90000,90000,px");
    EXPECT_EQ(menu.list, "Card,100,60,px:Huge,90000,90000,px");
    EXPECT_TRUE(ranges.caption(1).startsWith("Huge("));
    EXPECT_FALSE(ranges.exists(2));
    EXPECT_TRUE(commands.isVisible(0));
    // From 1, 1: the size itself plus one, never past the picture's edge.
    EXPECT_EQ(menu.selection(0, QSize(640, 480)), QSize(101, 61));
    EXPECT_EQ(menu.selection(1, QSize(640, 480)), QSize(640, 480));
    EXPECT_EQ(menu.selection(5, QSize(640, 480)), std::nullopt);
    menu.SetRangeList("");
    EXPECT_FALSE(ranges.isVisible(0));
    EXPECT_FALSE(commands.isVisible(0));
}
