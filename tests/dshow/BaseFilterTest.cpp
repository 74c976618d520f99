// The base filter and pins: connection negotiation between two of our own filters, the filter's
// state and reference rules, aggregation, and membership of the platform's filter graph.
#include "dshow/BaseFilter.h"
#include "dshow/BasePin.h"
#include "tests/support/PlatformGraph.h"

#include <amvideo.h>
#include <gtest/gtest.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <vector>

using namespace dshow;

namespace {

const CLSID kTestClsid = {0x5e0c1a27, 0x3b1f, 0x4c7e, {0x9a, 0x51, 0x0d, 0x6e, 0x22, 0x84, 0x17, 0xc3}};

ULONG refsOf(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

// Video whose subtype and format width carry tag.
MediaType taggedType(int tag) {
    MediaType mt;
    mt->majortype = MEDIATYPE_Video;
    mt->subtype = MEDIASUBTYPE_RGB24;
    mt->subtype.Data1 += tag;
    mt->formattype = FORMAT_VideoInfo;
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt.allocFormat(sizeof(VIDEOINFOHEADER)));
    vih->bmiHeader.biWidth = 640 + tag;
    return mt;
}

class TestPin : public BasePin {
public:
    TestPin(BaseFilter& f, const wchar_t* name, PIN_DIRECTION dir, std::vector<int> offers, std::vector<int> accepts)
        : BasePin(f, name, dir), offers(std::move(offers)), accepts(std::move(accepts)) {}
    HRESULT active() override { ++activations; return S_OK; }
    HRESULT inactive() override { --activations; return S_OK; }
    std::vector<int> offers, accepts;
    int activations = 0;

protected:
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override {
        for (int tag : accepts)
            if (mediaTypesEqual(mt, taggedType(tag).get())) return S_OK;
        return S_FALSE;
    }
    HRESULT GetMediaType(int position, MediaType& type) override {
        if (position >= static_cast<int>(offers.size())) return VFW_S_NO_MORE_ITEMS;
        type = taggedType(offers[position]);
        return S_OK;
    }
};

class TestFilter : public BaseFilter {
public:
    TestFilter(IUnknown* outer, std::vector<int> inputAccepts, std::vector<int> outputOffers)
        : BaseFilter(kTestClsid, outer),
          in(*this, L"In", PINDIR_INPUT, inputAccepts, inputAccepts),
          out(*this, L"Out", PINDIR_OUTPUT, outputOffers, outputOffers) {}
    TestPin in, out;

protected:
    int pinCount() override { return 2; }
    BasePin* pin(int i) override { return i == 0 ? static_cast<BasePin*>(&in) : &out; }
};

// Owns one reference on a new, unaggregated test filter.
struct Filter {
    Filter(std::vector<int> inputAccepts, std::vector<int> outputOffers) {
        IBaseFilter* bf = nullptr;
        EXPECT_EQ(S_OK, createFilter<TestFilter>(nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&bf),
                                                 inputAccepts, outputOffers));
        f = static_cast<TestFilter*>(bf);
    }
    ~Filter() { f->Release(); }
    TestFilter* operator->() const { return f; }
    TestFilter* f;
};

MediaType connectionType(IPin* pin) {
    MediaType mt;
    EXPECT_EQ(S_OK, pin->ConnectionMediaType(mt.put()));
    return mt;
}

}  // namespace

TEST(BasePinTest, ConnectsOnReceiversPreferenceAndDisconnects) {
    Filter up({}, {1, 2, 3}), down({3, 2}, {});
    ASSERT_EQ(S_OK, up->out.Connect(&down->in, nullptr));
    EXPECT_EQ(taggedType(3), connectionType(&up->out));
    EXPECT_EQ(taggedType(3), connectionType(&down->in));
    IPin* peer = nullptr;
    ASSERT_EQ(S_OK, up->out.ConnectedTo(&peer));
    EXPECT_EQ(&down->in, peer);
    peer->Release();
    ASSERT_EQ(S_OK, down->in.ConnectedTo(&peer));
    EXPECT_EQ(&up->out, peer);
    peer->Release();

    Filter other({2}, {2});
    EXPECT_EQ(VFW_E_ALREADY_CONNECTED, up->out.Connect(&other->in, nullptr));
    EXPECT_EQ(VFW_E_ALREADY_CONNECTED, other->out.Connect(&down->in, nullptr));
    EXPECT_FALSE(other->out.connected());

    for (IPin* pin : {static_cast<IPin*>(&up->out), static_cast<IPin*>(&down->in)}) {
        EXPECT_EQ(S_OK, pin->Disconnect());
        EXPECT_EQ(S_FALSE, pin->Disconnect());
        EXPECT_EQ(VFW_E_NOT_CONNECTED, pin->ConnectedTo(&peer));
        EXPECT_EQ(nullptr, peer);
        AM_MEDIA_TYPE mt;
        EXPECT_EQ(VFW_E_NOT_CONNECTED, pin->ConnectionMediaType(&mt));
    }
}

TEST(BasePinTest, RefusesWhatCannotBeConnected) {
    Filter up({}, {1, 2}), down({5}, {});
    EXPECT_EQ(VFW_E_NO_ACCEPTABLE_TYPES, up->out.Connect(&down->in, nullptr));
    EXPECT_FALSE(up->out.connected());
    EXPECT_FALSE(down->in.connected());
    EXPECT_EQ(VFW_E_INVALID_DIRECTION, up->out.Connect(&down->out, nullptr));

    down->in.accepts = {1, 2};
    ASSERT_EQ(S_OK, up->Pause());
    EXPECT_EQ(VFW_E_NOT_STOPPED, up->out.Connect(&down->in, nullptr));
    ASSERT_EQ(S_OK, up->Stop());
    ASSERT_EQ(S_OK, down->Pause());
    EXPECT_EQ(VFW_E_NOT_STOPPED, up->out.Connect(&down->in, nullptr));
    EXPECT_FALSE(up->out.connected());
    ASSERT_EQ(S_OK, down->Stop());
}

TEST(BasePinTest, PartialTypeNarrowsTheChoice) {
    Filter up({}, {1, 2}), down({1, 2}, {});
    AM_MEDIA_TYPE pattern{};
    pattern.subtype = taggedType(2)->subtype;
    ASSERT_EQ(S_OK, up->out.Connect(&down->in, &pattern));
    EXPECT_EQ(taggedType(2), connectionType(&down->in));
    ASSERT_EQ(S_OK, up->out.Disconnect());
    ASSERT_EQ(S_OK, down->in.Disconnect());

    // Right format type but a format block neither side offers.
    MediaType wide = taggedType(2);
    wide->subtype = GUID_NULL;
    reinterpret_cast<VIDEOINFOHEADER*>(wide->pbFormat)->bmiHeader.biWidth = 9999;
    EXPECT_EQ(VFW_E_NO_ACCEPTABLE_TYPES, up->out.Connect(&down->in, &wide.get()));
    EXPECT_NE(S_OK, up->out.Connect(&down->in, &taggedType(3).get()));
    EXPECT_FALSE(down->in.connected());
}

// Every pin takes quality messages, as one interface of the pin's own identity. A pin that cannot
// act on them says so; a sink is recorded without a reference of its own.
TEST(BasePinTest, PinsTakeQualityMessages) {
    struct Sink : IQualityControl {
        STDMETHODIMP QueryInterface(REFIID, void** ppv) override { *ppv = nullptr; return E_NOINTERFACE; }
        STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
        STDMETHODIMP_(ULONG) Release() override { return --refs; }
        STDMETHODIMP Notify(IBaseFilter*, Quality) override { return S_OK; }
        STDMETHODIMP SetSink(IQualityControl*) override { return S_OK; }
        ULONG refs = 1;
    } sink;
    Filter f({1}, {1});
    for (TestPin* pin : {&f->in, &f->out}) {
        const ULONG base = refsOf(f.f);
        IQualityControl* quality = nullptr;
        ASSERT_EQ(S_OK, pin->QueryInterface(IID_IQualityControl, reinterpret_cast<void**>(&quality)));
        ASSERT_NE(nullptr, quality);
        EXPECT_EQ(base + 1, refsOf(f.f));
        IPin* back = nullptr;
        ASSERT_EQ(S_OK, quality->QueryInterface(IID_IPin, reinterpret_cast<void**>(&back)));
        EXPECT_EQ(static_cast<IPin*>(pin), back);
        IUnknown *viaQuality = nullptr, *viaPin = nullptr;
        ASSERT_EQ(S_OK, quality->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaQuality)));
        ASSERT_EQ(S_OK, back->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaPin)));
        EXPECT_EQ(viaPin, viaQuality);
        viaQuality->Release();
        viaPin->Release();
        back->Release();

        Quality q{Famine, 900, -10000, 5000000};
        EXPECT_EQ(E_NOTIMPL, quality->Notify(f.f, q));
        EXPECT_EQ(S_OK, quality->SetSink(&sink));
        EXPECT_EQ(&sink, pin->qualitySink());
        EXPECT_EQ(1u, sink.refs);
        EXPECT_EQ(S_OK, quality->SetSink(nullptr));
        EXPECT_EQ(nullptr, pin->qualitySink());
        quality->Release();
        EXPECT_EQ(base, refsOf(f.f));
    }
}

TEST(BaseFilterTest, StateTransitionsActivateConnectedPins) {
    Filter up({}, {1}), down({1}, {});
    ASSERT_EQ(S_OK, up->out.Connect(&down->in, nullptr));
    FILTER_STATE state;
    EXPECT_EQ(E_POINTER, up->GetState(0, nullptr));
    ASSERT_EQ(S_OK, up->Run(1234));
    EXPECT_EQ(S_OK, up->GetState(0, &state));
    EXPECT_EQ(State_Running, state);
    EXPECT_EQ(1, up->out.activations);
    EXPECT_EQ(0, up->in.activations);  // not connected
    ASSERT_EQ(S_OK, up->Pause());
    EXPECT_EQ(State_Paused, up->state());
    EXPECT_EQ(1, up->out.activations);
    EXPECT_EQ(VFW_E_NOT_STOPPED, up->out.Disconnect());
    ASSERT_EQ(S_OK, up->Stop());
    EXPECT_EQ(State_Stopped, up->state());
    EXPECT_EQ(0, up->out.activations);
    EXPECT_EQ(S_OK, up->out.Disconnect());
    EXPECT_EQ(S_OK, down->in.Disconnect());
}

TEST(BaseFilterTest, PinsShareTheFilterCountAndLookups) {
    Filter f({1}, {1});
    const ULONG base = refsOf(f.f);
    EXPECT_EQ(base + 1, f->out.AddRef());
    EXPECT_EQ(base, f->out.Release());

    IEnumPins* pins = nullptr;
    ASSERT_EQ(S_OK, f->EnumPins(&pins));
    EXPECT_EQ(base + 2, refsOf(f.f));  // the snapshot holds both pins
    IPin* got[3] = {};
    ULONG n = 0;
    EXPECT_EQ(S_FALSE, pins->Next(3, got, &n));
    ASSERT_EQ(2u, n);
    EXPECT_EQ(&f->in, got[0]);
    EXPECT_EQ(&f->out, got[1]);
    got[0]->Release();
    got[1]->Release();
    pins->Release();
    EXPECT_EQ(base, refsOf(f.f));

    IPin* found = nullptr;
    ASSERT_EQ(S_OK, f->FindPin(L"Out", &found));
    EXPECT_EQ(&f->out, found);
    LPWSTR id = nullptr;
    ASSERT_EQ(S_OK, found->QueryId(&id));
    EXPECT_STREQ(L"Out", id);
    CoTaskMemFree(id);
    PIN_INFO info;
    ASSERT_EQ(S_OK, found->QueryPinInfo(&info));
    EXPECT_EQ(static_cast<IBaseFilter*>(f.f), info.pFilter);
    EXPECT_EQ(PINDIR_OUTPUT, info.dir);
    EXPECT_EQ(base + 2, refsOf(f.f));
    info.pFilter->Release();
    found->Release();
    EXPECT_EQ(VFW_E_NOT_FOUND, f->FindPin(L"out", &found));
    EXPECT_EQ(nullptr, found);
    EXPECT_EQ(base, refsOf(f.f));
    CLSID clsid;
    ASSERT_EQ(S_OK, f->GetClassID(&clsid));
    EXPECT_TRUE(IsEqualCLSID(kTestClsid, clsid));
}

TEST(BaseFilterTest, GraphMembershipHoldsNoGraphReference) {
    testsupport::ComScope com{COINIT_APARTMENTTHREADED};
    IFilterGraph* graph = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterGraph,
                                     reinterpret_cast<void**>(&graph)));
    {
        Filter f({1}, {1});
        FILTER_INFO info;
        ASSERT_EQ(S_OK, f->QueryFilterInfo(&info));
        EXPECT_EQ(nullptr, info.pGraph);
        EXPECT_STREQ(L"", info.achName);

        const ULONG graphRefs = refsOf(graph);
        ASSERT_EQ(S_OK, f->JoinFilterGraph(graph, L"Effects"));
        EXPECT_EQ(graphRefs, refsOf(graph));
        ASSERT_EQ(S_OK, f->QueryFilterInfo(&info));
        EXPECT_EQ(graph, info.pGraph);
        EXPECT_STREQ(L"Effects", info.achName);
        EXPECT_EQ(graphRefs + 1, refsOf(graph));
        info.pGraph->Release();
        ASSERT_EQ(S_OK, f->JoinFilterGraph(nullptr, nullptr));
    }
    EXPECT_EQ(0u, graph->Release());
}

TEST(BaseFilterTest, AggregatedFilterDelegatesToItsOuter) {
    struct Outer : IUnknown {
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
            if (IsEqualIID(riid, IID_IUnknown)) { *ppv = this; AddRef(); return S_OK; }
            return inner->QueryInterface(riid, ppv);
        }
        STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
        STDMETHODIMP_(ULONG) Release() override { return --refs; }
        ULONG refs = 1;
        IUnknown* inner = nullptr;
    } outer;
    const LONG objects = moduleObjectCount();
    void* pv = nullptr;
    EXPECT_EQ(E_NOINTERFACE,
              (createFilter<TestFilter>(&outer, IID_IBaseFilter, &pv, std::vector<int>{}, std::vector<int>{})));
    EXPECT_EQ(objects, moduleObjectCount());
    ASSERT_EQ(S_OK, (createFilter<TestFilter>(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner),
                                              std::vector<int>{}, std::vector<int>{})));
    EXPECT_EQ(objects + 1, moduleObjectCount());

    IBaseFilter* bf = nullptr;
    ASSERT_EQ(S_OK, outer.QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&bf)));
    EXPECT_EQ(2u, outer.refs);  // the inner interface's reference is the outer's
    IUnknown* identity = nullptr;
    ASSERT_EQ(S_OK, bf->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
    EXPECT_EQ(&outer, identity);
    identity->Release();
    IPin* pin = nullptr;
    ASSERT_EQ(S_OK, bf->FindPin(L"In", &pin));
    EXPECT_EQ(3u, outer.refs);
    pin->Release();
    bf->Release();
    EXPECT_EQ(1u, outer.refs);
    EXPECT_EQ(0u, outer.inner->Release());
    EXPECT_EQ(objects, moduleObjectCount());
}

TEST(BaseFilterTest, PlatformGraphConnectsOurFilters) {
    testsupport::ComScope com{COINIT_APARTMENTTHREADED};
    const LONG objects = moduleObjectCount();
    IGraphBuilder* graph = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                     reinterpret_cast<void**>(&graph)));
    {
        Filter up({}, {1, 2}), down({2}, {});
        ASSERT_EQ(S_OK, graph->AddFilter(up.f, L"Up"));
        ASSERT_EQ(S_OK, graph->AddFilter(down.f, L"Down"));
        FILTER_INFO info;
        ASSERT_EQ(S_OK, down->QueryFilterInfo(&info));
        EXPECT_STREQ(L"Down", info.achName);
        ASSERT_NE(nullptr, info.pGraph);
        info.pGraph->Release();

        ASSERT_EQ(S_OK, graph->ConnectDirect(&up->out, &down->in, nullptr));
        EXPECT_EQ(&down->in, up->out.connected());
        EXPECT_EQ(taggedType(2), connectionType(&down->in));
        IBaseFilter* byName = nullptr;
        ASSERT_EQ(S_OK, graph->FindFilterByName(L"Up", &byName));
        EXPECT_EQ(static_cast<IBaseFilter*>(up.f), byName);
        byName->Release();
        EXPECT_EQ(S_OK, graph->Disconnect(&up->out));
        EXPECT_EQ(S_OK, graph->Disconnect(&down->in));
        EXPECT_FALSE(down->in.connected());
    }
    // The graph held the last references: releasing it must free both filters.
    graph->Release();
    EXPECT_EQ(objects, moduleObjectCount());
}
