// The self-timer's seconds over the live picture (40 x 40 at 100 %). Start(n) shows n and ticks once a
// second with a sound; one second after 1 the window hides and sends the notify message once.
#pragma once

#include "toolkit/CGdiPlusBitmap.h"
#include "ui/CVNTUI_Skeo_OverlayWnd.h"
#include "ui/NotifyTarget.h"
#include "ui/OverlayGeometry.h"

constexpr UINT MSG_COUNTDOWN_DONE = WM_USER + 13;

class CVNTUI_Skeo_CountdownWnd : public CVNTUI_Skeo_OverlayWnd {
public:
    // The size at 100 %; Size() gives it at the popup's DPI.
    static constexpr int kWidth = overlay::kCountdownSize;
    static constexpr int kHeight = overlay::kCountdownSize;
    static constexpr int kMaxSeconds = 10;
    static constexpr UINT_PTR kTickTimer = 1000;
    static constexpr UINT kTickMs = 1000;

    CVNTUI_Skeo_CountdownWnd() = default;

    void SetNotifyWindow(HWND window, UINT message = MSG_COUNTDOWN_DONE) { notify_ = {window, message}; }

    // Counts down from seconds (1..10); a start while counting begins again from there. 0 ends
    // at once; anything else is refused.
    void Start(int seconds);
    // Ends a countdown without its notice: nobody asked for the photo any more.
    void Cancel();

    // A countdown is in progress: the main dialog takes no snapshot and no full-screen toggle then.
    bool IsRunning() const { return running_; }
    // True once after a countdown ran to its end: the notify message can be posted by anyone, and
    // only a real end takes a photo.
    bool TakeFinish() {
        const bool finished = finished_;
        finished_ = false;
        return finished;
    }
    int secondsLeft() const { return secondsLeft_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreated() override;
    SIZE baseSize() const override { return SIZE{kWidth, kHeight}; }
    void OnDpiChanged() override;

private:
    void show(int seconds);
    void finish();

    CGdiPlusBitmapResource digits_[kMaxSeconds + 1];
    int secondsLeft_ = 0;
    bool running_ = false;
    bool finished_ = false;
    NotifyTarget notify_{nullptr, MSG_COUNTDOWN_DONE};
};
