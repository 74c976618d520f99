// Base of the small owner-drawn popups (option panels, on-screen indicators): a topmost window
// that never takes activation, painted by copying a back buffer of its fixed size.
#pragma once

#include "framework/BackBuffer.h"
#include "framework/Dpi.h"
#include "framework/Wnd.h"

class CVNTUI_Window : public vnt::CWnd {
public:
    CVNTUI_Window() = default;

    // A hidden popup of that size at (0, 0), owned by the owner; traces "create failed." on failure.
    // The popup takes the owner's DPI.
    virtual bool Create(HWND owner, int width, int height);
    // A new size (a DPI change): the window and its back buffer, drawn anew by OnCreated.
    bool Resize(int width, int height);
    // The DPI it was created at, or last told of by a derived window's DPI change.
    int dpi() const { return dpi_; }

    void SetBackgroundColor(COLORREF colour) { background_ = colour; }
    COLORREF backgroundColor() const { return background_; }
    int width() const { return width_; }
    int height() const { return height_; }
    vnt::BackBuffer& backBuffer() { return backBuffer_; }

    // Copies the back buffer to the window now.
    void UpdateScreen();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Draws into the back buffer; the base fills it with the background colour.
    virtual void OnCreated();

    COLORREF background_ = RGB(40, 40, 40);
    vnt::BackBuffer backBuffer_;
    int width_ = 0;
    int height_ = 0;
    int dpi_ = vnt::kBaseDpi;
};
