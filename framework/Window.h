// Base of every window object: binds a window handle to its C++ object, so that messages reach a
// virtual procedure and child controls can be found from their handles.
#pragma once

#include <windows.h>

namespace vnt {

class CWindowBase {
public:
    CWindowBase() = default;
    virtual ~CWindowBase();
    CWindowBase(const CWindowBase&) = delete;
    CWindowBase& operator=(const CWindowBase&) = delete;

    HWND hwnd() const { return hwnd_; }

    // The object bound to a window, or null.
    static CWindowBase* fromHandle(HWND hwnd);

    // Centres the window on the work area of the monitor it is on.
    void CenterOnScreen();

    // A notification the parent received about this window (see ReflectToControl); true with
    // *result set when handled.
    virtual bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) { return false; }

protected:
    void bind(HWND hwnd);
    void unbind();

    HWND hwnd_ = nullptr;
};

// The module whose resources (dialogs, menus, icons, strings) the program uses.
HINSTANCE resourceModule();

// A notification (or DPI change) whose lParam is no record of this process: the system carries such a
// pointer across processes as it is, so another program can send any number there. Traced when true.
bool isForeignPointerMessage(HWND hwnd, UINT message, LPARAM lParam);

}  // namespace vnt
