// The exposure just chosen, over the live picture (60 x 60 at 100 %): shown for a second, restarted by
// every new value, then faded out in 200 ms.
#pragma once

#include "toolkit/CGdiPlusBitmap.h"
#include "ui/CVNTUI_Skeo_OverlayWnd.h"
#include "ui/OverlayGeometry.h"

class CVNTUI_Skeo_ExposureOSDWnd : public CVNTUI_Skeo_OverlayWnd {
public:
    // The size at 100 %; Size() gives it at the popup's DPI.
    static constexpr int kWidth = overlay::kExposureSize;
    static constexpr int kHeight = overlay::kExposureSize;
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
    SIZE baseSize() const override { return SIZE{kWidth, kHeight}; }
    void OnDpiChanged() override;

private:
    // Draws the value's image into the back buffer; false when there is none.
    bool drawValue(UINT image);

    CGdiPlusBitmapResource picture_;
    UINT shown_ = 0;
};
