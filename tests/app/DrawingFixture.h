#pragma once
#include <QTest>
#include <QWheelEvent>

#include "MainWindowFixture.h"
#include "editing/DrawToolBar.h"
#include "editing/DrawingOverlay.h"
#include "editing/PictureSurface.h"

// A main window with a picture to draw on, and mouse moves on its overlay.
namespace drawtest {
inline int countNear(const QImage& src, QRgb c, const QRect& area = {})
{
    const QImage img = src.convertToFormat(QImage::Format_RGB32);
    const QRect r = area.isNull() ? img.rect() : area.intersected(img.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (std::abs(qRed(p) - qRed(c)) < 60 && std::abs(qGreen(p) - qGreen(c)) < 60 &&
                std::abs(qBlue(p) - qBlue(c)) < 60)
                ++n;
        }
    return n;
}
} // namespace drawtest

class ViewDrawingTest : public MainWindowTest {
protected:
    using DrawingOverlay = varnel::DrawingOverlay;
    using DrawnShape = varnel::DrawnShape;
    using PictureSurface = varnel::PictureSurface;
    // A picture taken in as the paste command does it.
    void paste(const QImage& img)
    {
        fake.clipboard->setSilently(img);
        g("mnEdt").click(3);
        ASSERT_TRUE(w->surface()->hasPicture());
    }
    QWidget* viewport() const { return w->surface()->viewport(); }
    DrawingOverlay* overlay() const { return w->surface()->overlay(); }
    const QImage& pixels() const
    {
        // Read without merging: what the picture holds right now.
        return static_cast<const PictureSurface*>(w->surface())->picture().image();
    }
    void wheel(int delta, Qt::KeyboardModifiers mods)
    {
        const QPointF at(20, 20);
        QWheelEvent e(at, viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      mods, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(viewport(), &e);
    }
    void drag(QPoint from, QPoint to)
    {
        QTest::mousePress(overlay(), Qt::LeftButton, {}, from);
        QTest::mouseMove(overlay(), (from + to) / 2);
        QTest::mouseMove(overlay(), to);
        QTest::mouseRelease(overlay(), Qt::LeftButton, {}, to);
    }
    void openToolBar(DrawnShape::Kind tool)
    {
        w->ShowDrawToolBar();
        ASSERT_TRUE(w->ToolBarShown);
        w->drawToolBar()->setTool(tool);
    }
    static QImage white(int width = 240, int height = 160)
    {
        return picture(qRgb(255, 255, 255), width, height);
    }
};

