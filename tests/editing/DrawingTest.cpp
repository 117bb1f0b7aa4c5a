#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPainter>

#include "editing/DrawToolBar.h"
#include "editing/Drawing.h"
#include "editing/StampPreview.h"
#include "editing/ZoomSteps.h"
#include "editing/engine/Picture.h"

using namespace varnel;

namespace {
DrawnShape box(int l, int t, int r, int b, QColor c = Qt::red, int width = 2)
{
    DrawnShape s;
    s.kind = DrawnShape::Rectangle;
    s.points = {QPointF(l, t), QPointF(r, b)};
    s.colour = c;
    s.width = width;
    return s;
}

int countNear(const QImage& img, QRgb c, const QRect& area = {})
{
    const QRect r = area.isNull() ? img.rect() : area.intersected(img.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (std::abs(qRed(p) - qRed(c)) < 40 && std::abs(qGreen(p) - qGreen(c)) < 40 &&
                std::abs(qBlue(p) - qBlue(c)) < 40)
                ++n;
        }
    return n;
}

QImage white(int w = 120, int h = 90)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}
} // namespace

TEST(ZoomSteps, WalksTheListAndStaysInside)
{
    EXPECT_DOUBLE_EQ(ZoomSteps::factorOf(" 50%"), 0.5);
    EXPECT_DOUBLE_EQ(ZoomSteps::factorOf("500%"), 5.0);
    EXPECT_EQ(ZoomSteps::factorOf("abc"), 0.0);
    EXPECT_EQ(ZoomSteps::factorOf(""), 0.0);
    EXPECT_EQ(ZoomSteps::step(2, 1.0, 1), 3);
    EXPECT_EQ(ZoomSteps::step(2, 1.0, -1), 1);
    EXPECT_EQ(ZoomSteps::step(8, 5.0, 1), 8);
    EXPECT_EQ(ZoomSteps::step(0, 0.5, -1), 0);
    // From the scaled view: the nearest entry beyond what is on screen.
    EXPECT_EQ(ZoomSteps::step(-1, 0.37, 1), 0);
    EXPECT_EQ(ZoomSteps::step(-1, 0.37, -1), 0);
    EXPECT_EQ(ZoomSteps::step(-1, 1.0, 1), 3);
    EXPECT_EQ(ZoomSteps::step(-1, 1.0, -1), 1);
    EXPECT_EQ(ZoomSteps::step(-1, 0.8, 1), 2);
    EXPECT_EQ(ZoomSteps::step(-1, 0.8, -1), 1);
}

TEST(StampPreview, WholeSharpAndIndependentOfThePanel)
{
    // Four 16-pixel quarters of pure colours.
    QImage stamp(32, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            stamp.setPixel(x, y, (x < 16) == (y < 16) ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    const QImage small = StampPreview::fit(stamp, 19);
    EXPECT_EQ(small.size(), QSize(16, 16));
    // A whole factor: no blended colours between the quarters.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb p = small.pixel(x, y);
            EXPECT_TRUE(p == qRgb(255, 0, 0) || p == qRgb(0, 0, 255)) << x << "," << y;
        }
    EXPECT_EQ(StampPreview::fit(stamp, 32).size(), QSize(32, 32));
    EXPECT_EQ(StampPreview::fit(stamp, 100).size(), QSize(32, 32)); // never stretched
    EXPECT_EQ(StampPreview::fit(QImage(40, 20, QImage::Format_RGB32), 15).size(), QSize(13, 6));
    EXPECT_TRUE(StampPreview::fit(QImage(), 20).isNull());
}

TEST(DrawToolBar, PlacedBesideTheMainWindowWhichMakesRoom)
{
    auto pl = DrawToolBar::placeBeside(QRect(200, 50, 600, 400), false);
    EXPECT_EQ(pl.bar, QPoint(132, 50));
    EXPECT_EQ(pl.shift, 0);
    EXPECT_FALSE(pl.restore);
    pl = DrawToolBar::placeBeside(QRect(20, -5, 600, 400), false);
    EXPECT_EQ(pl.bar, QPoint(0, 0));
    EXPECT_EQ(pl.shift, 48);
    EXPECT_FALSE(pl.restore);
    pl = DrawToolBar::placeBeside(QRect(0, 0, 1280, 800), true);
    EXPECT_EQ(pl.bar, QPoint(0, 0));
    EXPECT_EQ(pl.shift, 71);
    EXPECT_TRUE(pl.restore);
    pl = DrawToolBar::placeBeside(QRect(68, 10, 600, 400), false);
    EXPECT_EQ(pl.bar, QPoint(0, 10));
    EXPECT_EQ(pl.shift, 0);
}

TEST(Drawing, OnlyARectangleDrawnLastIsTheRange)
{
    Drawing d;
    EXPECT_TRUE(d.currentRectangle().isEmpty());
    d.add(box(30, 40, 10, 20)); // drawn from bottom right to top left
    const QPolygon r = d.currentRectangle();
    ASSERT_EQ(r.size(), 4);
    EXPECT_EQ(r[0], QPoint(10, 20));
    EXPECT_EQ(r[2], QPoint(30, 40));
    DrawnShape e = box(0, 0, 5, 5);
    e.kind = DrawnShape::Ellipse;
    d.add(e);
    EXPECT_TRUE(d.currentRectangle().isEmpty());
    d.removeAt(d.current());
    EXPECT_EQ(d.currentRectangle().size(), 4);
}

TEST(Drawing, MergeIntoPaintsEveryKindAndForgetsTheShapes)
{
    Picture pic(white(220, 120));
    pic.setResolution(72, 72);
    Drawing d;
    d.add(box(5, 5, 45, 35));
    DrawnShape e = box(55, 5, 95, 35, Qt::blue);
    e.kind = DrawnShape::Ellipse;
    d.add(e);
    DrawnShape a;
    a.kind = DrawnShape::Arrow;
    a.points = {QPointF(105, 30), QPointF(145, 5)};
    a.colour = QColor(0, 160, 0);
    a.width = 3;
    d.add(a);
    DrawnShape pen;
    pen.kind = DrawnShape::Pen;
    pen.points = {QPointF(155, 5), QPointF(170, 30), QPointF(185, 5), QPointF(200, 30)};
    pen.colour = Qt::black;
    pen.width = 3;
    d.add(pen);
    DrawnShape t;
    t.kind = DrawnShape::Text;
    t.points = {QPointF(5, 60)};
    t.text = QStringLiteral("注記 A");
    t.colour = Qt::black;
    t.width = 4;
    d.add(t);
    DrawnShape st;
    st.kind = DrawnShape::Stamp;
    QImage stampImg(20, 20, QImage::Format_ARGB32);
    stampImg.fill(qRgb(255, 0, 255));
    st.stamp = stampImg;
    st.points = {QPointF(150, 70)};
    d.add(st);

    ASSERT_TRUE(d.mergeInto(pic));
    EXPECT_TRUE(d.isEmpty());
    const QImage img = pic.image();
    EXPECT_GT(countNear(img, qRgb(255, 0, 0), QRect(0, 0, 50, 40)), 60);
    EXPECT_EQ(img.pixel(25, 20), qRgb(255, 255, 255)); // an outline, not a fill
    EXPECT_GT(countNear(img, qRgb(0, 0, 255), QRect(50, 0, 50, 40)), 40);
    EXPECT_GT(countNear(img, qRgb(0, 160, 0), QRect(100, 0, 50, 40)), 40);
    EXPECT_GT(countNear(img, qRgb(0, 0, 0), QRect(150, 0, 60, 40)), 40);
    EXPECT_GT(countNear(img, qRgb(0, 0, 0), QRect(0, 55, 140, 40)), 20);
    EXPECT_EQ(countNear(img, qRgb(255, 0, 255), QRect(150, 70, 20, 20)), 400);
    EXPECT_EQ(pic.dpiX(), 72);
    EXPECT_EQ(pic.depthCode(), 24);
    EXPECT_FALSE(d.mergeInto(pic)); // nothing left to merge
}

TEST(Drawing, MergeOnAPalettePictureKeepsEveryDrawnColour)
{
    // code before -> code after a red box. Bits stay when the colours fit
    // exactly; two colours plus red need 4 bits; grey gains the colour.
    const std::pair<int, int> cases[] = {{8, 8}, {4, 4}, {80, 8}, {40, 4}, {1, 4}};
    for (auto [code, after] : cases) {
        QImage img = white();
        if (code == 8 || code == 4)
            img.fill(qRgb(200, 220, 255));
        if (code == 1)
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < 20; ++x)
                    img.setPixel(x, y, qRgb(0, 0, 0));
        Picture pic(img);
        ASSERT_TRUE(pic.convertDepth(code, false));
        ASSERT_EQ(pic.depthCode(), code);
        Drawing d;
        d.add(box(30, 10, 80, 50, Qt::red, 3));
        DrawnShape e = box(85, 10, 110, 50, QColor(0, 90, 255), 2);
        e.kind = DrawnShape::Ellipse;
        d.add(e);
        ASSERT_TRUE(d.mergeInto(pic)) << code;
        EXPECT_EQ(pic.depthCode(), after) << code;
        const QImage out = pic.image().convertToFormat(QImage::Format_RGB32);
        EXPECT_GT(countNear(out, qRgb(255, 0, 0)), 100) << code;
        EXPECT_GT(countNear(out, qRgb(0, 90, 255)), 40) << code;
        EXPECT_EQ(out.pixel(5, 80), code == 1 ? qRgb(0, 0, 0) : img.pixel(5, 80)) << code;
    }
}

TEST(Drawing, ColoursBeyondThePaletteTakeTheNextDepthThatHoldsThem)
{
    Picture pic(white());
    ASSERT_TRUE(pic.convertDepth(4, false));
    Drawing d;
    for (int i = 0; i < 20; ++i)
        d.add(box(2 + i * 5, 2, 5 + i * 5, 40, QColor::fromHsv(i * 18, 255, 255), 1));
    ASSERT_TRUE(d.mergeInto(pic));
    EXPECT_EQ(pic.depthCode(), 8);
    EXPECT_EQ(pic.image().pixel(2, 20), QColor::fromHsv(0, 255, 255).rgb());

    // A full 256-colour palette and one colour more: true colour.
    QImage full(64, 64, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i)
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                full.setPixel((i % 16) * 4 + x, (i / 16) * 4 + y, qRgb(i, 255 - i, 100));
    Picture p8(full);
    ASSERT_TRUE(p8.convertDepth(8, false));
    ASSERT_EQ(p8.depthCode(), 8);
    Drawing d8;
    d8.add(box(10, 10, 30, 30, Qt::red, 2));
    ASSERT_TRUE(d8.mergeInto(p8));
    EXPECT_EQ(p8.depthCode(), 24);
    EXPECT_EQ(p8.image().pixel(10, 20), qRgb(255, 0, 0));
    EXPECT_EQ(p8.image().pixel(40, 40), full.pixel(40, 40));
}

TEST(Drawing, StampWhiteShowsThrough)
{
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setPixel(1, 1, qRgb(200, 0, 0));
    const QString path = QDir::tempPath() + "/varnel-stamp-test.bmp";
    ASSERT_TRUE(img.save(path, "BMP"));
    const QImage s = Drawing::stampFromFile(path);
    QFile::remove(path);
    ASSERT_EQ(s.size(), QSize(4, 4));
    EXPECT_EQ(qAlpha(s.pixel(0, 0)), 0);
    EXPECT_EQ(s.pixel(1, 1), qRgb(200, 0, 0));
    EXPECT_TRUE(Drawing::stampFromFile("/nonexistent/x.bmp").isNull());
}
