#pragma once
#include <QImage>

namespace varnel {

// The stamp panel's picture: the same for every size the panel has had,
// whole, and sharp (reduced by a whole factor only, never stretched).
class StampPreview {
public:
    static QImage fit(const QImage& stamp, int box);
};

} // namespace varnel
