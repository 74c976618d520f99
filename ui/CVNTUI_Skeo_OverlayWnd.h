// Base of the popups over the live picture: made at the DPI of the monitor its owner is on, sized
// from its 100 % size at that DPI, and made again at another DPI by SetDpi (images, region, size).
#pragma once

#include <windows.h>

#include "framework/Dpi.h"
#include "toolkit/CVNTUI_Window.h"
#include "ui/DisplayScale.h"

class CVNTUI_Skeo_OverlayWnd : public CVNTUI_Window {
public:
    // A hidden popup of the given size in device pixels, at the owner's DPI.
    bool Create(HWND owner, int width, int height) override {
        dpi_ = vnt::windowDpi(owner);
        return CVNTUI_Window::Create(owner, width, height);
    }
    // A hidden popup of its own size at the owner's DPI.
    bool Create(HWND owner) {
        dpi_ = vnt::windowDpi(owner);
        const SIZE size = sizeAt(dpi_);
        return CVNTUI_Window::Create(owner, size.cx, size.cy);
    }

    // Takes the images, region and size of another DPI; the place stays.
    void SetDpi(int dpi) {
        if (dpi <= 0 || dpi == dpi_) return;
        dpi_ = dpi;
        if (!hwnd_) return;
        const SIZE size = sizeAt(dpi_);
        if (Resize(size.cx, size.cy)) OnDpiChanged();
    }

    int dpi() const { return dpi_; }
    // The popup's size at its DPI, in device pixels.
    SIZE Size() const { return sizeAt(dpi_); }

protected:
    // The size at 100 %.
    virtual SIZE baseSize() const = 0;
    // After the images and region are made anew at another DPI: what is shown is shown again.
    virtual void OnDpiChanged() {}

    skeo::DisplayScale scale() const { return skeo::DisplayScale(dpi_); }

private:
    SIZE sizeAt(int dpi) const {
        const skeo::DisplayScale s(dpi);
        const SIZE base = baseSize();
        return SIZE{s.px(base.cx), s.px(base.cy)};
    }

    int dpi_ = vnt::kBaseDpi;
};
