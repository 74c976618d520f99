// Pieces for tests that run filters in the platform's filter graph: a COM apartment for the test,
// pins found by direction, the sample grabber's callback, and the graph's events.
#pragma once

#include "framework/ComPtr.h"

#include <windows.h>
#include <strmif.h>
#include <control.h>
#include <qedit.h>

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace testsupport {

// The calling thread in a COM apartment of this model for the object's lifetime.
class ComScope {
public:
    explicit ComScope(DWORD model) { CoInitializeEx(nullptr, model); }
    ~ComScope() { CoUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
};

// The filter's first pin of that direction; empty if it has none.
vnt::ComPtr<IPin> firstPin(IBaseFilter* filter, PIN_DIRECTION direction);

// A grabber callback that lives on the test's stack, longer than the graph that calls it.
class GrabberCallback : public ISampleGrabberCB {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP SampleCB(double, IMediaSample*) override { return E_NOTIMPL; }
    STDMETHODIMP BufferCB(double, BYTE*, long) override { return E_NOTIMPL; }
};

// Keeps the newest `keep` frames the grabber passed on, from its streaming thread, and counts all.
class FrameGrabber final : public GrabberCallback {
public:
    using Frame = std::vector<BYTE>;
    explicit FrameGrabber(size_t keep = 1) : keep_(keep) {}

    STDMETHODIMP BufferCB(double, BYTE* buffer, long length) override;

    long count();
    // Forgets the frames kept, not the count.
    void clear();
    // The newest kept frame that satisfies match, waiting up to timeoutMs for one to arrive.
    bool find(const std::function<bool(const Frame&)>& match, Frame& out, DWORD timeoutMs = 10000);
    // The newest frame once at least `after` frames came, waiting up to timeoutMs.
    bool newest(long after, Frame& out, DWORD timeoutMs = 10000);

private:
    const size_t keep_;
    std::mutex mutex_;
    std::deque<Frame> frames_;
    long count_ = 0;
};

// Has the grabber take video in RGB24 and hand each frame's bytes to callback, keeping none itself;
// the first failure.
HRESULT grabRgb24(ISampleGrabber* grabber, ISampleGrabberCB* callback);

// True once an event with the wanted code came within timeoutMs, the others skipped; p1 gets its
// first parameter.
bool waitForEvent(IMediaEvent* events, long wanted, DWORD timeoutMs, LONG_PTR* p1 = nullptr);

}  // namespace testsupport
