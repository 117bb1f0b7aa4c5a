#pragma once
#include <QRect>
#include <QSize>
#include <QString>

namespace varnel {

// The arithmetic of the geometric edit commands, apart from any picture.
class EditGeometry {
public:
    // Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
    static int roundHalfEven(double v);

    // The pixels a range covers: from left, top up to but not including
    // right, bottom, so right - left by bottom - top is its size (the size
    // the drag label shows, a registered range makes and a resize takes).
    // As an inclusive rectangle, the way the engine takes one; empty when the
    // range covers no column or row.
    static QRect rangePixels(int left, int top, int right, int bottom);

    // Target size of "ﾘｻｲｽﾞ" for a W x H picture and a range rw x rh:
    // mode 0 keeps the aspect with the width rw, mode 1 with the height rh,
    // mode 2 takes rw x rh. An empty size when there is nothing to reduce to.
    static QSize reducedSize(int mode, int width, int height, int rangeWidth, int rangeHeight);

    // "綴じ込み": the strip under the range is cut out and the rest joined.
    // The range runs from left, top up to but not including right, bottom;
    // tail and crop are inclusive pixel rectangles, as the engine takes them.
    struct Stitch {
        bool valid = false;   // something remains after the cut
        bool hasTail = false; // there are rows (columns) after the range to move
        QRect tail;           // the rows below / columns right of the range
        QPoint dest;          // where the tail's top-left corner goes
        int cropRight = 0;    // the picture is then cropped to (0, 0, cropRight, cropBottom)
        int cropBottom = 0;
    };
    // direction 0 cuts rows (vertical), 1 cuts columns (horizontal).
    static Stitch stitch(int direction, int width, int height, int left, int top, int right, int bottom);

    // "回転" by caption: hundredths of a degree counter-clockwise, and the
    // mirror and flip flags. Unknown captions turn nothing.
    struct Rotation {
        int hundredths = 0;
        bool mirror = false;
        bool flip = false;
    };
    static Rotation rotationFor(const QString& caption);

    // Depth codes that take smooth resizing and turning as they are.
    static bool isSmoothCapable(int code) { return code == 80 || code == 16 || code == 24 || code == 32; }
    // Depth codes (as kept in the main window) the colour operations take as they are.
    static bool isTrueColour(const QString& code);
};

} // namespace varnel
