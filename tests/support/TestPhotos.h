// Photos for the viewer tests, written by the program's own JPEG writer: four flat quadrants
// (red top left, green top right, blue bottom left, white bottom right), easy to find on screen.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

constexpr COLORREF kQuadrantTopLeft = RGB(220, 30, 30);
constexpr COLORREF kQuadrantTopRight = RGB(30, 200, 30);
constexpr COLORREF kQuadrantBottomLeft = RGB(30, 30, 220);
constexpr COLORREF kQuadrantBottomRight = RGB(250, 250, 250);

bool writeQuadrantPhoto(const std::wstring& path, int width, int height);

// The pixel size a JPEG file's header gives; 0 x 0 when it cannot be read.
SIZE photoFileSize(const std::wstring& path);

}  // namespace testsupport
