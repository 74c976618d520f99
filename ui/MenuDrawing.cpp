#include "ui/MenuDrawing.h"

#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "framework/Trace.h"

namespace menudraw {

int usableDpi(int dpi, const wchar_t* who) {
    const int usable = skeo::DisplayScale(dpi).dpi();
    if (usable != dpi) vnt::trace(L"%ls: DPI %d taken as %d", who, dpi, usable);
    return usable;
}

HFONT createMenuFont(int dpi) { return vnt::createFont(L"Tahoma", 13, FW_NORMAL, dpi); }

void fillRect(HDC dc, const RECT& rect, COLORREF colour) {
    vnt::BrushHandle brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.get());
}

void fillRect(HDC dc, const menubar::Box& rect, COLORREF colour) {
    fillRect(dc, RECT{rect.left, rect.top, rect.right, rect.bottom}, colour);
}

void drawSeparator(HDC dc, int x, int height, const skeo::DisplayScale& scale) {
    fillRect(dc, menubar::separatorAt(x, height, scale), kSeparator);
}

void drawLine(HDC dc, HFONT font, COLORREF colour, const std::wstring& text, RECT rect) {
    if (text.empty()) return;
    const HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
}

int textWidth(HDC dc, HFONT font, const std::wstring& text) {
    if (text.empty()) return 0;
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    return size.cx;
}

}  // namespace menudraw
