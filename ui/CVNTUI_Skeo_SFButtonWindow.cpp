#include "ui/CVNTUI_Skeo_SFButtonWindow.h"

#include <vector>

#include "framework/Gdiplus.h"
#include "ui/OverlayGeometry.h"

namespace {

constexpr int kOutside = 500;

}  // namespace

void CVNTUI_Skeo_SFButtonWindow::OnCreated() {
    backgroundSingle_.Load(425);
    backgroundContinuous_.Load(426);
    snapshot_.Load(427);
    snapshotHover_.Load(428);
    focus_.Load(430);
    focusHover_.Load(431);
    std::vector<POINT> outline;
    for (const overlay::Corner& c : overlay::snapshotBarOutline()) outline.push_back(POINT{c.x, c.y});
    // The window owns the region from here on.
    SetWindowRgn(hwnd_, CreatePolygonRgn(outline.data(), static_cast<int>(outline.size()), WINDING), FALSE);
    Repaint();
}

CVNTUI_Skeo_SFButtonWindow::Zone CVNTUI_Skeo_SFButtonWindow::zoneAt(int x) {
    switch (overlay::snapshotZoneAt(x)) {
    case overlay::SnapshotZone::Snapshot:
        return ZoneSnapshot;
    case overlay::SnapshotZone::Focus:
        return ZoneFocus;
    default:
        return ZoneNone;
    }
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
        const overlay::Corner icon = overlay::focusIconPlace();
        (zone == ZoneFocus ? focusHover_ : focus_).draw(graphics, icon.x, icon.y);
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
