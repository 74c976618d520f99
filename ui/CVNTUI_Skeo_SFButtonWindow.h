// The snapshot/focus bar over the live picture: 166 x 32 with curved ends, the snapshot button on
// the left (x 0..61), the focus button at (66, 2) (x 66..91), over a background that names the
// autofocus mode. A press sends the notify message with wParam 0 (snapshot) or 1 (focus).
#pragma once

#include "toolkit/CGdiPlusBitmap.h"
#include "toolkit/CVNTUI_Window.h"
#include "ui/NotifyTarget.h"

constexpr UINT MSG_SNAPSHOT_REQUEST = WM_USER + 11;

class CVNTUI_Skeo_SFButtonWindow : public CVNTUI_Window {
public:
    static constexpr int kWidth = 166;
    static constexpr int kHeight = 32;
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

private:
    enum Zone { ZoneNone, ZoneSnapshot, ZoneFocus };
    static Zone zoneAt(int x);
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
    int lastX_ = 500;
    int lastY_ = 500;
    NotifyTarget notify_{nullptr, MSG_SNAPSHOT_REQUEST};
};
