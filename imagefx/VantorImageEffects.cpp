#include "imagefx/VantorImageEffects.h"

#include "dshow/MediaType.h"
#include "framework/Trace.h"

#include <amvideo.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <algorithm>
#include <mutex>

namespace {

using Lock = std::lock_guard<dshow::SrwLock>;

// The frame layout of an RGB24 video type the kernels can process; false for any other type.
bool frameFormat(const AM_MEDIA_TYPE& mt, vantorfx::FrameFormat& format) {
    const VIDEOINFOHEADER* vih = dshow::videoInfoOf(mt);
    if (!vih || !IsEqualGUID(mt.majortype, MEDIATYPE_Video) || !IsEqualGUID(mt.subtype, MEDIASUBTYPE_RGB24))
        return false;
    const BITMAPINFOHEADER& bih = vih->bmiHeader;
    return bih.biBitCount == 24 && vantorfx::formatFromDib(bih.biWidth, bih.biHeight, bih.biBitCount, format) &&
           vantorfx::accepts(format);
}

// A frame that cannot be processed passes on as it came; the trace tells why, once per frame.
HRESULT dropFrame(const wchar_t* why, long sampleBytes, long outputBytes, size_t frameBytes) {
    vnt::trace(L"VantorImageEffects Transform: frame dropped, %ls (sample %ld bytes, output buffer %ld bytes, "
               L"frame %lu bytes)",
               why, sampleBytes, outputBytes, static_cast<unsigned long>(frameBytes));
    return S_FALSE;
}

// Closes the event whatever way TakeSnapshot leaves.
struct EventHandle {
    HANDLE h = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~EventHandle() {
        if (h) CloseHandle(h);
    }
};

}  // namespace

CVantorImageEffects::CVantorImageEffects(IUnknown* outer) : TransformFilter(CLSID_VantorImageEffects, outer) {}

HRESULT CVantorImageEffects::nonDelegatingQueryInterface(REFIID riid, void** ppv) {
    IUnknown* p = nullptr;
    if (IsEqualIID(riid, IID_IIPEffectVantor))
        p = static_cast<IIPEffectVantor*>(this);
    else if (IsEqualIID(riid, IID_ISpecifyPropertyPages))
        p = static_cast<ISpecifyPropertyPages*>(this);
    else
        return TransformFilter::nonDelegatingQueryInterface(riid, ppv);
    p->AddRef();
    *ppv = p;
    return S_OK;
}

STDMETHODIMP CVantorImageEffects::Stop() {
    const HRESULT hr = TransformFilter::Stop();
    Lock lock(snapshotLock_);
    ++stops_;
    if (request_ && !request_->done) {
        request_->cancelled = true;
        SetEvent(request_->served);
    }
    return hr;
}

template <class T>
HRESULT CVantorImageEffects::readSetting(const T& setting, T* value) {
    if (!value) return E_POINTER;
    Lock lock(settingsLock_);
    *value = setting;
    return S_OK;
}

HRESULT CVantorImageEffects::putSwitch(int& setting, bool& effect, int value) {
    Lock lock(settingsLock_);
    setting = value;
    effect = value != 0;
    setDirty(true);
    return S_OK;
}

STDMETHODIMP CVantorImageEffects::get_Mirror(int* mirror) { return readSetting(mirror_, mirror); }

STDMETHODIMP CVantorImageEffects::put_Mirror(int mirror) { return putSwitch(mirror_, effects_.mirror, mirror); }

STDMETHODIMP CVantorImageEffects::get_Flip(int* flip) { return readSetting(flip_, flip); }

STDMETHODIMP CVantorImageEffects::put_Flip(int flip) { return putSwitch(flip_, effects_.flip, flip); }

STDMETHODIMP CVantorImageEffects::get_Zoom(float* zoom) { return readSetting(effects_.zoom, zoom); }

// Stored as given: factors the kernels do not zoom with (1.0 and below) leave frames unzoomed.
STDMETHODIMP CVantorImageEffects::put_Zoom(float zoom) {
    Lock lock(settingsLock_);
    effects_.zoom = zoom;
    setDirty(true);
    return S_OK;
}

STDMETHODIMP CVantorImageEffects::put_Freeze(int freeze) {
    Lock lock(settingsLock_);
    freeze_ = freeze != 0;
    setDirty(true);
    return S_OK;
}

STDMETHODIMP CVantorImageEffects::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) return E_OUTOFMEMORY;
    pages->pElems[0] = CLSID_VantorImageEffectsPropertyPage;
    pages->cElems = 1;
    return S_OK;
}

STDMETHODIMP CVantorImageEffects::TakeSnapshot(int* size, BYTE* buffer, AM_MEDIA_TYPE* type) {
    {
        Lock lock(settingsLock_);
        if (freeze_) return S_OK;
    }
    EventHandle event;
    if (!event.h) return HRESULT_FROM_WIN32(GetLastError());
    SnapshotRequest request{size, buffer, type, event.h, false, false};

    // A Stop between the state check and publishing shows as a changed stop count, so a
    // request is never published unseen by the Stop that should cancel it.
    unsigned long stops = 0;
    {
        Lock lock(snapshotLock_);
        stops = stops_;
    }
    if (state() == State_Stopped) return VFW_E_WRONG_STATE;
    {
        Lock lock(snapshotLock_);
        if (request_) return S_OK;
        if (stops != stops_) return VFW_E_WRONG_STATE;
        request_ = &request;
    }

    // Flushing has no hook here, so it is polled between short waits.
    const ULONGLONG deadline = GetTickCount64() + kVantorSnapshotTimeoutMs;
    bool flushed = false;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) break;
        const DWORD step = static_cast<DWORD>(std::min<ULONGLONG>(100, deadline - now));
        if (WaitForSingleObject(event.h, step) == WAIT_OBJECT_0) break;
        if (inputPin().flushing()) {
            flushed = true;
            break;
        }
    }

    Lock lock(snapshotLock_);
    request_ = nullptr;
    if (request.done) return S_OK;
    return request.cancelled || flushed ? VFW_E_WRONG_STATE : VFW_E_TIMEOUT;
}

HRESULT CVantorImageEffects::CheckInputType(const AM_MEDIA_TYPE* in) {
    if (!in) return E_POINTER;
    if (!dshow::videoInfoOf(*in)) return E_INVALIDARG;
    vantorfx::FrameFormat format;
    return frameFormat(*in, format) ? S_OK : E_FAIL;
}

HRESULT CVantorImageEffects::CheckTransform(const AM_MEDIA_TYPE* in, const AM_MEDIA_TYPE* out) {
    if (!in || !out) return E_POINTER;
    vantorfx::FrameFormat format;
    return frameFormat(*in, format) && dshow::mediaTypesEqual(*in, *out) ? S_OK : E_FAIL;
}

HRESULT CVantorImageEffects::GetMediaType(int position, dshow::MediaType& type) {
    if (!inputPin().connected()) return E_UNEXPECTED;
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return type.copyFrom(inputPin().mediaType().get());
}

HRESULT CVantorImageEffects::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    if (!inputPin().connected()) return E_UNEXPECTED;
    if (!allocator || !props) return E_POINTER;
    // Sized from the format rather than lSampleSize alone, which a source may leave at 0.
    vantorfx::FrameFormat format;
    if (!frameFormat(inputPin().mediaType().get(), format)) return E_UNEXPECTED;
    const size_t bytes = std::max<size_t>(vantorfx::frameBytes(format), inputPin().mediaType()->lSampleSize);
    if (bytes > 0x7fffffff) return E_OUTOFMEMORY;
    props->cBuffers = 1;
    props->cbBuffer = static_cast<long>(bytes);
    if (props->cbAlign <= 0) props->cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(props, &actual);
    if (FAILED(hr)) return hr;
    if (actual.cBuffers < props->cBuffers || actual.cbBuffer < props->cbBuffer) return E_FAIL;
    return S_OK;
}

HRESULT CVantorImageEffects::Transform(IMediaSample* in, IMediaSample* out) {
    if (!in || !out) return E_POINTER;
    // The framework copies the other properties; a type change travels on with the frame.
    AM_MEDIA_TYPE* changed = nullptr;
    if (in->GetMediaType(&changed) == S_OK && changed) {
        const HRESULT hr = out->SetMediaType(changed);
        dshow::deleteMediaType(changed);
        if (FAILED(hr)) return hr;
    }

    BYTE *src = nullptr, *dst = nullptr;
    HRESULT hr = in->GetPointer(&src);
    if (FAILED(hr)) return hr;
    if (FAILED(hr = out->GetPointer(&dst))) return hr;

    vantorfx::Effects effects;
    {
        Lock lock(settingsLock_);
        if (freeze_) return S_OK;
        effects = effects_;
    }

    const long inLength = in->GetActualDataLength();
    const long outSize = out->GetSize();
    vantorfx::FrameFormat format;
    if (!frameFormat(inputPin().mediaType().get(), format))
        return dropFrame(L"the input type is not 24-bit RGB video", inLength, outSize, 0);
    const size_t frameLength = vantorfx::frameBytes(format);
    // A short sample is dropped rather than failed, so one bad frame does not stop the stream.
    if (inLength < 0 || outSize < 0 || !vantorfx::fitsBuffer(format, static_cast<size_t>(inLength)) ||
        !vantorfx::fitsBuffer(format, static_cast<size_t>(outSize)))
        return dropFrame(L"a sample or buffer too short for the frame", inLength, outSize, frameLength);
    if (!vantorfx::transformFrame(format, effects, src, static_cast<size_t>(inLength), dst,
                                  static_cast<size_t>(outSize), scaler_))
        return dropFrame(L"the frame could not be processed", inLength, outSize, frameLength);
    serveSnapshot(in, dst, frameLength);
    return S_OK;
}

void CVantorImageEffects::serveSnapshot(IMediaSample* in, const BYTE* frame, size_t frameLength) {
    Lock lock(snapshotLock_);
    SnapshotRequest* r = request_;
    if (!r || r->done) return;
    if (r->buffer && r->size) {
        const size_t wanted = *r->size > 0 ? static_cast<size_t>(*r->size) : 0;
        std::copy_n(frame, std::min(wanted, frameLength), r->buffer);
    } else if (r->size) {
        *r->size = in->GetActualDataLength();
    }
    // The caller gets a view of the filter's own copy and frees nothing. The copy is renewed only
    // when the type has changed, and only while a later call is served, so a view lives that long.
    if (r->type) {
        const AM_MEDIA_TYPE& current = inputPin().mediaType().get();
        if (!dshow::mediaTypesEqual(shownType_.get(), current) || shownType_->lSampleSize != current.lSampleSize)
            shownType_.copyFrom(current);  // out of memory leaves it empty: a type without a format
        *r->type = shownType_.get();
        r->type->pUnk = nullptr;
    }
    r->done = true;
    SetEvent(r->served);
}

HRESULT CreateVantorImageEffects(IUnknown* outer, REFIID riid, void** ppv) noexcept {
    return dshow::createFilter<CVantorImageEffects>(outer, riid, ppv);
}
