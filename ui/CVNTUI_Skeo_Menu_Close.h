// The ESC item of the full-screen bar: an image button that leaves full screen.
#pragma once

#include <windows.h>

#include <memory>

#include "toolkit/CGdipButton.h"
#include "ui/CVNTUI_Skeo_Menu.h"

// Sent to the main dialog to leave full screen (the ESC button, the Escape key).
constexpr UINT MSG_LEAVE_FULLSCREEN = WM_USER + 12;

class CVNTUI_Skeo_Menu_Close : public CVNTUI_Skeo_Menu {
public:
    void SetMainWindow(HWND mainWindow) { mainWindow_ = mainWindow; }
    CGdipButton& button() { return *button_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw() override;
    void OnResized() override;
    HCURSOR Cursor() const override;
    void OnDpiChanged() override;

private:
    void placeButton();

    // Made again for a new DPI: a button keeps the first hover image it was given.
    std::unique_ptr<CGdipButton> button_ = std::make_unique<CGdipButton>();
    HWND mainWindow_ = nullptr;
};
