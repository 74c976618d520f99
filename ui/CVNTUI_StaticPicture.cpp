#include "ui/CVNTUI_StaticPicture.h"

#include "framework/Trace.h"
#include "library/PictureCodec.h"
#include "ui/PictureGeometry.h"

namespace {

// Centred, so that setting an image never resizes the control.
constexpr DWORD kPictureStyles = SS_BITMAP | SS_CENTERIMAGE | SS_NOTIFY;

}  // namespace

bool CVNTUI_StaticPicture::Create(HWND parent, UINT id, const RECT& rect, DWORD extraStyle) {
    if (!CreateEx(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | kPictureStyles | extraStyle, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, parent, id))
        return false;
    OnAttached();
    return true;
}

bool CVNTUI_StaticPicture::Attach(HWND control) {
    if (!SubclassWindow(control)) return false;
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE, (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | kPictureStyles);
    OnAttached();
    return true;
}

int CVNTUI_StaticPicture::LoadAndRender(const std::wstring& fileName, bool skipIfSame) {
    const int loaded = Load(fileName, skipIfSame);
    if (loaded == 1) Render();
    return loaded;
}

bool CVNTUI_StaticPicture::LoadFromResourceAndRender(UINT id, const wchar_t* type) {
    if (!LoadFromResource(id, type)) return false;
    Render();
    return true;
}

void CVNTUI_StaticPicture::SetBoxSize(int width, int height) {
    boxWidth_ = width;
    boxHeight_ = height;
}

void CVNTUI_StaticPicture::setZoomState(int step) {
    zoomStep_ = step < 0 ? 0 : step > 5 ? 5 : step;
    zoom_ = skeo::pictureZoomFactor(zoomStep_);
}

void CVNTUI_StaticPicture::SetZoomStep(int step) {
    if (step < 0 || step > 5 || step == zoomStep_) return;
    setZoomState(step);
    Render();
}

int CVNTUI_StaticPicture::Render() {
    if (!hwnd_) return 0;
    if (!hasPicture()) {
        setImage(nullptr);
        return 0;
    }
    const RECT client = GetClientRect();
    const skeo::PictureSize shown = skeo::zoomedPictureSize(
        skeo::fittedPictureSize({pictureWidth(), pictureHeight()}, {boxWidth_, boxHeight_},
                                {client.right - client.left, client.bottom - client.top}),
        zoom_);
    HBITMAP image = picture::scaledDib(*picture(), shown.width, shown.height);
    if (!image) {
        vnt::trace(L"CVNTUI_StaticPicture: cannot scale the picture to %dx%d", shown.width, shown.height);
        setImage(nullptr);
        return 0;
    }
    setImage(image);
    return 1;
}

void CVNTUI_StaticPicture::setImage(HBITMAP image) {
    HBITMAP previous = reinterpret_cast<HBITMAP>(
        SendMessageW(hwnd_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image)));
    // The control may have kept a copy of ours; whatever it hands back is no longer shown.
    if (previous && previous != shown_ && previous != image) DeleteObject(previous);
    if (shown_ && shown_ != image) DeleteObject(shown_);
    shown_ = image;
    Invalidate();
}

int CVNTUI_StaticPicture::CopyToClipboard() {
    if (!hwnd_ || !OpenClipboard(hwnd_)) return 0;
    EmptyClipboard();
    // The clipboard takes what it is given; the control keeps its own image.
    HBITMAP image = reinterpret_cast<HBITMAP>(SendMessageW(hwnd_, STM_GETIMAGE, IMAGE_BITMAP, 0));
    HBITMAP copy = image ? static_cast<HBITMAP>(CopyImage(image, IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    if (copy && !SetClipboardData(CF_BITMAP, copy)) DeleteObject(copy);
    CloseClipboard();
    return 1;
}

LRESULT CVNTUI_StaticPicture::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        ReleasePicture();
        const LRESULT result = CColorStatic::WindowProc(message, wParam, lParam);
        if (shown_) DeleteObject(shown_);
        shown_ = nullptr;
        return result;
    }
    return CColorStatic::WindowProc(message, wParam, lParam);
}
