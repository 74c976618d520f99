// A static text in its own colours, optionally over its parent's background, with a tooltip.
#pragma once

#include <string>

#include "framework/Handles.h"
#include "framework/Wnd.h"
#include "toolkit/CToolTip.h"

class CColorStatic : public vnt::CWnd {
public:
    CColorStatic();

    void SetTextColor(COLORREF colour);
    void SetBkColor(COLORREF colour);
    // Transparent: the text is drawn over whatever the parent painted, with a null brush.
    void SetTransparent(bool transparent);
    // One tool over the whole control, created on first use; the text is updated and the tip activated.
    void SetTooltip(const std::wstring& text);
    // Its text comes in the parent's font; the tip's width follows the DPI.
    void SetDpi(int dpi) { tooltip_.SetDpi(dpi); }

    COLORREF textColor() const { return textColor_; }
    COLORREF bkColor() const { return bkColor_; }
    bool transparent() const { return transparent_; }
    const CToolTip& tooltip() const { return tooltip_; }

    bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    COLORREF textColor_ = RGB(0, 0, 0);
    COLORREF bkColor_;
    vnt::BrushHandle brush_;
    bool transparent_ = false;
    CToolTip tooltip_;
};
