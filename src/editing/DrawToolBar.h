#pragma once
#include <QColor>
#include <QWidget>
#include <array>

#include "Drawing.h"

class QButtonGroup;
class QSpinBox;
class QToolButton;

namespace varnel {

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

    QToolButton* toolButton(DrawnShape::Kind k) const { return m_tools[size_t(k)]; }

    // The colours offered as swatches, besides the colour dialog.
    static const std::array<QColor, 6>& swatches();

signals:
    void toolChanged(DrawnShape::Kind tool);
    void colourChanged(const QColor& c);
    void lineWidthChanged(int w);
    // The user closed the bar (its close box, or close()).
    void closed();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void retranslateUi();
    void showColour();

    DrawnShape::Kind m_tool = DrawnShape::Rectangle;
    QColor m_colour = Qt::red;
    int m_clickSize = 50;
    int m_fill = 0;
    QColor m_seeThrough = Qt::white;
    std::array<QToolButton*, 6> m_tools{};
    QButtonGroup* m_group = nullptr;
    QToolButton* m_colourButton = nullptr;
    QSpinBox* m_width = nullptr;
    bool m_hiddenWithOwner = false;
};

} // namespace varnel
