#include "ui/CVNTUI_Skeo_MenuShow_Mirror.h"

#include "app/VNTLanguageSelector.h"
#include "resources/StringIds.h"
#include "resources/resource.h"
#include "ui/MenuBarLayout.h"

CVNTUI_Skeo_MenuShow_Mirror::CVNTUI_Skeo_MenuShow_Mirror()
    : CVNTUI_Skeo_MenuShow(110, {Row{0, ID_MIRROR_HORIZONTAL, L"Horizontal", 0, IDS_MIRROR_HORIZONTAL},
                                 Row{0, ID_MIRROR_VERTICAL, L"Vertical", 0, IDS_MIRROR_VERTICAL}}) {
    // The check marks show the ticks, not a selection.
    selected_ = -1;
}

void CVNTUI_Skeo_MenuShow_Mirror::Choose(int row) {
    if (!hasRow(row) || !hwnd_) return;
    Close();
    Row& r = rows_[static_cast<size_t>(row)];
    r.tick = r.tick ? 0 : 1;
    selected_ = -1;
    Redraw();
    SendCommand(r.command, r.tick);
}

bool CVNTUI_Skeo_MenuShow_Mirror::GetValueText(std::wstring& text) const {
    const int horizontal = findRow(ID_MIRROR_HORIZONTAL), vertical = findRow(ID_MIRROR_VERTICAL);
    std::wstring off = L"Off";
    VNTLanguageSelector::instance().loadString(IDS_TIMER_OFF, off);
    text = menubar::mirrorValueText(row(horizontal).tick != 0, row(vertical).tick != 0, off);
    return true;
}
