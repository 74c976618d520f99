// The skinned controls' own pixel numbers at 96 DPI; the controls scale them to their window's DPI.
#pragma once

namespace toolkit {

// How far the pressed look of an image button (and its text) moves right and down.
constexpr int kPressShift96 = 1;
// An image button's text sits this far below the button's centre.
constexpr int kButtonTextDrop96 = 1;
// A slider created before its track image is known.
constexpr int kSliderDefaultWidth96 = 20;
constexpr int kSliderDefaultHeight96 = 100;
// The widest a tooltip grows before it wraps its text.
constexpr int kTipMaxWidth96 = 400;

}  // namespace toolkit
