#include "ui/CVNTUI_Skeo_SFButtonWindow.h"

#include <iterator>

#include "framework/Gdiplus.h"

namespace {

constexpr int kSnapshotRight = 61;
constexpr int kFocusLeft = 66;
constexpr int kFocusRight = 91;
constexpr int kFocusIconY = 2;
constexpr int kOutside = 500;

// The bar's outline: a rectangle with curved ends, filled by winding.
const POINT kOutline[] = {
    {12, 0},    {154, 0},   {154, 1},   {157, 1},   {157, 2},   {159, 2},   {164, 7},   {164, 9},
    {165, 9},   {165, 12},  {166, 12},  {166, 20},  {165, 20},  {165, 23},  {164, 23},  {164, 24},
    {158, 30},  {157, 30},  {157, 31},  {154, 31},  {154, 32},  {12, 32},   {12, 31},   {9, 31},
    {9, 30},    {7, 30},    {2, 24},    {2, 23},    {1, 23},    {1, 20},    {0, 20},    {0, 12},
    {1, 12},    {1, 9},     {2, 9},     {2, 7},     {7, 2},     {9, 2},     {9, 1},     {12, 1},
};

}  // namespace

void CVNTUI_Skeo_SFButtonWindow::OnCreated() {
    backgroundSingle_.Load(425);
    backgroundContinuous_.Load(426);
    snapshot_.Load(427);
    snapshotHover_.Load(428);
    focus_.Load(430);
    focusHover_.Load(431);
    // The window owns the region from here on.
    SetWindowRgn(hwnd_, CreatePolygonRgn(kOutline, static_cast<int>(std::size(kOutline)), WINDING), FALSE);
    Repaint();
}

CVNTUI_Skeo_SFButtonWindow::Zone CVNTUI_Skeo_SFButtonWindow::zoneAt(int x) {
    if (x >= 0 && x <= kSnapshotRight) return ZoneSnapshot;
    if (x >= kFocusLeft && x <= kFocusRight) return ZoneFocus;
    return ZoneNone;
}

void CVNTUI_Skeo_SFButtonWindow::Repaint() {
    if (!backBuffer_.valid()) return;
    backBuffer_.fill(background_);
    {
        Gdiplus::Graphics graphics(backBuffer_.dc());
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
        (autoFocusSingle_ ? backgroundSingle_ : backgroundContinuous_).draw(graphics, 0, 0);
        const Zone zone = zoneAt(lastX_);
        (zone == ZoneSnapshot ? snapshotHover_ : snapshot_).draw(graphics, 0, 0);
        (zone == ZoneFocus ? focusHover_ : focus_).draw(graphics, kFocusLeft, kFocusIconY);
    }
    UpdateScreen();
}

void CVNTUI_Skeo_SFButtonWindow::onMouseMove(int x, int y) {
    if (!leaveTracking_) leaveTracking_ = TrackMouseLeave();
    const bool changed = zoneAt(x) != zoneAt(lastX_);
    lastX_ = x;
    lastY_ = y;
    if (changed) Repaint();
}

void CVNTUI_Skeo_SFButtonWindow::onMouseLeave() {
    lastX_ = kOutside;
    lastY_ = kOutside;
    leaveTracking_ = false;
    Repaint();
}

void CVNTUI_Skeo_SFButtonWindow::onPress(int x) {
    // The next move asks for the leave notification again.
    leaveTracking_ = false;
    switch (zoneAt(x)) {
    case ZoneSnapshot:
        notify_.send(kSnapshot);
        break;
    case ZoneFocus:
        notify_.send(kFocus);
        break;
    default:
        break;
    }
}

LRESULT CVNTUI_Skeo_SFButtonWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE:
        onMouseMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_MOUSELEAVE:
        onMouseLeave();
        return 0;
    case WM_LBUTTONDOWN:
        onPress(static_cast<short>(LOWORD(lParam)));
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            notify_.send(kSnapshot);
            return 0;
        }
        break;
    case WM_SYSKEYDOWN:
        // The bar lives as long as the main dialog: Alt+F4 must not close it.
        if (wParam == VK_F4) return 0;
        break;
    default:
        break;
    }
    return CVNTUI_Window::WindowProc(message, wParam, lParam);
}
