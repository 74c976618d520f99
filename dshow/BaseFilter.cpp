#include "dshow/BaseFilter.h"

#include "dshow/BasePin.h"
#include "dshow/EnumPins.h"

#include <vfwmsgs.h>

#include <mutex>
#include <vector>

namespace dshow {

namespace {

using Lock = std::lock_guard<CritSec>;

HRESULT hand(IUnknown* p, void** ppv) noexcept {
    *ppv = p;
    p->AddRef();
    return S_OK;
}

}  // namespace

BaseFilter::BaseFilter(const CLSID& clsid, IUnknown* outer) noexcept
    : outer_(outer ? outer : &inner_), clsid_(clsid) {}

BaseFilter::~BaseFilter() {
    if (clock_) clock_->Release();
}

STDMETHODIMP BaseFilter::Inner::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    // The aggregator's identity question is answered here, not passed back to it.
    if (IsEqualIID(riid, IID_IUnknown)) return hand(this, ppv);
    return owner_.nonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP_(ULONG) BaseFilter::Inner::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&owner_.refs_));
}

STDMETHODIMP_(ULONG) BaseFilter::Inner::Release() {
    const LONG refs = InterlockedDecrement(&owner_.refs_);
    if (refs == 0) {
        // A destructor that AddRefs and Releases through us must not delete a second time.
        owner_.refs_ = 1;
        delete &owner_;
    }
    return static_cast<ULONG>(refs);
}

HRESULT BaseFilter::nonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (IsEqualIID(riid, IID_IBaseFilter) || IsEqualIID(riid, IID_IMediaFilter) ||
        IsEqualIID(riid, IID_IPersist))
        return hand(static_cast<IBaseFilter*>(this), ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP BaseFilter::GetClassID(CLSID* pClassID) {
    if (!pClassID) return E_POINTER;
    *pClassID = clsid_;
    return S_OK;
}

IFilterGraph* BaseFilter::graph() noexcept {
    Lock lock(lock_);
    return graph_;
}

HRESULT BaseFilter::deactivatePins(int count) {
    HRESULT result = S_OK;
    // Every pin is told even when one fails, so that none keeps its resources.
    for (int i = 0; i < count; ++i) {
        BasePin* p = pin(i);
        if (p && p->connected()) {
            const HRESULT hr = p->inactive();
            if (FAILED(hr) && SUCCEEDED(result)) result = hr;
        }
    }
    return result;
}

STDMETHODIMP BaseFilter::Stop() {
    Lock lock(lock_);
    HRESULT result = S_OK;
    // Decommitting first releases a streaming thread blocked in GetBuffer, which would otherwise
    // keep the streaming lock below from ever being free.
    if (state_ != State_Stopped) result = deactivatePins(pinCount());
    Lock streaming(streamLock_);
    state_ = State_Stopped;
    return result;
}

STDMETHODIMP BaseFilter::Pause() {
    Lock lock(lock_);
    if (state_ == State_Stopped) {
        for (int i = 0, n = pinCount(); i < n; ++i) {
            BasePin* p = pin(i);
            if (p && p->connected()) {
                const HRESULT hr = p->active();
                if (FAILED(hr)) {
                    // The state stays Stopped, so no later Stop would undo what was started.
                    deactivatePins(i + 1);
                    return hr;
                }
            }
        }
    }
    state_ = State_Paused;
    return S_OK;
}

STDMETHODIMP BaseFilter::Run(REFERENCE_TIME tStart) {
    Lock lock(lock_);
    if (state_ == State_Stopped) {
        const HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    {
        std::lock_guard<SrwLock> time(timeLock_);
        startTime_ = tStart;
    }
    state_ = State_Running;
    return S_OK;
}

STDMETHODIMP BaseFilter::GetState(DWORD, FILTER_STATE* State) {
    if (!State) return E_POINTER;
    *State = state_;
    return S_OK;
}

STDMETHODIMP BaseFilter::SetSyncSource(IReferenceClock* pClock) {
    Lock lock(lock_);
    if (pClock) pClock->AddRef();
    IReferenceClock* old = nullptr;
    {
        std::lock_guard<SrwLock> time(timeLock_);
        old = clock_;
        clock_ = pClock;
    }
    if (old) old->Release();
    return S_OK;
}

HRESULT BaseFilter::streamTime(REFERENCE_TIME& now) {
    std::lock_guard<SrwLock> time(timeLock_);
    if (!clock_) return VFW_E_NO_CLOCK;
    if (state_ != State_Running) return VFW_E_NOT_RUNNING;
    REFERENCE_TIME clockTime = 0;
    const HRESULT hr = clock_->GetTime(&clockTime);
    if (FAILED(hr)) return hr;
    now = clockTime - startTime_;
    return S_OK;
}

STDMETHODIMP BaseFilter::GetSyncSource(IReferenceClock** pClock) {
    if (!pClock) return E_POINTER;
    Lock lock(lock_);
    *pClock = clock_;
    if (clock_) clock_->AddRef();
    return S_OK;
}

STDMETHODIMP BaseFilter::EnumPins(IEnumPins** ppEnum) {
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    Lock lock(lock_);
    try {
        std::vector<IPin*> pins;
        for (int i = 0, n = pinCount(); i < n; ++i) pins.push_back(pin(i));
        return dshow::EnumPins::create(pins, ppEnum);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP BaseFilter::FindPin(LPCWSTR Id, IPin** ppPin) {
    if (!ppPin) return E_POINTER;
    *ppPin = nullptr;
    if (!Id) return E_POINTER;
    Lock lock(lock_);
    for (int i = 0, n = pinCount(); i < n; ++i) {
        BasePin* p = pin(i);
        if (p && p->name() == Id) return hand(static_cast<IPin*>(p), reinterpret_cast<void**>(ppPin));
    }
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP BaseFilter::QueryFilterInfo(FILTER_INFO* pInfo) {
    if (!pInfo) return E_POINTER;
    Lock lock(lock_);
    lstrcpynW(pInfo->achName, name_.c_str(), MAX_FILTER_NAME);
    pInfo->pGraph = graph_;
    if (graph_) graph_->AddRef();
    return S_OK;
}

STDMETHODIMP BaseFilter::JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) {
    Lock lock(lock_);
    try {
        name_ = pName ? pName : L"";
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    // Not AddRef'd: the graph holds the filter, a reference back would keep both alive forever.
    graph_ = pGraph;
    return S_OK;
}

STDMETHODIMP BaseFilter::QueryVendorInfo(LPWSTR* pVendorInfo) {
    if (pVendorInfo) *pVendorInfo = nullptr;
    return E_NOTIMPL;
}

}  // namespace dshow
