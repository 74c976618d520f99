#include "toolkit/SheetLayout.h"

namespace toolkit {

SheetButtons placeSheetButtons(int clientWidth, int clientHeight, int okWidth, int okHeight, int cancelWidth,
                               int cancelHeight, const skeo::DisplayScale& scale) {
    const int margin = scale.px(kSheetButtonMargin);
    SheetButtons b;
    b.cancel.x = clientWidth - margin - cancelWidth;
    b.cancel.y = clientHeight - margin - cancelHeight;
    b.ok.x = b.cancel.x - margin - okWidth;
    b.ok.y = clientHeight - margin - okHeight;
    return b;
}

}  // namespace toolkit
