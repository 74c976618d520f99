#include "settings/CVNTUI_Skeo_SettingsPropSheet.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/VNTLanguageSelector.h"
#include "resources/StringIds.h"
#include "settings/VNTSkeoRegedit.h"

CVNTUI_Skeo_SettingsPropSheet::CVNTUI_Skeo_SettingsPropSheet(VNTSkeoRegedit& settings)
    : CVNTUI_PropertySheet(IDS_SETTINGS_CAPTION), general_(settings), imageAdjustment_(settings), system_(settings) {
    AddPage(&general_);
    AddPage(&imageAdjustment_);
    AddPage(&system_);
}

void CVNTUI_Skeo_SettingsPropSheet::ReloadTexts() {
    CVNTUI_PropertySheet::ReloadTexts();
    HWND tabs = hwnd() ? PropSheet_GetTabControl(hwnd()) : nullptr;
    if (!tabs) return;
    const UINT ids[] = {IDS_TAB_GENERAL, IDS_TAB_IMAGE_ADJUSTMENT, IDS_TAB_SYSTEM};
    for (int i = 0; i < 3; ++i) {
        std::wstring text;
        if (!VNTLanguageSelector::instance().loadString(ids[i], text)) continue;
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        TabCtrl_SetItem(tabs, i, &item);
    }
}
