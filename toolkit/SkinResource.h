// Skin images by their 100 % id for a DPI: the image of the set nearest to the DPI, or the 100 %
// image where that set lacks it, so a program built with fewer sets still draws every control.
#pragma once

#include <windows.h>

namespace toolkit {

// The id of the resource of the given type that serves id at dpi; id itself when the nearer set
// has no such resource (traced).
UINT SkinResourceId(UINT id, int dpi, const wchar_t* type, HMODULE module = nullptr);

// A "BITMAP" skin as a DIB section for dpi; null when neither it nor its 100 % image is there. The
// caller owns the bitmap.
HBITMAP LoadSkinBitmap(UINT id, int dpi, HMODULE module = nullptr);

}  // namespace toolkit
