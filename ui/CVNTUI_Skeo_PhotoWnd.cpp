#include "ui/CVNTUI_Skeo_PhotoWnd.h"

#include <shlobj.h>

#include <cstring>

#include "framework/FileSystem.h"
#include "framework/Trace.h"
#include "library/PictureCodec.h"
#include "resources/StringIds.h"
#include "resources/resource.h"
#include "ui/LocalizedMenu.h"
#include "ui/PhotoPrefetcher.h"

namespace {

const MenuItemText kContextTexts[] = {
    {ID_CTX_ZOOM_IN, IDS_CTX_ZOOM_IN},         {ID_CTX_ZOOM_OUT, IDS_CTX_ZOOM_OUT},
    {ID_CTX_ROTATE_RIGHT, IDS_CTX_ROTATE_RIGHT}, {ID_CTX_ROTATE_LEFT, IDS_CTX_ROTATE_LEFT},
    {ID_CTX_DELETE, IDS_CTX_DELETE},           {ID_CTX_COPY, IDS_CTX_COPY},
    {ID_CTX_SAVE_AS_PDF, IDS_CTX_SAVE_AS_PDF},       {ID_CTX_GO_TO_IMAGE_FOLDER, IDS_CTX_GO_TO_IMAGE_FOLDER},
};

}  // namespace

CVNTUI_Skeo_PhotoWnd::CVNTUI_Skeo_PhotoWnd() { SetBkColor(RGB(40, 40, 40)); }

CVNTUI_Skeo_PhotoWnd::~CVNTUI_Skeo_PhotoWnd() {
    releaseScaled();
    if (imageDC_) DeleteDC(imageDC_);
}

void CVNTUI_Skeo_PhotoWnd::OnAttached() {
    hand_ = LoadCursorW(nullptr, IDC_HAND);
    if (!imageDC_) imageDC_ = CreateCompatibleDC(nullptr);
    ensureBackBuffer();
}

vnt::MenuHandle CVNTUI_Skeo_PhotoWnd::LoadContextMenu() {
    return LoadLocalizedMenu(IDR_PHOTO_CONTEXT_MENU, kContextTexts, sizeof(kContextTexts) / sizeof(kContextTexts[0]));
}

void CVNTUI_Skeo_PhotoWnd::ensureBackBuffer() {
    const RECT client = GetClientRect();
    const int w = client.right - client.left, h = client.bottom - client.top;
    if (backBuffer_.valid() && backBuffer_.width() == w && backBuffer_.height() == h) return;
    vnt::WindowDC screen(hwnd_);
    backBuffer_.create(screen.get(), w > 0 ? w : 1, h > 0 ? h : 1);
}

void CVNTUI_Skeo_PhotoWnd::releaseScaled() {
    if (!scaled_) return;
    if (imageDC_ && previousImage_) SelectObject(imageDC_, previousImage_);
    previousImage_ = nullptr;
    DeleteObject(scaled_);
    scaled_ = nullptr;
}

int CVNTUI_Skeo_PhotoWnd::Load(const std::wstring& fileName, bool skipIfSame) {
    std::wstring asked = fileName;  // the name may be our own, which the load clears first
    const bool shownAlready = skipIfSame && hasPicture() && asked == CVNTUI_Picture::pictureFileName();
    std::unique_ptr<skeo::PreparedPhoto> ready = prefetcher_ && !shownAlready ? prefetcher_->take(asked) : nullptr;
    int loaded;
    if (ready) {
        Adopt(std::move(ready->picture), asked);
        fitted_ = std::move(ready->fitted);
        fittedSize_ = ready->fittedSize;
        loaded = 1;
    } else {
        loaded = CVNTUI_StaticPicture::Load(asked, skipIfSame);
        if (loaded != 0) fitted_.reset();
    }
    lastLoadWasReady_ = ready != nullptr;
    photoPath_ = std::move(asked);
    return loaded;
}

void CVNTUI_Skeo_PhotoWnd::ReleasePicture() {
    CVNTUI_StaticPicture::ReleasePicture();
    fitted_.reset();
    photoPath_.clear();
}

int CVNTUI_Skeo_PhotoWnd::Render() {
    if (!hwnd_) return 0;
    if (!hasPicture()) {
        if (!scaled_) return 0;
        releaseScaled();
        layout_ = skeo::PhotoViewLayout();
        dragging_ = false;
        ensureBackBuffer();
        Invalidate();
        return 0;
    }
    const RECT client = GetClientRect();
    const skeo::PictureSize view{client.right - client.left, client.bottom - client.top};
    skeo::PhotoViewLayout layout = skeo::layoutPhotoView({pictureWidth(), pictureHeight()},
                                                         {boxWidth(), boxHeight()}, view, zoomFactor());
    // The prefetcher's copy serves once, at the size it was made for.
    vnt::BitmapHandle fitted = std::move(fitted_);
    HBITMAP scaled = fitted && layout.scaled == fittedSize_
                         ? fitted.release()
                         : picture::scaledDib(*picture(), layout.scaled.width, layout.scaled.height);
    if (!scaled) {
        vnt::trace(L"CVNTUI_Skeo_PhotoWnd: cannot scale the photo to %dx%d", layout.scaled.width,
                   layout.scaled.height);
        return 0;
    }
    releaseScaled();
    scaled_ = scaled;
    if (!imageDC_) imageDC_ = CreateCompatibleDC(nullptr);
    previousImage_ = SelectObject(imageDC_, scaled_);
    layout_ = layout;
    if (!layout_.canPan()) {
        dragging_ = false;
        anchor_ = POINT{-1, -1};
    }
    ensureBackBuffer();
    Invalidate();
    return 1;
}

bool CVNTUI_Skeo_PhotoWnd::TurnShown(Gdiplus::RotateFlipType rotation) {
    fitted_.reset();
    if (!RotateFlip(rotation)) return false;
    Render();
    return true;
}

void CVNTUI_Skeo_PhotoWnd::paint(HDC target) {
    ensureBackBuffer();
    if (!backBuffer_.valid()) return;
    backBuffer_.fill(bkColor());
    if (scaled_ && imageDC_)
        BitBlt(backBuffer_.dc(), layout_.x.target, layout_.y.target, layout_.x.length, layout_.y.length, imageDC_,
               layout_.x.source, layout_.y.source, SRCCOPY);
    backBuffer_.copyTo(target);
}

int CVNTUI_Skeo_PhotoWnd::CopyToClipboard() {
    const std::wstring& path = pictureFileName();
    if (!hwnd_ || path.empty()) return 0;
    if (!OpenClipboard(hwnd_)) return 0;
    EmptyClipboard();
    if (!vnt::fileExists(path)) {
        vnt::trace(L"CVNTUI_Skeo_PhotoWnd: %ls is gone, nothing to copy", path.c_str());
        CloseClipboard();
        return 0;
    }
    // Wide names, so that a path outside the ANSI code page reaches the pasting program intact.
    const size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* drop = block ? static_cast<DROPFILES*>(GlobalLock(block)) : nullptr;
    bool given = false;
    if (drop) {
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        std::memcpy(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
        GlobalUnlock(block);
        given = SetClipboardData(CF_HDROP, block) != nullptr;
    }
    if (!given) {
        vnt::trace(L"CVNTUI_Skeo_PhotoWnd: cannot put %ls on the clipboard", path.c_str());
        if (block) GlobalFree(block);
    }
    CloseClipboard();
    return given ? 1 : 0;
}

void CVNTUI_Skeo_PhotoWnd::showContextMenu() {
    HWND owner = commandTarget_ ? commandTarget_ : GetAncestor(hwnd_, GA_ROOT);
    vnt::MenuHandle menu = LoadContextMenu();
    POINT cursor;
    GetCursorPos(&cursor);
    if (menu) TrackPopupInFront(GetSubMenu(menu.get(), 0), cursor, owner);
}

LRESULT CVNTUI_Skeo_PhotoWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        vnt::PaintDC dc(hwnd_);
        paint(dc.get());
        return 0;
    }
    case WM_SIZE:
        Invalidate();
        break;
    case WM_SETCURSOR:
        if (hand_ && LOWORD(lParam) == HTCLIENT) {
            SetCursor(hand_);
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        if (layout_.canPan()) {
            anchor_ = vnt::PointFromLParam(lParam);
            dragging_ = true;
            SetCapture(hwnd_);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (dragging_ && (wParam & MK_LBUTTON)) {
            const POINT at = vnt::PointFromLParam(lParam);
            skeo::panPhotoView(layout_, anchor_.x - at.x, anchor_.y - at.y);
            anchor_ = at;
            Invalidate();
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        dragging_ = false;
        anchor_ = POINT{-1, -1};
        if (message == WM_LBUTTONUP && GetCapture() == hwnd_) ReleaseCapture();
        return 0;
    case WM_RBUTTONDOWN:
        if (!dragging_) showContextMenu();
        return 0;
    case WM_NCDESTROY:
        releaseScaled();
        backBuffer_.reset();
        break;
    default:
        break;
    }
    return CVNTUI_StaticPicture::WindowProc(message, wParam, lParam);
}
