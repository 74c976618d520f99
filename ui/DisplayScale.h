// The one scale factor a window takes from its monitor's DPI (96 DPI is 100 %), and the rounding
// every layout number goes through. No Windows header, so it is tested natively.
#pragma once

namespace skeo {

class DisplayScale {
public:
    static constexpr int kBaseDpi = 96;
    // Past this a layout number times the DPI could leave an int; no display comes near it.
    static constexpr int kMaxDpi = 960;

    // 100 %.
    constexpr DisplayScale() = default;
    // A DPI below 96 (or none) is taken as 96, one above the maximum as the maximum: the system
    // never lays a window out smaller than its 96-DPI sizes. inRange tells the caller to trace it.
    explicit DisplayScale(int dpi);

    static bool inRange(int dpi) { return dpi >= kBaseDpi && dpi <= kMaxDpi; }

    int dpi() const { return dpi_; }
    // The scale in percent, rounded as px rounds (120 DPI is 125).
    int percent() const;
    bool isBase() const { return dpi_ == kBaseDpi; }

    // A 96-DPI pixel number at this scale: value x dpi / 96 rounded to the nearest integer, a half
    // away from zero, as the system's MulDiv rounds, so that the layout matches what the system
    // scales itself (dialog units, fonts).
    int px(int value) const;

private:
    int dpi_ = kBaseDpi;
};

}  // namespace skeo
