#include "toolkit/CVNTUI_Window.h"

#include "framework/Handles.h"
#include "framework/Trace.h"

namespace {
const wchar_t kClassName[] = L"VNTUI_Window";
}

bool CVNTUI_Window::Create(HWND owner, int width, int height) {
    width_ = width;
    height_ = height;
    dpi_ = vnt::windowDpi(owner);
    if (!RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW), nullptr) ||
        !CreateEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClassName, L"", WS_POPUP, 0, 0, width, height, owner, 0)) {
        vnt::trace(L"create failed.");
        return false;
    }
    return true;
}

bool CVNTUI_Window::Resize(int width, int height) {
    if (!hwnd_ || width <= 0 || height <= 0) {
        vnt::trace(L"CVNTUI_Window: size %d x %d refused", width, height);
        return false;
    }
    vnt::WindowDC dc(hwnd_);
    if (!backBuffer_.create(dc.get(), width, height)) return false;
    width_ = width;
    height_ = height;
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    OnCreated();
    return true;
}

void CVNTUI_Window::OnCreated() { backBuffer_.fill(background_); }

void CVNTUI_Window::UpdateScreen() {
    if (!hwnd_) return;
    vnt::WindowDC dc(hwnd_);
    backBuffer_.copyTo(dc.get(), 0, 0, width_, height_, 0, 0);
}

LRESULT CVNTUI_Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        vnt::WindowDC dc(hwnd_);
        backBuffer_.create(dc.get(), width_, height_);
        OnCreated();
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        backBuffer_.paint(hwnd_);
        return 0;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}
