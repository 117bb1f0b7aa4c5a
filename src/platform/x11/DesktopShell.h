#pragma once
#include <vector>

#include "platform/Shell.h"

namespace varnel {

class DesktopShell : public Shell {
public:
    bool open(const QString& pathOrUrl) override;
    bool explore(const QString& folder) override;
    bool startProgram(const QString& program, const QStringList& args) override;
    QString specialFolder(int csidl) override;
    QRect desktopWorkArea(const QPoint& onScreenAt) override;
    bool startCalculator() override;

    // The first calculator of the usual desktops found on the PATH; empty
    // when there is none.
    static QString calculatorProgram();
    // The part of a screen that the desktop's work area (one rectangle per
    // virtual desktop, x y w h in a row) leaves free on the current desktop;
    // empty when the list holds nothing usable for that screen.
    static QRect workAreaOnScreen(const std::vector<long>& workAreas, long desktop, const QRect& screen);
};

} // namespace varnel
