// The ESC item of the full-screen bar: an image button that leaves full screen.
#pragma once

#include <windows.h>

#include "toolkit/CGdipButton.h"
#include "ui/CVNTUI_Skeo_Menu.h"

// Sent to the main dialog to leave full screen (the ESC button, the Escape key).
constexpr UINT MSG_LEAVE_FULLSCREEN = WM_USER + 12;

class CVNTUI_Skeo_Menu_Close : public CVNTUI_Skeo_Menu {
public:
    void SetMainWindow(HWND mainWindow) { mainWindow_ = mainWindow; }
    CGdipButton& button() { return button_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw() override;
    void OnResized() override;
    HCURSOR Cursor() const override;

private:
    void placeButton();

    CGdipButton button_;
    HWND mainWindow_ = nullptr;
};
