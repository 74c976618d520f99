#include "dshow/BasePin.h"

#include "dshow/EnumMediaTypes.h"
#include "framework/ComObject.h"

#include <vfwmsgs.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace dshow {

namespace {

using Lock = std::lock_guard<CritSec>;

struct MediaTypeDeleter {
    void operator()(AM_MEDIA_TYPE* mt) const noexcept { deleteMediaType(mt); }
};

bool fullySpecified(const AM_MEDIA_TYPE& mt) {
    return !IsEqualGUID(mt.majortype, GUID_NULL) && !IsEqualGUID(mt.subtype, GUID_NULL) &&
           !IsEqualGUID(mt.formattype, GUID_NULL);
}

// GUID_NULL in the pattern leaves that part open; a format block is compared only when given.
bool matches(const AM_MEDIA_TYPE& mt, const AM_MEDIA_TYPE* pattern) {
    if (!pattern) return true;
    const auto open = [](const GUID& g) { return IsEqualGUID(g, GUID_NULL); };
    if (!open(pattern->majortype) && !IsEqualGUID(pattern->majortype, mt.majortype)) return false;
    if (!open(pattern->subtype) && !IsEqualGUID(pattern->subtype, mt.subtype)) return false;
    if (open(pattern->formattype)) return true;
    if (!IsEqualGUID(pattern->formattype, mt.formattype)) return false;
    if (pattern->cbFormat == 0 || !pattern->pbFormat) return true;
    return mt.cbFormat == pattern->cbFormat && mt.pbFormat &&
           std::memcmp(mt.pbFormat, pattern->pbFormat, mt.cbFormat) == 0;
}

}  // namespace

BasePin::BasePin(BaseFilter& filter, const wchar_t* name, PIN_DIRECTION direction)
    : filter_(filter), name_(name ? name : L""), direction_(direction) {}

BasePin::~BasePin() {
    if (connected_) connected_->Release();
}

STDMETHODIMP BasePin::QueryInterface(REFIID riid, void** ppv) {
    if (ppv && IsEqualIID(riid, IID_IQualityControl)) {
        *ppv = static_cast<IQualityControl*>(this);
        AddRef();
        return S_OK;
    }
    return vnt::queryInterface<IID_IPin>(static_cast<IPin*>(this), riid, ppv);
}

STDMETHODIMP BasePin::Notify(IBaseFilter*, Quality) { return E_NOTIMPL; }

STDMETHODIMP BasePin::SetSink(IQualityControl* piqc) {
    sink_.store(piqc);
    return S_OK;
}

HRESULT BasePin::GetMediaType(int, MediaType&) { return VFW_S_NO_MORE_ITEMS; }

HRESULT BasePin::CompleteConnect(IPin*) { return S_OK; }

void BasePin::dropConnection() noexcept {
    if (connected_) connected_->Release();
    connected_ = nullptr;
    mt_.clear();
}

HRESULT BasePin::tryConnect(IPin* peer, const AM_MEDIA_TYPE& mt) {
    if (CheckMediaType(mt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    HRESULT hr = mt_.copyFrom(mt);
    if (FAILED(hr)) return hr;
    // Held before the peer is asked, since it may query this pin back while it decides.
    connected_ = peer;
    peer->AddRef();
    hr = peer->ReceiveConnection(this, &mt_.get());
    if (FAILED(hr)) {
        dropConnection();
        return hr;
    }
    hr = CompleteConnect(peer);
    if (FAILED(hr)) {
        peer->Disconnect();
        BreakConnect();
        dropConnection();
    }
    return hr;
}

HRESULT BasePin::tryTypesOf(IEnumMediaTypes* types, IPin* peer, const AM_MEDIA_TYPE* pattern) {
    AM_MEDIA_TYPE* next = nullptr;
    while (types->Next(1, &next, nullptr) == S_OK) {
        const std::unique_ptr<AM_MEDIA_TYPE, MediaTypeDeleter> held(next);
        if (!held || !matches(*held, pattern)) continue;
        const HRESULT hr = tryConnect(peer, *held);
        // The peer's state refuses every type alike: say why rather than blame the types.
        if (SUCCEEDED(hr) || hr == VFW_E_ALREADY_CONNECTED || hr == VFW_E_NOT_STOPPED) return hr;
    }
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

STDMETHODIMP BasePin::Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) {
    if (!pReceivePin) return E_POINTER;
    Lock lock(filter_.filterLock());
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (filter_.state() != State_Stopped) return VFW_E_NOT_STOPPED;
    PIN_DIRECTION peerDirection;
    if (FAILED(pReceivePin->QueryDirection(&peerDirection)) || peerDirection == direction_)
        return VFW_E_INVALID_DIRECTION;
    if (pmt && fullySpecified(*pmt)) return tryConnect(pReceivePin, *pmt);

    // The receiving pin's preferences first: it usually knows best what it can take.
    IEnumMediaTypes* theirs = nullptr;
    if (SUCCEEDED(pReceivePin->EnumMediaTypes(&theirs)) && theirs) {
        const HRESULT hr = tryTypesOf(theirs, pReceivePin, pmt);
        theirs->Release();
        if (hr != VFW_E_NO_ACCEPTABLE_TYPES) return hr;
    }
    IEnumMediaTypes* ours = nullptr;
    if (SUCCEEDED(EnumMediaTypes(&ours))) {
        const HRESULT hr = tryTypesOf(ours, pReceivePin, pmt);
        ours->Release();
        if (hr != VFW_E_NO_ACCEPTABLE_TYPES) return hr;
    }
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

STDMETHODIMP BasePin::ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) {
    if (!pConnector || !pmt) return E_POINTER;
    Lock lock(filter_.filterLock());
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (filter_.state() != State_Stopped) return VFW_E_NOT_STOPPED;
    PIN_DIRECTION peerDirection;
    if (FAILED(pConnector->QueryDirection(&peerDirection)) || peerDirection == direction_)
        return VFW_E_INVALID_DIRECTION;
    if (CheckMediaType(*pmt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    HRESULT hr = mt_.copyFrom(*pmt);
    if (FAILED(hr)) return hr;
    connected_ = pConnector;
    pConnector->AddRef();
    hr = CompleteConnect(pConnector);
    if (FAILED(hr)) {
        BreakConnect();
        dropConnection();
    }
    return hr;
}

STDMETHODIMP BasePin::Disconnect() {
    Lock lock(filter_.filterLock());
    if (filter_.state() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (!connected_) return S_FALSE;
    BreakConnect();
    dropConnection();
    return S_OK;
}

STDMETHODIMP BasePin::ConnectedTo(IPin** pPin) {
    if (!pPin) return E_POINTER;
    Lock lock(filter_.filterLock());
    *pPin = connected_;
    if (!connected_) return VFW_E_NOT_CONNECTED;
    connected_->AddRef();
    return S_OK;
}

STDMETHODIMP BasePin::ConnectionMediaType(AM_MEDIA_TYPE* pmt) {
    if (!pmt) return E_POINTER;
    Lock lock(filter_.filterLock());
    if (!connected_) {
        // Callers free what they get back, so even a refusal leaves a record that owns nothing.
        *pmt = AM_MEDIA_TYPE{};
        return VFW_E_NOT_CONNECTED;
    }
    return copyMediaType(*pmt, mt_.get());
}

STDMETHODIMP BasePin::QueryPinInfo(PIN_INFO* pInfo) {
    if (!pInfo) return E_POINTER;
    pInfo->pFilter = &filter_;
    filter_.AddRef();
    pInfo->dir = direction_;
    lstrcpynW(pInfo->achName, name_.c_str(), MAX_PIN_NAME);
    return S_OK;
}

STDMETHODIMP BasePin::QueryDirection(PIN_DIRECTION* pPinDir) {
    if (!pPinDir) return E_POINTER;
    *pPinDir = direction_;
    return S_OK;
}

STDMETHODIMP BasePin::QueryId(LPWSTR* Id) {
    if (!Id) return E_POINTER;
    const std::size_t bytes = (name_.size() + 1) * sizeof(wchar_t);
    *Id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*Id) return E_OUTOFMEMORY;
    std::memcpy(*Id, name_.c_str(), bytes);
    return S_OK;
}

STDMETHODIMP BasePin::QueryAccept(const AM_MEDIA_TYPE* pmt) {
    if (!pmt) return E_POINTER;
    return CheckMediaType(*pmt) == S_OK ? S_OK : S_FALSE;
}

STDMETHODIMP BasePin::EnumMediaTypes(IEnumMediaTypes** ppEnum) {
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    Lock lock(filter_.filterLock());
    try {
        std::vector<MediaType> types;
        for (int i = 0;; ++i) {
            MediaType type;
            const HRESULT hr = GetMediaType(i, type);
            if (FAILED(hr)) return hr;
            if (hr != S_OK) break;
            types.push_back(std::move(type));
        }
        return dshow::EnumMediaTypes::create(types, ppEnum);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP BasePin::QueryInternalConnections(IPin**, ULONG*) {
    // Not implemented means every input feeds every output, which is what our filters do.
    return E_NOTIMPL;
}

}  // namespace dshow
