#include "ui/CVNTUI_Skeo_CameraWnd.h"

CVNTUI_Skeo_CameraWnd::CVNTUI_Skeo_CameraWnd() { SetBkColor(RGB(0, 0, 0)); }

bool CVNTUI_Skeo_CameraWnd::create(HWND parent, int id, const RECT& rect, HWND notifyWindow) {
    SetNotify(notifyWindow, MSG_CAMERA_CLICKED);
    return Create(parent, static_cast<UINT>(id), rect, WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
}

LRESULT CVNTUI_Skeo_CameraWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) notify_.send();
    return CVNTUI_StaticPicture::WindowProc(message, wParam, lParam);
}
