#pragma once
#include "platform/Shell.h"

namespace varnel {

class DesktopShell : public Shell {
public:
    bool open(const QString& pathOrUrl) override;
    bool explore(const QString& folder) override;
    bool startProgram(const QString& program, const QStringList& args) override;
    QString specialFolder(int csidl) override;
    QRect desktopWorkArea() override;
    bool startCalculator() override;
};

} // namespace varnel
