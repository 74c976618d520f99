#include "framework/BackBuffer.h"

namespace vnt {

bool BackBuffer::create(HDC reference, int width, int height) {
    reset();
    if (width <= 0 || height <= 0) return false;
    HDC screen = reference ? nullptr : GetDC(nullptr);
    HDC ref = reference ? reference : screen;
    dc_ = CreateCompatibleDC(ref);
    bitmap_ = dc_ ? CreateCompatibleBitmap(ref, width, height) : nullptr;
    if (screen) ReleaseDC(nullptr, screen);
    if (!bitmap_) {
        reset();
        return false;
    }
    previous_ = SelectObject(dc_, bitmap_);
    width_ = width;
    height_ = height;
    return true;
}

void BackBuffer::reset() {
    if (dc_) {
        if (previous_) SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    previous_ = nullptr;
    width_ = height_ = 0;
}

void BackBuffer::fill(const RECT& rect, COLORREF colour) const {
    if (!dc_) return;
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc_, &rect, brush);
    DeleteObject(brush);
}

bool BackBuffer::copyFrom(HDC source, const RECT& rect) {
    if (!source || !create(source, rect.right - rect.left, rect.bottom - rect.top)) return false;
    return BitBlt(dc_, 0, 0, width_, height_, source, rect.left, rect.top, SRCCOPY) != FALSE;
}

void BackBuffer::copyTo(HDC target, int x, int y, int width, int height, int sourceX, int sourceY) const {
    if (dc_ && target) BitBlt(target, x, y, width, height, dc_, sourceX, sourceY, SRCCOPY);
}

void BackBuffer::paint(HWND window) const {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    copyTo(dc);
    EndPaint(window, &ps);
}

}  // namespace vnt
