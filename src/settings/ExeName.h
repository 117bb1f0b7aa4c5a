#pragma once
#include <QString>

namespace varnel {

// The program's name as its settings and family entries know it: the
// executable's base name, with a final "_dv" (any case) cut so that a
// development build shares the release build's settings.
QString exeNameFromPath(const QString& exePath);

} // namespace varnel
