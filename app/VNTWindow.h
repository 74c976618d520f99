// A core object with a hidden top-level window of its own (own window class per object), so that it
// receives window messages, timers and system broadcasts.
#pragma once

#include <windows.h>

#include <string>

#include "app/VNTObject.h"

class VNTWindow : public VNTObject {
public:
    VNTWindow();
    ~VNTWindow() override;
    VNTWindow(const VNTWindow&) = delete;
    VNTWindow& operator=(const VNTWindow&) = delete;

    virtual LRESULT windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    virtual int onTimer(UINT_PTR timerId);

    HWND windowHandle() const { return window_; }
    const std::wstring& className() const { return className_; }

    // The registered messages that bind and unbind a window to its object.
    static UINT registerMessage();
    static UINT deregisterMessage();

protected:
    HWND window_ = nullptr;

private:
    static LRESULT CALLBACK sharedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::wstring className_;
    HINSTANCE instance_ = nullptr;
    WNDCLASSW windowClass_{};
};
