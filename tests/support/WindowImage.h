// Saves what a window shows as a BMP file, for people to look at what a test drove; only when
// SKEO_SCREENSHOT_DIR names a folder.
#pragma once

#include <windows.h>

namespace testsupport {

// Writes <SKEO_SCREENSHOT_DIR>\<name>.bmp; false when the variable is unset or the write fails.
// repaint first makes a just-created dialog draw its controls; a window a video renderer draws
// into is taken as it is.
bool saveWindowImage(HWND window, const wchar_t* name, bool repaint = true);

}  // namespace testsupport
