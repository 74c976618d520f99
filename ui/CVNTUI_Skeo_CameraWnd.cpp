#include "ui/CVNTUI_Skeo_CameraWnd.h"

namespace {

const wchar_t kClassName[] = L"VNTUI_Skeo_CameraWnd";

}  // namespace

CVNTUI_Skeo_CameraWnd::~CVNTUI_Skeo_CameraWnd() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool CVNTUI_Skeo_CameraWnd::create(HWND parent, int id, const RECT& rect, HWND notifyWindow) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    if (!GetClassInfoW(instance, kClassName, &wc)) {
        wc.lpfnWndProc = &CVNTUI_Skeo_CameraWnd::windowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = kClassName;
        if (!RegisterClassW(&wc)) return false;
    }
    notify_ = notifyWindow;
    // Clipped from its siblings and children: the renderer's own windows must not be painted over.
    hwnd_ = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect.left,
                            rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    return hwnd_ != nullptr;
}

LRESULT CALLBACK CVNTUI_Skeo_CameraWnd::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CVNTUI_Skeo_CameraWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_LBUTTONDOWN && self && self->notify_) {
        PostMessageW(self->notify_, MSG_CAMERA_CLICKED, 0, 0);
        return 0;
    }
    if (message == WM_NCDESTROY && self) self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
