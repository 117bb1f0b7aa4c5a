#pragma once
#include <QColor>
#include <QWidget>
#include <array>

#include "Drawing.h"

class QButtonGroup;
class QComboBox;
class QSpinBox;
class QToolButton;

namespace varnel {

class DrawingOverlay;

// The floating drawing tool bar: the shape to draw, its colour and line
// width. It only chooses; the overlay draws.
class DrawToolBar : public QWidget {
    Q_OBJECT
public:
    // Width the bar needs beside the main window, its frame included.
    static constexpr int kRoom = 68;

    explicit DrawToolBar(QWidget* owner = nullptr);

    // Where the bar goes beside a main window whose outer frame is mainFrame
    // (screen pixels), and how far the main window must move right (and
    // shrink) to make room when it sits at the screen's left edge.
    struct Placement {
        QPoint bar;
        int shift = 0;        // main window: x += shift, width -= shift
        bool restore = false; // a maximised main window is restored first
    };
    static Placement placeBeside(const QRect& mainFrame, bool maximised);
    // Where a window's frame goes so that all of it lies on the available
    // area (title bar included), as near to where it is as can be.
    static QPoint keepOnScreen(const QRect& frame, const QRect& available);

    // The bar's three settings: the size of a box or ellipse placed with a
    // plain click, whether boxes and ellipses are filled (0 = outline), and
    // the colour a stamp picture shows through.
    void setSettings(int clickSize, int fill, const QColor& seeThrough);
    int clickSize() const { return m_clickSize; }
    bool filled() const { return m_fill != 0; }
    QColor seeThrough() const { return m_seeThrough; }

    DrawnShape::Kind tool() const { return m_tool; }
    void setTool(DrawnShape::Kind tool);
    QColor colour() const { return m_colour; }
    void setColour(const QColor& c);
    int lineWidth() const;
    void setLineWidth(int w);
    // Letter height of new texts in picture pixels: small, medium, large or
    // a number typed in.
    int textSize() const { return m_textPixels; }
    void setTextSize(int pixels);
    // The block size of the mosaic command.
    int mosaicBlock() const;
    void setMosaicBlock(int pixels);
    // Shows the number the next step marker gets.
    void showNextNumber(int n);

    QToolButton* toolButton(DrawnShape::Kind k) const { return m_tools[size_t(k)]; }
    QComboBox* textSizeBox() const { return m_textSize; }
    QComboBox* textBackBox() const { return m_textBack; }
    QToolButton* boldButton() const { return m_bold; }
    QToolButton* nextNumberButton() const { return m_next; }
    QToolButton* renumberButton() const { return m_renumber; }

    // The overlay draws with the bar's tool, colour and sizes, now and as
    // they change; the bar shows the number the overlay's next step gets.
    void drive(DrawingOverlay* overlay);
    // The overlay takes input with the bar's tool and its three settings as
    // drawing begins (the settings start from their defaults each time).
    void beginDrawing(DrawingOverlay* overlay);

    // The colours offered as swatches, besides the colour dialog.
    static const std::array<QColor, 6>& swatches();

signals:
    void toolChanged(DrawnShape::Kind tool);
    void colourChanged(const QColor& c);
    void lineWidthChanged(int w);
    void textSizeChanged(int pixels);
    void textBoldChanged(bool on);
    void textBackChanged(DrawnShape::TextBack back);
    void renumberRequested();
    void numbersResetRequested();
    // The user closed the bar (its close box, or close()).
    void closed();

protected:
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void retranslateUi();
    void showColour();
    void readTextSize();
    void fitOnScreen();
    // Boxes that hide and the highlighter keep colours of their own.
    static int colourSlot(DrawnShape::Kind k);

    DrawnShape::Kind m_tool = DrawnShape::Rectangle;
    QColor m_colour = Qt::red;
    std::array<QColor, 3> m_colours{QColor(Qt::red), QColor(Qt::black), QColor(255, 235, 0)};
    int m_textPixels = DrawnShape::kTextSizes[1];
    int m_clickSize = 50;
    int m_fill = 0;
    QColor m_seeThrough = Qt::white;
    std::array<QToolButton*, DrawnShape::kKinds> m_tools{};
    QButtonGroup* m_group = nullptr;
    QToolButton* m_colourButton = nullptr;
    QSpinBox* m_width = nullptr;
    QComboBox* m_textSize = nullptr;
    QComboBox* m_textBack = nullptr;
    QToolButton* m_bold = nullptr;
    QToolButton* m_next = nullptr;
    QToolButton* m_renumber = nullptr;
    QSpinBox* m_mosaic = nullptr;
    bool m_hiddenWithOwner = false;
    int m_fits = 0; // moves back on screen since shown; a stubborn window manager wins

};

} // namespace varnel
