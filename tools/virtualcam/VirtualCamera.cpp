#include "tools/virtualcam/VirtualCamera.h"

#include "dshow/MediaType.h"
#include "framework/Trace.h"
#include "tools/virtualcam/CameraInstances.h"
#include "tools/virtualcam/PixelFormats.h"

#include <amvideo.h>
#include <evcode.h>
#include <ks.h>
#include <ksmedia.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

namespace vcam {

namespace {

using Lock = std::lock_guard<dshow::CritSec>;

// Slowest rate a caller may ask for: one frame a second.
constexpr REFERENCE_TIME kMaxFrameInterval = 10000000;

const GUID* const kSubtypes[] = {&MEDIASUBTYPE_MJPG, &MEDIASUBTYPE_YUY2, &MEDIASUBTYPE_RGB24};

DWORD compressionOf(const GUID& subtype) {
    if (IsEqualGUID(subtype, MEDIASUBTYPE_MJPG)) return MAKEFOURCC('M', 'J', 'P', 'G');
    if (IsEqualGUID(subtype, MEDIASUBTYPE_YUY2)) return MAKEFOURCC('Y', 'U', 'Y', '2');
    return BI_RGB;
}

WORD bitCountOf(const GUID& subtype) { return IsEqualGUID(subtype, MEDIASUBTYPE_YUY2) ? 16 : 24; }

// A JPEG of the test picture is far smaller than the raw frame; a raw frame's room always holds it.
size_t frameBytesOf(const GUID& subtype, int width, int height) {
    return IsEqualGUID(subtype, MEDIASUBTYPE_YUY2) ? yuy2FrameBytes(width, height) : rgb24FrameBytes(width, height);
}

REFERENCE_TIME intervalOf(const AM_MEDIA_TYPE& mt) {
    const VIDEOINFOHEADER* vih = dshow::videoInfoOf(mt);
    return vih && vih->AvgTimePerFrame > 0 ? vih->AvgTimePerFrame : kFrameInterval;
}

HRESULT hand(IUnknown* p, void** ppv) {
    *ppv = p;
    p->AddRef();
    return S_OK;
}

const REGPINTYPES kCaptureTypes[] = {
    {&MEDIATYPE_Video, &MEDIASUBTYPE_MJPG},
    {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2},
    {&MEDIATYPE_Video, &MEDIASUBTYPE_RGB24},
};
const REGFILTERPINS2 kCapturePin = {REG_PINFLAG_B_OUTPUT, 1, 3, kCaptureTypes, 0, nullptr, &PIN_CATEGORY_CAPTURE};

REGFILTER2 makeFilterData() {
    REGFILTER2 data{};
    data.dwVersion = 2;
    // Capture devices are chosen by the user, never by intelligent connect.
    data.dwMerit = MERIT_DO_NOT_USE;
    data.cPins2 = 1;
    data.rgPins2 = &kCapturePin;
    return data;
}
const REGFILTER2 kFilterData = makeFilterData();

}  // namespace

const REGFILTER2& virtualCameraFilterData() { return kFilterData; }

HRESULT captureFormat(int index, dshow::MediaType& type) {
    if (index < 0) return E_INVALIDARG;
    if (index >= kCaptureFormatCount) return VFW_S_NO_MORE_ITEMS;
    const GUID& subtype = *kSubtypes[index / kCaptureSizeCount];
    const CaptureSize size = kCaptureSizes[index % kCaptureSizeCount];
    const size_t bytes = frameBytesOf(subtype, size.width, size.height);

    type.clear();
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(type.allocFormat(sizeof(VIDEOINFOHEADER)));
    if (!vih) return E_OUTOFMEMORY;
    type->majortype = MEDIATYPE_Video;
    type->subtype = subtype;
    type->formattype = FORMAT_VideoInfo;
    type->bFixedSizeSamples = IsEqualGUID(subtype, MEDIASUBTYPE_MJPG) ? FALSE : TRUE;
    type->bTemporalCompression = FALSE;
    type->lSampleSize = static_cast<ULONG>(bytes);
    vih->dwBitRate = static_cast<DWORD>(bytes * 8 * 30);
    vih->AvgTimePerFrame = kFrameInterval;
    BITMAPINFOHEADER& bih = vih->bmiHeader;
    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biWidth = size.width;
    bih.biHeight = size.height;
    bih.biPlanes = 1;
    bih.biBitCount = bitCountOf(subtype);
    bih.biCompression = compressionOf(subtype);
    bih.biSizeImage = static_cast<DWORD>(bytes);
    return S_OK;
}

int captureFormatIndex(const AM_MEDIA_TYPE& type) {
    const VIDEOINFOHEADER* vih = dshow::videoInfoOf(type);
    if (!vih || !IsEqualGUID(type.majortype, MEDIATYPE_Video)) return -1;
    if (vih->AvgTimePerFrame < 0 || vih->AvgTimePerFrame > kMaxFrameInterval ||
        (vih->AvgTimePerFrame > 0 && vih->AvgTimePerFrame < kFrameInterval))
        return -1;
    const BITMAPINFOHEADER& bih = vih->bmiHeader;
    for (int s = 0; s < 3; ++s) {
        if (!IsEqualGUID(type.subtype, *kSubtypes[s])) continue;
        if (bih.biCompression != compressionOf(*kSubtypes[s]) || bih.biBitCount != bitCountOf(*kSubtypes[s]))
            return -1;
        for (int i = 0; i < kCaptureSizeCount; ++i)
            if (bih.biWidth == kCaptureSizes[i].width && bih.biHeight == kCaptureSizes[i].height)
                return s * kCaptureSizeCount + i;
    }
    return -1;
}

// --- the pin ---------------------------------------------------------------------------------

CapturePin::CapturePin(VirtualCamera& camera) : PushPin(camera, L"Capture"), camera_(camera) {}

STDMETHODIMP CapturePin::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IAMStreamConfig)) return hand(static_cast<IAMStreamConfig*>(this), ppv);
    if (IsEqualIID(riid, IID_IKsPropertySet)) return hand(static_cast<IKsPropertySet*>(this), ppv);
    return PushPin::QueryInterface(riid, ppv);
}

HRESULT CapturePin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
    const int index = captureFormatIndex(mt);
    if (index < 0) return S_FALSE;
    // Once the application chose a format, the pin connects with that one only.
    if (hasChosen() && captureFormatIndex(chosen_.get()) != index) return S_FALSE;
    return S_OK;
}

HRESULT CapturePin::GetMediaType(int position, dshow::MediaType& type) {
    if (position < 0) return E_INVALIDARG;
    if (hasChosen()) {
        if (position > 0) return VFW_S_NO_MORE_ITEMS;
        return type.copyFrom(chosen_.get());
    }
    return captureFormat(position, type);
}

HRESULT CapturePin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    if (!allocator || !props) return E_POINTER;
    const VIDEOINFOHEADER* vih = dshow::videoInfoOf(mediaType().get());
    if (!vih) return VFW_E_TYPE_NOT_ACCEPTED;
    const size_t needed = frameBytesOf(mediaType()->subtype, vih->bmiHeader.biWidth, vih->bmiHeader.biHeight);
    if (needed == 0) return VFW_E_TYPE_NOT_ACCEPTED;
    // Three in flight: one being filled, one downstream, one waiting in a renderer's queue.
    props->cBuffers = std::max<long>(props->cBuffers, 3);
    props->cbBuffer = std::max<long>(props->cbBuffer, static_cast<long>(needed));
    if (props->cbAlign <= 0) props->cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(props, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer >= static_cast<long>(needed) && actual.cBuffers > 0 ? S_OK : E_FAIL;
}

HRESULT CapturePin::currentFormat(dshow::MediaType& type) {
    Lock lock(filter_.filterLock());
    if (connected()) return type.copyFrom(mediaType().get());
    if (hasChosen()) return type.copyFrom(chosen_.get());
    return captureFormat(0, type);
}

STDMETHODIMP CapturePin::GetFormat(AM_MEDIA_TYPE** ppmt) {
    if (!ppmt) return E_POINTER;
    *ppmt = nullptr;
    dshow::MediaType type;
    const HRESULT hr = currentFormat(type);
    if (FAILED(hr)) return hr;
    *ppmt = dshow::createMediaType(type.get());
    return *ppmt ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CapturePin::SetFormat(AM_MEDIA_TYPE* pmt) {
    IFilterGraph* graph = nullptr;
    dshow::MediaType wanted;
    {
        Lock lock(filter_.filterLock());
        if (filter_.state() != State_Stopped) return VFW_E_NOT_STOPPED;
        if (!pmt) {
            // Back to the whole list; a connection keeps its type.
            chosen_.clear();
            return S_OK;
        }
        if (captureFormatIndex(*pmt) < 0) return VFW_E_INVALIDMEDIATYPE;
        HRESULT hr = wanted.copyFrom(*pmt);
        if (FAILED(hr)) return hr;
        IPin* peer = connected();
        if (peer && !dshow::mediaTypesEqual(*pmt, mediaType().get())) {
            // Asked first, so that a refusal leaves the working connection as it is.
            if (peer->QueryAccept(pmt) != S_OK) return VFW_E_INVALIDMEDIATYPE;
            graph = filter_.graph();
            if (!graph) return VFW_E_NOT_IN_GRAPH;
            graph->AddRef();
        }
        hr = chosen_.copyFrom(*pmt);
        if (FAILED(hr)) {
            if (graph) graph->Release();
            return hr;
        }
    }
    if (!graph) return S_OK;
    // Outside the filter lock: the graph disconnects and connects this pin again, from its own
    // locks, and our pin methods take the filter lock themselves.
    HRESULT hr = E_NOINTERFACE;
    IFilterGraph2* graph2 = nullptr;
    if (SUCCEEDED(graph->QueryInterface(IID_IFilterGraph2, reinterpret_cast<void**>(&graph2))) && graph2) {
        hr = graph2->ReconnectEx(this, &wanted.get());
        graph2->Release();
    } else {
        hr = graph->Reconnect(this);
    }
    graph->Release();
    if (FAILED(hr)) vnt::trace(L"VirtualCamera SetFormat: reconnecting failed 0x%08x", static_cast<unsigned>(hr));
    return hr;
}

STDMETHODIMP CapturePin::GetNumberOfCapabilities(int* piCount, int* piSize) {
    if (!piCount || !piSize) return E_POINTER;
    *piCount = kCaptureFormatCount;
    *piSize = sizeof(VIDEO_STREAM_CONFIG_CAPS);
    return S_OK;
}

STDMETHODIMP CapturePin::GetStreamCaps(int iIndex, AM_MEDIA_TYPE** ppmt, BYTE* pSCC) {
    if (!ppmt || !pSCC) return E_POINTER;
    *ppmt = nullptr;
    if (iIndex < 0) return E_INVALIDARG;
    if (iIndex >= kCaptureFormatCount) return S_FALSE;
    dshow::MediaType type;
    const HRESULT hr = captureFormat(iIndex, type);
    if (FAILED(hr)) return hr;
    const CaptureSize size = kCaptureSizes[iIndex % kCaptureSizeCount];
    const LONG bits = static_cast<LONG>(frameBytesOf(type->subtype, size.width, size.height) * 8);

    // Each entry is one fixed size: no cropping, no scaling, any rate from 30 down to 1 a second.
    VIDEO_STREAM_CONFIG_CAPS caps{};
    caps.guid = FORMAT_VideoInfo;
    caps.VideoStandard = 0;  // AnalogVideo_None
    caps.InputSize = {size.width, size.height};
    caps.MinCroppingSize = caps.MaxCroppingSize = caps.InputSize;
    caps.CropGranularityX = caps.CropGranularityY = 1;
    caps.CropAlignX = caps.CropAlignY = 1;
    caps.MinOutputSize = caps.MaxOutputSize = caps.InputSize;
    caps.OutputGranularityX = caps.OutputGranularityY = 0;
    caps.MinFrameInterval = kFrameInterval;
    caps.MaxFrameInterval = kMaxFrameInterval;
    caps.MinBitsPerSecond = bits;
    caps.MaxBitsPerSecond = bits * 30;
    std::memcpy(pSCC, &caps, sizeof caps);
    *ppmt = dshow::createMediaType(type.get());
    return *ppmt ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CapturePin::Set(REFGUID guidPropSet, DWORD dwPropID, LPVOID, DWORD, LPVOID, DWORD) {
    if (!IsEqualGUID(guidPropSet, AMPROPSETID_Pin)) return E_PROP_SET_UNSUPPORTED;
    return E_PROP_ID_UNSUPPORTED;  // the category is read only
}

STDMETHODIMP CapturePin::Get(REFGUID guidPropSet, DWORD dwPropID, LPVOID, DWORD, LPVOID pPropData, DWORD cbPropData,
                             DWORD* pcbReturned) {
    if (!IsEqualGUID(guidPropSet, AMPROPSETID_Pin)) return E_PROP_SET_UNSUPPORTED;
    if (dwPropID != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (!pPropData) {
        if (!pcbReturned) return E_POINTER;
        *pcbReturned = sizeof(GUID);
        return S_OK;
    }
    if (cbPropData < sizeof(GUID)) return E_UNEXPECTED;
    std::memcpy(pPropData, &PIN_CATEGORY_CAPTURE, sizeof(GUID));
    if (pcbReturned) *pcbReturned = sizeof(GUID);
    return S_OK;
}

STDMETHODIMP CapturePin::QuerySupported(REFGUID guidPropSet, DWORD dwPropID, DWORD* pTypeSupport) {
    if (!IsEqualGUID(guidPropSet, AMPROPSETID_Pin)) return E_PROP_SET_UNSUPPORTED;
    if (dwPropID != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (pTypeSupport) *pTypeSupport = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

HRESULT CapturePin::OnThreadCreate() {
    codec_.reset(new (std::nothrow) MjpgCodec());
    if (!codec_) return E_OUTOFMEMORY;
    const std::wstring path = camera_.devicePath();
    const std::wstring id = instanceIdOfPath(path);
    if (!id.empty() &&
        RegOpenKeyExW(HKEY_CLASSES_ROOT, instanceKeyPath(id).c_str(), 0, KEY_QUERY_VALUE, &instanceKey_) !=
            ERROR_SUCCESS)
        instanceKey_ = nullptr;
    // A path without its key is a device that went away while the graph was being built.
    instanceGone_ = !id.empty() && !instanceKey_;
    return S_OK;
}

void CapturePin::OnThreadDestroy() {
    codec_.reset();  // its codec objects belong to this thread's apartment
    if (instanceKey_) RegCloseKey(instanceKey_);
    instanceKey_ = nullptr;
}

HRESULT CapturePin::OnThreadStartPlay() {
    frame_ = 0;
    scheduled_ = false;
    clockless_ = 0;
    return S_OK;
}

bool CapturePin::pulled() const {
    if (instanceGone_) return true;
    if (!instanceKey_) return false;
    DWORD value = 0, bytes = sizeof value, type = 0;
    const LONG err = RegQueryValueExW(instanceKey_, L"Pulled", nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes);
    if (err == ERROR_KEY_DELETED) return true;  // the instance was removed under us
    return err == ERROR_SUCCESS && type == REG_DWORD && value != 0;
}

bool CapturePin::pace(REFERENCE_TIME interval, REFERENCE_TIME& start, bool& stamped) {
    auto now = [this, &stamped]() {
        REFERENCE_TIME t = 0;
        stamped = SUCCEEDED(camera_.streamTime(t));
        if (stamped) return t;
        // Without a clock (or paused just now) the pictures still come at their rate.
        const ULONGLONG tick = GetTickCount64();
        if (!clockless_) clockless_ = tick;
        return static_cast<REFERENCE_TIME>(tick - clockless_) * 10000;
    };
    REFERENCE_TIME t = now();
    // A new schedule on the first frame, and whenever the time jumped (a pause, a consumer that
    // held the buffers): a camera drops the frames it missed rather than catch up in a burst.
    if (!scheduled_ || t > next_ + interval || next_ > t + interval) {
        next_ = t;
        scheduled_ = true;
    }
    if (next_ > t && !waitFor(static_cast<DWORD>((next_ - t + 9999) / 10000))) return false;
    start = next_;
    next_ += interval;
    return true;
}

HRESULT CapturePin::render(IMediaSample* sample, const AM_MEDIA_TYPE& format) {
    const VIDEOINFOHEADER* vih = dshow::videoInfoOf(format);
    if (!vih) return VFW_E_INVALIDMEDIATYPE;
    const int w = vih->bmiHeader.biWidth, h = vih->bmiHeader.biHeight;
    if ((picture_.width() != w || picture_.height() != h) && !picture_.setSize(w, h)) return VFW_E_INVALIDMEDIATYPE;
    picture_.setControls(camera_.controls().imageControls());

    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    const size_t room = static_cast<size_t>(std::max<long>(sample->GetSize(), 0));
    const size_t rgbBytes = rgb24FrameBytes(w, h);

    if (IsEqualGUID(format.subtype, MEDIASUBTYPE_RGB24)) {
        if (!picture_.render(frame_, data, room)) return E_UNEXPECTED;
        return sample->SetActualDataLength(static_cast<long>(rgbBytes));
    }
    try {
        scratch_.resize(rgbBytes);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (!picture_.render(frame_, scratch_.data(), scratch_.size())) return E_UNEXPECTED;
    if (IsEqualGUID(format.subtype, MEDIASUBTYPE_YUY2)) {
        if (!rgb24ToYuy2(scratch_.data(), scratch_.size(), w, h, data, room)) return E_UNEXPECTED;
        return sample->SetActualDataLength(static_cast<long>(yuy2FrameBytes(w, h)));
    }
    const uint8_t* jpeg = nullptr;
    size_t length = 0;
    hr = codec_->encode(scratch_.data(), scratch_.size(), w, h, &jpeg, &length);
    if (FAILED(hr)) return hr;
    if (length > room) return E_UNEXPECTED;
    std::memcpy(data, jpeg, length);
    return sample->SetActualDataLength(static_cast<long>(length));
}

HRESULT CapturePin::FillBuffer(IMediaSample* sample) {
    const AM_MEDIA_TYPE& format = mediaType().get();
    const REFERENCE_TIME interval = intervalOf(format);
    REFERENCE_TIME start = 0;
    bool stamped = false;
    if (!pace(interval, start, stamped)) return S_FALSE;
    // Polled once a frame, as a driver would notice its device gone at the next transfer.
    if (pulled()) {
        vnt::trace(L"VirtualCamera %ls: pulled, the stream ends", camera_.devicePath().c_str());
        notifyGraph(EC_DEVICE_LOST, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(&camera_)), 0);
        return S_FALSE;
    }
    HRESULT hr = render(sample, format);
    if (FAILED(hr)) return hr;
    if (stamped) {
        REFERENCE_TIME stop = start + interval;
        sample->SetTime(&start, &stop);
    } else {
        sample->SetTime(nullptr, nullptr);
    }
    LONGLONG mediaStart = static_cast<LONGLONG>(frame_), mediaStop = mediaStart + 1;
    sample->SetMediaTime(&mediaStart, &mediaStop);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(frame_ == 0 ? TRUE : FALSE);
    ++frame_;
    return S_OK;
}

// --- the filter ------------------------------------------------------------------------------

VirtualCamera::VirtualCamera(IUnknown* outer) : PushSource(CLSID_VirtualCamera, outer, true) {
    auto pin = std::make_unique<CapturePin>(*this);
    pin_ = pin.get();
    addPin(std::move(pin));
}

HRESULT VirtualCamera::nonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (IsEqualIID(riid, IID_IKsPropertySet)) return hand(static_cast<IKsPropertySet*>(this), ppv);
    if (IsEqualIID(riid, IID_IPersistPropertyBag)) return hand(static_cast<IPersistPropertyBag*>(this), ppv);
    if (IsEqualIID(riid, IID_IAMFilterMiscFlags)) return hand(static_cast<IAMFilterMiscFlags*>(this), ppv);
    return PushSource::nonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP VirtualCamera::Set(REFGUID guidPropSet, DWORD dwPropID, LPVOID, DWORD, LPVOID pPropData,
                                DWORD cbPropData) {
    return controls_.ksSet(guidPropSet, dwPropID, pPropData, cbPropData);
}

STDMETHODIMP VirtualCamera::Get(REFGUID guidPropSet, DWORD dwPropID, LPVOID, DWORD, LPVOID pPropData, DWORD cbPropData,
                                DWORD* pcbReturned) {
    return controls_.ksGet(guidPropSet, dwPropID, pPropData, cbPropData, pcbReturned);
}

STDMETHODIMP VirtualCamera::QuerySupported(REFGUID guidPropSet, DWORD dwPropID, DWORD* pTypeSupport) {
    return controls_.ksQuerySupported(guidPropSet, dwPropID, pTypeSupport);
}

namespace {

bool readText(IPropertyBag* bag, const wchar_t* name, std::wstring& out) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    const bool ok = SUCCEEDED(bag->Read(name, &v, nullptr)) && v.vt == VT_BSTR && v.bstrVal;
    if (ok) out.assign(v.bstrVal, SysStringLen(v.bstrVal));
    VariantClear(&v);
    return ok;
}

HRESULT writeText(IPropertyBag* bag, const wchar_t* name, const std::wstring& text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()));
    if (!v.bstrVal) return E_OUTOFMEMORY;
    const HRESULT hr = bag->Write(name, &v);
    VariantClear(&v);
    return hr;
}

}  // namespace

// The device moniker's bag carries the instance's values; a bag without a path gives a camera
// that belongs to no instance (it streams, and nothing can pull it).
STDMETHODIMP VirtualCamera::Load(IPropertyBag* pPropBag, IErrorLog*) {
    if (!pPropBag) return E_POINTER;
    try {
        std::wstring path, name;
        readText(pPropBag, L"DevicePath", path);
        readText(pPropBag, L"FriendlyName", name);
        Lock lock(identityLock_);
        devicePath_ = path;
        friendlyName_ = name;
        vnt::trace(L"VirtualCamera loaded %ls (%ls)", path.c_str(), name.c_str());
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP VirtualCamera::Save(IPropertyBag* pPropBag, BOOL, BOOL) {
    if (!pPropBag) return E_POINTER;
    try {
        const std::wstring path = devicePath(), name = friendlyName();
        HRESULT hr = writeText(pPropBag, L"DevicePath", path);
        if (SUCCEEDED(hr)) hr = writeText(pPropBag, L"FriendlyName", name);
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP_(ULONG) VirtualCamera::GetMiscFlags() { return AM_FILTER_MISC_FLAGS_IS_SOURCE; }

std::wstring VirtualCamera::devicePath() {
    Lock lock(identityLock_);
    return devicePath_;
}

std::wstring VirtualCamera::friendlyName() {
    Lock lock(identityLock_);
    return friendlyName_;
}

}  // namespace vcam

HRESULT CreateVirtualCamera(IUnknown* outer, REFIID riid, void** ppv) noexcept {
    return dshow::createFilter<vcam::VirtualCamera>(outer, riid, ppv);
}
