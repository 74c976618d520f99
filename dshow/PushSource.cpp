#include "dshow/PushSource.h"

#include <evcode.h>
#include <process.h>
#include <uuids.h>
#include <vfwmsgs.h>

namespace dshow {

PushPin::PushPin(PushSource& filter, const wchar_t* name)
    : OutputPin(filter, name), source_(filter), stop_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

PushPin::~PushPin() {
    // Has work only when the filter was released without a Stop.
    if (thread_) inactive();
    if (stop_) CloseHandle(stop_);
}

HRESULT PushPin::active() {
    if (!stop_) return E_OUTOFMEMORY;
    if (thread_) return S_OK;
    HRESULT hr = OutputPin::active();
    if (FAILED(hr)) return hr;

    events_ = nullptr;
    if (IFilterGraph* graph = filter_.graph()) {
        IMediaEventSink* sink = nullptr;
        if (SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(&sink))) && sink) {
            events_ = sink;
            sink->Release();
        }
    }
    ResetEvent(stop_);
    unsigned id = 0;
    thread_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &PushPin::threadMain, this, 0, &id));
    threadId_ = id;
    if (!thread_) {
        hr = HRESULT_FROM_WIN32(GetLastError());
        SetEvent(stop_);
        OutputPin::inactive();
        events_ = nullptr;
        return FAILED(hr) ? hr : E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT PushPin::inactive() {
    if (stop_) SetEvent(stop_);
    // Decommitting wakes a thread blocked in GetDeliveryBuffer, so the join below cannot hang on it.
    const HRESULT hr = OutputPin::inactive();
    endThread();
    events_ = nullptr;
    return hr;
}

void PushPin::endThread() noexcept {
    if (!thread_) return;
    if (stop_) SetEvent(stop_);
    // A stop reached from the streaming thread itself (a graph that handles our error event at
    // once, say) cannot wait for that thread; it leaves as soon as it returns to the loop.
    if (GetCurrentThreadId() != threadId_) WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
}

bool PushPin::waitFor(DWORD ms) const noexcept {
    return stop_ && WaitForSingleObject(stop_, ms) == WAIT_TIMEOUT;
}

bool PushPin::awaitRunning() const noexcept {
    if (!source_.live()) return !stopRequested();
    const HANDLE either[] = {stop_, source_.runningEvent()};
    return stop_ && source_.runningEvent() &&
           WaitForMultipleObjects(2, either, FALSE, INFINITE) == WAIT_OBJECT_0 + 1 && !stopRequested();
}

HRESULT PushPin::notifyGraph(long code, LONG_PTR param1, LONG_PTR param2) const noexcept {
    return events_ ? events_->Notify(code, param1, param2) : E_NOINTERFACE;
}

bool PushPin::stopRequested() const noexcept { return !stop_ || WaitForSingleObject(stop_, 0) != WAIT_TIMEOUT; }

unsigned __stdcall PushPin::threadMain(void* self) {
    static_cast<PushPin*>(self)->stream();
    return 0;
}

void PushPin::stream() {
    // Derived pins may create COM objects for their pictures; the graph's objects are free-threaded.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    HRESULT hr = OnThreadCreate();
    if (SUCCEEDED(hr)) hr = OnThreadStartPlay();
    if (SUCCEEDED(hr)) hr = pushSamples();
    if (FAILED(hr) && !stopRequested()) {
        // Downstream learns that nothing more comes, the application why.
        DeliverEndOfStream();
        if (events_) events_->Notify(EC_ERRORABORT, hr, 0);
    }
    OnThreadDestroy();
    if (SUCCEEDED(com)) CoUninitialize();
}

// The failures it returns are the source's own; downstream refusals end the pushing quietly,
// since the filter that refused reports its own errors.
HRESULT PushPin::pushSamples() {
    while (awaitRunning()) {
        IMediaSample* sample = nullptr;
        HRESULT hr = GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
        if (FAILED(hr)) return hr;
        hr = FillBuffer(sample);
        if (hr == S_OK) {
            hr = Deliver(sample);
            sample->Release();
            if (hr != S_OK) return S_OK;
            continue;
        }
        sample->Release();
        if (FAILED(hr)) return hr;
        if (!stopRequested()) DeliverEndOfStream();
        return S_OK;
    }
    return S_OK;
}

PushSource::PushSource(const CLSID& clsid, IUnknown* outer, bool live)
    : BaseFilter(clsid, outer), live_(live), running_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

PushSource::~PushSource() {
    // The pins, and so their threads, go first: they may be waiting on the event.
    pins_.clear();
    if (running_) CloseHandle(running_);
}

STDMETHODIMP PushSource::Stop() {
    if (running_) ResetEvent(running_);
    return BaseFilter::Stop();
}

STDMETHODIMP PushSource::Pause() {
    if (running_) ResetEvent(running_);
    return BaseFilter::Pause();
}

STDMETHODIMP PushSource::Run(REFERENCE_TIME tStart) {
    const HRESULT hr = BaseFilter::Run(tStart);
    if (SUCCEEDED(hr) && running_) SetEvent(running_);
    return hr;
}

STDMETHODIMP PushSource::GetState(DWORD dwMilliSecsTimeout, FILTER_STATE* State) {
    const HRESULT hr = BaseFilter::GetState(dwMilliSecsTimeout, State);
    return hr == S_OK && live_ && *State == State_Paused ? VFW_S_CANT_CUE : hr;
}

void PushSource::addPin(std::unique_ptr<PushPin> pin) { pins_.push_back(std::move(pin)); }

BasePin* PushSource::pin(int i) {
    if (i < 0 || i >= pinCount()) return nullptr;
    return pins_[static_cast<size_t>(i)].get();
}

}  // namespace dshow
