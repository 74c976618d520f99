// The snapshot/focus bar over the live picture: 166 x 32 at 100 % with curved ends, the snapshot
// button on the left (x 0..61), the focus button at (66, 2) (x 66..91), all scaled with the bar,
// over a background that names the autofocus mode. A press sends the notify message with wParam 0
// (snapshot) or 1 (focus).
#pragma once

#include "toolkit/CGdiPlusBitmap.h"
#include "ui/CVNTUI_Skeo_OverlayWnd.h"
#include "ui/NotifyTarget.h"
#include "ui/OverlayGeometry.h"

constexpr UINT MSG_SNAPSHOT_REQUEST = WM_USER + 11;

class CVNTUI_Skeo_SFButtonWindow : public CVNTUI_Skeo_OverlayWnd {
public:
    // The size at 100 %; Size() gives it at the bar's DPI.
    static constexpr int kWidth = overlay::kSnapshotBarWidth;
    static constexpr int kHeight = overlay::kSnapshotBarHeight;
    static constexpr WPARAM kSnapshot = 0;
    static constexpr WPARAM kFocus = 1;

    CVNTUI_Skeo_SFButtonWindow() = default;

    void SetNotifyWindow(HWND window, UINT message = MSG_SNAPSHOT_REQUEST) { notify_ = {window, message}; }
    // Set from the camera's focus setting; Repaint shows it.
    void SetAutoFocusSingle(bool single) { autoFocusSingle_ = single; }
    bool autoFocusSingle() const { return autoFocusSingle_; }

    // Redraws for the stored cursor position and the autofocus mode.
    void Repaint();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreated() override;
    SIZE baseSize() const override;

private:
    enum Zone { ZoneNone, ZoneSnapshot, ZoneFocus };
    Zone zoneAt(int x) const;
    void onMouseMove(int x, int y);
    void onMouseLeave();
    void onPress(int x);

    CGdiPlusBitmapResource backgroundSingle_;
    CGdiPlusBitmapResource backgroundContinuous_;
    CGdiPlusBitmapResource snapshot_;
    CGdiPlusBitmapResource snapshotHover_;
    CGdiPlusBitmapResource focus_;
    CGdiPlusBitmapResource focusHover_;
    bool leaveTracking_ = false;
    bool autoFocusSingle_ = true;
    // Outside the window until the cursor comes in.
    int lastX_ = -1;
    int lastY_ = -1;
    NotifyTarget notify_{nullptr, MSG_SNAPSHOT_REQUEST};
};
