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
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace dshow;
using testsupport::askForBuffers;

namespace {

const CLSID kClsid = {0x7d2b4f10, 0x61c3, 0x4a2e, {0x8f, 0x05, 0x3c, 0x91, 0x5a, 0x27, 0xe4, 0x6b}};
constexpr LONG kFrameBytes = 4 * 2 * 3;

MediaType rgb24() { return testsupport::rgb24Video(4, 2); }

// A success code no pin of ours makes up: it can only have come from the test's own object.
constexpr HRESULT kUpstreamAnswer = MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_ITF, 0x7A1);

// Seeking as an upstream pin offers it: each call records its name and the argument that tells
// it apart, and answers kUpstreamAnswer.
class UpstreamPosition final : public IMediaSeeking, public IMediaPosition {
public:
    explicit UpstreamPosition(IUnknown& owner) : owner_(owner) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override { return owner_.QueryInterface(riid, ppv); }
    STDMETHODIMP_(ULONG) AddRef() override { return owner_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return owner_.Release(); }

    STDMETHODIMP GetCapabilities(DWORD* p) override { return hit("GetCapabilities", p); }
    STDMETHODIMP CheckCapabilities(DWORD* p) override { return hit("CheckCapabilities", p); }
    STDMETHODIMP IsFormatSupported(const GUID* p) override { return hit("IsFormatSupported", p); }
    STDMETHODIMP QueryPreferredFormat(GUID* p) override { return hit("QueryPreferredFormat", p); }
    STDMETHODIMP GetTimeFormat(GUID* p) override { return hit("GetTimeFormat", p); }
    STDMETHODIMP IsUsingTimeFormat(const GUID* p) override { return hit("IsUsingTimeFormat", p); }
    STDMETHODIMP SetTimeFormat(const GUID* p) override { return hit("SetTimeFormat", p); }
    STDMETHODIMP GetDuration(LONGLONG* p) override { return hit("GetDuration", p); }
    STDMETHODIMP GetStopPosition(LONGLONG* p) override { return hit("GetStopPosition", p); }
    STDMETHODIMP GetCurrentPosition(LONGLONG* p) override { return hit("GetCurrentPosition", p); }
    STDMETHODIMP ConvertTimeFormat(LONGLONG* p, const GUID*, LONGLONG source, const GUID*) override {
        return hit("ConvertTimeFormat", p, static_cast<double>(source));
    }
    STDMETHODIMP SetPositions(LONGLONG* p, DWORD flags, LONGLONG*, DWORD) override {
        return hit("SetPositions", p, flags);
    }
    STDMETHODIMP GetPositions(LONGLONG* p, LONGLONG*) override { return hit("GetPositions", p); }
    STDMETHODIMP GetAvailable(LONGLONG* p, LONGLONG*) override { return hit("GetAvailable", p); }
    STDMETHODIMP SetRate(double rate) override { return hit("SetRate", nullptr, rate); }
    STDMETHODIMP GetRate(double* p) override { return hit("GetRate", p); }
    STDMETHODIMP GetPreroll(LONGLONG* p) override { return hit("GetPreroll", p); }

    STDMETHODIMP GetTypeInfoCount(UINT* p) override { return hit("GetTypeInfoCount", p); }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** p) override { return hit("GetTypeInfo", p); }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* p) override { return hit("GetIDsOfNames", p); }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* p, EXCEPINFO*, UINT*) override {
        return hit("Invoke", p, id);
    }
    STDMETHODIMP get_Duration(REFTIME* p) override { return hit("get_Duration", p); }
    STDMETHODIMP put_CurrentPosition(REFTIME t) override { return hit("put_CurrentPosition", nullptr, t); }
    STDMETHODIMP get_CurrentPosition(REFTIME* p) override { return hit("get_CurrentPosition", p); }
    STDMETHODIMP get_StopTime(REFTIME* p) override { return hit("get_StopTime", p); }
    STDMETHODIMP put_StopTime(REFTIME t) override { return hit("put_StopTime", nullptr, t); }
    STDMETHODIMP get_PrerollTime(REFTIME* p) override { return hit("get_PrerollTime", p); }
    STDMETHODIMP put_PrerollTime(REFTIME t) override { return hit("put_PrerollTime", nullptr, t); }
    STDMETHODIMP put_Rate(double rate) override { return hit("put_Rate", nullptr, rate); }
    STDMETHODIMP get_Rate(double* p) override { return hit("get_Rate", p); }
    STDMETHODIMP CanSeekForward(LONG* p) override { return hit("CanSeekForward", p); }
    STDMETHODIMP CanSeekBackward(LONG* p) override { return hit("CanSeekBackward", p); }

    struct Call {
        std::string name;
        const void* pointer;
        double value;
    };
    std::vector<Call> calls;

private:
    HRESULT hit(const char* name, const void* pointer, double value = 0) {
        calls.push_back({name, pointer, value});
        return kUpstreamAnswer;
    }
    IUnknown& owner_;
};

// Offers rgb24() in two buffers. Records the quality messages it gets, and offers seeking when
// seekable is set.
class SourcePin : public testsupport::OneTypeOutput<OutputPin> {
public:
    SourcePin(BaseFilter& filter, const wchar_t* name) : OneTypeOutput(filter, name) { type = rgb24(); }
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (seekable && IsEqualIID(riid, IID_IMediaSeeking)) {
            *ppv = static_cast<IMediaSeeking*>(&position);
        } else if (seekable && IsEqualIID(riid, IID_IMediaPosition)) {
            *ppv = static_cast<IMediaPosition*>(&position);
        } else {
            return OneTypeOutput::QueryInterface(riid, ppv);
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP Notify(IBaseFilter* from, Quality q) override {
        qualityFrom = from;
        quality.push_back(q);
        return kUpstreamAnswer;
    }
    bool seekable = false;
    UpstreamPosition position{*static_cast<IPin*>(this)};
    IBaseFilter* qualityFrom = nullptr;
    std::vector<Quality> quality;
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
    STDMETHODIMP ReceiveCanBlock() override { return canBlock ? *canBlock : InputPin::ReceiveCanBlock(); }
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
    // What ReceiveCanBlock answers; unset, the base pin's own answer.
    std::optional<HRESULT> canBlock;
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
    // What AlterQuality answers, and the messages it was given.
    HRESULT alter = S_FALSE;
    std::vector<Quality> altered;
    // With block set, Transform signals entered and waits for release.
    bool block = false;
    HANDLE entered = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::atomic<int> transforms{0};

protected:
    HRESULT AlterQuality(const Quality& q) override {
        altered.push_back(q);
        return alter;
    }
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
    ASSERT_EQ(S_OK, c.xf->outputPin().EnumMediaTypes(&types));
    types->Release();
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

// Unconnected, the output offers no types rather than refusing to say; its types come and go with
// the input's connection.
TEST(TransformFilterTest, OutputListsTypesOnlyWhileTheInputIsConnected) {
    Chain c;
    const auto listed = [&] {
        std::vector<MediaType> got;
        IEnumMediaTypes* types = nullptr;
        EXPECT_EQ(S_OK, c.xf->outputPin().EnumMediaTypes(&types));
        if (!types) return got;
        AM_MEDIA_TYPE* next[2] = {};
        ULONG fetched = 0;
        EXPECT_EQ(S_FALSE, types->Next(2, next, &fetched));
        for (ULONG i = 0; i < fetched; ++i) {
            MediaType held;
            EXPECT_EQ(S_OK, held.copyFrom(*next[i]));
            got.push_back(held);
            deleteMediaType(next[i]);
        }
        EXPECT_EQ(0u, types->Release());
        return got;
    };
    EXPECT_TRUE(listed().empty());
    ASSERT_EQ(S_OK, c.connectInput());
    EXPECT_EQ(std::vector<MediaType>{rgb24()}, listed());
    ASSERT_EQ(S_OK, c.out.Disconnect());
    ASSERT_EQ(S_OK, c.xf->inputPin().Disconnect());
    EXPECT_TRUE(listed().empty());
}

// The input pin delivers on the caller's thread, so it can block exactly when a receiver
// downstream can.
TEST(TransformFilterTest, ReceiveCanBlockAsksTheReceiverDownstream) {
    struct Case {
        const char* what;
        bool connectOutput;
        std::optional<HRESULT> downstream;
        HRESULT expected;
    };
    const Case cases[] = {
        {"receiver may block", true, S_OK, S_OK},
        {"receiver never blocks", true, S_FALSE, S_FALSE},
        {"receiver cannot tell", true, E_NOTIMPL, S_OK},
        {"receiver that ends the stream itself", true, std::nullopt, S_OK},
        {"output not connected", false, S_OK, S_FALSE},
    };
    for (const Case& k : cases) {
        Chain c;
        ASSERT_EQ(S_OK, c.connectInput()) << k.what;
        if (k.connectOutput) {
            ASSERT_EQ(S_OK, c.connectOutput()) << k.what;
        }
        c.in.canBlock = k.downstream;
        IMemInputPin* input = nullptr;
        ASSERT_EQ(S_OK, c.xf->inputPin().QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&input)));
        EXPECT_EQ(k.expected, input->ReceiveCanBlock()) << k.what;
        input->Release();
    }
}

// Quality messages from downstream reach the output pin; what the filter does not act on goes to
// the quality sink set on its input pin, or else to the output pin upstream.
TEST(TransformFilterTest, QualityMessagesGoUpstreamUnlessTheFilterActsOnThem) {
    struct Sink : IQualityControl {
        STDMETHODIMP QueryInterface(REFIID, void** ppv) override { *ppv = nullptr; return E_NOINTERFACE; }
        STDMETHODIMP_(ULONG) AddRef() override { return 2; }
        STDMETHODIMP_(ULONG) Release() override { return 1; }
        STDMETHODIMP Notify(IBaseFilter* from, Quality q) override {
            this->from = from;
            got.push_back(q);
            return S_FALSE;
        }
        STDMETHODIMP SetSink(IQualityControl*) override { return E_NOTIMPL; }
        IBaseFilter* from = nullptr;
        std::vector<Quality> got;
    };
    struct Case {
        const char* what;
        bool connected, sink;
        HRESULT alter, expected;
        size_t upstream, sunk;
    };
    const Case cases[] = {
        {"passed upstream", true, false, S_FALSE, kUpstreamAnswer, 1, 0},
        {"to the sink instead", true, true, S_FALSE, S_FALSE, 0, 1},
        {"acted on by the filter", true, false, S_OK, S_OK, 0, 0},
        {"failed by the filter", true, true, E_FAIL, E_FAIL, 0, 0},
        {"nobody upstream", false, false, S_FALSE, VFW_E_NOT_FOUND, 0, 0},
        {"nobody upstream but a sink", false, true, S_FALSE, S_FALSE, 0, 1},
    };
    const Quality q{Flood, 1100, 250000, 7000000};
    const auto same = [](const Quality& a, const Quality& b) {
        return a.Type == b.Type && a.Proportion == b.Proportion && a.Late == b.Late && a.TimeStamp == b.TimeStamp;
    };
    for (const Case& k : cases) {
        Chain c;
        Sink sink;
        if (k.connected) c.connect();
        c.xf->alter = k.alter;
        IQualityControl *output = nullptr, *input = nullptr;
        ASSERT_EQ(S_OK, c.xf->outputPin().QueryInterface(IID_IQualityControl, reinterpret_cast<void**>(&output)));
        ASSERT_EQ(S_OK, c.xf->inputPin().QueryInterface(IID_IQualityControl, reinterpret_cast<void**>(&input)));
        if (k.sink) {
            ASSERT_EQ(S_OK, input->SetSink(&sink));
        }

        EXPECT_EQ(k.expected, output->Notify(c.sink, q)) << k.what;
        ASSERT_EQ(1u, c.xf->altered.size()) << k.what;
        EXPECT_TRUE(same(q, c.xf->altered[0])) << k.what;
        ASSERT_EQ(k.upstream, c.out.quality.size()) << k.what;
        ASSERT_EQ(k.sunk, sink.got.size()) << k.what;
        // Whoever gets it learns it came from this filter, unchanged.
        if (k.upstream) {
            EXPECT_TRUE(same(q, c.out.quality[0])) << k.what;
            EXPECT_EQ(static_cast<IBaseFilter*>(c.xf), c.out.qualityFrom) << k.what;
        }
        if (k.sunk) {
            EXPECT_TRUE(same(q, sink.got[0])) << k.what;
            EXPECT_EQ(static_cast<IBaseFilter*>(c.xf), sink.from) << k.what;
        }

        // Sent to the input pin, a message is taken and goes nowhere.
        EXPECT_EQ(S_OK, input->Notify(c.src, q)) << k.what;
        EXPECT_EQ(1u, c.xf->altered.size()) << k.what;
        EXPECT_EQ(k.upstream, c.out.quality.size()) << k.what;
        EXPECT_EQ(k.sunk, sink.got.size()) << k.what;
        input->SetSink(nullptr);
        input->Release();
        output->Release();
    }
}

// The output pin seeks through the pin upstream of the filter: every method reaches the same method
// there with the caller's arguments, and answers as it does; without a seeking pin upstream every
// call is E_NOTIMPL.
TEST(TransformFilterTest, OutputPinPassesSeekingUpstream) {
    LONGLONG t = 0;
    double d = 0;
    DWORD caps = 0;
    LONG flag = 0;
    GUID format = GUID_NULL;
    UINT count = 0;
    ITypeInfo* info = nullptr;
    DISPID id = 0;
    VARIANT result;
    struct Case {
        const char* name;
        std::function<HRESULT(IMediaSeeking*, IMediaPosition*)> call;
        const void* pointer;
        double value;
    };
    const Case cases[] = {
        {"GetCapabilities", [&](IMediaSeeking* s, IMediaPosition*) { return s->GetCapabilities(&caps); }, &caps, 0},
        {"CheckCapabilities", [&](IMediaSeeking* s, IMediaPosition*) { return s->CheckCapabilities(&caps); }, &caps, 0},
        {"IsFormatSupported", [&](IMediaSeeking* s, IMediaPosition*) { return s->IsFormatSupported(&format); }, &format, 0},
        {"QueryPreferredFormat", [&](IMediaSeeking* s, IMediaPosition*) { return s->QueryPreferredFormat(&format); },
         &format, 0},
        {"GetTimeFormat", [&](IMediaSeeking* s, IMediaPosition*) { return s->GetTimeFormat(&format); }, &format, 0},
        {"IsUsingTimeFormat", [&](IMediaSeeking* s, IMediaPosition*) { return s->IsUsingTimeFormat(&format); }, &format, 0},
        {"SetTimeFormat", [&](IMediaSeeking* s, IMediaPosition*) { return s->SetTimeFormat(&format); }, &format, 0},
        {"GetDuration", [&](IMediaSeeking* s, IMediaPosition*) { return s->GetDuration(&t); }, &t, 0},
        {"GetStopPosition", [&](IMediaSeeking* s, IMediaPosition*) { return s->GetStopPosition(&t); }, &t, 0},
        {"GetCurrentPosition", [&](IMediaSeeking* s, IMediaPosition*) { return s->GetCurrentPosition(&t); }, &t, 0},
        {"ConvertTimeFormat",
         [&](IMediaSeeking* s, IMediaPosition*) { return s->ConvertTimeFormat(&t, nullptr, 4321, nullptr); }, &t, 4321},
        {"SetPositions",
         [&](IMediaSeeking* s, IMediaPosition*) {
             return s->SetPositions(&t, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
         },
         &t, AM_SEEKING_AbsolutePositioning},
        {"GetPositions", [&](IMediaSeeking* s, IMediaPosition*) { return s->GetPositions(&t, nullptr); }, &t, 0},
        {"GetAvailable", [&](IMediaSeeking* s, IMediaPosition*) { return s->GetAvailable(&t, nullptr); }, &t, 0},
        {"SetRate", [&](IMediaSeeking* s, IMediaPosition*) { return s->SetRate(1.5); }, nullptr, 1.5},
        {"GetRate", [&](IMediaSeeking* s, IMediaPosition*) { return s->GetRate(&d); }, &d, 0},
        {"GetPreroll", [&](IMediaSeeking* s, IMediaPosition*) { return s->GetPreroll(&t); }, &t, 0},
        {"GetTypeInfoCount", [&](IMediaSeeking*, IMediaPosition* p) { return p->GetTypeInfoCount(&count); }, &count, 0},
        {"GetTypeInfo", [&](IMediaSeeking*, IMediaPosition* p) { return p->GetTypeInfo(0, 0, &info); }, &info, 0},
        {"GetIDsOfNames",
         [&](IMediaSeeking*, IMediaPosition* p) { return p->GetIDsOfNames(IID_NULL, nullptr, 0, 0, &id); }, &id, 0},
        {"Invoke",
         [&](IMediaSeeking*, IMediaPosition* p) {
             return p->Invoke(7, IID_NULL, 0, DISPATCH_PROPERTYGET, nullptr, &result, nullptr, nullptr);
         },
         &result, 7},
        {"get_Duration", [&](IMediaSeeking*, IMediaPosition* p) { return p->get_Duration(&d); }, &d, 0},
        {"put_CurrentPosition", [&](IMediaSeeking*, IMediaPosition* p) { return p->put_CurrentPosition(2.25); },
         nullptr, 2.25},
        {"get_CurrentPosition", [&](IMediaSeeking*, IMediaPosition* p) { return p->get_CurrentPosition(&d); }, &d, 0},
        {"get_StopTime", [&](IMediaSeeking*, IMediaPosition* p) { return p->get_StopTime(&d); }, &d, 0},
        {"put_StopTime", [&](IMediaSeeking*, IMediaPosition* p) { return p->put_StopTime(3.5); }, nullptr, 3.5},
        {"get_PrerollTime", [&](IMediaSeeking*, IMediaPosition* p) { return p->get_PrerollTime(&d); }, &d, 0},
        {"put_PrerollTime", [&](IMediaSeeking*, IMediaPosition* p) { return p->put_PrerollTime(0.75); }, nullptr, 0.75},
        {"put_Rate", [&](IMediaSeeking*, IMediaPosition* p) { return p->put_Rate(0.5); }, nullptr, 0.5},
        {"get_Rate", [&](IMediaSeeking*, IMediaPosition* p) { return p->get_Rate(&d); }, &d, 0},
        {"CanSeekForward", [&](IMediaSeeking*, IMediaPosition* p) { return p->CanSeekForward(&flag); }, &flag, 0},
        {"CanSeekBackward", [&](IMediaSeeking*, IMediaPosition* p) { return p->CanSeekBackward(&flag); }, &flag, 0},
    };

    enum Upstream { Unconnected, NoSeeking, Seeking };
    for (Upstream upstream : {Unconnected, NoSeeking, Seeking}) {
        Chain c;
        c.out.seekable = upstream == Seeking;
        if (upstream != Unconnected) c.connect();
        IPin& out = c.xf->outputPin();
        const auto refsOnFilter = [&] {
            out.AddRef();
            return out.Release();
        };
        const ULONG refs = refsOnFilter();
        IMediaSeeking* seeking = nullptr;
        IMediaPosition* position = nullptr;
        ASSERT_EQ(S_OK, out.QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking)));
        ASSERT_EQ(S_OK, out.QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(&position)));
        // Interfaces of the pin: the same identity, and references on the pin's filter.
        EXPECT_EQ(refs + 2, refsOnFilter());
        IPin* back = nullptr;
        ASSERT_EQ(S_OK, position->QueryInterface(IID_IPin, reinterpret_cast<void**>(&back)));
        EXPECT_EQ(&out, back);
        back->Release();
        IMediaSeeking* again = nullptr;
        ASSERT_EQ(S_OK, position->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&again)));
        EXPECT_EQ(seeking, again);
        again->Release();

        for (const Case& k : cases) {
            c.out.position.calls.clear();
            const HRESULT hr = k.call(seeking, position);
            if (upstream != Seeking) {
                EXPECT_EQ(E_NOTIMPL, hr) << k.name << " upstream " << upstream;
                EXPECT_TRUE(c.out.position.calls.empty()) << k.name;
                continue;
            }
            EXPECT_EQ(kUpstreamAnswer, hr) << k.name;
            ASSERT_EQ(1u, c.out.position.calls.size()) << k.name;
            EXPECT_EQ(k.name, c.out.position.calls[0].name);
            EXPECT_EQ(k.pointer, c.out.position.calls[0].pointer) << k.name;
            EXPECT_EQ(k.value, c.out.position.calls[0].value) << k.name;
        }
        position->Release();
        seeking->Release();
        EXPECT_EQ(refs, refsOnFilter());
    }
}
