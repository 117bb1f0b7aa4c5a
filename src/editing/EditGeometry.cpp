#include "EditGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace varnel {

int EditGeometry::roundHalfEven(double v)
{
    if (!std::isfinite(v))
        return 0;
    v = std::clamp(v, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max()));
    const double fl = std::floor(v);
    const double diff = v - fl;
    double r = fl;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(fl, 2.0) != 0.0))
        r = fl + 1.0;
    return int(r);
}

QRect EditGeometry::rangePixels(int left, int top, int right, int bottom)
{
    return QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                 QPoint(std::max(left, right) - 1, std::max(top, bottom) - 1));
}

QSize EditGeometry::reducedSize(int mode, int width, int height, int rangeWidth, int rangeHeight)
{
    if (width <= 0 || height <= 0)
        return {};
    const double W = width, H = height;
    const double rw = rangeWidth, rh = rangeHeight;
    double w = 0, h = 0;
    switch (mode) {
    case 0:
        w = rw;
        h = H * (rw / W);
        break;
    case 1:
        h = rh;
        w = rh / H * W;
        break;
    case 2:
        w = rw;
        h = rh;
        break;
    default:
        return {};
    }
    const QSize s(roundHalfEven(w), roundHalfEven(h));
    return s.width() > 0 && s.height() > 0 ? s : QSize();
}

EditGeometry::Stitch EditGeometry::stitch(int direction, int width, int height, int left, int top, int right,
                                          int bottom)
{
    Stitch s;
    if (width <= 0 || height <= 0 || (direction != 0 && direction != 1))
        return s;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    // The range's rows (columns) run from top up to but not including
    // bottom; the cut stops at the picture.
    left = std::clamp(left, 0, width);
    right = std::clamp(right, 0, width);
    top = std::clamp(top, 0, height);
    bottom = std::clamp(bottom, 0, height);
    if (direction == 0) {
        s.tail = QRect(QPoint(0, bottom), QPoint(width - 1, height - 1));
        s.dest = QPoint(0, top);
        s.cropRight = width - 1;
        s.cropBottom = height - (bottom - top) - 1;
        s.valid = bottom > top && s.cropBottom >= 0;
        s.hasTail = bottom < height;
    } else {
        s.tail = QRect(QPoint(right, 0), QPoint(width - 1, height - 1));
        s.dest = QPoint(left, 0);
        s.cropRight = width - (right - left) - 1;
        s.cropBottom = height - 1;
        s.valid = right > left && s.cropRight >= 0;
        s.hasTail = right < width;
    }
    return s;
}

EditGeometry::Rotation EditGeometry::rotationFor(const QString& caption)
{
    if (caption == QStringLiteral("左右反転"))
        return {0, true, false};
    if (caption == QStringLiteral("上下反転"))
        return {0, false, true};
    if (caption == QStringLiteral("右90度"))
        return {-9000, false, false};
    if (caption == QStringLiteral("右180度"))
        return {-18000, false, false};
    if (caption == QStringLiteral("左90度"))
        return {9000, false, false};
    if (caption == QStringLiteral("左180度"))
        return {18000, false, false};
    return {};
}

bool EditGeometry::isTrueColour(const QString& code)
{
    return QStringLiteral(".16.24.32.").contains(QLatin1Char('.') + code + QLatin1Char('.'));
}

} // namespace varnel
