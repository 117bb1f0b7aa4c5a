#pragma once
#include <QStringList>

namespace varnel {

// The zoom list and the way Ctrl + wheel and Ctrl++ / Ctrl+- walk it.
class ZoomSteps {
public:
    // The list's entries, in order (the first two begin with a blank).
    static const QStringList& entries();
    // The factor of an entry's text: " 50%" -> 0.5; 0 for text that is no zoom.
    static double factorOf(const QString& entry);
    // The entry one step (step > 0: larger, < 0: smaller) from the current
    // view. current: the selected entry, or -1 when the picture is shown
    // scaled to the window at scale. The result stays inside the list.
    static int step(int current, double scale, int step);
};

} // namespace varnel
