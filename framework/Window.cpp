#include "framework/Window.h"

#include "framework/Dpi.h"
#include "framework/Trace.h"

namespace vnt {
namespace {
// A window property, not GWLP_USERDATA: controls we subclass may use their user data themselves.
const wchar_t kObjectProperty[] = L"VNT.Object";
}  // namespace

CWindowBase::~CWindowBase() { unbind(); }

bool isForeignPointerMessage(HWND hwnd, UINT message, LPARAM lParam) {
    // The messages whose lParam points at a record the receiver reads.
    size_t size = 0;
    if (message == WM_NOTIFY) size = sizeof(NMHDR);
    else if (message == WM_DPICHANGED) size = sizeof(RECT);
    else return false;
    // Our own notifications always point at readable memory of ours; the number another program sends
    // is looked up, never read.
    MEMORY_BASIC_INFORMATION region{};
    const auto* address = reinterpret_cast<const BYTE*>(lParam);
    const bool readable =
        address && VirtualQuery(address, &region, sizeof region) == sizeof region && region.State == MEM_COMMIT &&
        !(region.Protect & (PAGE_NOACCESS | PAGE_GUARD)) &&
        address + size <= static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
    if (readable) return false;
    trace(L"Window %p: message 0x%04x without a record of this program ignored", static_cast<void*>(hwnd), message);
    return true;
}

void CWindowBase::bind(HWND hwnd) {
    hwnd_ = hwnd;
    if (hwnd_) SetPropW(hwnd_, kObjectProperty, this);
}

void CWindowBase::unbind() {
    if (hwnd_ && IsWindow(hwnd_) && GetPropW(hwnd_, kObjectProperty) == this) RemovePropW(hwnd_, kObjectProperty);
    hwnd_ = nullptr;
}

CWindowBase* CWindowBase::fromHandle(HWND hwnd) {
    return hwnd ? static_cast<CWindowBase*>(GetPropW(hwnd, kObjectProperty)) : nullptr;
}

void CWindowBase::CenterOnScreen() {
    if (!hwnd_) return;
    RECT rc;
    GetWindowRect(hwnd_, &rc);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &mi)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &mi.rcWork, 0);
    }
    const int w = rc.right - rc.left;
    const int h = rc.bottom - rc.top;
    const int x = mi.rcWork.left + ((mi.rcWork.right - mi.rcWork.left) - w) / 2;
    const int y = mi.rcWork.top + ((mi.rcWork.bottom - mi.rcWork.top) - h) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HINSTANCE resourceModule() { return GetModuleHandleW(nullptr); }

}  // namespace vnt
