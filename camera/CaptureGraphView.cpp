// The view operations of the capture graph: fitting, mirroring, zooming and overlays, one way per
// renderer kind.
#include "camera/CaptureGraph.h"

#include "framework/Gdiplus.h"
#include "framework/Trace.h"
#include "library/PhotoWriter.h"

#include <memory>

using vnt::trace;
using vntview::NormRect;

namespace {

const wchar_t* rendererSuffix(int kind) {
    return kind == kRendererVmr9 ? L" VMR9" : kind == kRendererEvr ? L" EVR" : L" VW";
}

NormRect fromVmr(const VMR9NormalizedRect& r) { return NormRect{r.left, r.top, r.right, r.bottom}; }
VMR9NormalizedRect toVmr(const NormRect& r) { return VMR9NormalizedRect{r.left, r.top, r.right, r.bottom}; }
NormRect fromMf(const MFVideoNormalizedRect& r) { return NormRect{r.left, r.top, r.right, r.bottom}; }
MFVideoNormalizedRect toMf(const NormRect& r) { return MFVideoNormalizedRect{r.left, r.top, r.right, r.bottom}; }

// A memory context compatible with the video window holding one bitmap; both deleted on leaving.
class OverlayCanvas {
public:
    OverlayCanvas(HWND window, HBITMAP bitmap) : bitmap_(bitmap) {
        HDC screen = GetDC(window);
        dc_ = CreateCompatibleDC(screen);
        ReleaseDC(window, screen);
        if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
    }
    ~OverlayCanvas() {
        if (dc_ && old_) SelectObject(dc_, old_);
        if (dc_) DeleteDC(dc_);
        if (bitmap_) DeleteObject(bitmap_);
    }
    OverlayCanvas(const OverlayCanvas&) = delete;
    OverlayCanvas& operator=(const OverlayCanvas&) = delete;
    HDC dc() const { return dc_ && old_ ? dc_ : nullptr; }

private:
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

HBITMAP compatibleBitmap(HWND window, int width, int height) {
    HDC screen = GetDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(window, screen);
    return bitmap;
}

}  // namespace

bool CaptureGraph::Resize() {
    RECT client{};
    if (videoWindow_) GetClientRect(videoWindow_, &client);
    HRESULT hr = S_OK;
    if (rendererKind_ == kRendererVmr9) {
        trace(L"Resize, use VMR9");
        if (!vmr9Windowless_) return true;
        LONG width = 0, height = 0;
        if (FAILED(hr = vmr9Windowless_->GetNativeVideoSize(&width, &height, nullptr, nullptr))) {
            ReportError(L"GetNativeVideoSize Faild", hr);
            return false;
        }
        const RECT source{0, 0, width, height};
        if (FAILED(hr = vmr9Windowless_->SetVideoPosition(&source, &client))) {
            ReportError(L"SetVideoPosition Faild", hr);
            return false;
        }
    } else if (rendererKind_ == kRendererEvr) {
        trace(L"Resize, use EVR");
        if (!evrDisplay_) return true;
        const MFVideoNormalizedRect whole{0.0f, 0.0f, 1.0f, 1.0f};
        if (FAILED(hr = evrDisplay_->SetVideoPosition(&whole, &client))) {
            ReportError(L"SetVideoPosition Faild", hr);
            return false;
        }
        // Resetting the source rectangle lost the zoom.
        if (zoom_ != 1.0f) Zoom(zoom_);
    } else {
        trace(L"Resize, use VideoWindow");
        if (!videoWindowControl_) {
            trace(L"Resize Failed");
            return false;
        }
        if (FAILED(hr = videoWindowControl_->put_Left(0))) ReportError(L"put_Left Failed", hr);
        if (FAILED(hr = videoWindowControl_->put_Top(0))) ReportError(L"put_Top Failed", hr);
        if (FAILED(hr = videoWindowControl_->put_Width(client.right - client.left))) ReportError(L"put_Width Failed", hr);
        if (FAILED(hr = videoWindowControl_->put_Height(client.bottom - client.top)))
            ReportError(L"put_Height Failed", hr);
        settleVideoWindow(videoWindowControl_.get(), client);
    }
    return true;
}

bool CaptureGraph::vmr9OutputRect(NormRect& rect) {
    VMR9NormalizedRect r{};
    const HRESULT hr = vmr9Mixer_->GetOutputRect(0, &r);
    if (FAILED(hr)) {
        ReportError(L"GetOutputRect Failed", hr);
        return false;
    }
    rect = fromVmr(r);
    return true;
}

bool CaptureGraph::IsMirrorHorizontal() { return isMirrored(false); }

bool CaptureGraph::IsMirrorVertical() { return isMirrored(true); }

bool CaptureGraph::isMirrored(bool vertical) {
    trace(vertical ? L"IsMirrorVertical%ls" : L"IsMirrorHorizontal%ls", rendererSuffix(rendererKind_));
    const bool vmr9 = rendererKind_ == kRendererVmr9;
    if (vmr9 ? !vmr9Mixer_ : !effects_) {
        ReportError(L"No Interface.", E_INVALIDARG);
        return false;
    }
    if (vmr9) {
        NormRect r;
        return vmr9OutputRect(r) && (vertical ? vntview::isMirroredVertically(r) : vntview::isMirroredHorizontally(r));
    }
    int on = 0;
    return SUCCEEDED(vertical ? effects_->get_Flip(&on) : effects_->get_Mirror(&on)) && on != 0;
}

bool CaptureGraph::Mirror(bool vertical, bool horizontal) {
    if (rendererKind_ == kRendererVmr9) {
        trace(L"Mirror VMR9");
        NormRect current;
        if (!vmr9Mixer_) {
            ReportError(L"No Interface.", E_INVALIDARG);
            return false;
        }
        if (!vmr9OutputRect(current)) return false;
        const VMR9NormalizedRect next = toVmr(vntview::mirroredOutputRect(current, vertical, horizontal));
        const HRESULT hr = vmr9Mixer_->SetOutputRect(0, &next);
        if (FAILED(hr)) {
            ReportError(L"SetOutputRect Failed", hr);
            return false;
        }
        return true;
    }
    trace(rendererKind_ == kRendererEvr ? L"Mirror EVR" : L"Mirror VW");
    if (!effects_) {
        ReportError(L"No Interface.", E_INVALIDARG);
        return false;
    }
    // The filter mirrors the frames themselves, so the EVR's rectangle stays upright.
    effects_->put_Flip(vertical ? 1 : 0);
    effects_->put_Mirror(horizontal ? 1 : 0);
    return true;
}

bool CaptureGraph::Zoom(float factor) {
    if (!vntview::zoomAllowed(factor)) return false;
    HRESULT hr = S_OK;
    if (rendererKind_ == kRendererVmr9) {
        trace(L"Zoom VMR9");
        if (!vmr9Mixer_) {
            ReportError(L"No Interface.", E_INVALIDARG);
            return false;
        }
        NormRect current;
        if (!vmr9OutputRect(current)) return false;
        const VMR9NormalizedRect next = toVmr(vntview::outputRectForZoom(current, factor));
        if (FAILED(hr = vmr9Mixer_->SetOutputRect(0, &next))) {
            ReportError(L"SetOutputRect Failed", hr);
            return false;
        }
    } else if (rendererKind_ == kRendererEvr) {
        trace(L"Zoom EVR");
        if (!evrMixer_ || !evrDisplay_) {
            ReportError(L"No Interface.", E_INVALIDARG);
            return false;
        }
        MFVideoNormalizedRect source{};
        RECT destination{};
        if (FAILED(hr = evrDisplay_->GetVideoPosition(&source, &destination))) {
            ReportError(L"GetVideoPosition Failed", hr);
            return false;
        }
        const MFVideoNormalizedRect next = toMf(vntview::sourceRectForZoom(fromMf(source), factor));
        if (FAILED(hr = evrDisplay_->SetVideoPosition(&next, nullptr))) {
            ReportError(L"SetVideoPosition Failed", hr);
            return false;
        }
    } else {
        trace(L"Zoom VW");
        if (!effects_) {
            ReportError(L"No Interface.", E_INVALIDARG);
            return false;
        }
        // The filter zooms the frames; the graph's own factor stays 1.0, which is also what photos
        // taken with this renderer use.
        effects_->put_Zoom(factor);
        return false;
    }
    zoom_ = factor;
    return true;
}

bool CaptureGraph::showOverlay(HDC dc, const RECT& source, const NormRect& destination, COLORREF* colourKey) {
    HRESULT hr = E_FAIL;
    if (rendererKind_ == kRendererVmr9) {
        VMR9AlphaBitmap bitmap{};
        bitmap.dwFlags = VMR9AlphaBitmap_hDC | (colourKey ? VMR9AlphaBitmap_SrcColorKey : 0);
        bitmap.hdc = dc;
        bitmap.rSrc = source;
        bitmap.rDest = toVmr(destination);
        bitmap.fAlpha = 1.0f;
        bitmap.clrSrcKey = colourKey ? *colourKey : 0;
        hr = vmr9Bitmap_->SetAlphaBitmap(&bitmap);
        if (SUCCEEDED(hr) && colourKey) {
            bitmap.dwFlags = VMR9AlphaBitmap_SrcRect | VMR9AlphaBitmap_SrcColorKey;
            bitmap.hdc = nullptr;
            vmr9Bitmap_->UpdateAlphaBitmapParameters(&bitmap);
        }
    } else {
        MFVideoAlphaBitmap bitmap{};
        bitmap.GetBitmapFromDC = TRUE;
        bitmap.bitmap.hdc = dc;
        bitmap.params.dwFlags = MFVideoAlphaBitmap_SrcRect | MFVideoAlphaBitmap_DestRect | MFVideoAlphaBitmap_Alpha |
                                (colourKey ? MFVideoAlphaBitmap_SrcColorKey : 0);
        bitmap.params.rcSrc = source;
        bitmap.params.nrcDest = toMf(destination);
        bitmap.params.fAlpha = 1.0f;
        bitmap.params.clrSrcKey = colourKey ? *colourKey : 0;
        hr = evrBitmap_->SetAlphaBitmap(&bitmap);
        if (SUCCEEDED(hr) && colourKey) {
            bitmap.params.dwFlags = MFVideoAlphaBitmap_SrcRect | MFVideoAlphaBitmap_SrcColorKey;
            evrBitmap_->UpdateAlphaBitmapParameters(&bitmap.params);
        }
    }
    if (FAILED(hr)) {
        ReportError(L"SetAlphaBitmap Failed", hr);
        return false;
    }
    return true;
}

bool CaptureGraph::ShowBlackFrame() {
    trace(L"ShowBlackFrame%ls", rendererSuffix(rendererKind_));
    if (rendererKind_ == kRendererVideoWindow) return false;
    if ((rendererKind_ == kRendererVmr9 && !vmr9Bitmap_) || (rendererKind_ == kRendererEvr && !evrBitmap_)) {
        ReportError(L"No Interface.", E_INVALIDARG);
        return false;
    }
    OverlayCanvas canvas(videoWindow_, CreateBitmap(1, 1, 1, 1, nullptr));
    if (!canvas.dc()) return false;
    const BYTE black[2] = {0, 0};
    SetBitmapBits(static_cast<HBITMAP>(GetCurrentObject(canvas.dc(), OBJ_BITMAP)), sizeof black, black);
    return showOverlay(canvas.dc(), RECT{0, 0, 1, 1}, NormRect{}, nullptr);
}

bool CaptureGraph::ShowBitmap1(const wchar_t* photoPath) {
    trace(L"ShowBitmap1%ls", rendererSuffix(rendererKind_));
    if (rendererKind_ == kRendererVideoWindow) return false;
    if ((rendererKind_ == kRendererVmr9 && !vmr9Bitmap_) || (rendererKind_ == kRendererEvr && !evrBitmap_)) {
        ReportError(L"No Interface.", E_INVALIDARG);
        return false;
    }
    RECT client{};
    GetClientRect(videoWindow_, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return false;
    OverlayCanvas canvas(videoWindow_, compatibleBitmap(videoWindow_, width, height));
    if (!canvas.dc()) return false;
    PatBlt(canvas.dc(), 0, 0, width, height, BLACKNESS);
    {
        Gdiplus::Graphics graphics(canvas.dc());
        if (width >= overlayWidth_) {
            std::unique_ptr<Gdiplus::Bitmap> photo(LoadPhotoThumbnail(photoPath, overlayWidth_, overlayHeight_));
            if (photo)
                graphics.DrawImage(photo.get(), (width - overlayWidth_) / 2, (height - overlayHeight_) / 2,
                                   static_cast<INT>(photo->GetWidth()), static_cast<INT>(photo->GetHeight()));
        } else {
            std::unique_ptr<Gdiplus::Bitmap> photo(LoadPhotoThumbnail(photoPath, width, height));
            if (photo) graphics.DrawImage(photo.get(), 0, 0, width, height);
        }
    }
    return showOverlay(canvas.dc(), RECT{0, 0, width, height}, NormRect{}, nullptr);
}

bool CaptureGraph::ShowBitmap2(UINT resourceId, int sourceWidth, int sourceHeight, COLORREF colourKey,
                               const RECT& destination) {
    trace(L"ShowBitmap2%ls", rendererSuffix(rendererKind_));
    if (rendererKind_ == kRendererVideoWindow) return false;
    if ((rendererKind_ == kRendererVmr9 && !vmr9Bitmap_) || (rendererKind_ == kRendererEvr && !evrBitmap_)) {
        ReportError(L"No Interface.", E_INVALIDARG);
        return false;
    }
    HBITMAP picture = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!picture) {
        trace(L"ShowBitmap2: no bitmap resource %u", resourceId);
        return false;
    }
    OverlayCanvas canvas(videoWindow_, picture);
    if (!canvas.dc()) return false;
    RECT client{};
    GetClientRect(videoWindow_, &client);
    const NormRect where = vntview::overlayDestination(destination.left, destination.top, destination.right,
                                                       destination.bottom, client.right, client.bottom);
    return showOverlay(canvas.dc(), RECT{0, 0, sourceWidth, sourceHeight}, where, &colourKey);
}

bool CaptureGraph::DisableBitmap() {
    trace(L"DisableBitmap%ls", rendererSuffix(rendererKind_));
    HRESULT hr = S_OK;
    if (rendererKind_ == kRendererVmr9) {
        if (!vmr9Bitmap_) {
            ReportError(L"No Interface.", E_INVALIDARG);
            return false;
        }
        VMR9AlphaBitmap bitmap{};
        if (FAILED(hr = vmr9Bitmap_->GetAlphaBitmapParameters(&bitmap))) {
            ReportError(L"GetAlphaBitmapParameters Failed", hr);
            return false;
        }
        bitmap.dwFlags = VMR9AlphaBitmap_Disable;
        bitmap.fAlpha = 0.0f;
        if (FAILED(hr = vmr9Bitmap_->SetAlphaBitmap(&bitmap))) {
            ReportError(L"SetAlphaBitmap Failed", hr);
            return false;
        }
        vmr9Bitmap_->UpdateAlphaBitmapParameters(&bitmap);
        return true;
    }
    if (rendererKind_ == kRendererEvr) {
        if (!evrBitmap_) {
            ReportError(L"No Interface.", E_INVALIDARG);
            return false;
        }
        if (FAILED(hr = evrBitmap_->ClearAlphaBitmap())) {
            ReportError(L"ClearAlphaBitmap Failed", hr);
            return false;
        }
        return true;
    }
    return false;
}
