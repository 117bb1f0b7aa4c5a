#include "StampPreview.h"

#include <algorithm>

namespace varnel {

QImage StampPreview::fit(const QImage& stamp, int box)
{
    if (stamp.isNull() || box <= 0)
        return {};
    int factor = 1;
    while (stamp.width() / factor > box || stamp.height() / factor > box)
        ++factor;
    if (factor == 1)
        return stamp;
    // A whole factor keeps every output pixel over the same number of source
    // pixels: no blur from a fractional filter.
    return stamp.scaled(std::max(1, stamp.width() / factor), std::max(1, stamp.height() / factor),
                        Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace varnel
