// Double buffering for one paint: drawing goes to a memory context whose origin matches the
// target's, and the rectangle is copied to the target when the object goes out of scope.
#pragma once

#include <windows.h>

class CMemDC_Ex {
public:
    // An empty rectangle means the target's clip box.
    CMemDC_Ex(HDC target, const RECT* rect = nullptr);
    ~CMemDC_Ex();
    CMemDC_Ex(const CMemDC_Ex&) = delete;
    CMemDC_Ex& operator=(const CMemDC_Ex&) = delete;

    // Where to draw: the memory context, or the target itself when printing or out of memory.
    HDC dc() const { return memory_ ? memory_ : target_; }
    operator HDC() const { return dc(); }
    const RECT& rect() const { return rect_; }

private:
    HDC target_;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    RECT rect_{};
};
