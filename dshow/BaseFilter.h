// IBaseFilter for our filters: state, clock, graph membership and pin lookup, with a reference
// count that supports aggregation. Derived classes own the pins and say which there are.
#pragma once

#include "dshow/ClassFactory.h"
#include "dshow/SrwLock.h"

#include <windows.h>
#include <strmif.h>

#include <atomic>
#include <new>
#include <string>
#include <utility>

namespace dshow {

class BasePin;

// A recursive lock (unlike SrwLock): streaming code calls back into the filter while holding it.
class CritSec {
public:
    CritSec() noexcept { InitializeCriticalSection(&cs_); }
    ~CritSec() { DeleteCriticalSection(&cs_); }
    CritSec(const CritSec&) = delete;
    CritSec& operator=(const CritSec&) = delete;

    void lock() noexcept { EnterCriticalSection(&cs_); }
    void unlock() noexcept { LeaveCriticalSection(&cs_); }

private:
    CRITICAL_SECTION cs_;
};

// The filter's IUnknown methods delegate to the outer unknown, which is the filter's own
// non-delegating unknown when it is not aggregated. Its pins have no count of their own: their
// AddRef and Release go to the filter's, so a pin keeps the whole filter (and its outer) alive.
class BaseFilter : public IBaseFilter {
public:
    BaseFilter(const BaseFilter&) = delete;
    BaseFilter& operator=(const BaseFilter&) = delete;

    // What an aggregator holds and what the creator receives; starts with one reference.
    IUnknown* nonDelegatingUnknown() noexcept { return &inner_; }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override { return outer_->QueryInterface(riid, ppv); }
    STDMETHODIMP_(ULONG) AddRef() override { return outer_->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return outer_->Release(); }

    // IPersist
    STDMETHODIMP GetClassID(CLSID* pClassID) override;

    // IMediaFilter
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME tStart) override;
    STDMETHODIMP GetState(DWORD dwMilliSecsTimeout, FILTER_STATE* State) override;
    STDMETHODIMP SetSyncSource(IReferenceClock* pClock) override;
    STDMETHODIMP GetSyncSource(IReferenceClock** pClock) override;

    // IBaseFilter
    STDMETHODIMP EnumPins(IEnumPins** ppEnum) override;
    STDMETHODIMP FindPin(LPCWSTR Id, IPin** ppPin) override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* pInfo) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) override;
    STDMETHODIMP QueryVendorInfo(LPWSTR* pVendorInfo) override;

    // Taken by the pins for connection changes and by the state methods.
    CritSec& filterLock() noexcept { return lock_; }
    // Held while a sample or stream event is processed on a streaming thread. Stop takes it
    // after the pins released their allocators, so that it returns only once the sample in
    // progress is done, and no sample is processed after it returned. Streaming code never
    // takes the filter lock under it: Stop holds that one while it waits here.
    CritSec& streamingLock() noexcept { return streamLock_; }
    // Lock-free, so that streaming threads may ask while a state change holds the filter lock.
    FILTER_STATE state() const noexcept { return state_.load(); }
    // Not AddRef'd; null outside a graph.
    IFilterGraph* graph() noexcept;
    // The reference clock's time less the start time given to Run: when a sample made now is due.
    // VFW_E_NO_CLOCK without a clock, VFW_E_NOT_RUNNING unless running. Safe on streaming threads:
    // it does not take the filter lock.
    HRESULT streamTime(REFERENCE_TIME& now);

protected:
    BaseFilter(const CLSID& clsid, IUnknown* outer) noexcept;
    virtual ~BaseFilter();

    // Derived filters that expose more interfaces answer them here and pass the rest on.
    virtual HRESULT nonDelegatingQueryInterface(REFIID riid, void** ppv);

    // Called with the filter lock held; the pins stay owned by the derived filter.
    virtual int pinCount() = 0;
    virtual BasePin* pin(int i) = 0;


private:
    // inactive() on the connected pins among the first count; the first failure is returned.
    HRESULT deactivatePins(int count);

    class Inner final : public IUnknown {
    public:
        explicit Inner(BaseFilter& owner) noexcept : owner_(owner) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;

    private:
        BaseFilter& owner_;
    };

    ModuleObject module_;
    Inner inner_{*this};
    IUnknown* const outer_;
    LONG refs_ = 1;
    CritSec lock_;
    CritSec streamLock_;
    const CLSID clsid_;
    // Written under the filter lock (to Stopped under the streaming lock as well).
    std::atomic<FILTER_STATE> state_{State_Stopped};
    // Written under both the filter lock and timeLock_, so streamTime needs only the latter.
    SrwLock timeLock_;
    IReferenceClock* clock_ = nullptr;
    REFERENCE_TIME startTime_ = 0;  // stream time zero, as given to Run
    IFilterGraph* graph_ = nullptr;  // weak: the graph holds us
    std::wstring name_;
};

// For a factory entry's create function: T is constructed as T(outer, args...). Aggregation
// requires riid to be IID_IUnknown, which then yields the non-delegating unknown; any other riid
// is E_NOINTERFACE, as from the class factory.
template <class T, class... Args>
HRESULT createFilter(IUnknown* outer, REFIID riid, void** ppv, Args&&... args) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer && !IsEqualIID(riid, IID_IUnknown)) return E_NOINTERFACE;
    T* filter = nullptr;
    try {
        filter = new T(outer, std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    IUnknown* inner = filter->nonDelegatingUnknown();
    const HRESULT hr = inner->QueryInterface(riid, ppv);
    inner->Release();
    return hr;
}

}  // namespace dshow
