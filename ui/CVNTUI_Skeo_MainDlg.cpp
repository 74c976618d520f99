#include "ui/CVNTUI_Skeo_MainDlg.h"

#include "app/VNTLanguageSelector.h"
#include "framework/Trace.h"
#include "framework/Window.h"
#include "resources/StringIds.h"
#include "resources/resource.h"
#include "ui/LocalizedMenu.h"

namespace {

constexpr COLORREF kPanelColour = RGB(40, 40, 40);
constexpr COLORREF kHeaderColour = RGB(61, 179, 204);
constexpr COLORREF kHeaderOutline = RGB(6, 149, 196);
constexpr int kHeaderHeight = 50;
constexpr int kPhotoExtra = 114;
constexpr int kCameraViewId = 1000;

HICON loadIcon(UINT id, int size) {
    return static_cast<HICON>(LoadImageW(vnt::resourceModule(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

}  // namespace

CVNTUI_Skeo_MainDlg::CVNTUI_Skeo_MainDlg() : CVNTUI_TrayIcon(IDD_SKEO_MAINDLG) {}

CVNTUI_Skeo_MainDlg::~CVNTUI_Skeo_MainDlg() = default;

BOOL CVNTUI_Skeo_MainDlg::OnInitDialog() {
    bigIcon_.reset(loadIcon(IDI_SKEO, GetSystemMetrics(SM_CXICON)));
    smallIcon_.reset(loadIcon(IDI_SKEO, GetSystemMetrics(SM_CXSMICON)));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

    trayIcon_.reset(loadIcon(IDI_SKEO_TRAY, GetSystemMetrics(SM_CXSMICON)));
    setTrayTip(L"Skeo");
    setTrayIcon(trayIcon_.get());
    setTrayMenu(IDR_TRAY_MENU);
    addTrayIcon();

    SetWindowTextW(hwnd(), L"Skeo");
    SetWindowLongPtrW(hwnd(), GWL_STYLE, GetWindowLongPtrW(hwnd(), GWL_STYLE) | WS_MINIMIZEBOX);

    windowRect_ = RECT{0, 0, 694, 692};
    // Camera mode's layout of a 694 x 578 window: the picture at (51, 74), 640 x 480.
    cameraView_.create(hwnd(), kCameraViewId, RECT{51, 74, 51 + 640, 74 + 480}, hwnd());
    EnterCameraMode();
    CenterOnScreen();
    ReloadTexts();
    return TRUE;
}

void CVNTUI_Skeo_MainDlg::EnterCameraMode() {
    if (mode_ == ModeCamera) return;
    if (mode_ == ModePhoto) windowRect_.bottom -= kPhotoExtra;
    mode_ = ModeCamera;
    SetWindowPos(hwnd(), nullptr, 0, 0, windowRect_.right - windowRect_.left, windowRect_.bottom - windowRect_.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void CVNTUI_Skeo_MainDlg::ReloadTexts() {}

INT_PTR CVNTUI_Skeo_MainDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        onPaint();
        return TRUE;
    case WM_ERASEBKGND:
        return SetMessageResult(1);
    case WM_WINDOWPOSCHANGING:
        onWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
        return FALSE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            OnCloseButton();
            return TRUE;
        }
        break;
    case WM_NCHITTEST: {
        // The whole surface outside the child controls drags the window.
        const LRESULT hit = DefWindowProcW(hwnd(), message, wParam, lParam);
        return SetMessageResult(hit == HTCLIENT ? HTCAPTION : hit);
    }
    case WM_QUIT:
        OnOK();
        return SetMessageResult(0);
    default:
        break;
    }
    return CVNTUI_TrayIcon::DialogProc(message, wParam, lParam);
}

bool CVNTUI_Skeo_MainDlg::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case ID_TRAY_OPEN:
        OnTrayOpen();
        return true;
    case ID_TRAY_ABOUT:
        OnTrayAbout();
        return true;
    case ID_TRAY_CLOSE:
        OnOK();
        return true;
    case IDOK:
        // Enter is not a way out of the program; it becomes the snapshot key in camera mode.
        return true;
    default:
        return CVNTUI_TrayIcon::OnCommand(id, code, control);
    }
}

void CVNTUI_Skeo_MainDlg::OnOK() {
    vnt::trace(L"CVNTUI_Skeo_MainDlg: OK path, ending the program");
    EndDialog(IDOK);
}

void CVNTUI_Skeo_MainDlg::OnCloseButton() {
    EnterCameraMode();
    MinimizeToTray();
    ShowWindow(hwnd(), SW_HIDE);
}

void CVNTUI_Skeo_MainDlg::OnTrayOpen() {
    if (!IsWindowVisible(hwnd())) RestoreFromTray();
    EnterCameraMode();
    BringToFront(hwnd());
    CenterOnScreen();
}

void CVNTUI_Skeo_MainDlg::ShowTrayMenu(POINT point) {
    static const MenuItemText kTexts[] = {
        {ID_TRAY_OPEN, IDS_TRAY_OPEN}, {ID_TRAY_ABOUT, IDS_TRAY_ABOUT}, {ID_TRAY_CLOSE, IDS_TRAY_CLOSE}};
    vnt::MenuHandle menu = LoadLocalizedMenu(IDR_TRAY_MENU, kTexts, 3);
    HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup) return;
    SetMenuDefaultItem(popup, ID_TRAY_OPEN, FALSE);
    TrackTrayPopup(popup, point);
}

void CVNTUI_Skeo_MainDlg::onWindowPosChanging(WINDOWPOS* pos) {
    if (!startHidden_ || !pos || !(pos->flags & SWP_SHOWWINDOW)) return;
    startHidden_ = 0;
    pos->flags &= ~SWP_SHOWWINDOW;
    vnt::trace(L"CVNTUI_Skeo_MainDlg: started at log-on, staying in the notification area");
}

void CVNTUI_Skeo_MainDlg::onPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT client;
    GetClientRect(hwnd(), &client);
    const int w = client.right;
    const int h = client.bottom;

    // Paint into a back buffer and copy it, so that nothing flickers while the window is dragged.
    HDC memory = CreateCompatibleDC(dc);
    vnt::BitmapHandle buffer(CreateCompatibleBitmap(dc, w, h));
    HGDIOBJ old = SelectObject(memory, buffer.get());

    vnt::BrushHandle panel(CreateSolidBrush(kPanelColour));
    FillRect(memory, &client, panel.get());
    RECT header{0, 0, w, kHeaderHeight};
    vnt::BrushHandle band(CreateSolidBrush(kHeaderColour));
    FillRect(memory, &header, band.get());

    vnt::UniqueHandle<vnt::GdiObjectTraits<HPEN>> pen(CreatePen(PS_SOLID, 1, kHeaderOutline));
    HGDIOBJ oldPen = SelectObject(memory, pen.get());
    const POINT outline[] = {{48, 2}, {50, 0}, {w - 2, 0}, {w - 1, 2}, {w - 1, 49}, {48, 49}, {48, 2}};
    Polyline(memory, outline, sizeof outline / sizeof outline[0]);
    SelectObject(memory, oldPen);

    BitBlt(dc, 0, 0, w, h, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    EndPaint(hwnd(), &ps);
}
