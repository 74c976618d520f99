#include "toolkit/SheetLayout.h"

namespace toolkit {

SheetButtons placeSheetButtons(int clientWidth, int clientHeight, int okWidth, int okHeight, int cancelWidth,
                               int cancelHeight) {
    SheetButtons b;
    b.cancel.x = clientWidth - kSheetButtonMargin - cancelWidth;
    b.cancel.y = clientHeight - kSheetButtonMargin - cancelHeight;
    b.ok.x = b.cancel.x - kSheetButtonMargin - okWidth;
    b.ok.y = clientHeight - kSheetButtonMargin - okHeight;
    return b;
}

}  // namespace toolkit
