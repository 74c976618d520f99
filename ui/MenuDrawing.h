// What the menu bar, its items and its panels draw alike: the colours, the font and the
// separators.
#pragma once

#include <windows.h>

#include <string>

#include "ui/DisplayScale.h"
#include "ui/MenuBarLayout.h"

namespace menudraw {

constexpr COLORREF kBackground = RGB(40, 40, 40);
constexpr COLORREF kSeparator = RGB(85, 85, 85);
constexpr COLORREF kTextNormal = RGB(170, 170, 170);
constexpr COLORREF kTextHovered = RGB(255, 255, 255);
constexpr COLORREF kRowHover = RGB(102, 102, 102);
constexpr COLORREF kPanelFrame = RGB(51, 51, 51);

// The DPI the bar and its panels lay out at for a DPI given to them: one the scale cannot take is
// traced and taken as the nearest it can.
int usableDpi(int dpi, const wchar_t* who);

// Tahoma, 13 pixels high at 96 DPI, normal weight, for the DPI; the caller owns it.
HFONT createMenuFont(int dpi);

void fillRect(HDC dc, const RECT& rect, COLORREF colour);
void fillRect(HDC dc, const menubar::Box& rect, COLORREF colour);
// A separator at x, centred on a height of `height`.
void drawSeparator(HDC dc, int x, int height, const skeo::DisplayScale& scale);
// One line of text in the rectangle, vertically centred, transparent; & is no prefix.
void drawLine(HDC dc, HFONT font, COLORREF colour, const std::wstring& text, RECT rect);
// The width of one line of text in the font.
int textWidth(HDC dc, HFONT font, const std::wstring& text);

}  // namespace menudraw
