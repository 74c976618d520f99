// Where the settings sheet puts its two buttons: Cancel in the bottom-right corner, OK to its left.
// No Windows header, so it is tested natively.
#pragma once

namespace toolkit {

struct ButtonPlace {
    int x = 0;
    int y = 0;
};

struct SheetButtons {
    ButtonPlace ok;
    ButtonPlace cancel;
};

constexpr int kSheetButtonMargin = 8;

// Client size of the sheet and the two buttons' sizes.
SheetButtons placeSheetButtons(int clientWidth, int clientHeight, int okWidth, int okHeight, int cancelWidth,
                               int cancelHeight);

}  // namespace toolkit
