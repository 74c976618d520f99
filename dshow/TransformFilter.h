// A filter with one input and one output that turns each input sample into one output sample.
// Derived filters supply the type checks, the buffer sizing and the per-sample step.
#pragma once

#include "dshow/BaseFilter.h"
#include "dshow/InputPin.h"
#include "dshow/OutputPin.h"
#include "dshow/PositionPassThrough.h"

#include <windows.h>
#include <strmif.h>

namespace dshow {

class TransformFilter : public BaseFilter {
public:
    InputPin& inputPin() noexcept { return in_; }
    OutputPin& outputPin() noexcept { return out_; }

protected:
    TransformFilter(const CLSID& clsid, IUnknown* outer);

    // S_OK accepts the type for the input pin.
    virtual HRESULT CheckInputType(const AM_MEDIA_TYPE* in) = 0;
    // S_OK when the filter can turn the input type into the output type.
    virtual HRESULT CheckTransform(const AM_MEDIA_TYPE* in, const AM_MEDIA_TYPE* out) = 0;
    // The output types, asked only while the input is connected.
    virtual HRESULT GetMediaType(int position, MediaType& type) = 0;
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) = 0;
    // Fills the output buffer. Runs after the sample properties are copied, so it may change
    // them (the actual data length in particular); S_FALSE drops the sample.
    virtual HRESULT Transform(IMediaSample* in, IMediaSample* out) = 0;

    // A quality message from downstream: S_FALSE passes it upstream, anything else is the answer
    // to its sender.
    virtual HRESULT AlterQuality(const Quality&) { return S_FALSE; }

    // One input sample: one output buffer, its properties, Transform, and delivery. Called with
    // the streaming lock held, after the state and flushing checks.
    virtual HRESULT Receive(IMediaSample* sample);

    int pinCount() override { return 2; }
    BasePin* pin(int i) override;

private:
    class XformInput final : public InputPin {
    public:
        explicit XformInput(TransformFilter& f) : InputPin(f, L"XForm In"), owner_(f) {}
        STDMETHODIMP BeginFlush() override;
        STDMETHODIMP EndFlush() override;
        STDMETHODIMP EndOfStream() override;
        STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    protected:
        HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override { return owner_.CheckInputType(&mt); }
        HRESULT receiveSample(IMediaSample* sample) override { return owner_.Receive(sample); }

    private:
        TransformFilter& owner_;
    };

    class XformOutput final : public OutputPin {
    public:
        explicit XformOutput(TransformFilter& f)
            : OutputPin(f, L"XForm Out"), owner_(f), position_(*static_cast<IPin*>(this), f.in_) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP Notify(IBaseFilter* pSelf, Quality q) override;
        STDMETHODIMP Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) override;
        STDMETHODIMP ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) override;

    protected:
        HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;
        HRESULT GetMediaType(int position, MediaType& type) override;
        HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override {
            return owner_.DecideBufferSize(allocator, props);
        }

    private:
        TransformFilter& owner_;
        PositionPassThrough position_;
    };

    XformInput in_{*this};
    XformOutput out_{*this};
};

}  // namespace dshow
