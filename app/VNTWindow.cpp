#include "app/VNTWindow.h"

#include <cwchar>
#include <map>

#include "framework/Trace.h"
#include "framework/Window.h"

namespace {

// Registered during static initialisation, before any VNTWindow can exist.
const UINT g_regMessage = RegisterWindowMessageW(L"Vantor-REG-Object");
const UINT g_deregMessage = RegisterWindowMessageW(L"Vantor-DEREG-Object");

// Window-to-object table, used on the user-interface thread only. Created on the first message any
// such window receives; destroyed at process exit, after which lookups find nothing.
struct WindowTable {
    std::map<HWND, VNTWindow*> map;
    static bool& alive() {
        static bool flag = false;
        return flag;
    }
    WindowTable() { alive() = true; }
    ~WindowTable() { alive() = false; }
};

WindowTable* windowTable() {
    static WindowTable table;
    return WindowTable::alive() ? &table : nullptr;
}

// The object whose window is being bound or unbound right now. The registered messages are open to
// every program on the desktop: one that did not come from our own constructor or destructor would
// bind a window to any number, or take an object's window away.
const VNTWindow* g_binding = nullptr;

}  // namespace

UINT VNTWindow::registerMessage() { return g_regMessage; }
UINT VNTWindow::deregisterMessage() { return g_deregMessage; }

VNTWindow::VNTWindow() {
    wchar_t name[48];
    std::swprintf(name, sizeof name / sizeof name[0], L"VNTObject:0x%llX",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(this)));
    className_ = name;
    instance_ = GetModuleHandleW(nullptr);

    windowClass_.style = 0;
    windowClass_.lpfnWndProc = &VNTWindow::sharedWindowProc;
    windowClass_.hInstance = instance_;
    windowClass_.lpszClassName = className_.c_str();
    if (!RegisterClassW(&windowClass_)) return;

    window_ = CreateWindowExW(0, className_.c_str(), L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this);
    if (!window_) return;
    g_binding = this;
    SendMessageW(window_, g_regMessage, 0, reinterpret_cast<LPARAM>(this));
    g_binding = nullptr;
}

VNTWindow::~VNTWindow() {
    if (window_) {
        g_binding = this;
        SendMessageW(window_, g_deregMessage, 0, 0);
        g_binding = nullptr;
        DestroyWindow(window_);
        window_ = nullptr;
    }
    UnregisterClassW(className_.c_str(), instance_);
}

LRESULT VNTWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) return onTimer(static_cast<UINT_PTR>(wParam));
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int VNTWindow::onTimer(UINT_PTR) { return 0; }

LRESULT CALLBACK VNTWindow::sharedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowTable* table = windowTable();
    if (message == g_regMessage || message == g_deregMessage) {
        const auto found = table ? table->map.find(hwnd) : std::map<HWND, VNTWindow*>::iterator();
        const bool bound = table && found != table->map.end();
        const bool ours = message == g_regMessage ? !bound && g_binding &&
                                                        reinterpret_cast<const VNTWindow*>(lParam) == g_binding
                                                  : bound && found->second == g_binding;
        if (!ours) {
            vnt::trace(L"VNTWindow: a binding message from elsewhere ignored");
            return 0;
        }
        if (message == g_regMessage)
            table->map[hwnd] = const_cast<VNTWindow*>(g_binding);
        else
            table->map.erase(found);
        return 0;
    }
    if (vnt::isForeignPointerMessage(hwnd, message, lParam)) return 0;
    if (table) {
        auto it = table->map.find(hwnd);
        if (it != table->map.end()) return it->second->windowProc(hwnd, message, wParam, lParam);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
