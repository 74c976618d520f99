#include "toolkit/CMemDC_Ex.h"

CMemDC_Ex::CMemDC_Ex(HDC target, const RECT* rect) : target_(target) {
    if (rect && !IsRectEmpty(rect)) {
        rect_ = *rect;
    } else {
        GetClipBox(target, &rect_);
    }
    // A printer context gets the drawing directly: its pages are not screen-compatible bitmaps.
    if (GetDeviceCaps(target, TECHNOLOGY) == DT_RASPRINTER || IsRectEmpty(&rect_)) return;
    memory_ = CreateCompatibleDC(target);
    bitmap_ = memory_ ? CreateCompatibleBitmap(target, rect_.right - rect_.left, rect_.bottom - rect_.top) : nullptr;
    if (!bitmap_) {
        if (memory_) DeleteDC(memory_);
        memory_ = nullptr;
        return;
    }
    previous_ = SelectObject(memory_, bitmap_);
    SetWindowOrgEx(memory_, rect_.left, rect_.top, nullptr);
}

CMemDC_Ex::~CMemDC_Ex() {
    if (!memory_) return;
    BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, memory_, rect_.left,
           rect_.top, SRCCOPY);
    SelectObject(memory_, previous_);
    DeleteDC(memory_);
    DeleteObject(bitmap_);
}
