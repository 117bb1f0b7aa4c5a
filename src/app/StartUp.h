#pragma once
#include <QString>
#include <memory>

namespace varnel {
class fmMain;
struct Platform;

// Resolves the folders, creates the work folder and shows the main window
// (a batch run keeps it hidden). fileToOpen (absolute, may be empty) is
// opened once the window is up.
//
// When another program already runs on the same user data folder, the
// request (come to the front, or open fileToOpen) is handed to it and no
// window is made: the result is null and *exitCode tells how this start
// should end (0 when the running program took the request).
std::unique_ptr<fmMain> StartUp(Platform& platform, const QString& executablePath,
                                const QString& fileToOpen = {}, int* exitCode = nullptr, bool show = true);
} // namespace varnel
