// Our own pins and filters as test sources and sinks: a filter of one pin, an output pin of one
// media type, a sink that keeps what it receives, and a chain of source, filter under test and sink
// connected directly.
#pragma once

#include "dshow/BaseFilter.h"
#include "dshow/ClassFactory.h"
#include "dshow/InputPin.h"
#include "dshow/MediaType.h"
#include "dshow/OutputPin.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <strmif.h>
#include <vfwmsgs.h>

#include <functional>
#include <vector>

namespace testsupport {

// Video, RGB24, bottom-up, of fixed-size samples.
dshow::MediaType rgb24Video(int width, int height);

// Sets count buffers of size bytes, aligned as the receiver asked or not at all.
HRESULT askForBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props, long count, long size);

// An output pin (Base: dshow::OutputPin or dshow::PushPin) that offers and accepts `type` alone and
// asks for `buffers` buffers of `bufferBytes` (0: the type's sample size). Set while unconnected.
template <class Base>
class OneTypeOutput : public Base {
public:
    using Base::Base;
    dshow::MediaType type;
    long buffers = 2;
    long bufferBytes = 0;

protected:
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override {
        return dshow::mediaTypesEqual(mt, type.get()) ? S_OK : S_FALSE;
    }
    HRESULT GetMediaType(int position, dshow::MediaType& t) override {
        if (position > 0) return VFW_S_NO_MORE_ITEMS;
        t = type;
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* a, ALLOCATOR_PROPERTIES* props) override {
        return askForBuffers(a, props, buffers, bufferBytes ? bufferBytes : static_cast<long>(type->lSampleSize));
    }
};

// Keeps a copy of every sample's bytes and whether it was a sync point; the types it takes are
// the test's to say.
class FrameSink : public dshow::InputPin {
public:
    using InputPin::InputPin;
    std::vector<std::vector<BYTE>> frames;
    std::vector<bool> syncPoints;

protected:
    HRESULT receiveSample(IMediaSample* sample) override;
};

// The class ID of the test filters below; no code looks for it.
extern const CLSID kTestFilterClsid;

// A filter of one pin, p.
template <class P>
class OnePinFilter : public dshow::BaseFilter {
public:
    explicit OnePinFilter(IUnknown* outer) : BaseFilter(kTestFilterClsid, outer) {}
    P p{*this, L"Pin"};

protected:
    int pinCount() override { return 1; }
    dshow::BasePin* pin(int) override { return &p; }
};

// A new filter of ours, made by create; the caller owns its one reference.
template <class T>
T* newFilter(dshow::CreateFunction create = dshow::createFilter<T>) {
    IBaseFilter* f = nullptr;
    EXPECT_EQ(S_OK, create(nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&f)));
    return static_cast<T*>(f);
}

// A source pin's filter, the filter under test (with inputPin() and outputPin()) and a sink pin's
// filter, made in that order and connected by the test. The connected pins hold each other's
// filters, so the destructor breaks those cycles.
template <class Filter, class Source, class Sink>
struct FilterChain {
    OnePinFilter<Source>* src = newFilter<OnePinFilter<Source>>();
    Filter* mid;
    OnePinFilter<Sink>* sink;

    explicit FilterChain(dshow::CreateFunction create = dshow::createFilter<Filter>)
        : mid(newFilter<Filter>(create)), sink(newFilter<OnePinFilter<Sink>>()) {}
    FilterChain(const FilterChain&) = delete;
    FilterChain& operator=(const FilterChain&) = delete;

    HRESULT connectInput() { return src->p.Connect(&mid->inputPin(), nullptr); }
    HRESULT connectOutput() { return mid->outputPin().Connect(&sink->p, nullptr); }
    std::vector<IBaseFilter*> filters() { return {sink, mid, src}; }
    // Runs every filter, downstream first; the first failure.
    HRESULT run() {
        HRESULT result = S_OK;
        for (IBaseFilter* f : filters()) {
            const HRESULT hr = f->Run(0);
            if (result == S_OK) result = hr;
        }
        return result;
    }
    // Delivers a sample of length bytes that fill wrote.
    HRESULT send(long length, const std::function<void(BYTE*)>& fill) {
        IMediaSample* s = nullptr;
        HRESULT hr = src->p.GetDeliveryBuffer(&s, nullptr, nullptr, 0);
        if (FAILED(hr)) return hr;
        BYTE* d = nullptr;
        s->GetPointer(&d);
        fill(d);
        s->SetActualDataLength(length);
        hr = src->p.Deliver(s);
        s->Release();
        return hr;
    }

    ~FilterChain() {
        for (IBaseFilter* f : filters()) f->Stop();
        for (IPin* p : {static_cast<IPin*>(&src->p), static_cast<IPin*>(&mid->inputPin()),
                        static_cast<IPin*>(&mid->outputPin()), static_cast<IPin*>(&sink->p)})
            p->Disconnect();
        for (IBaseFilter* f : filters()) f->Release();
    }
};

}  // namespace testsupport
