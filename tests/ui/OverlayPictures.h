// What an overlay should show, made independently of it: the background with a skin image drawn
// over it, compared with the window's pixels inside its region.
#pragma once

#include <windows.h>

#include <initializer_list>
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

// The background colour with the PNG resources drawn over it in order; empty when one cannot be loaded.
Picture expectedPicture(std::initializer_list<Layer> layers, int width, int height, COLORREF background);
// The window's pixels (after it painted).
Picture windowPicture(HWND window);
// Pixels inside the window's region that differ from the picture (the rest of the window shows nothing of it).
int mismatches(HWND window, const Picture& shown, const Picture& expected);
// The id of the one candidate the visible window shows, 0 for none.
UINT shownImage(HWND window, const std::map<UINT, Picture>& candidates);
// Pixels of the rectangle that differ between two pictures of the same size.
int differences(const Picture& a, const Picture& b, const RECT& area);

}  // namespace overlaytest
