// Where the settings sheet puts its two buttons: Cancel in the bottom-right corner, OK to its left.
// No Windows header, so it is tested natively.
#pragma once

#include "ui/DisplayScale.h"

namespace toolkit {

struct ButtonPlace {
    int x = 0;
    int y = 0;
};

struct SheetButtons {
    ButtonPlace ok;
    ButtonPlace cancel;
};

// At 96 DPI; the sheet's margin follows its scale as the buttons' dialog units do.
constexpr int kSheetButtonMargin = 8;

// Client size of the sheet and the two buttons' sizes, in pixels at the sheet's scale.
SheetButtons placeSheetButtons(int clientWidth, int clientHeight, int okWidth, int okHeight, int cancelWidth,
                               int cancelHeight, const skeo::DisplayScale& scale = skeo::DisplayScale());

}  // namespace toolkit
