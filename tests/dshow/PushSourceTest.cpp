// The push-source base in the platform's filter graph, feeding the platform's null renderer:
// frames flow, the end of stream and errors reach the application, and stopping ends the
// streaming thread promptly, however often the graph is started.
#include "dshow/PushSource.h"
#include "camera/DirectShowIds.h"
#include "tests/support/PlatformGraph.h"
#include "tests/support/TestFilters.h"
#include "tests/support/Wait.h"

#include <amvideo.h>
#include <control.h>
#include <evcode.h>
#include <gtest/gtest.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

using namespace dshow;
using testsupport::ComScope;
using testsupport::waitUntil;

namespace {

const CLSID kSourceClsid = {0x4b7c2e91, 0x0d5a, 0x4f63, {0xa8, 0x1e, 0x6c, 0x20, 0x93, 0xd7, 0x45, 0xb8}};
constexpr LONG kFrameBytes = 8 * 4 * 3;

// 8 x 4 RGB24 frames. Also answers IAMLatency, as derived pins add the interfaces a capture graph
// looks for.
class CountingPin final : public testsupport::OneTypeOutput<PushPin>, public IAMLatency {
public:
    CountingPin(PushSource& filter, const wchar_t* name) : OneTypeOutput(filter, name) {
        type = testsupport::rgb24Video(8, 4);
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (ppv && IsEqualIID(riid, IID_IAMLatency)) {
            *ppv = static_cast<IAMLatency*>(this);
            AddRef();
            return S_OK;
        }
        return PushPin::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return PushPin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return PushPin::Release(); }
    STDMETHODIMP GetLatency(REFERENCE_TIME* latency) override {
        if (!latency) return E_POINTER;
        *latency = 333333;
        return S_OK;
    }

    // Set while stopped.
    int endAfter = -1;         // S_FALSE once this many frames were filled; -1: never
    HRESULT failAfter = S_OK;  // this failure instead of S_FALSE
    DWORD paceMs = 0;
    bool silent = false;  // fills nothing, waits until stopped
    bool stamp = false;   // asks for the stream time and stamps the sample with it
    bool refuseStart = false;
    bool stopsItsFilter = false;  // FillBuffer stops the filter, as a graph may on our error event

    HRESULT active() override { return refuseStart ? E_FAIL : PushPin::active(); }

    // Streaming thread only; read after Stop.
    struct Stamp {
        HRESULT hr;
        REFERENCE_TIME time;
    };
    std::vector<Stamp> stamps;

    std::atomic<int> fills{0}, creates{0}, destroys{0}, starts{0};
    std::atomic<bool> threadAlive{false};
    HANDLE waiting = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~CountingPin() override { CloseHandle(waiting); }

protected:
    HRESULT OnThreadCreate() override {
        ++creates;
        threadAlive = true;
        return S_OK;
    }
    void OnThreadDestroy() override {
        threadAlive = false;
        ++destroys;
    }
    HRESULT OnThreadStartPlay() override {
        ++starts;
        return S_OK;
    }
    HRESULT FillBuffer(IMediaSample* sample) override {
        if (silent) {
            SetEvent(waiting);
            return waitFor(INFINITE) ? E_UNEXPECTED : S_FALSE;
        }
        if (stopsItsFilter) {
            filter_.Stop();
            return E_FAIL;
        }
        if (paceMs && !waitFor(paceMs)) return S_FALSE;
        if (fills == endAfter) return failAfter == S_OK ? S_FALSE : failAfter;
        BYTE* data = nullptr;
        if (FAILED(sample->GetPointer(&data)) || sample->GetSize() < kFrameBytes) return E_FAIL;
        for (LONG i = 0; i < kFrameBytes; ++i) data[i] = static_cast<BYTE>(fills + i);
        sample->SetActualDataLength(kFrameBytes);
        if (stamp) {
            REFERENCE_TIME now = 0;
            const HRESULT hr = filter_.streamTime(now);
            stamps.push_back({hr, now});
            REFERENCE_TIME end = now + 1;
            if (hr == S_OK) sample->SetTime(&now, &end);
        }
        ++fills;
        return S_OK;
    }
};

class TestSource final : public PushSource {
public:
    explicit TestSource(IUnknown* outer, bool twoPins = false, bool live = false)
        : PushSource(kSourceClsid, outer, live) {
        auto p = std::make_unique<CountingPin>(*this, L"Out");
        out = p.get();
        addPin(std::move(p));
        if (!twoPins) return;
        p = std::make_unique<CountingPin>(*this, L"Out 2");
        out2 = p.get();
        addPin(std::move(p));
    }
    CountingPin* out;
    CountingPin* out2 = nullptr;
};

template <class I>
I* query(IUnknown* p, REFIID iid) {
    I* i = nullptr;
    EXPECT_EQ(S_OK, p->QueryInterface(iid, reinterpret_cast<void**>(&i)));
    return i;
}

// The platform's graph with our source connected to the platform's null renderer.
struct Graph {
    ComScope com{COINIT_MULTITHREADED};
    LONG objectsBefore = moduleObjectCount();
    IGraphBuilder* graph = nullptr;
    IBaseFilter* renderer = nullptr;
    IBaseFilter* renderer2 = nullptr;  // for the second pin, if any
    IMediaControl* control = nullptr;
    IMediaEvent* events = nullptr;
    TestSource* src = nullptr;
    CountingPin* pin = nullptr;

    explicit Graph(bool twoPins = false, bool live = false) {
        IBaseFilter* f = nullptr;
        EXPECT_EQ(S_OK, createFilter<TestSource>(nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&f), twoPins, live));
        src = static_cast<TestSource*>(f);
        pin = src->out;
        EXPECT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                         reinterpret_cast<void**>(&graph)));
        CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                         reinterpret_cast<void**>(&renderer));
        if (!graph || !renderer) return;
        control = query<IMediaControl>(graph, IID_IMediaControl);
        events = query<IMediaEvent>(graph, IID_IMediaEvent);
        EXPECT_EQ(S_OK, graph->AddFilter(src, L"Source"));
        EXPECT_EQ(S_OK, graph->AddFilter(renderer, L"Null Renderer"));
        if (twoPins && SUCCEEDED(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IBaseFilter, reinterpret_cast<void**>(&renderer2)))) {
            EXPECT_EQ(S_OK, graph->AddFilter(renderer2, L"Null Renderer 2"));
        }
    }
    bool ready() const { return graph && renderer && control && events; }

    HRESULT connect() {
        HRESULT hr = connectTo(pin, renderer);
        if (SUCCEEDED(hr) && src->out2) hr = connectTo(src->out2, renderer2);
        return hr;
    }
    HRESULT connectTo(IPin* out, IBaseFilter* to) {
        const vnt::ComPtr<IPin> in = testsupport::firstPin(to, PINDIR_INPUT);
        return in ? graph->ConnectDirect(out, in.get(), nullptr) : E_FAIL;
    }

    bool waitEvent(long wanted, DWORD timeoutMs, LONG_PTR* p1 = nullptr) {
        return testsupport::waitForEvent(events, wanted, timeoutMs, p1);
    }

    // Stop on another thread, so that a hang fails this test instead of the whole run.
    bool stopsWithin(DWORD timeoutMs) {
        HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::thread stopper([this, done] {
            control->Stop();
            SetEvent(done);
        });
        const bool stopped = WaitForSingleObject(done, timeoutMs) == WAIT_OBJECT_0;
        if (stopped) stopper.join();
        else stopper.detach();
        CloseHandle(done);
        return stopped;
    }

    ~Graph() {
        if (control) {
            control->Stop();
            control->Release();
        }
        if (events) events->Release();
        if (renderer) renderer->Release();
        if (renderer2) renderer2->Release();
        if (graph) graph->Release();
        if (src) src->Release();
        // Nothing of ours outlives the graph: no pin, enumerator or filter reference leaked.
        EXPECT_EQ(objectsBefore, moduleObjectCount());
    }
};

#define REQUIRE_GRAPH(g)                                                                   \
    if (!(g).ready()) GTEST_SKIP() << "the platform offers no filter graph or null renderer"; \
    ASSERT_EQ(S_OK, (g).connect())

}  // namespace

TEST(PushSourceTest, FramesFlowAndEndOfStreamCompletesTheGraph) {
    Graph g;
    REQUIRE_GRAPH(g);
    g.pin->endAfter = 5;
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    // The renderer reports completion only after it took the end of stream behind the frames.
    EXPECT_TRUE(g.waitEvent(EC_COMPLETE, 10000));
    EXPECT_EQ(5, g.pin->fills);
    EXPECT_EQ(1, g.pin->starts);
    ASSERT_TRUE(g.stopsWithin(10000));
    EXPECT_EQ(1, g.pin->creates);
    EXPECT_EQ(1, g.pin->destroys);
    EXPECT_FALSE(g.pin->threadAlive);
}

TEST(PushSourceTest, FillBufferFailureAbortsTheStream) {
    Graph g;
    REQUIRE_GRAPH(g);
    g.pin->endAfter = 3;
    g.pin->failAfter = E_ACCESSDENIED;
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    LONG_PTR reason = 0;
    ASSERT_TRUE(g.waitEvent(EC_ERRORABORT, 10000, &reason));
    EXPECT_EQ(E_ACCESSDENIED, static_cast<HRESULT>(reason));
    // The thread pushes nothing after the failure, and leaves.
    EXPECT_TRUE(waitUntil([&] { return !g.pin->threadAlive; }, 10000));
    EXPECT_EQ(3, g.pin->fills);
    ASSERT_TRUE(g.stopsWithin(10000));
    EXPECT_EQ(3, g.pin->fills);
    EXPECT_EQ(1, g.pin->destroys);
}

TEST(PushSourceTest, StopEndsAFillBufferThatWaits) {
    Graph g;
    REQUIRE_GRAPH(g);
    g.pin->silent = true;
    g.control->Run();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g.pin->waiting, 10000));
    ASSERT_TRUE(g.stopsWithin(10000));
    EXPECT_FALSE(g.pin->threadAlive);
    EXPECT_EQ(1, g.pin->destroys);
    // A stop is not the end of the stream.
    EXPECT_FALSE(g.waitEvent(EC_COMPLETE, 0));
}

TEST(PushSourceTest, PauseRunStopCyclesRestartTheThread) {
    Graph g;
    REQUIRE_GRAPH(g);
    g.pin->paceMs = 2;
    for (int cycle = 1; cycle <= 3; ++cycle) {
        SCOPED_TRACE(cycle);
        ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
        ASSERT_TRUE(SUCCEEDED(g.control->Run()));
        int seen = g.pin->fills;
        EXPECT_TRUE(waitUntil([&] { return g.pin->fills >= seen + 3; }, 10000));
        ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
        ASSERT_TRUE(SUCCEEDED(g.control->Run()));
        seen = g.pin->fills;
        EXPECT_TRUE(waitUntil([&] { return g.pin->fills >= seen + 3; }, 10000));
        ASSERT_TRUE(g.stopsWithin(10000));
        // One thread per start from Stopped, gone when Stop returned.
        EXPECT_FALSE(g.pin->threadAlive);
        EXPECT_EQ(cycle, g.pin->creates);
        EXPECT_EQ(cycle, g.pin->starts);
        EXPECT_EQ(cycle, g.pin->destroys);
    }
}

TEST(PushSourceTest, UnconnectedPinStartsNoThread) {
    Graph g;
    if (!g.ready()) GTEST_SKIP() << "the platform offers no filter graph or null renderer";
    ASSERT_EQ(S_OK, g.src->Pause());
    EXPECT_EQ(State_Paused, g.src->state());
    EXPECT_EQ(S_OK, g.src->Stop());
    EXPECT_EQ(0, g.pin->creates);
}

TEST(PushSourceTest, PinInterfacesOfDerivedPinsAreFoundThroughTheGraph) {
    Graph g;
    REQUIRE_GRAPH(g);
    IBaseFilter* found = nullptr;
    ASSERT_EQ(S_OK, g.graph->FindFilterByName(L"Source", &found));
    IPin* pin = nullptr;
    ASSERT_EQ(S_OK, found->FindPin(L"Out", &pin));
    IAMLatency* latency = query<IAMLatency>(pin, IID_IAMLatency);
    ASSERT_NE(nullptr, latency);
    REFERENCE_TIME t = 0;
    EXPECT_EQ(S_OK, latency->GetLatency(&t));
    EXPECT_EQ(333333, t);
    latency->Release();
    pin->Release();

    // The way a capture application finds a source's pin interfaces.
    ICaptureGraphBuilder2* builder = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ICaptureGraphBuilder2, reinterpret_cast<void**>(&builder)))) {
        ASSERT_EQ(S_OK, builder->SetFiltergraph(g.graph));
        latency = nullptr;
        EXPECT_EQ(S_OK, builder->FindInterface(nullptr, nullptr, found, IID_IAMLatency,
                                               reinterpret_cast<void**>(&latency)));
        if (latency) latency->Release();
        builder->Release();
    }
    found->Release();
}

TEST(PushSourceTest, StreamTimeFollowsTheGraphClockWhileRunning) {
    Graph g;
    REQUIRE_GRAPH(g);
    g.pin->paceMs = 5;
    g.pin->stamp = true;
    ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
    ASSERT_TRUE(waitUntil([&] { return g.pin->fills >= 1; }, 10000));
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    EXPECT_TRUE(waitUntil([&] { return g.pin->fills >= 8; }, 10000));
    ASSERT_TRUE(g.stopsWithin(10000));

    const auto& stamps = g.pin->stamps;
    ASSERT_GE(stamps.size(), 8u);
    // Paused there is no stream time; running, it advances with the clock. Stopping a running
    // graph pauses it first, so frames filled on the way down may see no stream time again;
    // what may never happen is stream time coming back after that.
    EXPECT_EQ(VFW_E_NOT_RUNNING, stamps[0].hr);
    REFERENCE_TIME last = 0;
    int running = 0;
    bool stopping = false;
    for (const auto& st : stamps) {
        if (st.hr == VFW_E_NOT_RUNNING) {
            stopping = running > 0;
            continue;
        }
        ASSERT_EQ(S_OK, st.hr);
        EXPECT_FALSE(stopping) << "running again after the graph began to stop";
        if (running++) {
            EXPECT_GT(st.time, last);
        }
        last = st.time;
    }
    EXPECT_GE(running, 5);
}

TEST(PushSourceTest, EachPinStreamsOnItsOwnAndAFailedStartLeavesNoneRunning) {
    Graph g(true);
    REQUIRE_GRAPH(g);
    CountingPin* a = g.src->out;
    CountingPin* b = g.src->out2;
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    EXPECT_TRUE(waitUntil([&] { return a->fills >= 3 && b->fills >= 3; }, 10000));
    ASSERT_TRUE(g.stopsWithin(10000));
    EXPECT_FALSE(a->threadAlive || b->threadAlive);

    // The first pin's thread is already running when the second refuses to start: the filter
    // stays stopped, so nothing else would ever end that thread, which waits to be stopped.
    a->silent = true;
    b->refuseStart = true;
    EXPECT_EQ(E_FAIL, g.src->Pause());
    EXPECT_EQ(State_Stopped, g.src->state());
    EXPECT_EQ(2, a->creates);
    EXPECT_FALSE(a->threadAlive);
    EXPECT_EQ(2, a->destroys);
}

TEST(PushSourceTest, StopFromTheStreamingThreadDoesNotWaitForItself) {
    Graph g;
    REQUIRE_GRAPH(g);
    g.pin->stopsItsFilter = true;
    ASSERT_EQ(S_OK, g.src->Pause());
    EXPECT_TRUE(waitUntil([&] { return g.pin->destroys == 1; }, 10000));
    EXPECT_EQ(State_Stopped, g.src->state());
    // Stopped from within, the failure that followed is no error to report.
    EXPECT_FALSE(g.waitEvent(EC_ERRORABORT, 0));
}

TEST(PushSourceTest, LiveSourcePushesOnlyWhileRunning) {
    Graph g(false, true);
    REQUIRE_GRAPH(g);
    g.pin->paceMs = 2;
    g.control->Pause();
    FILTER_STATE state;
    EXPECT_EQ(VFW_S_CANT_CUE, g.src->GetState(0, &state));
    EXPECT_EQ(State_Paused, state);
    // Without a first frame the renderer cannot complete its pause; the graph is told not to wait.
    OAFilterState graphState;
    EXPECT_EQ(VFW_S_CANT_CUE, g.control->GetState(1000, &graphState));
    EXPECT_TRUE(waitUntil([&] { return g.pin->starts == 1; }, 10000));
    Sleep(50);  // time for a wrong first frame
    EXPECT_EQ(0, g.pin->fills);

    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    EXPECT_EQ(S_OK, g.src->GetState(0, &state));
    EXPECT_TRUE(waitUntil([&] { return g.pin->fills >= 3; }, 10000));
    ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
    // At most the frame in progress is finished once paused.
    const int paused = g.pin->fills;
    Sleep(50);
    EXPECT_LE(g.pin->fills, paused + 1);
    ASSERT_TRUE(g.stopsWithin(10000));
    EXPECT_EQ(1, g.pin->destroys);
}
