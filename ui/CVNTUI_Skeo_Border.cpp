#include "ui/CVNTUI_Skeo_Border.h"

#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "ui/DisplayScale.h"

namespace {

const COLORREF kStripColour = RGB(40, 40, 40);
constexpr UINT kGripImage = 409;
constexpr int kGripSize = 6;

}  // namespace

const wchar_t CVNTUI_Skeo_Border::kClassName[] = L"VNTSkeo_BORDER";

bool CVNTUI_Skeo_Border::RegisterBorderClass() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    if (GetClassInfoW(instance, kClassName, &wc)) return true;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassW(&wc) != 0;
}

bool CVNTUI_Skeo_Border::Create(HWND parent, UINT id, const RECT& rect) {
    if (!RegisterBorderClass()) return false;
    HWND strip = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!strip) return false;
    if (Attach(strip)) return true;
    ::DestroyWindow(strip);
    return false;
}

bool CVNTUI_Skeo_Border::Attach(HWND strip) {
    if (!SubclassWindow(strip)) return false;
    OnAttached();
    return true;
}

LRESULT CVNTUI_Skeo_Border::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        if (cursor_ && LOWORD(lParam) == HTCLIENT) {
            SetCursor(cursor_);
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        SetCapture(hwnd_);
        break;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd_) ReleaseCapture();
        break;
    case WM_MOUSEMOVE: {
        if (!tracking_) tracking_ = TrackMouseLeave() ? 1 : 0;
        // Forwarded whenever we hold the mouse, so that leaving the strip mid-drag loses no move.
        if (wParam == MK_LBUTTON && GetCapture() == hwnd_) {
            POINT point = vnt::PointFromLParam(lParam);
            ClientToScreen(hwnd_, &point);
            SendMessageW(GetParent(), WM_MOUSEMOVE, MK_LBUTTON,
                         MAKELPARAM(static_cast<short>(point.x), static_cast<short>(point.y)));
        }
        break;
    }
    case WM_MOUSELEAVE:
        tracking_ = 0;
        break;
    case WM_ERASEBKGND:
        fill(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PAINT: {
        // Also here: the strip may have been erased with the class's brush before it was ours.
        vnt::PaintDC paint(hwnd_);
        fill(paint.get());
        return 0;
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CVNTUI_Skeo_Border::fill(HDC dc) const {
    RECT client = GetClientRect();
    vnt::BrushHandle brush(CreateSolidBrush(kStripColour));
    FillRect(dc, &client, brush.get());
}

void CVNTUI_Skeo_BorderResizeAid::OnAttached() { SetDpi(vnt::windowDpi(hwnd_)); }

void CVNTUI_Skeo_BorderResizeAid::SetDpi(int dpi) {
    if (dpi <= 0) return;
    dpi_ = dpi;
    gripSize_ = skeo::DisplayScale(dpi).px(kGripSize);
    grip_.LoadForDpi(kGripImage, dpi);
    vnt::WindowDC screen(nullptr);
    if (!buffer_.create(screen.get(), gripSize_, gripSize_)) return;
    buffer_.fill(kStripColour);
    grip_.draw(buffer_.dc(), 0, 0);
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT CVNTUI_Skeo_BorderResizeAid::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        vnt::PaintDC paint(hwnd_);
        if (buffer_.valid()) buffer_.copyTo(paint.get());
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return CVNTUI_Skeo_Border::WindowProc(message, wParam, lParam);
}
