// The clipped-corner octagon the countdown and exposure popups share.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/OverlayGeometry.h"

namespace overlay {

// Gives the window the octagon of its size as its region; the window owns the region.
inline void setOctagonRegion(HWND window, int width, int height) {
    std::vector<POINT> corners;
    for (const Corner& c : octagonOutline(width, height)) corners.push_back(POINT{c.x, c.y});
    SetWindowRgn(window, CreatePolygonRgn(corners.data(), static_cast<int>(corners.size()), ALTERNATE), FALSE);
}

}  // namespace overlay
