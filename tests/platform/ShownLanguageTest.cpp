#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>

#include "platform/ShownLanguage.h"

using namespace varnel;

namespace {
// Every test leaves the program Japanese, as it starts.
struct English {
    English() { ShownLanguage::install(Language::English); }
    ~English() { ShownLanguage::install(Language::Japanese); }
};
} // namespace

TEST(ShownLanguage, TheEnvironmentWinsThenTheStoredChoiceThenJapanese)
{
    EXPECT_EQ(ShownLanguage::choose("", ""), Language::Japanese);
    EXPECT_EQ(ShownLanguage::choose("en", ""), Language::English);
    EXPECT_EQ(ShownLanguage::choose("en", "ja"), Language::Japanese);
    EXPECT_EQ(ShownLanguage::choose("ja", " EN "), Language::English);
    EXPECT_EQ(ShownLanguage::choose("fr", "de_DE.UTF-8"), Language::Japanese);
}

TEST(ShownLanguage, JapaneseShowsTheTextsAsTheyAre)
{
    ShownLanguage::install(Language::Japanese);
    EXPECT_EQ(shownText(QStringLiteral("開く(&O)")), QStringLiteral("開く(&O)"));
    EXPECT_FALSE(hasTranslation(QStringLiteral("a.png に保存できませんでした")));
}

TEST(ShownLanguage, EnglishTranslatesWholeTextsAndBuiltOnesByTheirPattern)
{
    English english;
    EXPECT_EQ(shownText(QStringLiteral("開く(&O)")), "&Open");
    // A path with a placeholder-like part stays as it is; the reason is
    // translated in turn.
    EXPECT_EQ(shownText(QStringLiteral("/tmp/%2 a.png に保存できませんでした\nﾃﾞｨｽｸの空き容量が足りません")),
              "Could not save to /tmp/%2 a.png\nThe disk is full");
    EXPECT_EQ(shownText(QStringLiteral("Varnel - 保存できなかったｷｬﾌﾟﾁｬｰ: 3枚")), "Varnel - captures not saved: 3");
    // Unknown texts, and the parts the user typed, are shown unchanged.
    EXPECT_EQ(shownText(QStringLiteral("灰色")), QStringLiteral("灰色"));
    EXPECT_FALSE(hasTranslation(QStringLiteral(" に保存できませんでした")));
}

TEST(ShownLanguage, JapaneseLoadsQtsOwnJapaneseTexts)
{
    const QString qm = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm";
    if (!QFileInfo::exists(qm))
        GTEST_SKIP() << "Qt's Japanese translation is not installed (qt6-translations-l10n): " << qm.toStdString();
    ShownLanguage::install(Language::Japanese);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
    {
        English english;
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
    }
}
