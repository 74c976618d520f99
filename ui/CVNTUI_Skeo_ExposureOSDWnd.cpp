#include "ui/CVNTUI_Skeo_ExposureOSDWnd.h"

#include "framework/Trace.h"
#include "resources/resource.h"
#include "ui/OverlayRegion.h"

namespace {
constexpr UINT kLevelImage = 460;      // EXP alone; 460 + n shows level n
constexpr UINT kFirstStepImage = 480;  // +2, +1, 0, -1, -2
constexpr int kMaxLevel = 15;
}  // namespace

UINT CVNTUI_Skeo_ExposureOSDWnd::imageFor(int value) {
    if (value >= ID_EXPOSURE_PLUS2 && value <= ID_EXPOSURE_MINUS2) return kFirstStepImage + (value - ID_EXPOSURE_PLUS2);
    if (value >= 0 && value <= kMaxLevel) return kLevelImage + value;
    return 0;
}

void CVNTUI_Skeo_ExposureOSDWnd::OnCreated() {
    picture_.LoadForDpi(kLevelImage, dpi());
    overlay::setOctagonRegion(hwnd_, width_, height_, scale());
    CVNTUI_Skeo_OverlayWnd::OnCreated();
}

void CVNTUI_Skeo_ExposureOSDWnd::OnDpiChanged() {
    if (!IsWindowVisible(hwnd_) || !shown_) return;
    drawValue(shown_);
    UpdateScreen();
}

bool CVNTUI_Skeo_ExposureOSDWnd::drawValue(UINT image) {
    backBuffer_.fill(background_);
    // A missing image leaves the background alone.
    if (!picture_.LoadForDpi(image, dpi())) return false;
    picture_.draw(backBuffer_.dc(), 0, 0);
    shown_ = image;
    return true;
}

void CVNTUI_Skeo_ExposureOSDWnd::ShowValue(int value) {
    if (!hwnd_) return;
    const UINT image = imageFor(value);
    if (!image) {
        vnt::trace(L"CVNTUI_Skeo_ExposureOSDWnd: %d is neither an exposure step nor a level", value);
        return;
    }
    KillTimer(hwnd_, kHideTimer);
    drawValue(image);
    UpdateScreen();
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetTimer(hwnd_, kHideTimer, kShowMs, nullptr);
}

LRESULT CVNTUI_Skeo_ExposureOSDWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kHideTimer) {
        KillTimer(hwnd_, kHideTimer);
        if (IsWindowVisible(hwnd_) && !AnimateWindow(hwnd_, kFadeMs, AW_BLEND | AW_HIDE)) ShowWindow(hwnd_, SW_HIDE);
        return 0;
    }
    if (message == WM_PRINTCLIENT) {
        // The fade draws the window through this, not through WM_PAINT.
        backBuffer_.copyTo(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    return CVNTUI_Skeo_OverlayWnd::WindowProc(message, wParam, lParam);
}
