#include "toolkit/CGdipSlider.h"

#include <cstdlib>

#include "framework/Handles.h"
#include "framework/Trace.h"
#include "toolkit/CMemDC_Ex.h"
#include "toolkit/ControlMetrics.h"

bool CGdipSlider::Create(HWND parent, UINT id, int x, int y, bool vertical) {
    if (dpi_.differs(vnt::windowDpi(parent))) SetDpi(vnt::windowDpi(parent));
    const int w = track_.empty() ? vnt::scalePx(toolkit::kSliderDefaultWidth96, dpi()) : track_.width();
    const int h = track_.empty() ? vnt::scalePx(toolkit::kSliderDefaultHeight96, dpi()) : track_.height();
    if (!CreateEx(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SS_NOTIFY, x, y, w, h, parent, id))
        return false;
    prepare(vertical);
    return true;
}

bool CGdipSlider::Attach(HWND control, bool vertical) {
    if (!SubclassWindow(control)) return false;
    if (dpi_.differs(vnt::windowDpi(control))) SetDpi(vnt::windowDpi(control));
    prepare(vertical);
    return true;
}

void CGdipSlider::SetDpi(int dpi) {
    if (!dpi_.change(dpi, L"CGdipSlider")) return;
    if (trackId_) loadTrack();
    if (thumbId_ || pressedThumbId_) loadThumbs();
    // The old background is the old size.
    background_.reset();
    fitToTrack();
    Invalidate();
}

bool CGdipSlider::loadTrack() { return track_.LoadForDpi(trackId_, dpi_.fix(hwnd_)); }

bool CGdipSlider::loadThumbs() {
    const bool ok = thumb_.LoadForDpi(thumbId_, dpi_.fix(hwnd_));
    pressedLook_ = pressedThumb_.LoadForDpi(pressedThumbId_, dpi_.fix(hwnd_));
    thumbWidth_ = thumb_.width();
    thumbHeight_ = thumb_.height();
    return ok;
}

void CGdipSlider::fitToTrack() {
    if (hwnd_ && !track_.empty())
        SetWindowPos(hwnd_, nullptr, 0, 0, track_.width(), track_.height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CGdipSlider::prepare(bool vertical) {
    vertical_ = vertical;
    // A static control lets mouse messages through to its parent unless it asks for them.
    SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) | SS_NOTIFY);
    fitToTrack();
}

bool CGdipSlider::LoadTrackImage(UINT id) {
    trackId_ = id;
    if (!loadTrack()) return false;
    fitToTrack();
    Invalidate();
    return true;
}

bool CGdipSlider::LoadThumbImages(UINT normalId, UINT pressedId) {
    thumbId_ = normalId;
    pressedThumbId_ = pressedId;
    const bool ok = loadThumbs();
    Invalidate();
    return ok;
}

void CGdipSlider::SetMargins(int start, int end) {
    margins96_.start = start;
    margins96_.end = end;
    Invalidate();
}

void CGdipSlider::SetThumbCrossOffset(int offset) {
    margins96_.cross = offset;
    Invalidate();
}

int CGdipSlider::thumbCrossOffset() const { return margins96_.at(dpi()).cross; }

toolkit::SliderGeometry CGdipSlider::geometry() const {
    toolkit::SliderGeometry g;
    g.min = min_;
    g.max = max_;
    RECT rc{};
    if (hwnd_) ::GetClientRect(hwnd_, &rc);
    g.length = vertical_ ? rc.bottom : rc.right;
    g.thumb = vertical_ ? thumbHeight_ : thumbWidth_;
    const toolkit::SliderMargins margins = margins96_.at(dpi());
    g.startMargin = margins.start;
    g.endMargin = margins.end;
    return g;
}

void CGdipSlider::SetRange(int min, int max) {
    min_ = min;
    max_ = max < min ? min : max;
    position_ = geometry().clamp(position_);
    Invalidate();
}

void CGdipSlider::SetPos(int position) {
    position_ = geometry().clamp(position);
    Invalidate();
}

void CGdipSlider::EnableSlider(bool enable) {
    enabled_ = enable;
    Invalidate();
}

void CGdipSlider::ShowThumb(bool show) {
    thumbShown_ = show;
    Invalidate();
}

void CGdipSlider::RefreshBackground(HDC parentBackBuffer) {
    if (!hwnd_ || !parentBackBuffer) return;
    background_.copyFrom(parentBackBuffer, GetRectInParent());
    Invalidate();
}

void CGdipSlider::paint(HDC target) {
    const RECT client = GetClientRect();
    CMemDC_Ex dc(target, &client);
    if (background_.valid()) {
        background_.copyTo(dc);
    } else {
        HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(), WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc.dc()), reinterpret_cast<LPARAM>(hwnd_)));
        FillRect(dc, &client, brush ? brush : reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    Gdiplus::Graphics graphics(dc.dc());
    track_.draw(graphics, 0, 0);
    if (!thumbShown_) return;
    const CGdiPlusBitmap& thumb = dragging_ && pressedLook_ ? static_cast<const CGdiPlusBitmap&>(pressedThumb_) : thumb_;
    const int centre = thumbPixel();
    const int cross = thumbCrossOffset();
    if (vertical_) {
        thumb.draw(graphics, cross, centre - thumbHeight_ / 2);
    } else {
        thumb.draw(graphics, centre - thumbWidth_ / 2, cross);
    }
}

void CGdipSlider::notify(UINT message) {
    PostMessageW(GetParent(), message, static_cast<WPARAM>(GetDlgCtrlID()), static_cast<LPARAM>(position_));
}

void CGdipSlider::onButtonDown(int x, int y) {
    if (!enabled_) return;
    SetCapture(hwnd_);
    SetFocus(hwnd_);
    dragging_ = true;
    const int distance = along(x, y) - thumbPixel();
    const int half = (vertical_ ? thumbHeight_ : thumbWidth_) / 2;
    grabOffset_ = std::abs(distance) <= half ? distance : 0;
    onMouseMove(x, y);
    Invalidate();
}

void CGdipSlider::onMouseMove(int x, int y) {
    if (!dragging_) return;
    const toolkit::SliderGeometry g = geometry();
    int pixel = along(x, y) - grabOffset_;
    if (pixel < g.firstPixel()) pixel = g.firstPixel();
    if (pixel > g.lastPixel()) pixel = g.lastPixel();
    const int position = g.positionOf(pixel);
    if (position != position_) {
        position_ = position;
        Invalidate();
        notify(WM_GDIPSLIDER_POSCHANGING);
    }
}

void CGdipSlider::onButtonUp() {
    if (!dragging_) return;
    dragging_ = false;
    if (GetCapture() == hwnd_) ReleaseCapture();
    Invalidate();
    notify(WM_GDIPSLIDER_DRAGEND);
}

bool CGdipSlider::onKey(UINT key) {
    int position = position_;
    switch (key) {
    case VK_PRIOR: position -= page_; break;
    case VK_NEXT: position += page_; break;
    case VK_END: position = max_; break;
    case VK_HOME: position = min_; break;
    case VK_LEFT:
    case VK_UP:
    case VK_ADD: position -= 1; break;
    case VK_RIGHT:
    case VK_DOWN:
    case VK_SUBTRACT: position += 1; break;
    default: return false;
    }
    position_ = geometry().clamp(position);
    Invalidate();
    notify(WM_GDIPSLIDER_POSCHANGING);
    return true;
}

LRESULT CGdipSlider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        vnt::PaintDC dc(hwnd_);
        paint(dc.get());
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        onButtonDown(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_MOUSEMOVE:
        onMouseMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_LBUTTONUP:
        onButtonUp();
        return 0;
    case WM_CAPTURECHANGED:
        // Capture taken away mid-drag (another window, a dialog) ends the drag as a release would.
        if (reinterpret_cast<HWND>(lParam) != hwnd_) onButtonUp();
        return 0;
    case WM_GETDLGCODE:
        // Every key but Tab, so the dialog keeps its Tab navigation and leaves us the arrows.
        if (GetKeyState(VK_TAB) < 0) return Default(message, wParam, lParam);
        return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (onKey(static_cast<UINT>(wParam))) return 0;
        break;
    case WM_SETFOCUS:
        focused_ = true;
        Invalidate();
        break;
    case WM_KILLFOCUS:
        focused_ = false;
        Invalidate();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
