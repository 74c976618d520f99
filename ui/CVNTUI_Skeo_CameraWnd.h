// The live camera view (control 1000 of the main dialog): a black child window into which the
// capture graph's renderer draws, and which reports left clicks to its notify window.
#pragma once

#include <windows.h>

// Sent to the notify window on a left button press in the view.
constexpr UINT MSG_CAMERA_CLICKED = WM_USER + 10;

class CVNTUI_Skeo_CameraWnd {
public:
    CVNTUI_Skeo_CameraWnd() = default;
    ~CVNTUI_Skeo_CameraWnd();
    CVNTUI_Skeo_CameraWnd(const CVNTUI_Skeo_CameraWnd&) = delete;
    CVNTUI_Skeo_CameraWnd& operator=(const CVNTUI_Skeo_CameraWnd&) = delete;

    bool create(HWND parent, int id, const RECT& rect, HWND notifyWindow);
    HWND hwnd() const { return hwnd_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    HWND notify_ = nullptr;
};
