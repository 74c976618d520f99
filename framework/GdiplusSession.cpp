#include "framework/GdiplusSession.h"

#include "framework/Gdiplus.h"

namespace vnt {

bool GdiplusSession::startup() {
    if (token_ != 0) return true;
    Gdiplus::GdiplusStartupInput input;  // version 1, no callback, nothing suppressed
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    token_ = token;
    return true;
}

void GdiplusSession::shutdown() {
    if (token_ == 0) return;
    Gdiplus::GdiplusShutdown(token_);
    token_ = 0;
}

}  // namespace vnt
