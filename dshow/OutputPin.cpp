#include "dshow/OutputPin.h"

#include <uuids.h>
#include <vfwmsgs.h>

namespace dshow {

OutputPin::OutputPin(BaseFilter& filter, const wchar_t* name) : BasePin(filter, name, PINDIR_OUTPUT) {}

OutputPin::~OutputPin() { BreakConnect(); }

HRESULT OutputPin::tryAllocator(IMemAllocator* allocator, const ALLOCATOR_PROPERTIES& wishes) {
    ALLOCATOR_PROPERTIES props = wishes;
    HRESULT hr = DecideBufferSize(allocator, &props);
    if (FAILED(hr)) return hr;
    hr = input_->NotifyAllocator(allocator, FALSE);
    if (FAILED(hr)) return hr;
    allocator->AddRef();
    allocator_ = allocator;
    return S_OK;
}

HRESULT OutputPin::CompleteConnect(IPin* peer) {
    HRESULT hr = peer->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&input_));
    if (FAILED(hr)) {
        input_ = nullptr;
        return VFW_E_NO_TRANSPORT;
    }
    ALLOCATOR_PROPERTIES wishes{};
    if (FAILED(input_->GetAllocatorRequirements(&wishes))) wishes = ALLOCATOR_PROPERTIES{};

    // The receiver's own allocator first: it may hand out memory it can use without a copy.
    IMemAllocator* allocator = nullptr;
    if (SUCCEEDED(input_->GetAllocator(&allocator)) && allocator) {
        hr = tryAllocator(allocator, wishes);
        allocator->Release();
        if (SUCCEEDED(hr)) return hr;
    }
    hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                          reinterpret_cast<void**>(&allocator));
    if (SUCCEEDED(hr)) {
        hr = tryAllocator(allocator, wishes);
        allocator->Release();
    }
    if (FAILED(hr)) BreakConnect();
    return hr;
}

void OutputPin::BreakConnect() {
    if (allocator_) {
        allocator_->Decommit();
        allocator_->Release();
        allocator_ = nullptr;
    }
    if (input_) input_->Release();
    input_ = nullptr;
}

HRESULT OutputPin::active() { return allocator_ ? allocator_->Commit() : VFW_E_NO_ALLOCATOR; }

// Decommitting also wakes a streaming thread blocked in GetBuffer, which then sees the failure.
HRESULT OutputPin::inactive() { return allocator_ ? allocator_->Decommit() : S_OK; }

HRESULT OutputPin::GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                                     DWORD flags) {
    if (!sample) return E_POINTER;
    *sample = nullptr;
    if (!allocator_) return input_ ? VFW_E_NO_ALLOCATOR : VFW_E_NOT_CONNECTED;
    return allocator_->GetBuffer(sample, start, stop, flags);
}

HRESULT OutputPin::Deliver(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    return input_ ? input_->Receive(sample) : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPin::DeliverEndOfStream() {
    IPin* peer = connected();
    return peer ? peer->EndOfStream() : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPin::DeliverBeginFlush() {
    IPin* peer = connected();
    return peer ? peer->BeginFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPin::DeliverEndFlush() {
    IPin* peer = connected();
    return peer ? peer->EndFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    IPin* peer = connected();
    return peer ? peer->NewSegment(start, stop, rate) : VFW_E_NOT_CONNECTED;
}

}  // namespace dshow
