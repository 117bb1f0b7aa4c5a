#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/x11/QtClipboard.h"
#include "platform/x11/QtDialogs.h"

using varnel::QtClipboard;

TEST(QtClipboard, OwnCopyIsNotSignalledButOtherChangesAre)
{
    QtClipboard cb;
    int changes = 0;
    QObject::connect(&cb, &varnel::Clipboard::changed, [&] { ++changes; });
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::red);
    cb.putPicture(img);
    EXPECT_EQ(changes, 0);
    // Another program's change (offscreen: the clipboard reports no owner).
    QGuiApplication::clipboard()->setText(QStringLiteral("text"));
    EXPECT_GE(changes, 1);
}

TEST(QtClipboard, TakesPngOfferedAsBytes)
{
    QtClipboard cb;
    QImage img(5, 4, QImage::Format_RGB32);
    img.fill(qRgb(10, 200, 30));
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    auto* md = new QMimeData;
    md->setData(QStringLiteral("image/png"), png);
    QGuiApplication::clipboard()->setMimeData(md);
    EXPECT_TRUE(cb.hasPicture());
    const QImage got = cb.takePicture();
    ASSERT_FALSE(got.isNull());
    EXPECT_EQ(got.size(), QSize(5, 4));
    EXPECT_EQ(got.pixel(2, 2), qRgb(10, 200, 30));
}

TEST(QtClipboard, TextOrBrokenBytesAreNoPicture)
{
    QtClipboard cb;
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    EXPECT_FALSE(cb.hasPicture());
    EXPECT_TRUE(cb.takePicture().isNull());
    auto* md = new QMimeData;
    md->setData(QStringLiteral("image/png"), QByteArray("\x89PNG\r\n\x1a\n broken"));
    QGuiApplication::clipboard()->setMimeData(md);
    EXPECT_TRUE(cb.takePicture().isNull());
}

TEST(QtClipboard, ChoosesCheapestDecodeFirst)
{
    EXPECT_EQ(QtClipboard::chooseFormat({"text/plain", "image/png", "image/bmp"}), "image/bmp");
    EXPECT_EQ(QtClipboard::chooseFormat({"image/png", "image/jpeg"}), "image/png");
    EXPECT_EQ(QtClipboard::chooseFormat({"image/x-weird"}), "image/x-weird");
    EXPECT_EQ(QtClipboard::chooseFormat({"text/plain", "TARGETS"}), "");
    // Asked for as offered: owners match the name exactly.
    EXPECT_EQ(QtClipboard::chooseFormat({"image/png", "image/x-ms-bmp"}), "image/x-ms-bmp");
}

TEST(QtDialogs, FilterBecomesQtFormWithBothCases)
{
    EXPECT_EQ(varnel::QtDialogs::toQtFilter("実行ﾌｧｲﾙ(*.exe)|*.exe"), "実行ﾌｧｲﾙ(*.exe) (*.exe *.EXE)");
    EXPECT_EQ(varnel::QtDialogs::toQtFilter("画像ﾌｧｲﾙ|*.BMP;*.JPG|"), "画像ﾌｧｲﾙ (*.bmp *.BMP *.jpg *.JPG)");
}
