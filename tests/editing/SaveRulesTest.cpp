#include <gtest/gtest.h>

#include "editing/SaveRules.h"

using namespace varnel;

TEST(SaveRules, ExtensionIsTheFileNamesOwnAndLowerCased)
{
    EXPECT_EQ(SaveRules::FileExtension("/a/b/Shot.JPG"), "jpg");
    EXPECT_EQ(SaveRules::FileExtension("/a/b/shot"), "");
    // A dot in a folder name is no extension.
    EXPECT_EQ(SaveRules::FileExtension("/a/v1.2/shot"), "");
    QString p = "/Data.Dir/Shot.Final.PnG";
    SaveRules::LowerCaseExtension(p);
    EXPECT_EQ(p, "/Data.Dir/Shot.Final.png");
    QString bare = "/Data.Dir/Shot";
    SaveRules::LowerCaseExtension(bare);
    EXPECT_EQ(bare, "/Data.Dir/Shot");
}

TEST(SaveRules, FormatsDepthsAndQualityByExtension)
{
    EXPECT_EQ(SaveRules::format("bmp"), ImageFormat::Bmp);
    EXPECT_EQ(SaveRules::format("jpg"), ImageFormat::Jpeg);
    EXPECT_EQ(SaveRules::format("jpeg"), ImageFormat::Jpeg);
    EXPECT_EQ(SaveRules::format("tif"), ImageFormat::Tiff);
    EXPECT_EQ(SaveRules::format("tiff"), ImageFormat::Tiff);
    EXPECT_EQ(SaveRules::format("png"), ImageFormat::Png);
    EXPECT_EQ(SaveRules::format("fpx"), ImageFormat::FlashPix);
    EXPECT_EQ(SaveRules::format("pcx"), ImageFormat::Pcx);
    EXPECT_EQ(SaveRules::format("gif"), ImageFormat::Gif);
    EXPECT_EQ(SaveRules::format("webp"), ImageFormat::Bmp);

    for (int code : {1, 4, 40, 8, 80, 16, 24, 32})
        EXPECT_EQ(SaveRules::conversionFor("bmp", code), 0) << code;
    for (int code : {1, 4, 40, 8, 80, 16, 24, 32})
        EXPECT_EQ(SaveRules::conversionFor("tiff", code), 0) << code;
    EXPECT_EQ(SaveRules::conversionFor("png", 16), 24);
    EXPECT_EQ(SaveRules::conversionFor("png", 32), 24);
    EXPECT_EQ(SaveRules::conversionFor("png", 40), 0);
    EXPECT_EQ(SaveRules::conversionFor("pcx", 4), 0);
    EXPECT_EQ(SaveRules::conversionFor("gif", 8), 0);
    for (int code : {1, 4, 40, 80}) // grey 8 bit too: GIF keeps every palette depth
        EXPECT_EQ(SaveRules::conversionFor("gif", code), 0) << code;
    EXPECT_EQ(SaveRules::conversionFor("gif", 24), 8);
    EXPECT_EQ(SaveRules::conversionFor("gif", 16), 8);
    EXPECT_EQ(SaveRules::conversionFor("jpg", 8), 24);
    EXPECT_EQ(SaveRules::conversionFor("jpeg", 4), 24);
    EXPECT_EQ(SaveRules::conversionFor("jpeg", 80), 0);
    EXPECT_EQ(SaveRules::conversionFor("fpx", 32), 24);

    EXPECT_EQ(SaveRules::quality("jpg"), 80);
    EXPECT_EQ(SaveRules::quality("jpeg"), 80);
}

TEST(SaveRules, DialogFormatGivesTheExtensionOfANameTypedWithout)
{
    EXPECT_EQ(SaveRules::saveFilter(), "BMP|*.bmp|JPG|*.jpg|TIF|*.tif|PCX|*.pcx|FPX|*.fpx|PNG|*.png|GIF|*.gif");
    EXPECT_EQ(SaveRules::withFormatExtension("/f/shot", 0), "/f/shot.bmp");
    EXPECT_EQ(SaveRules::withFormatExtension("/f/shot", 5), "/f/shot.png");
    EXPECT_EQ(SaveRules::withFormatExtension("/f/shot.gif", 5), "/f/shot.gif");
    EXPECT_EQ(SaveRules::withFormatExtension("/v1.0/shot", 1), "/v1.0/shot.jpg");
}
