#include "dshow/InputPin.h"

#include <uuids.h>
#include <vfwmsgs.h>

#include "framework/ComPtr.h"

#include <mutex>

namespace dshow {

namespace {
using Lock = std::lock_guard<CritSec>;
}

InputPin::InputPin(BaseFilter& filter, const wchar_t* name) : BasePin(filter, name, PINDIR_INPUT) {}

InputPin::~InputPin() {
    if (allocator_) allocator_->Release();
}

STDMETHODIMP InputPin::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IMemInputPin)) {
        *ppv = static_cast<IMemInputPin*>(this);
        AddRef();
        return S_OK;
    }
    return BasePin::QueryInterface(riid, ppv);
}

STDMETHODIMP InputPin::GetAllocator(IMemAllocator** ppAllocator) {
    if (!ppAllocator) return E_POINTER;
    *ppAllocator = nullptr;
    Lock lock(filter_.filterLock());
    if (!allocator_) {
        const HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IMemAllocator, reinterpret_cast<void**>(&allocator_));
        if (FAILED(hr)) {
            allocator_ = nullptr;
            return hr;
        }
    }
    *ppAllocator = allocator_;
    allocator_->AddRef();
    return S_OK;
}

STDMETHODIMP InputPin::NotifyAllocator(IMemAllocator* pAllocator, BOOL bReadOnly) {
    if (!pAllocator) return E_POINTER;
    Lock lock(filter_.filterLock());
    pAllocator->AddRef();
    if (allocator_) allocator_->Release();
    allocator_ = pAllocator;
    readOnly_ = bReadOnly != FALSE;
    return S_OK;
}

STDMETHODIMP InputPin::ReceiveCanBlock() {
    vnt::ComPtr<IEnumPins> pins;
    const HRESULT hr = filter_.EnumPins(pins.put());
    if (FAILED(hr)) return hr;
    int outputs = 0;
    IPin* next = nullptr;
    while (pins->Next(1, &next, nullptr) == S_OK) {
        vnt::ComPtr<IPin> pin;
        pin.attach(next);
        PIN_DIRECTION direction;
        if (FAILED(pin->QueryDirection(&direction)) || direction != PINDIR_OUTPUT) continue;
        ++outputs;
        vnt::ComPtr<IPin> peer;
        if (FAILED(pin->ConnectedTo(peer.put())) || !peer) continue;
        vnt::ComPtr<IMemInputPin> receiver;
        // A receiver we cannot ask might block.
        if (FAILED(peer->QueryInterface(IID_IMemInputPin, receiver.putVoid())) || !receiver) return S_OK;
        if (receiver->ReceiveCanBlock() != S_FALSE) return S_OK;
    }
    return outputs == 0 ? S_OK : S_FALSE;
}

// Without the filter lock: the message comes on a streaming thread, which may hold the streaming
// lock that Stop waits for under the filter lock. The connection does not change while streaming.
HRESULT InputPin::passNotify(const Quality& q) {
    if (IQualityControl* sink = qualitySink()) return sink->Notify(&filter_, q);
    IPin* peer = connected();
    if (!peer) return VFW_E_NOT_FOUND;
    vnt::ComPtr<IQualityControl> upstream;
    if (FAILED(peer->QueryInterface(IID_IQualityControl, upstream.putVoid())) || !upstream) return VFW_E_NOT_FOUND;
    return upstream->Notify(&filter_, q);
}

STDMETHODIMP InputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

HRESULT InputPin::checkStreaming() {
    if (flushing_) return S_FALSE;
    if (filter_.state() == State_Stopped) return VFW_E_WRONG_STATE;
    if (!connected()) return VFW_E_NOT_CONNECTED;
    return S_OK;
}

STDMETHODIMP InputPin::Receive(IMediaSample* pSample) {
    if (!pSample) return E_POINTER;
    Lock streaming(filter_.streamingLock());
    const HRESULT hr = checkStreaming();
    if (hr != S_OK) return hr;
    return receiveSample(pSample);
}

STDMETHODIMP InputPin::ReceiveMultiple(IMediaSample** pSamples, long nSamples, long* nSamplesProcessed) {
    if (!pSamples || !nSamplesProcessed) return E_POINTER;
    *nSamplesProcessed = 0;
    HRESULT hr = S_OK;
    // The first refusal ends the batch: the sender resends from the count it gets back.
    while (*nSamplesProcessed < nSamples) {
        hr = Receive(pSamples[*nSamplesProcessed]);
        if (hr != S_OK) break;
        ++*nSamplesProcessed;
    }
    return hr;
}

// Not under the streaming lock: a Receive blocked downstream holds it until the flush, passed on
// by the derived pin, releases it.
STDMETHODIMP InputPin::BeginFlush() {
    InterlockedExchange(&flushing_, 1);
    return S_OK;
}

// Under the streaming lock: a sample that was in progress when the flush began is finished (and
// refused) before new ones are let in.
STDMETHODIMP InputPin::EndFlush() {
    Lock streaming(filter_.streamingLock());
    InterlockedExchange(&flushing_, 0);
    return S_OK;
}

STDMETHODIMP InputPin::EndOfStream() {
    Lock streaming(filter_.streamingLock());
    return checkStreaming();
}

void InputPin::BreakConnect() {
    if (allocator_) allocator_->Release();
    allocator_ = nullptr;
    readOnly_ = false;
}

}  // namespace dshow
