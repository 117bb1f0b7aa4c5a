#include <gtest/gtest.h>

#include <QDir>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "TestFiles.h"
#include "app/Icons.h"

using namespace varnel;

namespace {
// Pixels that are not transparent: the drawing is really there.
int drawnPixels(const QIcon& icon, int size, qreal dpr)
{
    const QImage img = icon.pixmap(QSize(size, size), dpr).toImage();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qAlpha(img.pixel(x, y)) > 0;
    return n;
}
} // namespace

TEST(Icons, OurOwnDrawingsRenderSharpAtEverySize)
{
    const QString oldTheme = QIcon::themeName();
    QIcon::setThemeName(QStringLiteral("no-such-theme"));
    for (int i = 0; i < Icons::kToolCount; ++i) {
        const QIcon icon = Icons::tool(i);
        ASSERT_FALSE(icon.isNull()) << i;
        // Drawn for the device pixels: twice the pixels at 200 %.
        EXPECT_EQ(icon.pixmap(QSize(20, 20), 2.0).size(), QSize(40, 40)) << i;
        EXPECT_GT(drawnPixels(icon, 20, 1.0), 40) << i;
        EXPECT_GT(drawnPixels(icon, 20, 2.0), 160) << i;
    }
    EXPECT_GT(drawnPixels(Icons::program(), 22, 1.0), 100);
    QIcon::setThemeName(oldTheme);
}

TEST(Icons, TheDesktopThemeWinsWhereItHasTheStandardName)
{
    testfiles::TempFolder dir;
    QDir().mkpath(dir.file("icons/testtheme/scalable/actions"));
    dir.write("icons/testtheme/index.theme",
              "[Icon Theme]\nName=testtheme\nDirectories=scalable/actions\n\n"
              "[scalable/actions]\nSize=24\nMinSize=8\nMaxSize=512\nType=Scalable\n");
    dir.write("icons/testtheme/scalable/actions/document-open.svg",
              "<svg xmlns='http://www.w3.org/2000/svg' width='24' height='24'>"
              "<rect width='24' height='24' fill='#00ff00'/></svg>");
    const QStringList oldPaths = QIcon::themeSearchPaths();
    const QString oldTheme = QIcon::themeName();
    QIcon::setThemeSearchPaths({dir.file("icons")});
    QIcon::setThemeName(QStringLiteral("testtheme"));

    EXPECT_EQ(Icons::themeName(0), "document-open");
    const QImage themed = Icons::tool(0).pixmap(QSize(16, 16)).toImage();
    EXPECT_EQ(themed.pixel(8, 8), qRgb(0, 255, 0));
    // No standard name for stitching: always ours.
    EXPECT_TRUE(Icons::themeName(7).isEmpty());
    EXPECT_NE(Icons::tool(7).pixmap(QSize(16, 16)).toImage().pixel(8, 8), qRgb(0, 255, 0));

    QIcon::setThemeName(oldTheme);
    QIcon::setThemeSearchPaths(oldPaths);
}
