#pragma once

namespace varnel {

// Window geometry is stored in twips (1/1440 inch); the screen's logical
// dots per inch link them to pixels. A dpi of 0 or less counts as 96.
int twipsToPixels(double twips, double dpi);
double pixelsToTwips(int pixels, double dpi);

} // namespace varnel
