// The popups' outlines as their window regions: the snapshot bar's, and the clipped-corner octagon
// the countdown and exposure popups share.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/OverlayGeometry.h"

namespace overlay {

// The window owns the region it is given.
inline void setOutlineRegion(HWND window, const std::vector<Corner>& outline, int fillMode) {
    std::vector<POINT> corners;
    for (const Corner& c : outline) corners.push_back(POINT{c.x, c.y});
    SetWindowRgn(window, CreatePolygonRgn(corners.data(), static_cast<int>(corners.size()), fillMode), FALSE);
}

// Gives the window the octagon of its size (device pixels) at its scale.
inline void setOctagonRegion(HWND window, int width, int height, const DisplayScale& scale) {
    setOutlineRegion(window, octagonOutline(width, height, scale), ALTERNATE);
}

}  // namespace overlay
