// What an overlay should show, made independently of it: the background with a skin image drawn
// over it, compared with the window's pixels inside its region.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

namespace overlaytest {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

struct Layer {
    UINT pngId;
    int x;
    int y;
};

// The DPI the test's windows are made at (the system's, which the test run sets).
int testDpi();
// The skin image a window at the test's DPI must show for a 100 % id: the 100 % image at 96 DPI,
// the 200 % one (id + 3000) at 192; any other DPI is a run this test does not know (a failure).
UINT skinAt(UINT id);
UINT skinFor(UINT id, int dpi);
// A 96-DPI pixel number at the test's DPI.
int px(int value96);

// The background colour with the PNG resources drawn over it in order; empty when one cannot be loaded.
Picture expectedPicture(const std::vector<Layer>& layers, int width, int height, COLORREF background);
// The window's pixels (after it painted).
Picture windowPicture(HWND window);
// Pixels inside the window's region that differ from the picture (the rest of the window shows nothing of it).
int mismatches(HWND window, const Picture& shown, const Picture& expected);
// The id of the one candidate the visible window shows, 0 for none.
UINT shownImage(HWND window, const std::map<UINT, Picture>& candidates);
// Pixels of the rectangle that differ between two pictures of the same size.
int differences(const Picture& a, const Picture& b, const RECT& area);

}  // namespace overlaytest
