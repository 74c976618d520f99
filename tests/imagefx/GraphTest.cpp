// The image-effects filter in the platform's filter graph: a pattern source on our push-source
// base, the filter, the platform's sample grabber and null renderer. Checks the effects in the
// pixels the grabber receives and the snapshot handshake against the frames it saw.
#include "dshow/PushSource.h"
#include "imagefx/VantorImageEffects.h"
#include "camera/DirectShowIds.h"
#include "tests/support/PlatformGraph.h"
#include "tests/support/TestFilters.h"

#include <amvideo.h>
#include <control.h>
#include <gtest/gtest.h>
#include <qedit.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <memory>
#include <vector>

using namespace dshow;
using testsupport::ComScope;
using testsupport::firstPin;
using vnt::ComPtr;

namespace {

const CLSID kSourceClsid = {0x93e1d5a2, 0x6b47, 0x4c08, {0xb2, 0x1f, 0x7a, 0x5d, 0x30, 0xc9, 0x8e, 0x64}};
constexpr int W = 64, H = 48;
constexpr LONG kFrame = W * H * 3;
using Frame = testsupport::FrameGrabber::Frame;

MediaType rgb24() { return testsupport::rgb24Video(W, H); }

// Pixel (x, memory row y): blue = x, green = y, red = the frame's number (mod 256), so that a
// frame can be told by any of its pixels.
BYTE at(const Frame& f, int x, int y, int c) { return f[static_cast<size_t>((y * W + x) * 3 + c)]; }

class PatternPin final : public testsupport::OneTypeOutput<PushPin> {
public:
    PatternPin(PushSource& filter, const wchar_t* name) : OneTypeOutput(filter, name) { type = rgb24(); }
    bool silent = false;  // set while stopped: sends nothing until stopped

protected:
    HRESULT OnThreadStartPlay() override {
        number_ = 0;
        return S_OK;
    }
    HRESULT FillBuffer(IMediaSample* sample) override {
        if (silent) return waitFor(INFINITE) ? E_UNEXPECTED : S_FALSE;
        if (!waitFor(10)) return S_FALSE;
        BYTE* d = nullptr;
        if (FAILED(sample->GetPointer(&d)) || sample->GetSize() < kFrame) return E_FAIL;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                BYTE* p = d + (y * W + x) * 3;
                p[0] = static_cast<BYTE>(x);
                p[1] = static_cast<BYTE>(y);
                p[2] = static_cast<BYTE>(number_);
            }
        ++number_;
        return sample->SetActualDataLength(kFrame);
    }

private:
    unsigned number_ = 0;
};

class PatternSource final : public PushSource {
public:
    explicit PatternSource(IUnknown* outer) : PushSource(kSourceClsid, outer) {
        auto p = std::make_unique<PatternPin>(*this, L"Out");
        out = p.get();
        addPin(std::move(p));
    }
    PatternPin* out;
};

template <class I>
I* query(IUnknown* p, REFIID iid) {
    I* i = nullptr;
    if (p) p->QueryInterface(iid, reinterpret_cast<void**>(&i));
    return i;
}

// Source -> effects filter -> sample grabber -> null renderer in the platform's graph.
struct FxGraph {
    ComScope com{COINIT_MULTITHREADED};
    IGraphBuilder* graph = nullptr;
    IMediaControl* control = nullptr;
    PatternSource* src = nullptr;
    CVantorImageEffects* fx = nullptr;
    IIPEffectVantor* ctl = nullptr;
    IBaseFilter* grabberFilter = nullptr;
    ISampleGrabber* grabber = nullptr;
    IBaseFilter* renderer = nullptr;
    testsupport::FrameGrabber grabbed{64};
    std::string missing;  // what the platform lacks, for a skip

    FxGraph() {
        IBaseFilter* f = nullptr;
        EXPECT_EQ(S_OK, createFilter<PatternSource>(nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&f)));
        src = static_cast<PatternSource*>(f);
        f = nullptr;
        EXPECT_EQ(S_OK, CreateVantorImageEffects(nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&f)));
        fx = static_cast<CVantorImageEffects*>(f);
        ctl = fx;
        if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                    reinterpret_cast<void**>(&graph))))
            missing = "filter graph";
        else if (FAILED(CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                         reinterpret_cast<void**>(&grabberFilter))))
            missing = "sample grabber";
        else if (FAILED(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                         reinterpret_cast<void**>(&renderer))))
            missing = "null renderer";
        control = query<IMediaControl>(graph, IID_IMediaControl);
        grabber = query<ISampleGrabber>(grabberFilter, IID_ISampleGrabber);
    }

    // Adds and connects the filters; the grabber hands every frame to grabbed.
    void build() {
        ASSERT_TRUE(control && grabber);
        ASSERT_EQ(S_OK, graph->AddFilter(src, L"Pattern"));
        ASSERT_EQ(S_OK, graph->AddFilter(fx, L"Vantor Image Effects"));
        ASSERT_EQ(S_OK, graph->AddFilter(grabberFilter, L"Grabber"));
        ASSERT_EQ(S_OK, graph->AddFilter(renderer, L"Null Renderer"));
        ASSERT_EQ(S_OK, testsupport::grabRgb24(grabber, &grabbed));

        const MediaType type = rgb24();
        ASSERT_EQ(S_OK, graph->ConnectDirect(src->out, &fx->inputPin(), &type.get()));
        const ComPtr<IPin> grabIn = firstPin(grabberFilter, PINDIR_INPUT), grabOut = firstPin(grabberFilter, PINDIR_OUTPUT),
                           renderIn = firstPin(renderer, PINDIR_INPUT);
        ASSERT_TRUE(grabIn && grabOut && renderIn);
        ASSERT_EQ(S_OK, graph->ConnectDirect(&fx->outputPin(), grabIn.get(), nullptr));
        ASSERT_EQ(S_OK, graph->Connect(grabOut.get(), renderIn.get()));
    }

    // Effects change while stopped, so every frame of the next run carries them.
    void restart(bool mirror, bool flip, float zoom) {
        ASSERT_EQ(S_OK, control->Stop());
        grabbed.clear();
        ASSERT_EQ(S_OK, ctl->put_Mirror(mirror));
        ASSERT_EQ(S_OK, ctl->put_Flip(flip));
        ASSERT_EQ(S_OK, ctl->put_Zoom(zoom));
        ASSERT_TRUE(SUCCEEDED(control->Pause()));
        ASSERT_TRUE(SUCCEEDED(control->Run()));
    }

    ~FxGraph() {
        if (control) {
            control->Stop();
            control->Release();
        }
        if (grabber) {
            grabber->SetCallback(nullptr, 1);
            grabber->Release();
        }
        for (IUnknown* p : {static_cast<IUnknown*>(renderer), static_cast<IUnknown*>(grabberFilter),
                            static_cast<IUnknown*>(graph)})
            if (p) p->Release();
        if (fx) fx->Release();
        if (src) src->Release();
    }
};

#define BUILD_OR_SKIP(g)                                                          \
    if (!(g).missing.empty()) GTEST_SKIP() << "the platform has no " << (g).missing; \
    ASSERT_NO_FATAL_FAILURE((g).build())

}  // namespace

TEST(ImageEffectsGraphTest, MirrorFlipAndZoomReachTheGrabber) {
    FxGraph g;
    BUILD_OR_SKIP(g);
    struct Case {
        const char* name;
        bool mirror, flip;
        float zoom;
        // Expected source column and memory row shown at (x, y).
        int (*column)(int x);
        int (*row)(int y);
    };
    // 64 x 48 at 2.0: a 32 x 24 window from column 16 and memory row 11, doubled.
    const Case cases[] = {
        {"none", false, false, 1.0f, [](int x) { return x; }, [](int y) { return y; }},
        {"mirror", true, false, 1.0f, [](int x) { return W - 1 - x; }, [](int y) { return y; }},
        {"flip", false, true, 1.0f, [](int x) { return x; }, [](int y) { return H - 1 - y; }},
        {"zoom 2.0", false, false, 2.0f, [](int x) { return 16 + x / 2; }, [](int y) { return 11 + y / 2; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(g.restart(c.mirror, c.flip, c.zoom));
        Frame f;
        ASSERT_TRUE(g.grabbed.find([](const Frame& fr) { return fr.size() == static_cast<size_t>(kFrame); }, f));
        int wrong = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (at(f, x, y, 0) != c.column(x) || at(f, x, y, 1) != c.row(y)) {
                    if (++wrong <= 3)
                        ADD_FAILURE() << "at " << x << "," << y << ": " << int(at(f, x, y, 0)) << ","
                                      << int(at(f, x, y, 1));
                }
        EXPECT_EQ(0, wrong);
        // Pausing holds frames inside the filter chain; stopping from there must not hang.
        ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
    }
}

TEST(ImageEffectsGraphTest, SnapshotSizeThenFrameMatchesWhatTheGrabberSaw) {
    FxGraph g;
    BUILD_OR_SKIP(g);
    ASSERT_NO_FATAL_FAILURE(g.restart(true, false, 1.0f));
    int size = 0;
    ASSERT_EQ(S_OK, g.ctl->TakeSnapshot(&size, nullptr, nullptr));
    ASSERT_EQ(kFrame, size);

    Frame shot(static_cast<size_t>(size), 0xEE);
    AM_MEDIA_TYPE mt{};
    ASSERT_EQ(S_OK, g.ctl->TakeSnapshot(&size, shot.data(), &mt));
    EXPECT_EQ(MEDIATYPE_Video, mt.majortype);
    EXPECT_EQ(MEDIASUBTYPE_RGB24, mt.subtype);
    ASSERT_EQ(FORMAT_VideoInfo, mt.formattype);
    ASSERT_NE(nullptr, mt.pbFormat);
    EXPECT_EQ(W, reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat)->bmiHeader.biWidth);
    EXPECT_EQ(H, reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat)->bmiHeader.biHeight);

    // The frame that served the snapshot travels on to the grabber: same number, same bytes,
    // mirrored.
    const BYTE number = at(shot, 0, 0, 2);
    Frame seen;
    ASSERT_TRUE(g.grabbed.find([number](const Frame& f) { return f.size() == static_cast<size_t>(kFrame) && f[2] == number; }, seen));
    EXPECT_TRUE(seen == shot);
    EXPECT_EQ(W - 1, at(shot, 0, 7, 0));
    EXPECT_EQ(7, at(shot, 0, 7, 1));
}

TEST(ImageEffectsGraphTest, SnapshotWithoutFramesReturns) {
    FxGraph g;
    BUILD_OR_SKIP(g);
    int size = -1;
    EXPECT_EQ(VFW_E_WRONG_STATE, g.ctl->TakeSnapshot(&size, nullptr, nullptr));

    // A source that sends nothing: paused and running alike, the wait ends with a timeout.
    g.src->out->silent = true;
    ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
    EXPECT_EQ(VFW_E_TIMEOUT, g.ctl->TakeSnapshot(&size, nullptr, nullptr));
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    EXPECT_EQ(VFW_E_TIMEOUT, g.ctl->TakeSnapshot(&size, nullptr, nullptr));
    EXPECT_EQ(-1, size);
    EXPECT_EQ(S_OK, g.control->Stop());
    EXPECT_EQ(VFW_E_WRONG_STATE, g.ctl->TakeSnapshot(&size, nullptr, nullptr));
}
