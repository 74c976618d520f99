// The image-effects filter between a test source and sink: its interfaces, the pixels it
// delivers, and the snapshot handshake with its bounded wait.
#include "dshow/InputPin.h"
#include "dshow/OutputPin.h"
#include "imagefx/VantorImageEffects.h"
#include "tests/support/PlatformGraph.h"
#include "tests/support/TestFilters.h"
#include "tests/support/TraceFile.h"

#include <amvideo.h>
#include <gtest/gtest.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace dshow;

namespace {

// The filter's trace lines go here, to be read back; made before anything traces.
const testsupport::TraceFile kTrace(L"imagefx_tests");

constexpr int W = 64, H = 48;
constexpr LONG kFrame = W * H * 3;

MediaType rgb24() { return testsupport::rgb24Video(W, H); }

struct SourcePin : testsupport::OneTypeOutput<OutputPin> {
    SourcePin(BaseFilter& filter, const wchar_t* name) : OneTypeOutput(filter, name) { type = rgb24(); }
};

struct SinkPin : testsupport::FrameSink {
    using FrameSink::FrameSink;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override { return mediaTypesEqual(mt, rgb24().get()) ? S_OK : S_FALSE; }
};

// Pixel (x, memory row y) of a source frame: blue = x, green = y, red = seed.
BYTE at(const std::vector<BYTE>& f, int x, int y, int c) { return f[static_cast<size_t>((y * W + x) * 3 + c)]; }

// Source -> effects filter -> sink, connected and running.
struct Chain : testsupport::ComScope, testsupport::FilterChain<CVantorImageEffects, SourcePin, SinkPin> {
    CVantorImageEffects* const fx = mid;
    IIPEffectVantor* const ctl = fx;

    Chain() : ComScope(COINIT_MULTITHREADED), FilterChain(CreateVantorImageEffects) {
        EXPECT_EQ(S_OK, connectInput());
        EXPECT_EQ(S_OK, connectOutput());
        EXPECT_EQ(S_OK, run());
    }
    HRESULT send(BYTE seed, LONG len = kFrame) {
        return FilterChain::send(len, [seed](BYTE* d) {
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) d[(y * W + x) * 3] = BYTE(x), d[(y * W + x) * 3 + 1] = BYTE(y), d[(y * W + x) * 3 + 2] = seed;
        });
    }
};

// Sends frames until stopped, so a waiting snapshot is served whenever it is published.
struct Pump {
    std::atomic<bool> stop{false};
    std::thread t;
    explicit Pump(Chain& c) : t([this, &c] { while (!stop) { c.send(7); Sleep(20); } }) {}
    ~Pump() { stop = true; t.join(); }
};

ULONGLONG msSince(ULONGLONG t0) { return GetTickCount64() - t0; }

}  // namespace

TEST(VantorImageEffectsTest, InterfacesAndSettings) {
    Chain c;
    for (REFIID iid : {IID_IBaseFilter, IID_IIPEffectVantor, IID_IUnknown, IID_ISpecifyPropertyPages}) {
        IUnknown* p = nullptr;
        EXPECT_EQ(S_OK, c.fx->QueryInterface(iid, reinterpret_cast<void**>(&p)));
        if (p) p->Release();
    }
    void* p = &c;
    EXPECT_EQ(E_NOINTERFACE, c.fx->QueryInterface(IID_IPersistStream, &p));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(E_POINTER, c.ctl->get_Mirror(nullptr));
    EXPECT_EQ(E_POINTER, c.ctl->get_Flip(nullptr));
    EXPECT_EQ(E_POINTER, c.ctl->get_Zoom(nullptr));
    CAUUID pages{};
    ASSERT_EQ(S_OK, c.fx->GetPages(&pages));
    ASSERT_EQ(1u, pages.cElems);
    EXPECT_EQ(CLSID_VantorImageEffectsPropertyPage, pages.pElems[0]);
    CoTaskMemFree(pages.pElems);

    // Settings are stored as given and raise the dirty flag; a saved stream holds only the stamp.
    EXPECT_FALSE(c.fx->dirty());
    ASSERT_EQ(S_OK, c.ctl->put_Mirror(5));
    EXPECT_TRUE(c.fx->dirty());
    int mirror = 0;
    ASSERT_EQ(S_OK, c.ctl->get_Mirror(&mirror));
    EXPECT_EQ(5, mirror);
    IStream* stream = nullptr;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &stream));
    EXPECT_EQ(S_OK, c.fx->Save(stream, TRUE));
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(4u, stat.cbSize.QuadPart);
    stream->Release();
    EXPECT_FALSE(c.fx->dirty());
    ASSERT_EQ(S_OK, c.ctl->put_Mirror(0));

    // 0.5 is kept as given but leaves the frame as it came.
    ASSERT_EQ(S_OK, c.ctl->put_Zoom(0.5f));
    float zoom = 0;
    ASSERT_EQ(S_OK, c.ctl->get_Zoom(&zoom));
    EXPECT_EQ(0.5f, zoom);
    ASSERT_EQ(S_OK, c.send(3));
    ASSERT_EQ(1u, c.sink->p.frames.size());
    const auto& f = c.sink->p.frames[0];
    EXPECT_TRUE(at(f, 5, 9, 0) == 5 && at(f, 5, 9, 1) == 9 && at(f, W - 1, H - 1, 0) == W - 1 && at(f, 0, 0, 2) == 3);
}

TEST(VantorImageEffectsTest, TypeChecks) {
    Chain c;
    EXPECT_EQ(S_OK, c.fx->inputPin().QueryAccept(&rgb24().get()));
    MediaType bits = rgb24(), narrow = rgb24(), other = rgb24();
    reinterpret_cast<VIDEOINFOHEADER*>(bits->pbFormat)->bmiHeader.biBitCount = 32;
    reinterpret_cast<VIDEOINFOHEADER*>(narrow->pbFormat)->bmiHeader.biWidth = 0;
    other->formattype = FORMAT_VideoInfo2;
    for (const MediaType* mt : {&bits, &narrow, &other}) EXPECT_NE(S_OK, c.fx->inputPin().QueryAccept(&mt->get()));
    // The output must carry the input's type unchanged.
    reinterpret_cast<VIDEOINFOHEADER*>(other->pbFormat)->bmiHeader.biWidth = W;
    other->formattype = FORMAT_VideoInfo;
    reinterpret_cast<VIDEOINFOHEADER*>(other->pbFormat)->AvgTimePerFrame = 333333;
    EXPECT_NE(S_OK, c.fx->outputPin().QueryAccept(&other.get()));
    EXPECT_EQ(S_OK, c.fx->outputPin().QueryAccept(&rgb24().get()));
}

TEST(VantorImageEffectsTest, MirrorFlipAndZoomInDeliveredPixels) {
    Chain c;
    c.ctl->put_Mirror(1);
    ASSERT_EQ(S_OK, c.send(1));
    c.ctl->put_Mirror(0);
    c.ctl->put_Flip(1);
    ASSERT_EQ(S_OK, c.send(2));
    c.ctl->put_Flip(0);
    // 64 x 48 at 2.0: a 32 x 24 window from column 16 and memory row 11, doubled.
    c.ctl->put_Zoom(2.0f);
    ASSERT_EQ(S_OK, c.send(3));
    const auto& fr = c.sink->p.frames;
    ASSERT_EQ(3u, fr.size());
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            ASSERT_EQ(W - 1 - x, at(fr[0], x, y, 0));
            ASSERT_EQ(y, at(fr[0], x, y, 1));
            ASSERT_EQ(x, at(fr[1], x, y, 0));
            ASSERT_EQ(H - 1 - y, at(fr[1], x, y, 1));
            ASSERT_EQ(16 + x / 2, at(fr[2], x, y, 0)) << x << "," << y;
            ASSERT_EQ(11 + y / 2, at(fr[2], x, y, 1)) << x << "," << y;
        }
}

TEST(VantorImageEffectsTest, ShortSampleIsDroppedWithoutTouchingTheBuffer) {
    Chain c;
    const std::string dropped = "VantorImageEffects Transform: frame dropped";
    const int droppedBefore = kTrace.count(dropped);
    ASSERT_EQ(S_OK, c.send(1));
    EXPECT_EQ(droppedBefore, kTrace.count(dropped));
    EXPECT_EQ(S_OK, c.send(2, kFrame - 1));
    EXPECT_EQ(1u, c.sink->p.frames.size());
    // One line for the one frame, saying why and by how much.
    EXPECT_EQ(droppedBefore + 1, kTrace.count(dropped));
    EXPECT_EQ(1, kTrace.count("(sample " + std::to_string(kFrame - 1) + " bytes,")) << kTrace.contents();
    // Frozen, the single output buffer is delivered as it was left: still the first frame.
    c.ctl->put_Freeze(1);
    ASSERT_EQ(S_OK, c.send(3));
    ASSERT_EQ(2u, c.sink->p.frames.size());
    EXPECT_EQ(c.sink->p.frames[0], c.sink->p.frames[1]);
}

TEST(VantorImageEffectsTest, SnapshotSizeThenFrameWhileFramesFlow) {
    Chain c;
    c.ctl->put_Mirror(1);
    Pump pump(c);
    int size = 0;
    ASSERT_EQ(S_OK, c.ctl->TakeSnapshot(&size, nullptr, nullptr));
    ASSERT_EQ(kFrame, size);
    std::vector<BYTE> buf(kFrame + 16, 0xEE);
    AM_MEDIA_TYPE mt{};
    ASSERT_EQ(S_OK, c.ctl->TakeSnapshot(&size, buf.data(), &mt));
    EXPECT_EQ(MEDIASUBTYPE_RGB24, mt.subtype);
    // The filter's own copy, not the pin's: it outlives the connection, and the next snapshot of
    // the same type shows the same block again rather than a new one to leak.
    ASSERT_NE(nullptr, mt.pbFormat);
    EXPECT_NE(c.fx->inputPin().mediaType().get().pbFormat, mt.pbFormat);
    EXPECT_EQ(W, reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat)->bmiHeader.biWidth);
    AM_MEDIA_TYPE again{};
    ASSERT_EQ(S_OK, c.ctl->TakeSnapshot(&size, buf.data(), &again));
    EXPECT_EQ(mt.pbFormat, again.pbFormat);
    EXPECT_TRUE(at(buf, 0, 5, 0) == W - 1 && at(buf, 0, 5, 1) == 5 && at(buf, 0, 5, 2) == 7);
    EXPECT_EQ(std::vector<BYTE>(16, 0xEE), std::vector<BYTE>(buf.end() - 16, buf.end()));
    // Never more than the caller's size.
    size = 10;
    std::fill(buf.begin(), buf.end(), 0xEE);
    ASSERT_EQ(S_OK, c.ctl->TakeSnapshot(&size, buf.data(), nullptr));
    EXPECT_EQ(W - 1, buf[0]);
    EXPECT_EQ(0xEE, buf[10]);
}

TEST(VantorImageEffectsTest, SnapshotWaitIsBoundedAndEndsOnStop) {
    Chain c;
    int size = -1;
    ULONGLONG t0 = GetTickCount64();
    EXPECT_EQ(VFW_E_TIMEOUT, c.ctl->TakeSnapshot(&size, nullptr, nullptr));
    EXPECT_GE(msSince(t0), 1500u);
    EXPECT_LT(msSince(t0), 10000u);
    EXPECT_EQ(-1, size);

    std::thread flusher([&c] { Sleep(200); c.src->p.DeliverBeginFlush(); });
    t0 = GetTickCount64();
    EXPECT_EQ(VFW_E_WRONG_STATE, c.ctl->TakeSnapshot(&size, nullptr, nullptr));
    EXPECT_LT(msSince(t0), 1500u);
    flusher.join();
    c.src->p.DeliverEndFlush();

    std::thread stopper([&c] { Sleep(200); c.fx->Stop(); });
    t0 = GetTickCount64();
    EXPECT_EQ(VFW_E_WRONG_STATE, c.ctl->TakeSnapshot(&size, nullptr, nullptr));
    EXPECT_LT(msSince(t0), 1500u);
    stopper.join();
    EXPECT_EQ(VFW_E_WRONG_STATE, c.ctl->TakeSnapshot(&size, nullptr, nullptr));
    EXPECT_EQ(-1, size);
}
