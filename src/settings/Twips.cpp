#include "Twips.h"

#include <cmath>
#include <limits>

namespace varnel {

namespace {

double usableDpi(double dpi)
{
    return (dpi > 0 && std::isfinite(dpi)) ? dpi : 96.0;
}

} // namespace

int twipsToPixels(double twips, double dpi)
{
    const double px = std::round(twips * usableDpi(dpi) / 1440.0);
    if (std::isnan(px))
        return 0;
    // Stored values are not trusted to fit a window coordinate.
    constexpr double limit = 1 << 24;
    if (px > limit)
        return int(limit);
    if (px < -limit)
        return -int(limit);
    return int(px);
}

double pixelsToTwips(int pixels, double dpi)
{
    return double(pixels) * 1440.0 / usableDpi(dpi);
}

} // namespace varnel
