#pragma once
#include <QString>
#include <memory>

namespace varnel {
class fmMain;
struct Platform;

// Resolves the folders, creates the work folder and shows the main window
// (a batch run keeps it hidden).
std::unique_ptr<fmMain> StartUp(Platform& platform, const QString& executablePath, bool show = true);
} // namespace varnel
