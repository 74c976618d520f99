#include "toolkit/CColorStatic.h"

CColorStatic::CColorStatic() : bkColor_(GetSysColor(COLOR_BTNFACE)), brush_(CreateSolidBrush(bkColor_)) {}

void CColorStatic::SetTextColor(COLORREF colour) {
    textColor_ = colour;
    Invalidate();
}

void CColorStatic::SetBkColor(COLORREF colour) {
    bkColor_ = colour;
    brush_.reset(CreateSolidBrush(colour));
    Invalidate();
}

void CColorStatic::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}

void CColorStatic::SetTooltip(const std::wstring& text) { tooltip_.set(hwnd_, text); }

bool CColorStatic::OnReflectedMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    if (message != WM_CTLCOLORSTATIC && message != WM_CTLCOLORBTN) return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, textColor_);
    if (transparent_) {
        SetBkMode(dc, TRANSPARENT);
        *result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    } else {
        ::SetBkColor(dc, bkColor_);
        *result = reinterpret_cast<LRESULT>(brush_.get());
    }
    return true;
}

LRESULT CColorStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // A transparent text changed in place would leave the old one under it: repaint the parent there.
    if (message == WM_SETTEXT && transparent_ && hwnd_ && IsWindowVisible(hwnd_)) {
        const LRESULT result = Default(message, wParam, lParam);
        RECT rc = GetRectInParent();
        InvalidateRect(GetParent(), &rc, TRUE);
        return result;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
