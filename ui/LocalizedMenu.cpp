#include "ui/LocalizedMenu.h"

#include <string>

#include "app/VNTLanguageSelector.h"
#include "framework/Window.h"

vnt::MenuHandle LoadLocalizedMenu(UINT menuId, const MenuItemText* items, size_t count) {
    vnt::MenuHandle menu(LoadMenuW(vnt::resourceModule(), MAKEINTRESOURCEW(menuId)));
    HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup) return vnt::MenuHandle();
    for (size_t i = 0; i < count; ++i) {
        std::wstring text;
        if (!VNTLanguageSelector::instance().loadString(items[i].stringId, text)) continue;
        ModifyMenuW(popup, items[i].command, MF_BYCOMMAND | MF_STRING, items[i].command, text.c_str());
    }
    return menu;
}

void TrackPopupInFront(HMENU popup, POINT point, HWND owner, UINT flags) {
    if (!popup || !owner) return;
    // The menu closes when clicked elsewhere only if its owner is in the foreground.
    SetForegroundWindow(owner);
    TrackPopupMenu(popup, flags, point.x, point.y, 0, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
}
