// The live camera view (control 1000 of the main dialog): a black picture control into which the
// capture graph's renderer draws, and which tells its notify window of left clicks.
#pragma once

#include "ui/CVNTUI_StaticPicture.h"
#include "ui/NotifyTarget.h"

// Sent to the notify window on a left button press in the view.
constexpr UINT MSG_CAMERA_CLICKED = WM_USER + 10;

class CVNTUI_Skeo_CameraWnd : public CVNTUI_StaticPicture {
public:
    CVNTUI_Skeo_CameraWnd();

    // Made by code, clipped from its siblings and children: the renderer's windows must stay on top.
    bool create(HWND parent, int id, const RECT& rect, HWND notifyWindow);

    void SetNotify(HWND window, UINT message) { notify_ = {window, message}; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    NotifyTarget notify_{nullptr, MSG_CAMERA_CLICKED};
};
