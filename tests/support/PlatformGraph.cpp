#include "tests/support/PlatformGraph.h"

#include "tests/support/Wait.h"

#include <uuids.h>

namespace testsupport {

vnt::ComPtr<IPin> firstPin(IBaseFilter* filter, PIN_DIRECTION direction) {
    vnt::ComPtr<IEnumPins> pins;
    if (!filter || FAILED(filter->EnumPins(pins.put()))) return {};
    for (vnt::ComPtr<IPin> pin; pins->Next(1, pin.put(), nullptr) == S_OK;) {
        PIN_DIRECTION d;
        if (SUCCEEDED(pin->QueryDirection(&d)) && d == direction) return pin;
    }
    return {};
}

STDMETHODIMP GrabberCallback::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISampleGrabberCB)) {
        *ppv = static_cast<ISampleGrabberCB*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP FrameGrabber::BufferCB(double, BYTE* buffer, long length) {
    std::lock_guard<std::mutex> lock(mutex_);
    frames_.emplace_back(buffer, buffer + length);
    if (frames_.size() > keep_) frames_.pop_front();
    ++count_;
    return S_OK;
}

long FrameGrabber::count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_;
}

void FrameGrabber::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    frames_.clear();
}

bool FrameGrabber::find(const std::function<bool(const Frame&)>& match, Frame& out, DWORD timeoutMs) {
    return waitUntil(
        [&] {
            std::lock_guard<std::mutex> lock(mutex_);
            for (auto it = frames_.rbegin(); it != frames_.rend(); ++it)
                if (match(*it)) {
                    out = *it;
                    return true;
                }
            return false;
        },
        timeoutMs);
}

bool FrameGrabber::newest(long after, Frame& out, DWORD timeoutMs) {
    return waitUntil(
        [&] {
            std::lock_guard<std::mutex> lock(mutex_);
            if (count_ < after || frames_.empty()) return false;
            out = frames_.back();
            return true;
        },
        timeoutMs);
}

HRESULT grabRgb24(ISampleGrabber* grabber, ISampleGrabberCB* callback) {
    AM_MEDIA_TYPE want{};
    want.majortype = MEDIATYPE_Video;
    want.subtype = MEDIASUBTYPE_RGB24;
    HRESULT hr = grabber->SetMediaType(&want);
    if (SUCCEEDED(hr)) hr = grabber->SetBufferSamples(FALSE);
    if (SUCCEEDED(hr)) hr = grabber->SetCallback(callback, 1);
    return hr;
}

bool waitForEvent(IMediaEvent* events, long wanted, DWORD timeoutMs, LONG_PTR* p1) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        long code = 0;
        LONG_PTR a = 0, b = 0;
        const long wait = now >= deadline ? 0 : static_cast<long>(deadline - now);
        // Wine answers E_ABORT at once when its queue ran empty since the last call.
        if (events->GetEvent(&code, &a, &b, wait) != S_OK) {
            if (GetTickCount64() >= deadline) return false;
            continue;
        }
        events->FreeEventParams(code, a, b);
        if (code == wanted) {
            if (p1) *p1 = a;
            return true;
        }
    }
}

}  // namespace testsupport
