// What a window shows, read back pixel by pixel from its device context after it painted; or what
// any device context holds.
#pragma once

#include <windows.h>

#include <vector>

namespace testsupport {

class WindowPixels {
public:
    // Paints the window (and its children) first, then copies its client area.
    explicit WindowPixels(HWND window);
    // Copies the top left width x height of a device context as it is.
    WindowPixels(HDC source, int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    // RGB of a client pixel; 0xFFFFFFFF outside.
    COLORREF at(int x, int y) const;

private:
    void capture(HDC source);

    int width_ = 0;
    int height_ = 0;
    std::vector<DWORD> bits_;
};

// Colour channels within tolerance of each other.
bool closeColour(COLORREF a, COLORREF b, int tolerance = 2);

}  // namespace testsupport
