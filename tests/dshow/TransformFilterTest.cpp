// Streaming through our pins: a source, an inverting transform and a sink, connected and driven
// directly, checking allocator negotiation, sample properties, drops, flushing and state rules.
#include "dshow/InputPin.h"
#include "dshow/OutputPin.h"
#include "dshow/TransformFilter.h"
#include "tests/support/PlatformGraph.h"
#include "tests/support/TestFilters.h"

#include <amvideo.h>
#include <control.h>
#include <gtest/gtest.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

using namespace dshow;
using testsupport::askForBuffers;

namespace {

const CLSID kClsid = {0x7d2b4f10, 0x61c3, 0x4a2e, {0x8f, 0x05, 0x3c, 0x91, 0x5a, 0x27, 0xe4, 0x6b}};
constexpr LONG kFrameBytes = 4 * 2 * 3;

MediaType rgb24() { return testsupport::rgb24Video(4, 2); }

// Offers rgb24() in two buffers.
class SourcePin : public testsupport::OneTypeOutput<OutputPin> {
public:
    SourcePin(BaseFilter& filter, const wchar_t* name) : OneTypeOutput(filter, name) { type = rgb24(); }
};

struct Received {
    std::vector<BYTE> bytes;
    HRESULT timeResult;
    REFERENCE_TIME start, stop;
    bool sync;
};

class SinkPin : public InputPin {
public:
    using InputPin::InputPin;
    STDMETHODIMP GetAllocator(IMemAllocator** a) override {
        if (lendsAllocator) return InputPin::GetAllocator(a);
        *a = nullptr;
        return VFW_E_NO_ALLOCATOR;
    }
    STDMETHODIMP EndOfStream() override {
        const HRESULT hr = InputPin::EndOfStream();
        endOfStreams += hr == S_OK;
        return hr;
    }
    // A flushing or stopping receiver gives back what it held.
    STDMETHODIMP BeginFlush() override {
        InputPin::BeginFlush();
        releaseHeld();
        return S_OK;
    }
    HRESULT inactive() override {
        releaseHeld();
        return S_OK;
    }
    void releaseHeld() {
        for (IMediaSample* s : held) s->Release();
        held.clear();
    }
    std::vector<Received> samples;
    int endOfStreams = 0;
    bool lendsAllocator = true;
    // Keeps every sample, as a renderer holds the one it shows, so the sender runs out of buffers.
    bool hold = false;
    std::vector<IMediaSample*> held;

protected:
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override {
        return mediaTypesEqual(mt, rgb24().get()) ? S_OK : S_FALSE;
    }
    HRESULT receiveSample(IMediaSample* s) override {
        Received r{};
        BYTE* data = nullptr;
        s->GetPointer(&data);
        r.bytes.assign(data, data + s->GetActualDataLength());
        r.timeResult = s->GetTime(&r.start, &r.stop);
        r.sync = s->IsSyncPoint() == S_OK;
        samples.push_back(r);
        if (hold) {
            s->AddRef();
            held.push_back(s);
        }
        return S_OK;
    }
};

class InvertFilter : public TransformFilter {
public:
    explicit InvertFilter(IUnknown* outer) : TransformFilter(kClsid, outer) {}
    ~InvertFilter() override {
        CloseHandle(entered);
        CloseHandle(release);
    }
    bool drop = false;
    // With block set, Transform signals entered and waits for release.
    bool block = false;
    HANDLE entered = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::atomic<int> transforms{0};

protected:
    HRESULT CheckInputType(const AM_MEDIA_TYPE* in) override {
        return IsEqualGUID(in->subtype, MEDIASUBTYPE_RGB24) ? S_OK : E_FAIL;
    }
    HRESULT CheckTransform(const AM_MEDIA_TYPE* in, const AM_MEDIA_TYPE* out) override {
        return mediaTypesEqual(*in, *out) ? S_OK : E_FAIL;
    }
    HRESULT GetMediaType(int position, MediaType& type) override {
        if (position > 0) return VFW_S_NO_MORE_ITEMS;
        type = inputPin().mediaType();
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* a, ALLOCATOR_PROPERTIES* props) override {
        return askForBuffers(a, props, 1, inputPin().mediaType()->lSampleSize);
    }
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override {
        ++transforms;
        if (block) {
            SetEvent(entered);
            WaitForSingleObject(release, INFINITE);
        }
        if (drop) return S_FALSE;
        BYTE *src = nullptr, *dst = nullptr;
        in->GetPointer(&src);
        out->GetPointer(&dst);
        for (long i = 0, n = in->GetActualDataLength(); i < n; ++i) dst[i] = static_cast<BYTE>(~src[i]);
        return S_OK;
    }
};

// Source, invert filter and sink.
struct Chain : testsupport::ComScope, testsupport::FilterChain<InvertFilter, SourcePin, SinkPin> {
    Chain() : ComScope(COINIT_APARTMENTTHREADED) {}
    InvertFilter* const xf = mid;
    SourcePin& out = src->p;
    SinkPin& in = sink->p;

    void connect() {
        ASSERT_EQ(S_OK, connectInput());
        ASSERT_EQ(S_OK, connectOutput());
    }
    void run() {
        for (IBaseFilter* f : filters()) ASSERT_EQ(S_OK, f->Run(0));
    }
    void stop() {
        for (IBaseFilter* f : filters()) f->Stop();
    }

    // A source sample of len bytes 0, 1, 2...; times only when start >= 0.
    IMediaSample* sample(LONG len, REFERENCE_TIME start, bool sync) {
        IMediaSample* s = nullptr;
        EXPECT_EQ(S_OK, out.GetDeliveryBuffer(&s, nullptr, nullptr, 0));
        if (!s) return nullptr;
        BYTE* data = nullptr;
        s->GetPointer(&data);
        for (LONG i = 0; i < len; ++i) data[i] = static_cast<BYTE>(i);
        s->SetActualDataLength(len);
        REFERENCE_TIME stop = start + 400000;
        if (start >= 0) s->SetTime(&start, &stop);
        s->SetSyncPoint(sync);
        return s;
    }
    HRESULT send(LONG len, REFERENCE_TIME start, bool sync) {
        IMediaSample* s = sample(len, start, sync);
        if (!s) return E_FAIL;
        const HRESULT hr = out.Deliver(s);
        s->Release();
        return hr;
    }

};

// Runs work on a thread of its own; false when it has not finished within timeoutMs (the thread
// is then left behind, so that a deadlock fails the test rather than hangs the run).
class Background {
public:
    explicit Background(std::function<void()> work)
        : done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), thread_([this, work] {
              work();
              SetEvent(done_);
          }) {}
    ~Background() {
        if (thread_.joinable()) thread_.detach();
    }
    bool finishes(DWORD timeoutMs) {
        if (WaitForSingleObject(done_, timeoutMs) != WAIT_OBJECT_0) return false;
        thread_.join();
        CloseHandle(done_);
        return true;
    }

private:
    HANDLE done_;
    std::thread thread_;
};

}  // namespace

TEST(TransformFilterTest, ConnectsInputBeforeOutputAndNegotiatesAllocators) {
    Chain c;
    IEnumMediaTypes* types = nullptr;
    EXPECT_TRUE(FAILED(c.xf->outputPin().EnumMediaTypes(&types)));
    EXPECT_EQ(VFW_E_NOT_CONNECTED, c.xf->outputPin().Connect(&c.in, nullptr));
    EXPECT_FALSE(c.in.connected());

    // The sink has no allocator to lend, so the transform must bring one and tell the sink.
    c.in.lendsAllocator = false;
    c.connect();
    MediaType outType;
    ASSERT_EQ(S_OK, c.in.ConnectionMediaType(outType.put()));
    EXPECT_EQ(rgb24(), outType);

    // The transform lends its own allocator; the sink is told which one the transform brought.
    ASSERT_NE(nullptr, c.xf->outputPin().allocator());
    EXPECT_EQ(c.xf->outputPin().allocator(), c.in.allocator());
    EXPECT_EQ(c.out.allocator(), c.xf->inputPin().allocator());
    ALLOCATOR_PROPERTIES props{};
    ASSERT_EQ(S_OK, c.xf->outputPin().allocator()->GetProperties(&props));
    EXPECT_EQ(1, props.cBuffers);
    EXPECT_EQ(kFrameBytes, props.cbBuffer);
    ASSERT_EQ(S_OK, c.out.allocator()->GetProperties(&props));
    EXPECT_EQ(2, props.cBuffers);
}

TEST(TransformFilterTest, DeliversInvertedBytesWithTheSampleProperties) {
    Chain c;
    c.connect();
    c.run();
    ASSERT_EQ(S_OK, c.send(kFrameBytes, 1000000, true));
    ASSERT_EQ(S_OK, c.send(6, -1, false));
    ASSERT_EQ(2u, c.in.samples.size());

    const Received& first = c.in.samples[0];
    ASSERT_EQ(static_cast<size_t>(kFrameBytes), first.bytes.size());
    for (size_t i = 0; i < first.bytes.size(); ++i) EXPECT_EQ(static_cast<BYTE>(~i), first.bytes[i]) << i;
    EXPECT_EQ(S_OK, first.timeResult);
    EXPECT_EQ(1000000, first.start);
    EXPECT_EQ(1400000, first.stop);
    EXPECT_TRUE(first.sync);

    // The reused output buffer keeps none of the first sample's times, flags or length.
    const Received& second = c.in.samples[1];
    EXPECT_EQ((std::vector<BYTE>{0xFF, 0xFE, 0xFD, 0xFC, 0xFB, 0xFA}), second.bytes);
    EXPECT_EQ(VFW_E_SAMPLE_TIME_NOT_SET, second.timeResult);
    EXPECT_FALSE(second.sync);
}

TEST(TransformFilterTest, DropsFlushesAndRefusesWhenStopped) {
    Chain c;
    c.connect();
    c.run();
    c.xf->drop = true;
    EXPECT_EQ(S_OK, c.send(kFrameBytes, 0, true));
    EXPECT_TRUE(c.in.samples.empty());
    c.xf->drop = false;

    ASSERT_EQ(S_OK, c.out.DeliverBeginFlush());
    EXPECT_TRUE(c.in.flushing());
    EXPECT_EQ(S_FALSE, c.send(kFrameBytes, 0, true));
    EXPECT_EQ(S_FALSE, c.out.DeliverEndOfStream());
    EXPECT_EQ(0, c.in.endOfStreams);
    ASSERT_EQ(S_OK, c.out.DeliverEndFlush());
    EXPECT_FALSE(c.in.flushing());
    EXPECT_EQ(S_OK, c.send(kFrameBytes, 0, true));
    EXPECT_EQ(S_OK, c.out.DeliverEndOfStream());
    EXPECT_EQ(1, c.in.endOfStreams);

    IMediaSample* held = c.sample(kFrameBytes, 0, true);
    ASSERT_NE(nullptr, held);
    c.stop();
    EXPECT_EQ(VFW_E_WRONG_STATE, c.xf->inputPin().Receive(held));
    held->Release();
    IMediaSample* none = nullptr;
    EXPECT_TRUE(FAILED(c.out.GetDeliveryBuffer(&none, nullptr, nullptr, 0)));
    EXPECT_EQ(1u, c.in.samples.size());
}

TEST(TransformFilterTest, StreamsInsideThePlatformGraph) {
    Chain c;
    const LONG objects = moduleObjectCount();
    IGraphBuilder* graph = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                     reinterpret_cast<void**>(&graph)));
    ASSERT_EQ(S_OK, graph->AddFilter(c.src, L"Source"));
    ASSERT_EQ(S_OK, graph->AddFilter(c.xf, L"Invert"));
    ASSERT_EQ(S_OK, graph->AddFilter(c.sink, L"Sink"));
    ASSERT_EQ(S_OK, graph->ConnectDirect(&c.out, &c.xf->inputPin(), nullptr));
    ASSERT_EQ(S_OK, graph->ConnectDirect(&c.xf->outputPin(), &c.in, nullptr));
    IMediaControl* control = nullptr;
    ASSERT_EQ(S_OK, graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control)));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    EXPECT_EQ(S_OK, c.send(kFrameBytes, 0, true));
    ASSERT_EQ(1u, c.in.samples.size());
    EXPECT_EQ(0xFF, c.in.samples[0].bytes[0]);
    IMediaSample* held = c.sample(kFrameBytes, 0, true);
    ASSERT_NE(nullptr, held);
    EXPECT_EQ(S_OK, control->Stop());
    EXPECT_EQ(VFW_E_WRONG_STATE, c.out.Deliver(held));
    held->Release();
    control->Release();
    // The graph disconnects and lets go of our filters when it goes.
    graph->Release();
    EXPECT_FALSE(c.xf->outputPin().connected());
    EXPECT_EQ(objects, moduleObjectCount());
}

TEST(TransformFilterTest, StopWaitsForTheSampleInTransformAndLetsNoneThroughAfter) {
    Chain c;
    c.connect();
    c.run();
    c.xf->block = true;
    HRESULT sent = E_FAIL;
    Background sender([&] { sent = c.send(kFrameBytes, 0, true); });
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(c.xf->entered, 10000));
    std::atomic<bool> stopped{false};
    Background stopper([&] {
        c.xf->Stop();
        stopped = true;
    });
    // Time for a Stop that does not wait to return; a correct one cannot.
    Sleep(100);
    EXPECT_FALSE(stopped);
    SetEvent(c.xf->release);
    ASSERT_TRUE(stopper.finishes(10000));
    ASSERT_TRUE(sender.finishes(10000));
    EXPECT_EQ(S_OK, sent);
    EXPECT_EQ(1u, c.in.samples.size());

    c.xf->block = false;
    EXPECT_EQ(VFW_E_WRONG_STATE, c.send(kFrameBytes, 0, true));
    EXPECT_EQ(1, c.xf->transforms);
}

TEST(TransformFilterTest, FlushAndStopReleaseAReceiveWaitingForABuffer) {
    Chain c;
    c.connect();
    c.run();
    // The transform has one output buffer; the sink keeps it, so the next Receive waits for it.
    c.in.hold = true;
    ASSERT_EQ(S_OK, c.send(kFrameBytes, 0, true));
    HRESULT sent = E_FAIL;
    {
        Background sender([&] { sent = c.send(kFrameBytes, 0, true); });
        Sleep(50);
        ASSERT_EQ(S_OK, c.out.DeliverBeginFlush());
        ASSERT_TRUE(sender.finishes(10000));
        EXPECT_EQ(S_FALSE, sent);
        Background endFlush([&] { c.out.DeliverEndFlush(); });
        ASSERT_TRUE(endFlush.finishes(10000));
    }
    EXPECT_EQ(1u, c.in.samples.size());

    // Once more, now ended by Stop: decommitting the output releases the waiting Receive.
    ASSERT_EQ(S_OK, c.send(kFrameBytes, 0, true));
    ASSERT_EQ(2u, c.in.samples.size());
    Background sender([&] { sent = c.send(kFrameBytes, 0, true); });
    Sleep(50);
    Background stopper([&] { c.xf->Stop(); });
    ASSERT_TRUE(stopper.finishes(10000));
    ASSERT_TRUE(sender.finishes(10000));
    EXPECT_TRUE(FAILED(sent));
    EXPECT_EQ(2u, c.in.samples.size());
}
