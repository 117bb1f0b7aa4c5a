// Registered ranges: the range list and the size dialog.
#include "fmMain.h"

#include "macros/MenuGroup.h"

namespace varnel {

void fmMain::onUserRangeMenu(int) {}

void fmMain::RegisterRange() {}

} // namespace varnel
