#include "framework/Wnd.h"

namespace vnt {

CWnd::~CWnd() {
    // A window this object created goes with it; a control it only subclassed goes back to its
    // dialog, which destroys it.
    if (!hwnd_ || !IsWindow(hwnd_)) return;
    HWND hwnd = hwnd_;
    const bool created = created_;
    UnsubclassWindow();
    if (created) ::DestroyWindow(hwnd);
}

bool CWnd::RegisterWindowClass(const wchar_t* className, UINT style, HCURSOR cursor, HBRUSH background) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, className, &wc)) return true;
    wc.style = style;
    wc.lpfnWndProc = &CWnd::StaticWindowProc;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                    int width, int height, HWND parent, UINT_PTR idOrMenu) {
    if (hwnd_) return false;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND hwnd = CreateWindowExW(exStyle, className, text, style, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(idOrMenu), instance, this);
    if (!hwnd) return false;
    created_ = true;
    // A platform class never saw our procedure: take the window over now.
    if (!hwnd_) return SubclassWindow(hwnd);
    return true;
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || hwnd_ || fromHandle(hwnd)) return false;
    bind(hwnd);
    // A window of a class registered here (made by a dialog template, say) already runs our
    // procedure: chaining to it would call ourselves.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == &CWnd::StaticWindowProc) return true;
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWindowProc)));
    subclassed_ = true;
    return true;
}

void CWnd::UnsubclassWindow() {
    if (!hwnd_) return;
    if (subclassed_ && previous_) {
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        unbind();
        previous_ = nullptr;
    }
}

void CWnd::DestroyWindow() {
    if (hwnd_ && IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

bool CWnd::TrackMouseLeave() const {
    if (!hwnd_) return false;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = hwnd_;
    return TrackMouseEvent(&track) != FALSE;
}

RECT CWnd::GetClientRect() const {
    RECT rc{};
    if (hwnd_) ::GetClientRect(hwnd_, &rc);
    return rc;
}

RECT CWnd::GetRectInParent() const {
    RECT rc{};
    if (!hwnd_) return rc;
    GetWindowRect(hwnd_, &rc);
    MapWindowPoints(nullptr, ::GetParent(hwnd_), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ReflectToControl(message, wParam, lParam, &result)) return result;
    return Default(message, wParam, lParam);
}

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    if (previous_) return CallWindowProcW(previous_, hwnd_, message, wParam, lParam);
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* self = nullptr;
    self = static_cast<CWnd*>(fromHandle(hwnd));
    // Only the creation itself binds: a creation message sent later by anyone else carries a
    // number, not our object.
    if (!self && message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = static_cast<CWnd*>(create->lpCreateParams);
        if (self && !self->hwnd_) self->bind(hwnd);
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (isForeignPointerMessage(hwnd, message, lParam)) return 0;
    const LRESULT result = self->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->unbind();
        self->previous_ = nullptr;
        self->subclassed_ = false;
        self->created_ = false;
        self->OnFinalMessage();
    }
    return result;
}

bool ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    HWND control = nullptr;
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
        control = reinterpret_cast<HWND>(lParam);
        break;
    case WM_DRAWITEM:
        if (wParam != 0) control = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
        break;
    case WM_NOTIFY:
        control = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
        control = reinterpret_cast<HWND>(lParam);
        break;
    default:
        return false;
    }
    CWindowBase* object = CWindowBase::fromHandle(control);
    return object && object->OnReflectedMessage(message, wParam, lParam, result);
}

}  // namespace vnt
