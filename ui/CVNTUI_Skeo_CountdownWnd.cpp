#include "ui/CVNTUI_Skeo_CountdownWnd.h"

#include "framework/ProgramSound.h"
#include "framework/Trace.h"
#include "ui/OverlayRegion.h"

namespace {
constexpr UINT kFirstDigitImage = 440;
}

void CVNTUI_Skeo_CountdownWnd::OnCreated() {
    for (int n = 0; n <= kMaxSeconds; ++n) digits_[n].LoadForDpi(kFirstDigitImage + n, dpi());
    overlay::setOctagonRegion(hwnd_, width_, height_, scale());
    CVNTUI_Skeo_OverlayWnd::OnCreated();
}

void CVNTUI_Skeo_CountdownWnd::OnDpiChanged() {
    if (running_) show(secondsLeft_);
}

void CVNTUI_Skeo_CountdownWnd::Start(int seconds) {
    if (seconds > kMaxSeconds) return;
    if (seconds < 0 || !hwnd_) {
        vnt::trace(L"CVNTUI_Skeo_CountdownWnd: no countdown from %d", seconds);
        return;
    }
    if (seconds == 0) {
        finish();
        return;
    }
    finished_ = false;
    show(seconds);
    vnt::playProgramSound(L"Timer Tick.Wav");
    secondsLeft_ = seconds;
    running_ = true;
    SetTimer(hwnd_, kTickTimer, kTickMs, nullptr);
}

void CVNTUI_Skeo_CountdownWnd::Cancel() {
    if (!running_) return;
    KillTimer(hwnd_, kTickTimer);
    ShowWindow(hwnd_, SW_HIDE);
    secondsLeft_ = 0;
    running_ = false;
    finished_ = false;
    vnt::trace(L"CVNTUI_Skeo_CountdownWnd: countdown cancelled");
}

void CVNTUI_Skeo_CountdownWnd::show(int seconds) {
    backBuffer_.fill(background_);
    digits_[seconds].draw(backBuffer_.dc(), 0, 0);
    UpdateScreen();
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CVNTUI_Skeo_CountdownWnd::finish() {
    // Zero is never drawn: the window goes as the last second ends.
    KillTimer(hwnd_, kTickTimer);
    ShowWindow(hwnd_, SW_HIDE);
    secondsLeft_ = 0;
    // Cleared before the notice, whose handler takes the photo and must not see a countdown running.
    running_ = false;
    finished_ = true;
    notify_.send();
}

LRESULT CVNTUI_Skeo_CountdownWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kTickTimer) {
        KillTimer(hwnd_, kTickTimer);
        if (running_) Start(secondsLeft_ - 1);
        return 0;
    }
    return CVNTUI_Skeo_OverlayWnd::WindowProc(message, wParam, lParam);
}
