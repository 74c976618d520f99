// An input pin that takes samples by IMemInputPin: allocator bookkeeping, flushing and the state
// checks every receiver needs. Derived pins say what to do with an accepted sample.
#pragma once

#include "dshow/BasePin.h"

#include <windows.h>
#include <strmif.h>

namespace dshow {

class InputPin : public BasePin, public IMemInputPin {
public:
    InputPin(BaseFilter& filter, const wchar_t* name);
    ~InputPin() override;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return BasePin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return BasePin::Release(); }

    // IMemInputPin
    STDMETHODIMP GetAllocator(IMemAllocator** ppAllocator) override;
    STDMETHODIMP NotifyAllocator(IMemAllocator* pAllocator, BOOL bReadOnly) override;
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps) override;
    STDMETHODIMP Receive(IMediaSample* pSample) override;
    STDMETHODIMP ReceiveMultiple(IMediaSample** pSamples, long nSamples, long* nSamplesProcessed) override;
    // S_FALSE only when every output pin of the filter delivers to a receiver that cannot block,
    // since samples go downstream on the caller's thread; S_OK for a filter without output pins.
    STDMETHODIMP ReceiveCanBlock() override;

    // Quality messages go to output pins; one sent here is taken and dropped.
    STDMETHODIMP Notify(IBaseFilter*, Quality) override { return S_OK; }
    // For the filter's output pins: a message they do not act on goes to this pin's sink, or else
    // to the output pin upstream. VFW_E_NOT_FOUND when neither takes it.
    HRESULT passNotify(const Quality& q);

    // IPin: derived pins that pass these on call these first.
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP EndOfStream() override;

    bool flushing() const noexcept { return flushing_ != 0; }
    // The allocator the upstream pin settled on; not AddRef'd, null before it said.
    IMemAllocator* allocator() const noexcept { return allocator_; }
    bool readOnly() const noexcept { return readOnly_; }

protected:
    // An accepted sample on the streaming thread; the result goes back to the sender.
    virtual HRESULT receiveSample(IMediaSample* sample) = 0;
    // S_OK when streaming may go on: not flushing, not stopped, connected.
    HRESULT checkStreaming();
    void BreakConnect() override;

private:
    IMemAllocator* allocator_ = nullptr;
    bool readOnly_ = false;
    // Written by the control thread, read by the streaming thread.
    volatile LONG flushing_ = 0;
};

}  // namespace dshow
