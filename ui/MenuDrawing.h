// What the menu bar, its items and its panels draw alike: the colours, the font and the
// separators.
#pragma once

#include <windows.h>

#include <string>

namespace menudraw {

constexpr COLORREF kBackground = RGB(40, 40, 40);
constexpr COLORREF kSeparator = RGB(85, 85, 85);
constexpr COLORREF kTextNormal = RGB(170, 170, 170);
constexpr COLORREF kTextHovered = RGB(255, 255, 255);
constexpr COLORREF kRowHover = RGB(102, 102, 102);
constexpr COLORREF kPanelFrame = RGB(51, 51, 51);

// Tahoma, 13 pixels high, normal weight; the caller owns it.
HFONT createMenuFont();

void fillRect(HDC dc, const RECT& rect, COLORREF colour);
// A 2 x 17 separator at x, centred on a height of `height`.
void drawSeparator(HDC dc, int x, int height);
// One line of text in the rectangle, vertically centred, transparent; & is no prefix.
void drawLine(HDC dc, HFONT font, COLORREF colour, const std::wstring& text, RECT rect);
// The width of one line of text in the font.
int textWidth(HDC dc, HFONT font, const std::wstring& text);

}  // namespace menudraw
