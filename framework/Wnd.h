// A window object whose messages reach a virtual WindowProc: windows of classes registered with
// its procedure, and platform controls subclassed after creation (from a dialog template or by
// code). Controls notify their parents; a parent reflects the notifications that belong to the
// control (colours, owner drawing, commands, notify codes, scrolling) back to the control's object.
#pragma once

#include "framework/Window.h"

namespace vnt {

class CWnd : public CWindowBase {
public:
    CWnd() = default;
    ~CWnd() override;

    // Registers a window class whose procedure binds its windows to their objects (once per name).
    static bool RegisterWindowClass(const wchar_t* className, UINT style, HCURSOR cursor, HBRUSH background);

    // Creates a window of a class registered above or of a platform class (which is then subclassed).
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
                  int height, HWND parent, UINT_PTR idOrMenu);
    // Takes over an existing window; false if it is already bound to another object. A window of
    // a class registered above is only bound, its procedure being ours already.
    bool SubclassWindow(HWND hwnd);
    // Subclasses the dialog's control with the given id.
    bool SubclassDlgItem(UINT id, HWND dialog) { return SubclassWindow(GetDlgItem(dialog, static_cast<int>(id))); }
    // Gives the window its own procedure back.
    void UnsubclassWindow();
    void DestroyWindow();

    int GetDlgCtrlID() const { return hwnd_ ? ::GetDlgCtrlID(hwnd_) : 0; }
    HWND GetParent() const { return hwnd_ ? ::GetParent(hwnd_) : nullptr; }
    RECT GetClientRect() const;
    // The window's rectangle in its parent's client coordinates.
    RECT GetRectInParent() const;
    void Invalidate() const {
        if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
    }
    // Asks for WM_MOUSELEAVE once the cursor leaves the window; true when the platform agreed.
    bool TrackMouseLeave() const;

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The procedure the window had before: the class's own for subclassed controls.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // Called when the window's last message has been handled; the object is unbound.
    virtual void OnFinalMessage() {}

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC previous_ = nullptr;
    bool subclassed_ = false;
    bool created_ = false;
};

// The signed point packed into a mouse message's lParam.
inline POINT PointFromLParam(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// Hands a parent's notification to the object of the control it concerns, if that object wants it.
// Returns true with *result set when the control handled it.
bool ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

}  // namespace vnt
