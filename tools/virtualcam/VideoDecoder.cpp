#include "tools/virtualcam/VideoDecoder.h"

#include "dshow/MediaType.h"
#include "framework/Trace.h"
#include "tools/virtualcam/PixelFormats.h"

#include <amvideo.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <algorithm>

namespace vcam {

namespace {

// Frames beyond this are not video this tool makes; it also keeps every size a positive long.
constexpr size_t kMaxFrameBytes = 0x7fffffff;

bool rgb24Output(const AM_MEDIA_TYPE& mt, int& width, int& height) {
    const VIDEOINFOHEADER* vih = dshow::videoInfoOf(mt);
    if (!vih || !IsEqualGUID(mt.majortype, MEDIATYPE_Video) || !IsEqualGUID(mt.subtype, MEDIASUBTYPE_RGB24))
        return false;
    const BITMAPINFOHEADER& bih = vih->bmiHeader;
    // Bottom-up only: the decoders write rows in that order.
    if (bih.biBitCount != 24 || bih.biCompression != BI_RGB || bih.biWidth <= 0 || bih.biHeight <= 0) return false;
    width = bih.biWidth;
    height = bih.biHeight;
    return true;
}

}  // namespace

VideoDecoder::VideoDecoder(const CLSID& clsid, IUnknown* outer, const wchar_t* traceName)
    : TransformFilter(clsid, outer), traceName_(traceName) {}

HRESULT VideoDecoder::CheckInputType(const AM_MEDIA_TYPE* in) {
    if (!in) return E_POINTER;
    int w = 0, h = 0;
    if (!acceptsInput(*in, w, h)) return VFW_E_TYPE_NOT_ACCEPTED;
    const size_t bytes = rgb24FrameBytes(w, h);
    return bytes != 0 && bytes <= kMaxFrameBytes ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT VideoDecoder::CheckTransform(const AM_MEDIA_TYPE* in, const AM_MEDIA_TYPE* out) {
    if (!in || !out) return E_POINTER;
    int w = 0, h = 0, ow = 0, oh = 0;
    if (FAILED(CheckInputType(in)) || !acceptsInput(*in, w, h) || !rgb24Output(*out, ow, oh))
        return VFW_E_TYPE_NOT_ACCEPTED;
    return ow == w && oh == h ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT VideoDecoder::GetMediaType(int position, dshow::MediaType& type) {
    if (!inputPin().connected()) return E_UNEXPECTED;
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    const AM_MEDIA_TYPE& in = inputPin().mediaType().get();
    int w = 0, h = 0;
    if (!acceptsInput(in, w, h)) return E_UNEXPECTED;
    const size_t bytes = rgb24FrameBytes(w, h);

    type.clear();
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(type.allocFormat(sizeof(VIDEOINFOHEADER)));
    if (!vih) return E_OUTOFMEMORY;
    type->majortype = MEDIATYPE_Video;
    type->subtype = MEDIASUBTYPE_RGB24;
    type->formattype = FORMAT_VideoInfo;
    type->bFixedSizeSamples = TRUE;
    type->bTemporalCompression = FALSE;
    type->lSampleSize = static_cast<ULONG>(bytes);
    vih->AvgTimePerFrame = dshow::videoInfoOf(in)->AvgTimePerFrame;
    vih->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    vih->bmiHeader.biWidth = w;
    vih->bmiHeader.biHeight = h;
    vih->bmiHeader.biPlanes = 1;
    vih->bmiHeader.biBitCount = 24;
    vih->bmiHeader.biCompression = BI_RGB;
    vih->bmiHeader.biSizeImage = static_cast<DWORD>(bytes);
    return S_OK;
}

HRESULT VideoDecoder::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    if (!inputPin().connected()) return E_UNEXPECTED;
    if (!allocator || !props) return E_POINTER;
    int w = 0, h = 0;
    if (!acceptsInput(inputPin().mediaType().get(), w, h)) return E_UNEXPECTED;
    props->cBuffers = std::max<long>(props->cBuffers, 1);
    props->cbBuffer = static_cast<long>(rgb24FrameBytes(w, h));
    if (props->cbAlign <= 0) props->cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(props, &actual);
    if (FAILED(hr)) return hr;
    if (actual.cBuffers < 1 || actual.cbBuffer < props->cbBuffer) return E_FAIL;
    return S_OK;
}

HRESULT VideoDecoder::Transform(IMediaSample* in, IMediaSample* out) {
    if (!in || !out) return E_POINTER;
    const AM_MEDIA_TYPE& connected = inputPin().mediaType().get();
    int w = 0, h = 0;
    if (!acceptsInput(connected, w, h)) return S_FALSE;

    // A format change in mid-stream would need a new output type; frames of another size are
    // dropped rather than decoded into a buffer sized for the old one.
    AM_MEDIA_TYPE* changed = nullptr;
    if (in->GetMediaType(&changed) == S_OK && changed) {
        int cw = 0, ch = 0;
        const bool same = acceptsInput(*changed, cw, ch) && cw == w && ch == h;
        dshow::deleteMediaType(changed);
        if (!same) {
            vnt::trace(L"%ls: frame with a changed format dropped", traceName_);
            return S_FALSE;
        }
    }

    BYTE *src = nullptr, *dst = nullptr;
    HRESULT hr = in->GetPointer(&src);
    if (FAILED(hr)) return hr;
    if (FAILED(hr = out->GetPointer(&dst))) return hr;
    const long inLength = in->GetActualDataLength(), outSize = out->GetSize();
    const size_t frameBytes = rgb24FrameBytes(w, h);
    if (inLength <= 0 || outSize < 0 || static_cast<size_t>(outSize) < frameBytes) {
        vnt::trace(L"%ls: sample of %ld bytes into a buffer of %ld dropped", traceName_, inLength, outSize);
        return S_FALSE;
    }
    if (!decodeFrame(src, static_cast<size_t>(inLength), w, h, dst)) return S_FALSE;
    if (FAILED(hr = out->SetActualDataLength(static_cast<long>(frameBytes)))) return hr;
    return out->SetSyncPoint(TRUE);
}

}  // namespace vcam
