#include "ui/CVNTUI_Skeo_SFButtonWindow.h"

#include "framework/Gdiplus.h"
#include "ui/OverlayGeometry.h"
#include "ui/OverlayRegion.h"

namespace {

// Left of every zone at any scale: the cursor is not over the bar.
constexpr int kOutside = -1;

}  // namespace

SIZE CVNTUI_Skeo_SFButtonWindow::baseSize() const { return SIZE{overlay::kSnapshotBarWidth, overlay::kSnapshotBarHeight}; }

void CVNTUI_Skeo_SFButtonWindow::OnCreated() {
    backgroundSingle_.LoadForDpi(425, dpi());
    backgroundContinuous_.LoadForDpi(426, dpi());
    snapshot_.LoadForDpi(427, dpi());
    snapshotHover_.LoadForDpi(428, dpi());
    focus_.LoadForDpi(430, dpi());
    focusHover_.LoadForDpi(431, dpi());
    overlay::setOutlineRegion(hwnd_, overlay::snapshotBarOutline(scale()), WINDING);
    Repaint();
}

CVNTUI_Skeo_SFButtonWindow::Zone CVNTUI_Skeo_SFButtonWindow::zoneAt(int x) const {
    switch (overlay::snapshotZoneAt(x, scale())) {
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
        const overlay::Corner icon = overlay::focusIconPlace(scale());
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
    return CVNTUI_Skeo_OverlayWnd::WindowProc(message, wParam, lParam);
}
