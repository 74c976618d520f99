#include "toolkit/CVNTUI_PropertyPage.h"

#include "app/VNTLanguageSelector.h"
#include "framework/Window.h"

PROPSHEETPAGEW CVNTUI_PropertyPage::pageDescription() {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = vnt::resourceModule();
    page.pszTemplate = MAKEINTRESOURCEW(templateId());
    page.pfnDlgProc = &CVNTUI_PropertyPage::PageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

INT_PTR CALLBACK CVNTUI_PropertyPage::PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CVNTUI_PropertyPage* self = static_cast<CVNTUI_PropertyPage*>(fromHandle(hwnd));
    // A page's creation data is its description, which carries the object; a page starts once.
    if (message == WM_INITDIALOG) {
        if (self || !lParam) return FALSE;
        self = reinterpret_cast<CVNTUI_PropertyPage*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
        if (self) self->bind(hwnd);
    }
    if (!self) return FALSE;
    if (vnt::isForeignPointerMessage(hwnd, message, lParam)) return FALSE;
    const INT_PTR result = self->DialogProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) self->unbind();
    return result;
}

INT_PTR CVNTUI_PropertyPage::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        switch (header->code) {
        case PSN_SETACTIVE:
            return SetMessageResult(OnSetActive() ? 0 : -1);
        case PSN_KILLACTIVE:
            return SetMessageResult(OnKillActive() ? FALSE : TRUE);
        case PSN_APPLY:
            return SetMessageResult(OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE);
        case PSN_RESET:
            OnReset();
            return TRUE;
        default:
            break;
        }
    }
    if (message == WM_INITDIALOG) {
        const BOOL focus = OnInitDialog();
        ReloadTexts();
        return focus;
    }
    return CDialogBase::DialogProc(message, wParam, lParam);
}

bool CVNTUI_PropertyPage::SetItemText(UINT controlId, UINT stringId, const std::wstring& suffix) {
    std::wstring text;
    if (!hwnd_ || !VNTLanguageSelector::instance().loadString(stringId, text)) return false;
    text += suffix;
    return SetDlgItemTextW(hwnd_, static_cast<int>(controlId), text.c_str()) != FALSE;
}

bool CVNTUI_PropertyPage::IsChecked(UINT controlId) const {
    return hwnd_ && IsDlgButtonChecked(hwnd_, static_cast<int>(controlId)) == BST_CHECKED;
}

void CVNTUI_PropertyPage::Check(UINT controlId, bool checked) {
    if (hwnd_) CheckDlgButton(hwnd_, static_cast<int>(controlId), checked ? BST_CHECKED : BST_UNCHECKED);
}
