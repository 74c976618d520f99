#include "toolkit/CVNTUI_PropertySheet.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/VNTLanguageSelector.h"
#include "framework/Dpi.h"
#include "framework/Window.h"
#include "toolkit/SheetLayout.h"

namespace {

constexpr UINT kOkTextId = 9001;
constexpr UINT kCancelTextId = 9002;
constexpr UINT kApplyTextId = 9003;
constexpr int kApplyButtonId = 0x3021;  // the sheet's Apply Now button
constexpr int kHelpButtonId = 9;        // IDHELP

// The sheet being created on this thread: the creation callback carries no object of its own.
thread_local CVNTUI_PropertySheet* creatingSheet = nullptr;

void setText(HWND window, UINT stringId) {
    std::wstring text;
    if (window && VNTLanguageSelector::instance().loadString(stringId, text)) SetWindowTextW(window, text.c_str());
}

RECT rectIn(HWND window, HWND parent) {
    RECT rc{};
    GetWindowRect(window, &rc);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

}  // namespace

int CALLBACK CVNTUI_PropertySheet::SheetCallback(HWND hwnd, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED && creatingSheet) creatingSheet->SubclassWindow(hwnd);
    return 0;
}

INT_PTR CVNTUI_PropertySheet::DoModal(HWND owner) {
    if (hwnd_ || pages_.empty()) return -1;
    std::vector<PROPSHEETPAGEW> descriptions;
    for (CVNTUI_PropertyPage* page : pages_) descriptions.push_back(page->pageDescription());
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    // Modeless with a loop of our own: the platform's modal loop would turn Enter and Escape into
    // OK and Cancel before we could see them.
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK | PSH_NOAPPLYNOW;
    header.hwndParent = owner;
    header.hInstance = vnt::resourceModule();
    header.nPages = static_cast<UINT>(descriptions.size());
    header.ppsp = descriptions.data();
    header.pfnCallback = &CVNTUI_PropertySheet::SheetCallback;
    std::wstring caption;
    VNTLanguageSelector::instance().loadString(captionId_, caption);
    header.pszCaption = caption.c_str();

    creatingSheet = this;
    const auto created = reinterpret_cast<HWND>(PropertySheetW(&header));
    creatingSheet = nullptr;
    if (!created || !hwnd_) {
        if (created) ::DestroyWindow(created);
        return -1;
    }
    HWND sheet = hwnd_;
    result_ = IDCANCEL;
    OnInitSheet();
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);

    MSG msg;
    bool quit = false;
    while (IsWindow(sheet) && PropSheet_GetCurrentPageHwnd(sheet) != nullptr) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            break;
        }
        if (takeKey(msg)) continue;
        if (!PropSheet_IsDialogMessage(sheet, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // An OK that a page refused leaves the sheet open: only an OK that closed it counts.
        if (IsWindow(sheet) && PropSheet_GetCurrentPageHwnd(sheet) != nullptr) result_ = IDCANCEL;
    }
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    if (owner) SetActiveWindow(owner);
    if (IsWindow(sheet)) ::DestroyWindow(sheet);
    // The program is ending: the loop that waits for the sheet's owner must see the quit too.
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
    return result_;
}

void CVNTUI_PropertySheet::Close() {
    if (hwnd_) PropSheet_PressButton(hwnd_, PSBTN_CANCEL);
}

bool CVNTUI_PropertySheet::takeKey(const MSG& msg) const {
    if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP && msg.message != WM_CHAR) return false;
    if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) return false;
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    // A control that asks for the key (an open drop-down list closing itself) gets it.
    const auto code = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if (code & DLGC_WANTMESSAGE) return false;
    // Enter presses the focused push button, as Space does; the dialog manager would press the
    // sheet's default button instead.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) &&
        IsWindowEnabled(msg.hwnd))
        SendMessageW(::GetParent(msg.hwnd), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(msg.hwnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(msg.hwnd));
    return true;
}

void CVNTUI_PropertySheet::OnInitSheet() {
    ReloadTexts();
    if (preferredX_ != -1 && preferredY_ != -1) {
        RECT rc{};
        GetWindowRect(hwnd_, &rc);
        SetWindowPos(hwnd_, nullptr, preferredX_, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(GetDlgItem(hwnd_, kHelpButtonId), SW_HIDE);
    ShowWindow(GetDlgItem(hwnd_, kApplyButtonId), SW_HIDE);
    SetDpi(vnt::windowDpi(hwnd_));
}

void CVNTUI_PropertySheet::SetDpi(int dpi) {
    if (!hwnd_) return;
    HWND ok = GetDlgItem(hwnd_, IDOK);
    HWND cancel = GetDlgItem(hwnd_, IDCANCEL);
    if (!ok || !cancel) return;
    const RECT client = GetClientRect();
    const RECT okRect = rectIn(ok, hwnd_);
    const RECT cancelRect = rectIn(cancel, hwnd_);
    const toolkit::SheetButtons place = toolkit::placeSheetButtons(
        client.right, client.bottom, okRect.right - okRect.left, okRect.bottom - okRect.top,
        cancelRect.right - cancelRect.left, cancelRect.bottom - cancelRect.top, skeo::DisplayScale(dpi));
    SetWindowPos(cancel, nullptr, place.cancel.x, place.cancel.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(ok, nullptr, place.ok.x, place.ok.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CVNTUI_PropertySheet::ReloadTexts() {
    if (!hwnd_) return;
    setText(hwnd_, captionId_);
    setText(GetDlgItem(hwnd_, IDOK), kOkTextId);
    setText(GetDlgItem(hwnd_, IDCANCEL), kCancelTextId);
    setText(GetDlgItem(hwnd_, kApplyButtonId), kApplyTextId);
    if (pages_.size() == 1) {
        std::wstring caption;
        HWND tabs = PropSheet_GetTabControl(hwnd_);
        if (tabs && VNTLanguageSelector::instance().loadString(captionId_, caption)) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(caption.c_str());
            TabCtrl_SetItem(tabs, 0, &item);
        }
    }
}

LRESULT CVNTUI_PropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK) result_ = IDOK;
    if (message == PSM_PRESSBUTTON && wParam == PSBTN_OK) result_ = IDOK;
    if (message == WM_DPICHANGED) {
        // The system scales the pages and the buttons from their dialog units; the corner is ours.
        const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        SetDpi(HIWORD(wParam));
        return result;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
