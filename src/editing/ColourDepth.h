#pragma once

#include "engine/Picture.h"

namespace varnel {

// The colour-depth commands: which depth code each "色数" item stands for,
// and how a picture is brought to a code.
class ColourDepth {
public:
    // Code of item 1..7 ("16色(4bit)" .. "32bit"); 0 for any other index.
    static int codeForItem(int index);
    // The item that shows a code as ticked; 0 when none does (code 1).
    static int itemForCode(int code);
    // Grey 4 bit is reached through grey 8 bit; 16 colours and grey 4 bit
    // are not dithered, every other code is.
    static bool convert(Picture& picture, int code);
};

} // namespace varnel
