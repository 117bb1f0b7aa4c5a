#pragma once
#include <QString>

namespace varnel {

// Process-wide texts fixed at start-up. Folders end with "/".
struct AppEnvironment {
    QString exeName;
    QString programFolder;
    QString apDataFolder;
    QString userDataFolder;
};

} // namespace varnel
