// The DPI a skinned control loads its images for. Images may be loaded before the control has a
// window: they are then loaded for the system's DPI, and the window's DPI, once known, decides
// whether they must be loaded again.
#pragma once

#include "framework/Dpi.h"
#include "framework/Trace.h"

namespace toolkit {

class ControlDpi {
public:
    // The DPI images are (or will be) loaded for.
    int get(HWND control) const { return dpi_ > 0 ? dpi_ : vnt::windowDpi(control); }
    // The DPI to load an image for now; fixed from here on.
    int fix(HWND control) {
        if (dpi_ == 0) dpi_ = vnt::windowDpi(control);
        return dpi_;
    }
    // The DPI of the window the control now lives in: true when what was loaded for another DPI
    // must be loaded again (call change).
    bool differs(int windowDpi) {
        if (dpi_ == 0) dpi_ = windowDpi;
        return windowDpi != dpi_;
    }
    // A new DPI: true when it is one and not the current one; none is traced and changes nothing.
    bool change(int dpi, const wchar_t* control) {
        if (dpi <= 0) {
            vnt::trace(L"%ls: DPI %d ignored", control, dpi);
            return false;
        }
        if (dpi == dpi_) return false;
        dpi_ = dpi;
        return true;
    }

private:
    int dpi_ = 0;
};

}  // namespace toolkit
