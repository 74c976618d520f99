#include "toolkit/CGdipButton.h"

#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "framework/Trace.h"
#include "toolkit/ControlMetrics.h"

namespace {

// Brighter: each colour scaled by 1.05 with 0.05 added.
const Gdiplus::ColorMatrix kHoverMatrix = {{{1.05f, 0, 0, 0, 0},
                                            {0, 1.05f, 0, 0, 0},
                                            {0, 0, 1.05f, 0, 0},
                                            {0, 0, 0, 1, 0},
                                            {0.05f, 0.05f, 0.05f, 0, 1}}};

// Grey: every colour becomes 0.3 R + 0.59 G + 0.11 B; alpha kept.
const Gdiplus::ColorMatrix kGreyMatrix = {{{0.3f, 0.3f, 0.3f, 0, 0},
                                           {0.59f, 0.59f, 0.59f, 0, 0},
                                           {0.11f, 0.11f, 0.11f, 0, 0},
                                           {0, 0, 0, 1, 0},
                                           {0, 0, 0, 0, 1}}};

}  // namespace

bool CGdipButton::Create(HWND parent, UINT id, int x, int y, const wchar_t* text) {
    if (dpi_.differs(vnt::windowDpi(parent))) SetDpi(vnt::windowDpi(parent));
    if (!CreateEx(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, x, y, width(), height(), parent, id))
        return false;
    makeOwnerDrawn();
    return true;
}

bool CGdipButton::Attach(HWND button) {
    if (!SubclassWindow(button)) return false;
    makeOwnerDrawn();
    if (dpi_.differs(vnt::windowDpi(button))) SetDpi(vnt::windowDpi(button));
    return true;
}

int CGdipButton::dpi() const { return dpi_.get(hwnd_); }

void CGdipButton::SetDpi(int dpi) {
    if (dpi > 0) tooltip_.SetDpi(dpi);
    if (!dpi_.change(dpi, L"CGdipButton")) return;
    loadImages();
    if (hwnd_)
        SetWindowPos(hwnd_, nullptr, 0, 0, width(), height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CGdipButton::loadImages() {
    const struct {
        UINT id;
        CGdiPlusBitmapResource& image;
    } images[] = {{imageId_, image_}, {hoverImageId_, hoverImage_}, {altImageId_, altImage_}};
    for (const auto& i : images) {
        if (i.id != 0) i.image.LoadForDpi(i.id, dpi());
    }
    dropStates();
}

void CGdipButton::makeOwnerDrawn() {
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    disabled_ = !IsWindowEnabled(hwnd_);
}

int CGdipButton::width() const { return image_.width(); }

int CGdipButton::height() const { return image_.height(); }

bool CGdipButton::SetImage(UINT id) {
    if (id == imageId_ && !image_.empty()) return true;
    imageId_ = id;
    const bool ok = image_.LoadForDpi(id, dpi_.fix(hwnd_));
    dropStates();
    return ok;
}

bool CGdipButton::SetHoverImage(UINT id) {
    if (hoverImageId_ != 0) return false;
    hoverImageId_ = id;
    const bool ok = hoverImage_.LoadForDpi(id, dpi_.fix(hwnd_));
    dropStates();
    return ok;
}

bool CGdipButton::SetImages(UINT id, UINT hoverId, toolkit::SkinImageBatch& batch) {
    const int dpi = dpi_.fix(hwnd_);
    const auto load = [&](UINT imageId, CGdiPlusBitmapResource& image) {
        if (batch.dpi() != dpi || !batch.take(imageId, image)) image.LoadForDpi(imageId, dpi);
    };
    imageId_ = id;
    load(id, image_);
    hoverImageId_ = hoverId;
    load(hoverId, hoverImage_);
    dropStates();
    return !image_.empty() && !hoverImage_.empty();
}

bool CGdipButton::SetAltImage(UINT id) {
    if (id == altImageId_ && !altImage_.empty()) return true;
    altImageId_ = id;
    const bool ok = altImage_.LoadForDpi(id, dpi_.fix(hwnd_));
    dropStates();
    return ok;
}

void CGdipButton::MoveTo(int x, int y) {
    if (hwnd_) SetWindowPos(hwnd_, nullptr, x, y, width(), height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CGdipButton::dropStates() {
    for (int s = Standard; s < StateCount; ++s) states_[s].reset();
    cached_ = false;
    Invalidate();
}

void CGdipButton::RefreshBackground(HDC parentBackBuffer) {
    if (!hwnd_ || !parentBackBuffer) return;
    states_[Background].copyFrom(parentBackBuffer, GetRectInParent());
    dropStates();
}

void CGdipButton::captureBackground() {
    const RECT client = GetClientRect();
    const int w = client.right, h = client.bottom;
    if (states_[Background].valid() && states_[Background].width() == w && states_[Background].height() == h) return;
    vnt::WindowDC dc(GetParent());
    states_[Background].copyFrom(dc.get(), GetRectInParent());
}

void CGdipButton::compose(State state, const CGdiPlusBitmap& image, int dx, int dy, const Gdiplus::ColorMatrix* matrix) {
    const vnt::BackBuffer& background = states_[Background];
    vnt::BackBuffer& target = states_[state];
    if (!target.create(background.dc(), background.width(), background.height())) return;
    background.copyTo(target.dc());
    if (image.empty()) return;
    Gdiplus::Graphics graphics(target.dc());
    Gdiplus::ImageAttributes attributes;
    if (matrix) attributes.SetColorMatrix(matrix);
    graphics.DrawImage(image.bitmap(), Gdiplus::Rect(dx, dy, image.width(), image.height()), 0, 0, image.width(),
                       image.height(), Gdiplus::UnitPixel, matrix ? &attributes : nullptr);
}

void CGdipButton::buildStates() {
    captureBackground();
    if (!states_[Background].valid()) return;
    const int offset = pressShift();
    const CGdiPlusBitmap& pressedImage = hoverImage_.empty() ? static_cast<const CGdiPlusBitmap&>(image_) : hoverImage_;
    compose(Standard, image_, 0, 0, nullptr);
    compose(Pressed, pressedImage, offset, offset, nullptr);
    if (hoverImage_.empty()) {
        compose(Hover, image_, 0, 0, &kHoverMatrix);
    } else {
        compose(Hover, hoverImage_, 0, 0, nullptr);
    }
    compose(Disabled, image_, 0, 0, &kGreyMatrix);
    if (!altImage_.empty()) {
        compose(Toggled, altImage_, 0, 0, nullptr);
        compose(ToggledPressed, altImage_, offset, offset, nullptr);
        compose(ToggledHover, altImage_, 0, 0, &kHoverMatrix);
    }
    cached_ = true;
}

void CGdipButton::drawItem(const DRAWITEMSTRUCT& item) {
    if (!cached_) buildStates();
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool toggledLook = toggled_ && !altImage_.empty();
    State state;
    if (disabled_ || (item.itemState & ODS_DISABLED)) {
        state = Disabled;
    } else if (pressed) {
        state = toggledLook ? ToggledPressed : Pressed;
    } else if (hovered_) {
        state = toggledLook ? ToggledHover : Hover;
    } else {
        state = toggledLook ? Toggled : Standard;
    }
    shown_ = state;
    const RECT& rc = item.rcItem;
    if (states_[state].valid()) {
        states_[state].copyTo(item.hDC, rc.left, rc.top);
    }
    wchar_t text[256];
    const int length = GetWindowTextW(hwnd_, text, 256);
    if (length > 0) {
        RECT textRect = rc;
        const int shift = pressed ? pressShift() : 0;
        OffsetRect(&textRect, shift, vnt::scalePx(toolkit::kButtonTextDrop96, dpi()) + shift);
        SetBkMode(item.hDC, TRANSPARENT);
        HGDIOBJ oldFont = SelectObject(item.hDC, reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
        DrawTextW(item.hDC, text, length, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(item.hDC, oldFont);
    }
}

int CGdipButton::pressShift() const { return pressOffset_ ? vnt::scalePx(toolkit::kPressShift96, dpi()) : 0; }

void CGdipButton::SetToggled(bool toggled) {
    if (toggled_ == toggled) return;
    toggled_ = toggled;
    Invalidate();
}

void CGdipButton::SetPressOffset(bool on) {
    if (pressOffset_ == on) return;
    pressOffset_ = on;
    dropStates();
}

void CGdipButton::EnableButton(bool enable) {
    disabled_ = !enable;
    if (hwnd_) EnableWindow(hwnd_, enable ? TRUE : FALSE);
    Invalidate();
}

void CGdipButton::SetTooltipText(const std::wstring& text) { tooltip_.set(hwnd_, text); }

bool CGdipButton::OnReflectedMessage(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
    if (message != WM_DRAWITEM) return false;
    drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    *result = TRUE;
    return true;
}

LRESULT CGdipButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        if (!tracking_) {
            TRACKMOUSEEVENT track{};
            track.cbSize = sizeof track;
            track.dwFlags = TME_HOVER | TME_LEAVE;
            track.hwndTrack = hwnd_;
            track.dwHoverTime = 1;
            tracking_ = TrackMouseEvent(&track) != FALSE;
        }
        break;
    case WM_MOUSEHOVER:
        if (!hovered_) {
            hovered_ = true;
            Invalidate();
        }
        return 0;
    case WM_MOUSELEAVE:
        tracking_ = false;
        if (hovered_) {
            hovered_ = false;
            Invalidate();
        }
        return 0;
    case WM_LBUTTONDOWN:
        if (toggleMode_) toggled_ = !toggled_;
        break;
    case WM_LBUTTONDBLCLK:
        // A quick second click counts as a click of its own.
        return WindowProc(WM_LBUTTONDOWN, wParam, lParam);
    case WM_ENABLE:
        disabled_ = wParam == FALSE;
        Invalidate();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
