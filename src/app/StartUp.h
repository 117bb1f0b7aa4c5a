#pragma once
#include <QString>
#include <memory>

namespace varnel {
class fmMain;
struct Platform;

// Resolves the folders, creates the work folder and shows the main window.
std::unique_ptr<fmMain> StartUp(Platform& platform, const QString& executablePath);
} // namespace varnel
