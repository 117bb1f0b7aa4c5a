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


StampPanel::StampPanel(QWidget* parent) : QLabel(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAlignment(Qt::AlignCenter);
    setScaledContents(false);
    setToolTip(QStringLiteral("ｽﾀﾝﾌﾟの画像を変更する場合は､ここをﾀﾞﾌﾞﾙｸﾘｯｸして下さい"));
    hide();
}

void StampPanel::showCurrent()
{
    const QString path = folder + current();
    setPixmap(QPixmap::fromImage(StampPreview::fit(QImage(path), box ? box() : width())));
    if (taken)
        taken(path);
}

void StampPanel::next()
{
    if (stamps.isEmpty() || stamps.value(0).isEmpty())
        return;
    index = (index + 1) % int(stamps.size());
    showCurrent();
}

void StampPanel::mouseDoubleClickEvent(QMouseEvent*)
{
    next();
}

} // namespace varnel
