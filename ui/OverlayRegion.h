// The clipped-corner octagon the countdown and exposure popups share.
#pragma once

#include <windows.h>

namespace overlay {

// Gives the window the octagon of its size as its region; the window owns the region.
inline void setOctagonRegion(HWND window, int width, int height) {
    const POINT corners[] = {{0, 2},           {2, 0},          {width - 3, 0}, {width, 2},
                             {width, height - 3}, {width - 3, height}, {2, height},    {0, height - 3}};
    SetWindowRgn(window, CreatePolygonRgn(corners, 8, ALTERNATE), FALSE);
}

}  // namespace overlay
