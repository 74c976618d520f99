// The main dialog's resize strips (right and bottom) and its corner grip: they hold the mouse while
// the left button is down and hand every drag move to the parent, which resizes itself.
#pragma once

#include "framework/BackBuffer.h"
#include "framework/Wnd.h"
#include "toolkit/CGdiPlusBitmap.h"

class CVNTUI_Skeo_Border : public vnt::CWnd {
public:
    // The cursor shown over the strip (not owned); null leaves the class's arrow.
    explicit CVNTUI_Skeo_Border(HCURSOR cursor) : cursor_(cursor) {}

    // The class the dialog template names; registered once, so that the template can make the strips.
    static bool RegisterBorderClass();
    static const wchar_t kClassName[];

    bool Create(HWND parent, UINT id, const RECT& rect);
    // Takes over a strip the dialog template made.
    bool Attach(HWND strip);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void OnAttached() {}

private:
    void fill(HDC dc) const;

    HCURSOR cursor_;
    int tracking_ = 0;
};

// The grip's image at the strip's DPI, on the strip's colour; its place and size are the parent's.
class CVNTUI_Skeo_BorderResizeAid : public CVNTUI_Skeo_Border {
public:
    using CVNTUI_Skeo_Border::CVNTUI_Skeo_Border;

    // Draws the grip's image of that DPI (taken from the window when attached).
    void SetDpi(int dpi);
    int dpi() const { return dpi_; }
    // The grip's image size at its DPI.
    int gripSize() const { return gripSize_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnAttached() override;

private:
    vnt::BackBuffer buffer_;
    CGdiPlusBitmapResource grip_;
    int dpi_ = 0;
    int gripSize_ = 0;
};
