// The DPI a window is drawn at. Per-monitor where the system has it (Windows 10 1607 and later),
// the system DPI elsewhere; calls that older systems lack are looked up at run time.
#pragma once

#include <windows.h>

// Older headers lack it; the message is the same number everywhere.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace vnt {

constexpr int kBaseDpi = 96;

// The DPI the system lays windows out at (LOGPIXELSY of the screen).
int systemDpi();

// The DPI of the monitor a window is on, as the system reports it to this program; the system DPI
// where the system has no per-window DPI, or for no window.
int windowDpi(HWND hwnd);

// A 96-DPI pixel number at dpi, rounded as the system's MulDiv rounds.
int scalePx(int value, int dpi);

// A font of the given 96-DPI cell height (negative: character height, as LOGFONT) at dpi.
HFONT createFont(const wchar_t* face, int height96, int weight, int dpi);

}  // namespace vnt
