// A source filter whose output pins push samples, each from a streaming thread of its own: the
// base of our test sources and of the virtual camera.
#pragma once

#include "dshow/BaseFilter.h"
#include "dshow/OutputPin.h"

#include <windows.h>
#include <strmif.h>

#include <memory>
#include <vector>

namespace dshow {

class PushSource;

// An output pin that streams while its filter is paused or running (running only, for a live
// source). The thread starts when the filter leaves Stopped and is asked to end and joined before
// the filter's Stop returns. Each round takes a delivery buffer, has FillBuffer fill it and
// delivers it downstream.
//
// The streaming thread must not take the filter lock (Stop holds it while it joins the thread):
// FillBuffer may read mediaType() and allocator(), which do not change while the filter is
// active, but must not call methods that lock, such as ConnectionMediaType or EnumPins.
class PushPin : public OutputPin {
public:
    PushPin(PushSource& filter, const wchar_t* name);
    ~PushPin() override;

    HRESULT active() override;
    HRESULT inactive() override;

protected:
    // On the streaming thread. S_OK delivers the sample. S_FALSE ends the stream: end of stream
    // goes downstream. A failure does the same and is reported to the graph as EC_ERRORABORT
    // with the failure code. After either, the pin pushes nothing more until the filter is
    // stopped and started again. Once stopRequested() holds, the result no longer matters: the
    // thread leaves quietly.
    virtual HRESULT FillBuffer(IMediaSample* sample) = 0;

    // On the streaming thread, at its start and end (destroy also after a failed create, whose
    // failure is reported like one of FillBuffer).
    virtual HRESULT OnThreadCreate() { return S_OK; }
    virtual void OnThreadDestroy() {}
    // Before the first FillBuffer of each start from Stopped: where frame counters restart.
    virtual HRESULT OnThreadStartPlay() { return S_OK; }

    // For FillBuffer's pacing: waits ms milliseconds (INFINITE allowed) and returns true, or
    // returns false as soon as the filter is stopping; FillBuffer then returns S_FALSE.
    bool waitFor(DWORD ms) const noexcept;
    bool stopRequested() const noexcept;
    // Signalled when the filter is stopping, for waits on more handles than this one.
    HANDLE stopEvent() const noexcept { return stop_; }
    // For the streaming thread: an event for the application through the graph, which was
    // looked up when the pin became active (FillBuffer must not ask the filter for it).
    HRESULT notifyGraph(long code, LONG_PTR param1, LONG_PTR param2) const noexcept;

private:
    static unsigned __stdcall threadMain(void* self);
    void stream();
    HRESULT pushSamples();
    void endThread() noexcept;
    // For a live source: true once running, false when stopping.
    bool awaitRunning() const noexcept;

    PushSource& source_;
    HANDLE stop_ = nullptr;  // manual-reset, set from the first stop request until the next start
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    // The graph's, not AddRef'd: a reference from a filter to its graph would keep the graph
    // alive after its owner let go, and the graph stops its filters before it goes.
    IMediaEventSink* events_ = nullptr;
};

// Owns its pins, which derived filters add from their constructors.
//
// A live source (a camera) makes its pictures as time passes and cannot show one ahead of time:
// its pins push only while running, and while paused GetState answers VFW_S_CANT_CUE, so that
// the graph does not wait for a first frame that will not come.
class PushSource : public BaseFilter {
public:
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME tStart) override;
    STDMETHODIMP GetState(DWORD dwMilliSecsTimeout, FILTER_STATE* State) override;

    bool live() const noexcept { return live_; }
    // Set while running; for live pins waiting to push.
    HANDLE runningEvent() const noexcept { return running_; }

protected:
    PushSource(const CLSID& clsid, IUnknown* outer, bool live = false);
    // The pins' threads are ended by Stop, which the graph calls before it lets go of a filter.
    ~PushSource() override;

    // For derived constructors; the pin must be built on this filter. May throw bad_alloc,
    // which createFilter turns into E_OUTOFMEMORY.
    void addPin(std::unique_ptr<PushPin> pin);

    int pinCount() override { return static_cast<int>(pins_.size()); }
    BasePin* pin(int i) override;

private:
    const bool live_;
    HANDLE running_;  // manual-reset
    std::vector<std::unique_ptr<PushPin>> pins_;
};

}  // namespace dshow
