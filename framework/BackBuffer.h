// A memory device context with a bitmap of a fixed size selected into it: the off-screen surface
// an owner-drawn window paints into and copies to the screen.
#pragma once

#include <windows.h>

namespace vnt {

class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer() { reset(); }
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // Compatible with the reference context (the screen when null); replaces any earlier surface.
    bool create(HDC reference, int width, int height);
    void reset();

    bool valid() const { return dc_ != nullptr; }
    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void fill(COLORREF colour) const { fill(RECT{0, 0, width_, height_}, colour); }
    void fill(const RECT& rect, COLORREF colour) const;
    // Copies the whole surface (or the given part of it) to the target at (x, y).
    void copyTo(HDC target, int x = 0, int y = 0) const { copyTo(target, x, y, width_, height_, 0, 0); }
    void copyTo(HDC target, int x, int y, int width, int height, int sourceX, int sourceY) const;
    // A new surface holding the source's pixels of that rectangle.
    bool copyFrom(HDC source, const RECT& rect);
    // The whole of a window's paint: the surface copied to its client area.
    void paint(HWND window) const;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace vnt
