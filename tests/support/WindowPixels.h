// What a window shows, read back pixel by pixel from its device context after it painted.
#pragma once

#include <windows.h>

#include <vector>

namespace testsupport {

class WindowPixels {
public:
    // Paints the window (and its children) first, then copies its client area.
    explicit WindowPixels(HWND window);

    int width() const { return width_; }
    int height() const { return height_; }
    // RGB of a client pixel; 0xFFFFFFFF outside.
    COLORREF at(int x, int y) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<DWORD> bits_;
};

// Colour channels within tolerance of each other.
bool closeColour(COLORREF a, COLORREF b, int tolerance = 2);

}  // namespace testsupport
