#include "ui/MenuDrawing.h"

#include "framework/Handles.h"
#include "ui/MenuBarLayout.h"

namespace menudraw {

HFONT createMenuFont() {
    return CreateFontW(13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

void fillRect(HDC dc, const RECT& rect, COLORREF colour) {
    vnt::BrushHandle brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.get());
}

void drawSeparator(HDC dc, int x, int height) {
    const int top = menubar::centredTop(height, menubar::kSeparatorHeight);
    fillRect(dc, RECT{x, top, x + menubar::kSeparatorWidth, top + menubar::kSeparatorHeight}, kSeparator);
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
