// Menus from the resources whose item texts come from the current language's strings.
#pragma once

#include <windows.h>

#include <cstddef>

#include "framework/Handles.h"

struct MenuItemText {
    UINT command;
    UINT stringId;
};

// The menu resource with each listed item of its first popup renamed; an item whose string is
// missing keeps its resource text. Empty when the menu cannot be loaded.
vnt::MenuHandle LoadLocalizedMenu(UINT menuId, const MenuItemText* items, size_t count);

// Shows the popup at the point until it closes; the chosen command goes to the owner as WM_COMMAND.
void TrackPopupInFront(HMENU popup, POINT point, HWND owner, UINT flags = TPM_LEFTALIGN | TPM_RIGHTBUTTON);
