#include "ColourDepth.h"

namespace varnel {

namespace {
constexpr int kItemCodes[] = {0, 4, 40, 8, 80, 16, 24, 32};
}

int ColourDepth::codeForItem(int index)
{
    return index >= 1 && index <= 7 ? kItemCodes[index] : 0;
}

int ColourDepth::itemForCode(int code)
{
    for (int i = 1; i <= 7; ++i)
        if (kItemCodes[i] == code)
            return i;
    return 0;
}

bool ColourDepth::convert(Picture& picture, int code)
{
    if (code == 40)
        return picture.convertDepth(80, false) && picture.convertDepth(40, false);
    return picture.convertDepth(code, code != 4);
}

} // namespace varnel
