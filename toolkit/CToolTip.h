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

    // Sets the tip text of the control and activates the tip (maximum width 400 pixels).
    bool set(HWND control, const std::wstring& text);
    const std::wstring& text() const { return text_; }
    HWND window() const { return tooltip_; }

private:
    HWND tooltip_ = nullptr;
    HWND control_ = nullptr;
    std::wstring text_;
};
