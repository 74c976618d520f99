#include "toolkit/CSkinScrollWnd.h"

#include <windows.h>
#include <commctrl.h>

#include "framework/Handles.h"
#include "framework/Trace.h"
#include "toolkit/CMemDC_Ex.h"

namespace {
const wchar_t kFrameClass[] = L"VNT_SkinScrollBar";
const wchar_t kInnerClass[] = L"VNT_ListCtrlParent";
constexpr int kColumns = 9;
constexpr int kCornerColumn = 8;

bool sameInfo(const SCROLLINFO& a, const SCROLLINFO& b) {
    return a.nMin == b.nMin && a.nMax == b.nMax && a.nPage == b.nPage && a.nPos == b.nPos;
}
}  // namespace

CSkinScrollWnd::~CSkinScrollWnd() { Detach(); }

bool CSkinScrollWnd::Attach(HBITMAP skin, HWND list) {
    if (list_ || !skin || !list || !IsWindow(list)) return false;
    const int cell = cellOf(skin);
    if (cell <= 0) return false;
    skin_ = skin;
    cell_ = cell;

    originalParent_ = ::GetParent(list);
    GetWindowRect(list, &originalRect_);
    MapWindowPoints(nullptr, originalParent_, reinterpret_cast<POINT*>(&originalRect_), 2);
    originalStyle_ = GetWindowLongPtrW(list, GWL_STYLE);
    originalExStyle_ = GetWindowLongPtrW(list, GWL_EXSTYLE);

    // The frame wears the list's border, so the list inside it shows only its items.
    DWORD frameStyle = WS_CHILD | WS_CLIPCHILDREN | (originalStyle_ & WS_VISIBLE);
    DWORD frameExStyle = 0;
    if (originalStyle_ & WS_BORDER) frameStyle |= WS_BORDER;
    if (originalExStyle_ & WS_EX_CLIENTEDGE) frameExStyle |= WS_EX_CLIENTEDGE;
    SetWindowLongPtrW(list, GWL_STYLE, originalStyle_ & ~static_cast<LONG_PTR>(WS_BORDER));
    SetWindowLongPtrW(list, GWL_EXSTYLE, originalExStyle_ & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
    SetWindowPos(list, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    const UINT id = static_cast<UINT>(::GetDlgCtrlID(list));
    if (!RegisterWindowClass(kFrameClass, CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW), nullptr) ||
        !RegisterWindowClass(kInnerClass, 0, LoadCursorW(nullptr, IDC_ARROW), nullptr) ||
        !CreateEx(frameExStyle, kFrameClass, L"", frameStyle, originalRect_.left, originalRect_.top,
                  originalRect_.right - originalRect_.left, originalRect_.bottom - originalRect_.top, originalParent_, id)) {
        SetWindowLongPtrW(list, GWL_STYLE, originalStyle_);
        SetWindowLongPtrW(list, GWL_EXSTYLE, originalExStyle_);
        return false;
    }
    // Keep the frame where the list was in the tab and drawing order.
    SetWindowPos(hwnd_, list, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    inner_.CreateEx(0, kInnerClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1, 1, hwnd_, kInnerParentId);
    vertical_.Create(hwnd_, kVerticalBarId, true, skin_, 0, 0, cell_, cell_ * 3);
    horizontal_.Create(hwnd_, kHorizontalBarId, false, skin_, 0, 0, cell_ * 3, cell_);

    list_ = list;
    SetParent(list, inner_.hwnd());
    SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    listProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CSkinScrollWnd::ListProc)));
    SetWindowLongPtrW(list, GWL_STYLE, GetWindowLongPtrW(list, GWL_STYLE) | WS_VISIBLE);
    SetTimer(hwnd_, kSyncTimer, kSyncIntervalMs, nullptr);
    SyncBars();
    layout();
    return true;
}

int CSkinScrollWnd::cellOf(HBITMAP skin) {
    BITMAP info{};
    if (!skin || !GetObjectW(skin, sizeof info, &info) || info.bmWidth < kColumns) return 0;
    return info.bmWidth / kColumns;
}

bool CSkinScrollWnd::SetDpi(int dpi, HBITMAP skin) {
    const int cell = cellOf(skin);
    if (cell <= 0 || dpi <= 0) {
        vnt::trace(L"CSkinScrollWnd: skin %p at %d DPI refused, the old one kept", static_cast<void*>(skin), dpi);
        return false;
    }
    skin_ = skin;
    cell_ = cell;
    for (CSkinScrollBar* bar : {&vertical_, &horizontal_}) {
        if (bar->hwnd()) bar->SetDpi(dpi, skin);
    }
    layout();
    return true;
}

void CSkinScrollWnd::Detach() {
    if (!list_) return;
    HWND list = list_;
    list_ = nullptr;
    if (IsWindow(list)) {
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(list, GWLP_WNDPROC)) == &CSkinScrollWnd::ListProc)
            SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc_));
        SetWindowLongPtrW(list, GWLP_USERDATA, 0);
        if (IsWindow(originalParent_)) SetParent(list, originalParent_);
        SetWindowLongPtrW(list, GWL_STYLE, originalStyle_);
        SetWindowLongPtrW(list, GWL_EXSTYLE, originalExStyle_);
        SetWindowPos(list, hwnd_, originalRect_.left, originalRect_.top, originalRect_.right - originalRect_.left,
                     originalRect_.bottom - originalRect_.top, SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    listProc_ = nullptr;
    if (hwnd_) {
        KillTimer(hwnd_, kSyncTimer);
        DestroyWindow();
    }
}

void CSkinScrollWnd::SyncBars() {
    if (!list_) return;
    const LONG_PTR style = GetWindowLongPtrW(list_, GWL_STYLE);
    const bool showV = (style & WS_VSCROLL) != 0;
    const bool showH = (style & WS_HSCROLL) != 0;
    const struct {
        CSkinScrollBar& bar;
        int kind;
    } bars[] = {{vertical_, SB_VERT}, {horizontal_, SB_HORZ}};
    for (const auto& b : bars) {
        if (!b.bar.hwnd() || b.bar.dragging()) continue;
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        if (!::GetScrollInfo(list_, b.kind, &info)) info = SCROLLINFO{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        if (!sameInfo(info, b.bar.GetScrollInfo())) b.bar.SetScrollInfo(info);
    }
    if (showV != showVertical_ || showH != showHorizontal_) {
        showVertical_ = showV;
        showHorizontal_ = showH;
        layout();
    }
}

void CSkinScrollWnd::layout() {
    if (!hwnd_ || !list_) return;
    const RECT client = GetClientRect();
    const int barV = showVertical_ ? cell_ : 0;
    const int barH = showHorizontal_ ? cell_ : 0;
    const int innerW = client.right - barV > 0 ? client.right - barV : 0;
    const int innerH = client.bottom - barH > 0 ? client.bottom - barH : 0;
    SetWindowPos(inner_.hwnd(), nullptr, 0, 0, innerW, innerH, SWP_NOZORDER | SWP_NOACTIVATE);
    // The list is larger than its window by its own bars, which so stay out of sight. Their size is
    // read off the list, which the system draws at the list's DPI.
    const SIZE own = ownBars();
    SetWindowPos(list_, nullptr, 0, 0, innerW + (showVertical_ ? own.cx : 0), innerH + (showHorizontal_ ? own.cy : 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(vertical_.hwnd(), nullptr, innerW, 0, cell_, innerH,
                 SWP_NOZORDER | SWP_NOACTIVATE | (showVertical_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    SetWindowPos(horizontal_.hwnd(), nullptr, 0, innerH, innerW, cell_,
                 SWP_NOZORDER | SWP_NOACTIVATE | (showHorizontal_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    InvalidateRect(hwnd_, nullptr, FALSE);
}

SIZE CSkinScrollWnd::ownBars() const {
    // The list has no border of its own while framed: all that is not client area is its bars.
    RECT window{}, client{};
    GetWindowRect(list_, &window);
    ::GetClientRect(list_, &client);
    SIZE own{(window.right - window.left) - client.right, (window.bottom - window.top) - client.bottom};
    // A list not laid out yet (or squeezed to nothing) tells nothing: the system's sizes then.
    if (!showVertical_ || own.cx <= 0) own.cx = GetSystemMetrics(SM_CXVSCROLL);
    if (!showHorizontal_ || own.cy <= 0) own.cy = GetSystemMetrics(SM_CYHSCROLL);
    return own;
}

void CSkinScrollWnd::paintCorner(HDC target) {
    const RECT client = GetClientRect();
    if (!showVertical_ || !showHorizontal_) return;
    const RECT corner{client.right - cell_, client.bottom - cell_, client.right, client.bottom};
    HDC skinDc = CreateCompatibleDC(target);
    HGDIOBJ old = SelectObject(skinDc, skin_);
    BitBlt(target, corner.left, corner.top, cell_, cell_, skinDc, kCornerColumn * cell_, 0, SRCCOPY);
    SelectObject(skinDc, old);
    DeleteDC(skinDc);
}

void CSkinScrollWnd::forwardScroll(UINT message, WPARAM wParam) {
    if (!list_) return;
    const int code = LOWORD(wParam);
    CSkinScrollBar& bar = message == WM_VSCROLL ? vertical_ : horizontal_;
    // A thumb position goes with its bar, which holds all of it: the message has room for 16 bits.
    const bool thumb = code == SB_THUMBTRACK || code == SB_THUMBPOSITION;
    SendMessageW(list_, message, wParam, thumb ? reinterpret_cast<LPARAM>(bar.hwnd()) : 0);
    if (code == SB_THUMBTRACK) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (::GetScrollInfo(list_, message == WM_VSCROLL ? SB_VERT : SB_HORZ, &info)) bar.SetScrollInfo(info);
}

LRESULT CSkinScrollWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        vnt::PaintDC dc(hwnd_);
        paintCorner(dc.get());
        return 0;
    }
    case WM_SIZE:
        layout();
        return 0;
    case WM_TIMER:
        if (wParam == kSyncTimer) {
            SyncBars();
            return 0;
        }
        break;
    case WM_VSCROLL:
    case WM_HSCROLL:
        forwardScroll(message, wParam);
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd_, kSyncTimer);
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CSkinScrollWnd::InnerParent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CONTEXTMENU:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT: {
        // The list's notifications are meant for the window that placed the list.
        LRESULT result = 0;
        if (vnt::ReflectToControl(message, wParam, lParam, &result)) return result;
        HWND owner = frame_.GetParent();
        return owner ? SendMessageW(owner, message, wParam, lParam) : 0;
    }
    case WM_ERASEBKGND:
        return 1;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CALLBACK CSkinScrollWnd::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* frame = reinterpret_cast<CSkinScrollWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!frame || !frame->listProc_) return DefWindowProcW(hwnd, message, wParam, lParam);
    const LRESULT result = CallWindowProcW(frame->listProc_, hwnd, message, wParam, lParam);
    switch (message) {
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_SIZE:
    case WM_STYLECHANGED:
    case LVM_ENSUREVISIBLE:
    case LVM_SCROLL:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
    case LVM_INSERTITEMW:
        // Whatever may have moved the list's own bars is shown on ours at once, not at the next tick.
        if (frame->list_ == hwnd) frame->SyncBars();
        break;
    case WM_NCDESTROY:
        frame->list_ = nullptr;
        break;
    default:
        break;
    }
    return result;
}
