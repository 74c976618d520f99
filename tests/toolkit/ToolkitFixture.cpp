#include "tests/toolkit/ToolkitFixture.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "framework/Handles.h"

namespace toolkittest {

vnt::GdiplusSession* ToolkitTest::gdiplus_ = nullptr;
HostWindow* ToolkitTest::host_ = nullptr;

namespace {
BOOL CALLBACK destroyChild(HWND child, LPARAM host) {
    if (GetParent(child) == reinterpret_cast<HWND>(host)) DestroyWindow(child);
    return TRUE;
}
}  // namespace

::testing::AssertionResult textFits(HWND control) {
    wchar_t text[512];
    const int length = GetWindowTextW(control, text, 512);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, 0, 0};
    DrawTextW(dc, text, length, &needed, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    RECT box{};
    GetClientRect(control, &box);
    if (needed.right <= box.right && needed.bottom <= box.bottom) return ::testing::AssertionSuccess();
    std::string narrow;
    for (int i = 0; i < length; ++i) narrow += text[i] < 128 ? static_cast<char>(text[i]) : '?';
    return ::testing::AssertionFailure() << "\"" << narrow << "\" needs " << needed.right << " x " << needed.bottom
                                         << ", its box is " << box.right << " x " << box.bottom;
}

bool HostWindow::create(int width, int height, COLORREF background) {
    if (!RegisterWindowClass(L"VNT_ToolkitTestHost", 0, LoadCursorW(nullptr, IDC_ARROW), nullptr)) return false;
    if (!CreateEx(0, L"VNT_ToolkitTestHost", L"Toolkit", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, width, height,
                  nullptr, 0))
        return false;
    backBuffer_.create(nullptr, width, height);
    backBuffer_.fill(background);
    return true;
}

bool HostWindow::resize(int width, int height, COLORREF background) {
    if (!SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)) return false;
    if (!backBuffer_.create(nullptr, width, height)) return false;
    backBuffer_.fill(background);
    return true;
}

LRESULT HostWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER || std::find(alsoRecorded_.begin(), alsoRecorded_.end(), message) != alsoRecorded_.end())
        records_.push_back({message, wParam, lParam});
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        backBuffer_.paint(hwnd_);
        return 0;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

void ToolkitTest::SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    gdiplus_ = new vnt::GdiplusSession;
    ASSERT_TRUE(gdiplus_->startup());
}

void ToolkitTest::TearDownTestSuite() {
    delete host_;
    host_ = nullptr;
    delete gdiplus_;
    gdiplus_ = nullptr;
}

void ToolkitTest::SetUp() {
    ASSERT_TRUE(registry_.active());
    if (!host_) {
        host_ = new HostWindow;
        ASSERT_TRUE(host_->create(720, 480));
    }
    host_->backBuffer().fill(kPanel);
    host_->records().clear();
    InvalidateRect(host_->hwnd(), nullptr, FALSE);
    pump();
}

void ToolkitTest::TearDown() {
    // Whatever a test left on the host goes, so the next test starts on an empty window.
    if (host_) EnumChildWindows(host_->hwnd(), &destroyChild, reinterpret_cast<LPARAM>(host_->hwnd()));
    pump();
}

void ToolkitTest::pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace toolkittest
