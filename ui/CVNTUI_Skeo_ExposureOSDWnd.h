// The exposure just chosen, over the live picture (60 x 60): shown for a second, restarted by
// every new value, then faded out in 200 ms.
#pragma once

#include "toolkit/CGdiPlusBitmap.h"
#include "toolkit/CVNTUI_Window.h"

class CVNTUI_Skeo_ExposureOSDWnd : public CVNTUI_Window {
public:
    static constexpr int kWidth = 60;
    static constexpr int kHeight = 60;
    static constexpr UINT_PTR kHideTimer = 1000;
    static constexpr UINT kShowMs = 1000;
    static constexpr DWORD kFadeMs = 200;

    CVNTUI_Skeo_ExposureOSDWnd() = default;

    // An exposure step command (32811 +2 .. 32815 -2) or a slider level (1..15; 0 shows EXP alone).
    // Ignored before the window exists; other values are refused with a trace line.
    void ShowValue(int value);

    // The image shown for a value, 0 for a value that has none.
    static UINT imageFor(int value);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreated() override;

private:
    CGdiPlusBitmapResource picture_;
};
