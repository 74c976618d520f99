// Rectangle arithmetic of the live view: digital zoom and mirroring as renderer rectangles, and
// overlay placement. No Windows header, so it is tested natively too.
#pragma once

namespace vntview {

// 0.0 and 1.0 are the edges of the video area; a mirrored axis has its two edges exchanged.
struct NormRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 1.0f;
    float bottom = 1.0f;
};

inline bool operator==(const NormRect& a, const NormRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A zoom factor the view can show: 1.0 or more (NaN is not).
bool zoomAllowed(float zoom);

// VMR9 output rectangle for zoom z: the picture grows past the window by (z - 1) / 2 on each side.
// Axes that are mirrored in current stay mirrored.
NormRect outputRectForZoom(const NormRect& current, float zoom);

// EVR source rectangle for zoom z: the centre 1/z of the frame. Mirrored axes stay mirrored.
NormRect sourceRectForZoom(const NormRect& current, float zoom);

// VMR9 output rectangle with the vertical and horizontal mirror states set as wanted; edges are
// exchanged only where the state changes, so a zoom is kept.
NormRect mirroredOutputRect(const NormRect& current, bool vertical, bool horizontal);

bool isMirroredHorizontally(const NormRect& output);
bool isMirroredVertically(const NormRect& output);

// A rectangle in window pixels as a normalized rectangle against the client rectangle (left and
// top 0), each edge cut to whole percent first. A client of zero size gives the whole area.
NormRect overlayDestination(int left, int top, int right, int bottom, int clientWidth, int clientHeight);

}  // namespace vntview
