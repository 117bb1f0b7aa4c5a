#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>

#include "editing/ColourDepth.h"
#include "editing/PictureSurface.h"

using namespace varnel;

namespace {

// What the surface's view shows on the screen, pixel for pixel.
QImage viewOf(PictureSurface& s)
{
    s.viewport()->repaint();
    QApplication::processEvents();
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(s.viewport()->winId());
    if (shot.isNull())
        shot = s.viewport()->grab();
    return shot.toImage().convertToFormat(QImage::Format_RGB32);
}

// Pixels of the flat area that differ from its colour by more than a step.
int strayPixels(const QImage& view, const QRect& area, QRgb colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = view.pixel(x, y);
            n += std::abs(qRed(c) - qRed(colour)) > 2 || std::abs(qGreen(c) - qGreen(colour)) > 2
                || std::abs(qBlue(c) - qBlue(colour)) > 2;
        }
    return n;
}

} // namespace

TEST(PictureSurface, ScaledPalettePicturesShowTheirFlatColours)
{
    // A screenshot-like picture: two flat areas and a line of "text".
    QImage img(900, 600, QImage::Format_RGB32);
    img.fill(qRgb(212, 208, 200));
    {
        QPainter p(&img);
        p.fillRect(QRect(0, 0, 900, 40), QColor(10, 36, 106));
        p.setPen(Qt::black);
        p.drawText(20, 100, QStringLiteral("flat areas stay flat"));
    }
    for (int code : {4, 8, 16, 24, 32}) {
        PictureSurface s;
        s.resize(460, 330);
        s.show();
        s.picture() = Picture(img);
        ASSERT_TRUE(ColourDepth::convert(s.picture(), code));
        s.showPicture(1);
        ASSERT_LT(s.displayScale(), 1.0);
        QApplication::processEvents();
        const QImage view = viewOf(s);
        const QRgb grey = s.picture().image().pixel(450, 400);
        const QRgb blue = s.picture().image().pixel(450, 10);
        // Away from the edges between areas, every shown pixel is the area's colour.
        EXPECT_EQ(strayPixels(view, QRect(60, 100, 300, 150), grey), 0) << code;
        EXPECT_EQ(strayPixels(view, QRect(10, 2, 400, 14), blue), 0) << code;
    }
}

TEST(PictureSurface, DraggingShowsTheRangeSizeUntilReleased)
{
    PictureSurface s;
    s.resize(500, 400);
    s.show();
    s.picture() = Picture(QImage(300, 200, QImage::Format_RGB32));
    s.showPicture(1);
    QApplication::processEvents();
    EXPECT_TRUE(s.dragSizeText().isEmpty());
    QWidget* vp = s.viewport();
    auto send = [&](QEvent::Type t, QPoint p, Qt::MouseButtons held) {
        QMouseEvent e(t, p, vp->mapToGlobal(p), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(vp, &e);
    };
    send(QEvent::MouseButtonPress, QPoint(10, 20), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(110, 70), Qt::LeftButton);
    EXPECT_EQ(s.dragSizeText(), QStringLiteral("100 x 50"));
    // Dragged beyond the picture: the size stops at its edge.
    send(QEvent::MouseMove, QPoint(480, 380), Qt::LeftButton);
    EXPECT_EQ(s.dragSizeText(), QStringLiteral("290 x 180"));
    send(QEvent::MouseButtonRelease, QPoint(480, 380), Qt::NoButton);
    EXPECT_TRUE(s.dragSizeText().isEmpty());
    EXPECT_EQ(s.selectionEdges(), QRect(10, 20, 300, 200));
}

TEST(PictureSurface, AWheelNotchScrollsATenthOfTheView)
{
    PictureSurface s;
    s.resize(400, 300);
    s.show();
    QImage img(4000, 3000, QImage::Format_RGB32);
    img.fill(Qt::white);
    s.picture().setImage(img);
    s.setZoom(1.0);
    s.showPicture(3);
    QApplication::processEvents();
    const int view = s.viewport()->height();
    const QPointF at(20, 20);
    QWheelEvent e(at, s.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(s.viewport(), &e);
    const int moved = s.verticalScrollBar()->value();
    EXPECT_GE(moved, view / 12);
    EXPECT_LE(moved, view / 8);
}
