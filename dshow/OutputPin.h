// An output pin that delivers samples to an IMemInputPin: allocator negotiation on connection,
// commit while the filter is active, and delivery of samples and stream events downstream.
#pragma once

#include "dshow/BasePin.h"

#include <windows.h>
#include <strmif.h>

namespace dshow {

class OutputPin : public BasePin {
public:
    OutputPin(BaseFilter& filter, const wchar_t* name);
    ~OutputPin() override;

    // Stream events travel downstream only: an output pin does not take them.
    STDMETHODIMP EndOfStream() override { return E_UNEXPECTED; }
    STDMETHODIMP BeginFlush() override { return E_UNEXPECTED; }
    STDMETHODIMP EndFlush() override { return E_UNEXPECTED; }

    // For the streaming thread, between active() and inactive(). Times may be null.
    HRESULT GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop, DWORD flags);
    HRESULT Deliver(IMediaSample* sample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    // Not AddRef'd; null while unconnected.
    IMemAllocator* allocator() const noexcept { return allocator_; }

    HRESULT active() override;
    HRESULT inactive() override;

protected:
    // Fill in what this pin needs (props holds the peer's wishes, or zeros) and SetProperties
    // on the allocator; a failure refuses that allocator.
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) = 0;

    HRESULT CompleteConnect(IPin* peer) override;
    void BreakConnect() override;

private:
    HRESULT tryAllocator(IMemAllocator* allocator, const ALLOCATOR_PROPERTIES& wishes);

    IMemInputPin* input_ = nullptr;
    IMemAllocator* allocator_ = nullptr;
};

}  // namespace dshow
