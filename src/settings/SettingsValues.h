#pragma once
#include <QString>

namespace varnel {

// A stored value far beyond any real use, of which only a part was loaded.
// The part not loaded is never shown, so it must never be lost: an
// unchanged part writes the stored value back as it was, a changed one is
// written with the rest behind it.
struct PartlyLoaded {
    QString stored;     // the value as the file holds it; empty when loaded whole
    qsizetype cut = 0;  // where in stored the part not loaded starts
    QString loaded;     // the part the program was given

    bool isPartial() const { return !stored.isEmpty(); }
    bool operator==(const PartlyLoaded&) const = default;
};

// Every value the main window keeps in "User.xml". A default-constructed
// object holds the built-in values used when the file cannot be loaded.
struct SettingsValues {
    // The main window's outer geometry in twips (1/1440 inch). After a
    // failed load all four are 0: keep the current size and centre it.
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    int displayMode = 1;          // 1 scaled to the window, 3 zoom
    bool workListShown = false;   // the work-folder file list is shown
    int afterCaptureAction = 1;   // index into the after-capture menu, not range-checked
    int captureColourIndex = 0;   // index into the colour-reduction menu, not range-checked
    QString stamp;                // file name of the current stamp bitmap
    QString rangeList;            // registered ranges, carried as they are
    bool bMpnt = false;           // draw the mouse pointer into captures
    bool standbyOnMinimise = false;
    QString storageFolder;
    QString storagePrefix;
    QString storageExtension;
    QString macroText;            // lines separated by CR LF
    QString language;             // "ja" or "en" once chosen in the menu; empty before
    int nextStepNumber = 1;       // the number the next step marker gets
    PartlyLoaded rangeListKept;   // set when rangeList is only a part of the stored list
    PartlyLoaded macroTextKept;   // set when macroText is only a part of the stored text

    bool operator==(const SettingsValues&) const = default;
};

} // namespace varnel
