#include "toolkit/SliderGeometry.h"

#include "toolkit/SkinScale.h"
#include "ui/DisplayScale.h"

namespace toolkit {

SliderMargins SliderMargins::at(int dpi) const {
    const skeo::DisplayScale scale(skinScaleForDpi(dpi).percent * kSkinBaseDpi / 100);
    return {scale.px(start), scale.px(end), scale.px(cross)};
}

int SliderGeometry::span() const {
    const int s = length - endMargin - thumb - startMargin;
    return s > 0 ? s : 0;
}

int SliderGeometry::clamp(int position) const {
    if (max < min) return min;
    return position < min ? min : position > max ? max : position;
}

int SliderGeometry::pixelOf(int position) const {
    const int range = max - min;
    if (range <= 0) return firstPixel();
    return firstPixel() + span() * (clamp(position) - min) / range;
}

int SliderGeometry::positionOf(int pixel) const {
    const int range = max - min;
    const int s = span();
    if (range <= 0 || s == 0) return min;
    int offset = pixel - firstPixel();
    if (offset < 0) offset = 0;
    if (offset > s) offset = s;
    // Rounded, not truncated: the thumb's own pixel must give back its position, which the
    // truncating forward step would otherwise lose one position below.
    return clamp(min + (offset * range + s / 2) / s);
}

}  // namespace toolkit
