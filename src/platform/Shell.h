#pragma once
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

namespace varnel {

// The desktop's services for files, folders and programs.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file, folder or web address with the desktop's default handler.
    virtual bool open(const QString& pathOrUrl) = 0;
    // Shows a folder in the desktop's file manager.
    virtual bool explore(const QString& folder) = 0;
    // Starts a program with an argument list, without waiting for it.
    virtual bool startProgram(const QString& program, const QStringList& args) = 0;
    // Special folders by their classic numbers: 5 documents, 9 send-to,
    // 26 per-user application data. Empty when the desktop knows none.
    virtual QString specialFolder(int csidl) = 0;
    // The screen that holds point (global coordinates) less the desktop's
    // panels, in device pixels.
    virtual QRect desktopWorkArea(const QPoint& onScreenAt) = 0;
    // Starts the desktop's calculator as a process of its own; false when
    // none is installed or it would not start.
    virtual bool startCalculator() = 0;
};

} // namespace varnel
