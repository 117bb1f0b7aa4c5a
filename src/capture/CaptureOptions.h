#pragma once
#include <QStringList>
#include <optional>

namespace varnel {

// The four capture option groups of the settings menu and the colour codes
// that a capture's colour reduction picks by position.
class CaptureOptions {
public:
    enum Action { DoNothing = 0, Show = 1, SaveNumbered = 2, SaveNumberedAndShow = 3 };

    static const QStringList& afterCaptureCaptions();   // mnCpt
    static const QStringList& colourReductionCaptions(); // mnGen
    static const QStringList& onMinimiseCaptions();      // mnCptW
    static const QStringList& pointerCaptions();         // mnMpn
    static const QStringList& groupCaptions();           // mnUsr

    // Depth code for a colour reduction index: 1..8 -> 4, 40, 8, 80, 16, 24,
    // 32, 32. None for 0 (no reduction) and for indexes outside the list.
    static std::optional<int> colourCode(int index);
};

} // namespace varnel
