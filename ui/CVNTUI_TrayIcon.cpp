#include "ui/CVNTUI_TrayIcon.h"

#include <cwchar>

#include "framework/Trace.h"
#include "framework/Window.h"
#include "ui/LocalizedMenu.h"

namespace {

constexpr UINT_PTR kClickTimer = 1000;
constexpr UINT kClickDelayMs = 500;

UINT taskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskBarCreated");
    return message;
}

bool animationEnabled() {
    ANIMATIONINFO info{};
    info.cbSize = sizeof info;
    return SystemParametersInfoW(SPI_GETANIMATION, sizeof info, &info, 0) && info.iMinAnimate != 0;
}

bool hasClass(HWND hwnd, const wchar_t* name) {
    wchar_t buffer[64];
    return GetClassNameW(hwnd, buffer, 64) > 0 && std::wcscmp(buffer, name) == 0;
}

// Narrows the taskbar's rectangle to the notification area, without the clock; stops at the clock.
BOOL CALLBACK cutTrayRect(HWND child, LPARAM param) {
    RECT& rect = *reinterpret_cast<RECT*>(param);
    if (hasClass(child, L"TrayNotifyWnd")) {
        GetWindowRect(child, &rect);
        return TRUE;
    }
    if (!hasClass(child, L"TrayClockWClass")) return TRUE;
    RECT clock;
    GetWindowRect(child, &clock);
    if (clock.bottom < rect.bottom - 5)
        rect.top = clock.bottom;  // vertical taskbar: the clock sits above the icons
    else
        rect.right = clock.left;
    return FALSE;
}

}  // namespace

CVNTUI_TrayIcon::CVNTUI_TrayIcon(UINT templateId) : CDialogBase(templateId) {
    notifyIcon_.cbSize = sizeof(NOTIFYICONDATAW);
    notifyIcon_.uID = 1;
    notifyIcon_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    notifyIcon_.uCallbackMessage = MSG_TRAY_NOTIFY;
}

CVNTUI_TrayIcon::~CVNTUI_TrayIcon() { removeTrayIcon(); }

void CVNTUI_TrayIcon::setTrayTip(const wchar_t* tip) {
    wcsncpy(notifyIcon_.szTip, tip ? tip : L"", sizeof notifyIcon_.szTip / sizeof notifyIcon_.szTip[0] - 1);
}

void CVNTUI_TrayIcon::setTrayIcon(HICON icon) { notifyIcon_.hIcon = icon; }

bool CVNTUI_TrayIcon::setTrayMenu(UINT menuId) {
    menu_.reset(LoadMenuW(vnt::resourceModule(), MAKEINTRESOURCEW(menuId)));
    defaultItem_ = 0;
    return menu_.valid();
}

bool CVNTUI_TrayIcon::addTrayIcon() {
    if (!notifyIcon_.hWnd) return false;
    if (Shell_NotifyIconW(NIM_ADD, &notifyIcon_)) return true;
    vnt::trace(L"CVNTUI_TrayIcon: the notification area refused the icon");
    return false;
}

void CVNTUI_TrayIcon::removeTrayIcon() {
    if (notifyIcon_.hWnd && notifyIcon_.uID) Shell_NotifyIconW(NIM_DELETE, &notifyIcon_);
    notifyIcon_.hWnd = nullptr;
}

INT_PTR CVNTUI_TrayIcon::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        notifyIcon_.hWnd = hwnd();
        break;
    case WM_DESTROY:
        removeTrayIcon();
        break;
    case WM_TIMER:
        if (wParam == kClickTimer) {
            KillTimer(hwnd(), kClickTimer);
            if (!doubleClick_) ShowTrayMenu(lastClick_);
            return TRUE;
        }
        break;
    case MSG_TRAY_NOTIFY:
        onTrayNotify(wParam, lParam);
        return TRUE;
    default:
        if (message == taskbarCreatedMessage() && message != 0) {
            // The shell was restarted and has forgotten our icon.
            addTrayIcon();
            return TRUE;
        }
        break;
    }
    return CDialogBase::DialogProc(message, wParam, lParam);
}

void CVNTUI_TrayIcon::onTrayNotify(WPARAM iconId, LPARAM mouseMessage) {
    if (iconId != notifyIcon_.uID) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    switch (LOWORD(mouseMessage)) {
    case WM_CONTEXTMENU:
    case WM_RBUTTONDOWN:
        ShowTrayMenu(cursor);
        break;
    case WM_MOUSEMOVE:
        OnTrayMouseMove(cursor);
        break;
    case WM_LBUTTONDOWN:
        OnTrayLeftDown(cursor);
        break;
    case WM_LBUTTONDBLCLK:
        OnTrayDoubleClick(cursor);
        break;
    default:
        break;
    }
}

void CVNTUI_TrayIcon::OnTrayLeftDown(POINT point) {
    lastClick_ = point;
    doubleClick_ = false;
    SetTimer(hwnd(), kClickTimer, kClickDelayMs, nullptr);
}

void CVNTUI_TrayIcon::OnTrayDoubleClick(POINT) {
    doubleClick_ = true;
    HMENU popup = menu_ ? GetSubMenu(menu_.get(), 0) : nullptr;
    if (!popup) return;
    const UINT id = GetMenuItemID(popup, static_cast<int>(defaultItem_));
    if (id != static_cast<UINT>(-1)) PostMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void CVNTUI_TrayIcon::ShowTrayMenu(POINT point) {
    HMENU popup = menu_ ? GetSubMenu(menu_.get(), 0) : nullptr;
    if (!popup) return;
    SetMenuDefaultItem(popup, defaultItem_, TRUE);
    TrackTrayPopup(popup, point);
}

void CVNTUI_TrayIcon::TrackTrayPopup(HMENU popup, POINT point) {
    TrackPopupInFront(popup, point, hwnd(), TPM_BOTTOMALIGN | TPM_RIGHTBUTTON);
}

void CVNTUI_TrayIcon::OnTrayMouseMove(POINT) {}

void CVNTUI_TrayIcon::OnCancel() {
    MinimizeToTray();
    ShowWindow(hwnd(), SW_HIDE);
}

RECT CVNTUI_TrayIcon::trayRect() {
    RECT rect{};
    if (HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr)) {
        GetWindowRect(taskbar, &rect);
        // Every window below the taskbar, in order: the clock sits inside the notification area.
        EnumChildWindows(taskbar, &cutTrayRect, reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    APPBARDATA bar{};
    bar.cbSize = sizeof bar;
    if (SHAppBarMessage(ABM_GETTASKBARPOS, &bar)) {
        rect = bar.rc;
        if (bar.uEdge == ABE_LEFT || bar.uEdge == ABE_RIGHT) {
            rect.top = bar.rc.bottom - 100;
            rect.bottom = bar.rc.bottom - 16;
        } else {
            rect.left = bar.rc.right - 100;
            rect.right = bar.rc.right - 16;
        }
        return rect;
    }
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return RECT{work.right - 150, work.bottom - 30, work.right, work.bottom};
}

void CVNTUI_TrayIcon::MinimizeToTray() {
    if (animationEnabled()) {
        RECT from;
        GetWindowRect(hwnd(), &from);
        RECT to = trayRect();
        DrawAnimatedRects(hwnd(), IDANI_CAPTION, &from, &to);
    }
    if (!trayOwner_) {
        trayOwner_.reset(CreateWindowExW(0, L"Static", L"VNT_TrayIcon", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                         vnt::resourceModule(), nullptr));
    }
    // An owned window without the application-window style has no taskbar button.
    if (trayOwner_) SetWindowLongPtrW(hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(trayOwner_.get()));
    SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) & ~WS_EX_APPWINDOW);
    // Clearing WS_VISIBLE alone would leave the window's pixels on the screen.
    ShowWindow(hwnd(), SW_HIDE);
}

void CVNTUI_TrayIcon::RestoreFromTray() {
    if (animationEnabled()) {
        RECT from = trayRect();
        RECT to;
        GetWindowRect(hwnd(), &to);
        DrawAnimatedRects(hwnd(), IDANI_CAPTION, &from, &to);
    }
    SetWindowLongPtrW(hwnd(), GWLP_HWNDPARENT, 0);
    SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_APPWINDOW);
    ShowWindow(hwnd(), SW_SHOW);
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (trayOwner_) SetActiveWindow(trayOwner_.get());
    SetActiveWindow(hwnd());
    SetForegroundWindow(hwnd());
}

void CVNTUI_TrayIcon::BringToFront(HWND window) {
    if (!window) return;
    const DWORD ours = GetCurrentThreadId();
    HWND foreground = GetForegroundWindow();
    const DWORD theirs = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    const bool attached = theirs != 0 && theirs != ours && AttachThreadInput(theirs, ours, TRUE);
    ShowWindow(window, SW_SHOWNORMAL);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    BringWindowToTop(window);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    SetFocus(window);
    if (attached) AttachThreadInput(theirs, ours, FALSE);
}
