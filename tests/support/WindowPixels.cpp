#include "tests/support/WindowPixels.h"

#include <cstdlib>

namespace testsupport {

WindowPixels::WindowPixels(HWND window) {
    RECT rc{};
    GetClientRect(window, &rc);
    width_ = rc.right;
    height_ = rc.bottom;
    if (width_ <= 0 || height_ <= 0) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC source = GetDC(window);
    capture(source);
    ReleaseDC(window, source);
}

WindowPixels::WindowPixels(HDC source, int width, int height) : width_(width), height_(height) {
    if (width_ > 0 && height_ > 0) capture(source);
}

void WindowPixels::capture(HDC source) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width_, height_, source, 0, 0, SRCCOPY);
    GdiFlush();
    bits_.assign(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width_ * height_);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

COLORREF WindowPixels::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0xFFFFFFFF;
    const DWORD p = bits_[static_cast<size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool closeColour(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

}  // namespace testsupport
