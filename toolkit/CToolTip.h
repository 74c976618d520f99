// The tooltip of one control: a single tool over the whole control, made on first use. The tool
// subclasses the control, so the control needs no relaying of its mouse messages.
#pragma once

#include <windows.h>

#include <string>

class CToolTip {
public:
    CToolTip() = default;
    ~CToolTip();
    CToolTip(const CToolTip&) = delete;
    CToolTip& operator=(const CToolTip&) = delete;

    // Sets the tip text of the control and activates the tip (at most 400 pixels wide at 96 DPI,
    // scaled to the control's DPI).
    bool set(HWND control, const std::wstring& text);
    // The widest the tip grows, at the DPI.
    void SetDpi(int dpi);
    int maxWidth() const;
    const std::wstring& text() const { return text_; }
    HWND window() const { return tooltip_; }

private:
    HWND tooltip_ = nullptr;
    HWND control_ = nullptr;
    std::wstring text_;
};
