#include "ui/CVNTUI_Skeo_Menu_Close.h"

#include "framework/Trace.h"
#include "resources/resource.h"
#include "ui/MenuBarLayout.h"
#include "ui/MenuDrawing.h"

namespace {
constexpr UINT kButtonImage = 420;
constexpr UINT kButtonHoverImage = 421;
}  // namespace

HCURSOR CVNTUI_Skeo_Menu_Close::Cursor() const { return LoadCursorW(nullptr, IDC_ARROW); }

void CVNTUI_Skeo_Menu_Close::Draw() {
    if (!backBuffer_.valid()) return;
    menudraw::fillRect(backBuffer_.dc(), RECT{0, 0, backBuffer_.width(), backBuffer_.height()}, menudraw::kBackground);
    if (!button_->hwnd()) {
        // The button loads the images of its own DPI.
        button_->SetImage(kButtonImage);
        button_->SetHoverImage(kButtonHoverImage);
        if (!button_->Create(hwnd_, IDC_MENU_ESC_BUTTON, 0, 0)) {
            vnt::trace(L"CVNTUI_Skeo_Menu_Close: no ESC button");
            return;
        }
        placeButton();
    }
    button_->RefreshBackground(backBuffer_.dc());
}

void CVNTUI_Skeo_Menu_Close::placeButton() {
    if (!button_->hwnd() || !backBuffer_.valid()) return;
    const skeo::DisplayScale scale = this->scale();
    const menubar::BarSize size = menubar::escButtonSize(scale);
    SetWindowPos(button_->hwnd(), nullptr, menubar::escButtonLeft(backBuffer_.width(), scale),
                 menubar::escButtonTop(backBuffer_.height(), scale), size.width, size.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CVNTUI_Skeo_Menu_Close::OnResized() { placeButton(); }

void CVNTUI_Skeo_Menu_Close::OnDpiChanged() {
    button_->SetDpi(dpi());
    placeButton();
}

LRESULT CVNTUI_Skeo_Menu_Close::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_MENU_ESC_BUTTON && HIWORD(wParam) == BN_CLICKED) {
        if (mainWindow_) SendMessageW(mainWindow_, MSG_LEAVE_FULLSCREEN, 0, 0);
        return 0;
    }
    return CVNTUI_Skeo_Menu::WindowProc(message, wParam, lParam);
}
