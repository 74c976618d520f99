#include "camera/ViewRect.h"

namespace vntview {

namespace {

// The lower and upper edge of one axis, exchanged when the axis is mirrored.
void setAxis(float& first, float& second, float lo, float hi, bool mirrored) {
    first = mirrored ? hi : lo;
    second = mirrored ? lo : hi;
}

float percentOf(int value, int whole) { return static_cast<float>(value * 100 / whole) / 100.0f; }

}  // namespace

bool zoomAllowed(float zoom) { return zoom >= 1.0f; }

NormRect outputRectForZoom(const NormRect& current, float zoom) {
    const float lo = -(zoom - 1.0f) / 2.0f;
    const float hi = (zoom + 1.0f) / 2.0f;
    NormRect r;
    setAxis(r.left, r.right, lo, hi, current.left > 0.0f);
    setAxis(r.top, r.bottom, lo, hi, current.top > 0.0f);
    return r;
}

NormRect sourceRectForZoom(const NormRect& current, float zoom) {
    const float lo = (1.0f - 1.0f / zoom) / 2.0f;
    const float hi = (1.0f + 1.0f / zoom) / 2.0f;
    NormRect r;
    setAxis(r.left, r.right, lo, hi, current.right < current.left);
    setAxis(r.top, r.bottom, lo, hi, current.bottom < current.top);
    return r;
}

NormRect mirroredOutputRect(const NormRect& current, bool vertical, bool horizontal) {
    NormRect r = current;
    if ((vertical && current.top <= 0.0f) || (!vertical && current.top >= 1.0f)) {
        r.top = current.bottom;
        r.bottom = current.top;
    }
    if ((horizontal && current.left <= 0.0f) || (!horizontal && current.left >= 1.0f)) {
        r.left = current.right;
        r.right = current.left;
    }
    return r;
}

bool isMirroredHorizontally(const NormRect& output) { return output.left >= 1.0f; }

bool isMirroredVertically(const NormRect& output) { return output.top >= 1.0f; }

NormRect overlayDestination(int left, int top, int right, int bottom, int clientWidth, int clientHeight) {
    if (clientWidth <= 0 || clientHeight <= 0) return NormRect{};
    return NormRect{percentOf(left, clientWidth), percentOf(top, clientHeight), percentOf(right, clientWidth),
                    percentOf(bottom, clientHeight)};
}

}  // namespace vntview
