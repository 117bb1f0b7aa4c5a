// Drawing on the picture: the overlay and its floating tool bar.
#include "fmMain.h"


namespace varnel {

void fmMain::ShowDrawToolBar() {}

} // namespace varnel
