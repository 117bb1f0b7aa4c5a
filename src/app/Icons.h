#pragma once
#include <QIcon>

namespace varnel {

// Pictures for the tool strip and the program: the desktop's icon theme
// where it has the standard name, our own drawings otherwise.
namespace Icons {
constexpr int kToolCount = 10;
// The freedesktop name button i stands for; empty where no standard name fits.
QString themeName(int toolIndex);
QIcon tool(int toolIndex);
QIcon program();
} // namespace Icons

} // namespace varnel
