// The camera objects with a capture device: the virtual document camera registered in the test
// prefix, the platform's renderers, and photos checked in their pixels.
#include "camera/CaptureGraph.h"
#include "camera/DirectShowIds.h"
#include "camera/VNTWebcam.h"
#include "camera/VNTWebcamSkeo.h"
#include "camera/VNTWebcamSkeoPlus.h"
#include "dshow/MediaType.h"
#include "framework/Gdiplus.h"
#include "framework/GdiplusSession.h"
#include "framework/TraceFormat.h"
#include "resources/resource.h"
#include "tests/support/HiddenClass.h"
#include "tests/support/MessagePump.h"
#include "tests/support/Regsvr32.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TraceFile.h"
#include "tests/support/WindowImage.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <strmif.h>
#include <amvideo.h>
#include <errors.h>
#include <uuids.h>
#include <vfwmsgs.h>
#include <vmr9.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>

using testsupport::HiddenClass;

namespace {

// Every trace line of this program goes here, to be read back; made before anything traces.
const testsupport::TraceFile kTrace(L"camera_tests");

// The default camera the virtual camera's DLL registers (model A), and one model-B camera.
const wchar_t kModelAPath[] =
    L"\\\\?\\usb#vid_C7A2&pid_5A01&mi_00#7&1A2B3C4D&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
const wchar_t kModelBId[] = L"8&CA9&0&0001";
const wchar_t kModelBPath[] =
    L"\\\\?\\usb#vid_C7A2&pid_5A02&mi_00#8&CA9&0&0001#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";

bool onWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

int cameraDll(const std::wstring& arguments) {
    return testsupport::regsvr32(testsupport::besideTestProgram(L"VirtualCamera.dll"), arguments);
}
int effectsDll(const std::wstring& arguments) {
    return testsupport::regsvr32(testsupport::besideTestProgram(L"VantorImageEffects.dll"), arguments);
}

struct Rgb {
    int r, g, b;
};

std::string fileBytes(const std::wstring& path) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    std::string bytes;
    if (!f) return bytes;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
    fclose(f);
    return bytes;
}

// A photo as a person sees it: upright, pixels by their place from the top left. Decoded from a
// copy in memory: Wine's GDI+ releases the stream of a bitmap loaded from a file once too often
// when the bitmap is disposed.
class Photo {
public:
    explicit Photo(const std::wstring& path) {
        const std::string bytes = fileBytes(path);
        if (bytes.empty() || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream_))) return;
        stream_->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
        LARGE_INTEGER zero{};
        stream_->Seek(zero, STREAM_SEEK_SET, nullptr);
        bitmap_.reset(Gdiplus::Bitmap::FromStream(stream_));
    }
    ~Photo() {
        bitmap_.reset();
        if (stream_) stream_->Release();
    }
    Photo(const Photo&) = delete;
    Photo& operator=(const Photo&) = delete;
    bool loaded() const { return bitmap_ && bitmap_->GetLastStatus() == Gdiplus::Ok && width() > 0; }
    int width() const { return static_cast<int>(bitmap_->GetWidth()); }
    int height() const { return static_cast<int>(bitmap_->GetHeight()); }
    Rgb at(int x, int y) const {
        Gdiplus::Color c;
        bitmap_->GetPixel(x, y, &c);
        return Rgb{c.GetR(), c.GetG(), c.GetB()};
    }

private:
    IStream* stream_ = nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap_;
};

bool is(const Rgb& c, int r, int g, int b) {
    auto level = [](int got, int want) { return want ? got > 170 : got < 90; };
    return level(c.r, r) && level(c.g, g) && level(c.b, b);
}

std::string describe(const Rgb& c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

// The test picture's corner marks are 2u squares, u = height / 12: red top left, green top right,
// blue bottom left, yellow bottom right. Returns which corner colour is at the photo's top left.
std::string topLeftMark(const Photo& photo) {
    const int u = photo.height() / 12;
    const Rgb c = photo.at(u, u);
    if (is(c, 1, 0, 0)) return "red";
    if (is(c, 0, 1, 0)) return "green";
    if (is(c, 0, 0, 1)) return "blue";
    if (is(c, 1, 1, 0)) return "yellow";
    return "other " + describe(c);
}

// The centre mark is a white square of u inside a black one of 2u: 0.75 u right of the centre is
// black at zoom 1 and white at zoom 2.
bool looksZoomed(const Photo& photo) {
    const int u = photo.height() / 12;
    return is(photo.at(photo.width() / 2 + u * 3 / 4, photo.height() / 2), 1, 1, 1);
}


class CameraTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Hiding and showing each class once puts back any that a crashed run left hidden.
        { HiddenClass vmr9(CLSID_VideoMixingRenderer9), evr(CLSID_EnhancedVideoRenderer), effects(CLSID_VantorImageEffects); }
        registered_ = cameraDll(L"") == 0 && effectsDll(L"") == 0 &&
                      cameraDll(std::wstring(L"/n /i:\"add B ") + kModelBId + L" Desk Pello\"") == 0;
    }
    static void TearDownTestSuite() {
        cameraDll(L"/u");
        effectsDll(L"/u");
    }

    void SetUp() override {
        ASSERT_TRUE(registered_) << "the virtual camera or the effects filter did not register";
        ASSERT_TRUE(gdiplus_.startup());
        window_ = CreateWindowExW(0, L"STATIC", L"camera view", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
    }

    // The camera of the path built at the given size in RGB24 and running, its view the test window.
    bool started(VNTWebcam& camera, const wchar_t* path, const wchar_t* name, int width, int height) {
        camera.initWithDevice(path, name);
        camera.setOwners(window_, window_);
        return camera.build(width, height, &MEDIASUBTYPE_RGB24) && camera.start();
    }

    // The first frames take a moment to arrive; until then a photo cannot be had.
    bool snapshotWhenReady(VNTWebcam& camera, const std::wstring& path) {
        bool taken = false;
        testsupport::pumpUntil([&] { return taken = camera.snapshot(path.c_str(), false); }, 8000);
        return taken;
    }

    static bool registered_;
    vnt::GdiplusSession gdiplus_;
    HWND window_ = nullptr;
    testsupport::TempFolder folder_{L"camera-photos"};
};
bool CameraTest::registered_ = false;

// The format the capture pin will deliver, as the graph set it.
bool currentFormat(CaptureGraph& graph, GUID& subtype, LONG& width, LONG& height) {
    IBaseFilter* source = graph.sourceFilter();
    if (!source) return false;
    IEnumPins* pins = nullptr;
    IPin* pin = nullptr;
    if (FAILED(source->EnumPins(&pins))) return false;
    const bool gotPin = pins->Next(1, &pin, nullptr) == S_OK;
    pins->Release();
    if (!gotPin) return false;
    IAMStreamConfig* config = nullptr;
    AM_MEDIA_TYPE* mt = nullptr;
    bool ok = SUCCEEDED(pin->QueryInterface(IID_IAMStreamConfig, reinterpret_cast<void**>(&config))) &&
              SUCCEEDED(config->GetFormat(&mt)) && mt && mt->pbFormat;
    if (ok) {
        const BITMAPINFOHEADER& bih = reinterpret_cast<VIDEOINFOHEADER*>(mt->pbFormat)->bmiHeader;
        subtype = mt->subtype;
        width = bih.biWidth;
        height = bih.biHeight;
    }
    dshow::deleteMediaType(mt);
    if (config) config->Release();
    pin->Release();
    return ok;
}

}  // namespace

TEST_F(CameraTest, FindsTheCameraByPathAndSetsEveryFormatOfTheTable) {
    VNTWebcam missing;
    missing.initWithDevice(L"\\\\?\\usb#vid_c7a2&pid_5a01&mi_00#9&none&0&0000#{65e8773d}\\global", L"None");
    missing.setOwners(window_, window_);
    EXPECT_FALSE(missing.build(640, 480, nullptr));

    VNTWebcam camera;
    camera.initWithDevice(kModelAPath, L"A");
    camera.setOwners(window_, window_);
    const GUID* subtypes[] = {&MEDIASUBTYPE_MJPG, &MEDIASUBTYPE_YUY2, &MEDIASUBTYPE_RGB24};
    const SIZE sizes[] = {{1600, 1200}, {1280, 1024}, {1024, 768}, {800, 600}, {640, 480}, {320, 240}};
    for (const GUID* subtype : subtypes) {
        for (const SIZE& size : sizes) {
            camera.stop();
            ASSERT_TRUE(camera.build(size.cx, size.cy, subtype));
            GUID got{};
            LONG width = 0, height = 0;
            ASSERT_TRUE(currentFormat(*camera.graph(), got, width, height));
            EXPECT_TRUE(IsEqualGUID(got, *subtype)) << size.cx;
            EXPECT_EQ(width, size.cx);
            EXPECT_EQ(height, size.cy);
        }
    }
    // A size the camera lacks keeps the format it had, and the build still counts.
    camera.stop();
    ASSERT_TRUE(camera.build(640, 480, &MEDIASUBTYPE_YUY2));
    camera.graph()->SetResolution(&MEDIASUBTYPE_YUY2, 1920, 1080);
    GUID got{};
    LONG width = 0, height = 0;
    ASSERT_TRUE(currentFormat(*camera.graph(), got, width, height));
    EXPECT_EQ(width, 640);
    camera.stop();
    EXPECT_TRUE(camera.build(1920, 1080, &MEDIASUBTYPE_RGB24));
    ASSERT_TRUE(currentFormat(*camera.graph(), got, width, height));
    EXPECT_NE(width, 1920);
}

// Each renderer the graph can end up with, forced by making the ones before it uncreatable.
struct RendererCase {
    const char* name;
    bool hideVmr9, hideEvr, hideEffects;
};

class RendererTest : public CameraTest, public ::testing::WithParamInterface<RendererCase> {};

TEST_P(RendererTest, PhotosShowThePictureAsTheViewShowsIt) {
    const RendererCase& c = GetParam();
    std::unique_ptr<HiddenClass> vmr9, evr, effects;
    if (c.hideVmr9) vmr9.reset(new HiddenClass(CLSID_VideoMixingRenderer9));
    if (c.hideEvr) evr.reset(new HiddenClass(CLSID_EnhancedVideoRenderer));
    if (c.hideEffects) effects.reset(new HiddenClass(CLSID_VantorImageEffects));

    VNTWebcamSkeo camera;
    ASSERT_TRUE(started(camera, kModelAPath, L"A", 640, 480));
    const int kind = camera.graph()->rendererKind();
    if (!c.hideVmr9) {
        EXPECT_EQ(kind, kRendererVmr9);
    } else if (!c.hideEvr) {
        // Wine's EVR takes no video from a transform filter; the chain then ends with the default renderer.
        EXPECT_TRUE(kind == kRendererEvr || (onWine() && kind == kRendererVideoWindow)) << kind;
    } else {
        EXPECT_EQ(kind, kRendererVideoWindow);
    }

    const std::wstring upright = folder_.path() + L"upright.jpg";
    ASSERT_TRUE(snapshotWhenReady(camera, upright));
    Photo plain(upright);
    ASSERT_TRUE(plain.loaded());
    EXPECT_EQ(plain.width(), 640);
    EXPECT_EQ(plain.height(), 480);
    EXPECT_EQ(topLeftMark(plain), "red");
    EXPECT_FALSE(looksZoomed(plain));
    EXPECT_NE(fileBytes(upright).find(std::string("Skeo\0", 5)), std::string::npos) << "EXIF model";
    // A photo the folder cannot take is no photo: the program would show and index a missing file.
    const std::wstring nowhere = folder_.path() + L"no-such-folder\\photo.jpg";
    EXPECT_FALSE(camera.snapshot(nowhere.c_str(), false));
    const std::string name = c.name;
    testsupport::saveWindowImage(window_, std::wstring(name.begin(), name.end()).c_str(), false);

    // Without the effects filter the default renderer has nothing that zooms or mirrors.
    const bool grabberOnly = c.hideEffects;
    const bool zoomAccepted = camera.zoom(2.0f);
    if (kind == kRendererVmr9 && !zoomAccepted && onWine()) {
        camera.stop();
        GTEST_SKIP() << "Wine's VMR9 mixer does not implement GetOutputRect: its picture cannot be zoomed or mirrored";
    }
    const std::wstring zoomed = folder_.path() + L"zoomed.jpg";
    testsupport::pumpUntil([] { return false; }, 300);  // the effects filter zooms from the next frame
    ASSERT_TRUE(camera.snapshot(zoomed.c_str(), false));
    Photo big(zoomed);
    ASSERT_TRUE(big.loaded());
    EXPECT_EQ(looksZoomed(big), !grabberOnly);
    camera.zoom(1.0f);

    EXPECT_EQ(camera.toggleMirror(true, false), !grabberOnly);
    EXPECT_EQ(camera.isMirrorHorizontal(), !grabberOnly);
    const std::wstring mirrored = folder_.path() + L"mirrored.jpg";
    testsupport::pumpUntil([] { return false; }, 300);
    ASSERT_TRUE(camera.snapshot(mirrored.c_str(), false));
    Photo mirror(mirrored);
    ASSERT_TRUE(mirror.loaded());
    EXPECT_EQ(topLeftMark(mirror), grabberOnly ? "red" : "green");

    camera.toggleMirror(false, false);
    EXPECT_EQ(camera.toggleMirror(false, true), !grabberOnly);
    EXPECT_FALSE(camera.isMirrorHorizontal());
    EXPECT_EQ(camera.isMirrorVertical(), !grabberOnly);
    const std::wstring flipped = folder_.path() + L"flipped.jpg";
    testsupport::pumpUntil([] { return false; }, 300);
    ASSERT_TRUE(camera.snapshot(flipped.c_str(), false));
    Photo flip(flipped);
    ASSERT_TRUE(flip.loaded());
    // With VMR9 the photo keeps a flip the user asked for; with the effects filter the frame has it.
    EXPECT_EQ(topLeftMark(flip), grabberOnly ? "red" : "blue");
    camera.stop();
}

INSTANTIATE_TEST_SUITE_P(Renderers, RendererTest,
                         ::testing::Values(RendererCase{"Vmr9", false, false, false},
                                           RendererCase{"EvrWithEffects", true, false, false},
                                           RendererCase{"DefaultRendererWithEffects", true, true, false},
                                           RendererCase{"DefaultRendererWithGrabber", true, true, true}),
                         [](const ::testing::TestParamInfo<RendererCase>& info) { return info.param.name; });

// A renderer's interface, found in the camera's graph by the name the graph gave the renderer.
template <class I>
vnt::ComPtr<I> rendererInterface(CaptureGraph& graph, const wchar_t* name) {
    vnt::ComPtr<I> wanted;
    FILTER_INFO info{};
    if (!graph.sourceFilter() || FAILED(graph.sourceFilter()->QueryFilterInfo(&info)) || !info.pGraph) return wanted;
    vnt::ComPtr<IBaseFilter> renderer;
    if (SUCCEEDED(info.pGraph->FindFilterByName(name, renderer.put()))) renderer->QueryInterface(__uuidof(I), wanted.putVoid());
    info.pGraph->Release();
    return wanted;
}

bool sameRect(const VMR9NormalizedRect& a, const VMR9NormalizedRect& b) {
    return std::abs(a.left - b.left) < 1e-4f && std::abs(a.top - b.top) < 1e-4f && std::abs(a.right - b.right) < 1e-4f &&
           std::abs(a.bottom - b.bottom) < 1e-4f;
}

std::string describe(const VMR9NormalizedRect& r) {
    char text[96];
    std::snprintf(text, sizeof text, "(%.3f, %.3f)-(%.3f, %.3f)", r.left, r.top, r.right, r.bottom);
    return text;
}

// The view operations on the path Windows takes, read back from the VMR9 itself rather than from
// what the program believes it set. Wine's VMR9 keeps the windowless video position but answers
// E_NOTIMPL for the mixer's output rectangle and alpha bitmap and for the current image: what it
// does not implement is listed in the skip reason, everything it does is checked.
TEST_F(CameraTest, Vmr9HoldsWhatTheViewOperationsSet) {
    VNTWebcamSkeo camera;
    ASSERT_TRUE(started(camera, kModelAPath, L"A", 640, 480));
    CaptureGraph& graph = *camera.graph();
    ASSERT_EQ(graph.rendererKind(), kRendererVmr9);
    auto windowless = rendererInterface<IVMRWindowlessControl9>(graph, L"Video Mixing Renderer 9");
    auto mixer = rendererInterface<IVMRMixerControl9>(graph, L"Video Mixing Renderer 9");
    auto alpha = rendererInterface<IVMRMixerBitmap9>(graph, L"Video Mixing Renderer 9");
    ASSERT_TRUE(windowless && mixer && alpha) << "the graph's VMR9 lacks an interface the program uses";
    std::string unimplemented;
    auto implemented = [&](HRESULT hr, const char* call) {
        if (hr != E_NOTIMPL) return true;
        unimplemented += std::string(unimplemented.empty() ? "" : ", ") + call;
        return false;
    };

    // The picture fills the view at its own size, after a resize too.
    SetWindowPos(window_, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(graph.Resize());
    RECT source{}, destination{};
    ASSERT_EQ(windowless->GetVideoPosition(&source, &destination), S_OK);
    const RECT wholeFrame{0, 0, 640, 480}, wholeView{0, 0, 800, 600};
    EXPECT_TRUE(EqualRect(&source, &wholeFrame));
    EXPECT_TRUE(EqualRect(&destination, &wholeView))
        << destination.right << " x " << destination.bottom;

    // Zoom and mirror are the mixer's output rectangle of the camera's stream.
    VMR9NormalizedRect out{};
    if (implemented(mixer->GetOutputRect(0, &out), "IVMRMixerControl9::GetOutputRect")) {
        EXPECT_TRUE(sameRect(out, {0, 0, 1, 1})) << describe(out);
        EXPECT_TRUE(camera.zoom(2.0f));
        ASSERT_EQ(mixer->GetOutputRect(0, &out), S_OK);
        EXPECT_TRUE(sameRect(out, {-0.5f, -0.5f, 1.5f, 1.5f})) << describe(out);
        camera.zoom(1.0f);
        EXPECT_TRUE(camera.toggleMirror(false, true));
        ASSERT_EQ(mixer->GetOutputRect(0, &out), S_OK);
        EXPECT_TRUE(sameRect(out, {1, 0, 0, 1})) << describe(out);
        EXPECT_TRUE(camera.toggleMirror(false, false));
        ASSERT_EQ(mixer->GetOutputRect(0, &out), S_OK);
        EXPECT_TRUE(sameRect(out, {0, 0, 1, 1})) << describe(out);
    } else {
        EXPECT_FALSE(camera.zoom(2.0f)) << "a zoom the renderer did not take is reported as done";
    }

    // The black frame, the photo preview and the focus picture are the mixer's alpha bitmap.
    const std::wstring photo = folder_.path() + L"preview.jpg";
    ASSERT_TRUE(snapshotWhenReady(camera, photo));
    const struct {
        const char* what;
        std::function<bool()> show;
        RECT source;
        VMR9NormalizedRect destination;
        bool colourKey;
    } overlays[] = {
        {"black frame", [&] { return graph.ShowBlackFrame(); }, {0, 0, 1, 1}, {0, 0, 1, 1}, false},
        {"photo preview", [&] { return graph.ShowBitmap1(photo.c_str()); }, {0, 0, 800, 600}, {0, 0, 1, 1}, false},
        {"focus picture",
         [&] { return graph.ShowBitmap2(IDB_FOCUS_IN_PROGRESS, 120, 90, 0, RECT{340, 255, 460, 345}); },
         {0, 0, 120, 90}, {340 / 800.0f, 255 / 600.0f, 460 / 800.0f, 345 / 600.0f}, true},
    };
    for (const auto& o : overlays) {
        SCOPED_TRACE(o.what);
        const bool shown = o.show();
        VMR9AlphaBitmap held{};
        if (!implemented(alpha->GetAlphaBitmapParameters(&held), "IVMRMixerBitmap9::GetAlphaBitmapParameters")) {
            EXPECT_FALSE(shown) << "an overlay the renderer did not take is reported as shown";
            break;
        }
        EXPECT_TRUE(shown);
        EXPECT_TRUE(EqualRect(&held.rSrc, &o.source)) << held.rSrc.right << " x " << held.rSrc.bottom;
        EXPECT_TRUE(sameRect(held.rDest, o.destination)) << describe(held.rDest);
        EXPECT_FLOAT_EQ(held.fAlpha, 1.0f);
        EXPECT_EQ((held.dwFlags & VMR9AlphaBitmap_SrcColorKey) != 0, o.colourKey);
        EXPECT_TRUE(graph.DisableBitmap());
    }

    // What the renderer shows is the camera's picture.
    BYTE* image = nullptr;
    if (implemented(windowless->GetCurrentImage(&image), "IVMRWindowlessControl9::GetCurrentImage")) {
        ASSERT_NE(image, nullptr);
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image);
        EXPECT_EQ(header->biWidth, 640);
        EXPECT_EQ(std::abs(header->biHeight), 480);
        CoTaskMemFree(image);
    }
    camera.stop();
    if (!unimplemented.empty()) GTEST_SKIP() << "this system's VMR9 answers E_NOTIMPL for " << unimplemented;
}

// The same for the EVR, where the system gives one the effects filter's frames.
TEST_F(CameraTest, EvrHoldsWhatTheViewOperationsSet) {
    HiddenClass vmr9(CLSID_VideoMixingRenderer9);
    VNTWebcamSkeo camera;
    ASSERT_TRUE(started(camera, kModelAPath, L"A", 640, 480));
    CaptureGraph& graph = *camera.graph();
    if (graph.rendererKind() != kRendererEvr) {
        const bool defaultRenderer = graph.rendererKind() == kRendererVideoWindow;
        camera.stop();
        GTEST_SKIP() << "this system's EVR takes no video from the effects filter: the graph ends with "
                     << (defaultRenderer ? "the default renderer" : "another renderer");
    }
    auto services = rendererInterface<IMFGetService>(graph, L"Enhanced Video Render");
    ASSERT_TRUE(services);
    vnt::ComPtr<IMFVideoDisplayControl> display;
    vnt::ComPtr<IMFVideoMixerBitmap> alpha;
    ASSERT_EQ(services->GetService(MR_VIDEO_RENDER_SERVICE, __uuidof(IMFVideoDisplayControl), display.putVoid()), S_OK);
    ASSERT_EQ(services->GetService(MR_VIDEO_MIXER_SERVICE, __uuidof(IMFVideoMixerBitmap), alpha.putVoid()), S_OK);

    MFVideoNormalizedRect source{};
    RECT destination{};
    EXPECT_TRUE(camera.zoom(2.0f));
    ASSERT_EQ(display->GetVideoPosition(&source, &destination), S_OK);
    EXPECT_NEAR(source.left, 0.25f, 1e-4f);
    EXPECT_NEAR(source.right, 0.75f, 1e-4f);
    EXPECT_NEAR(source.top, 0.25f, 1e-4f);
    EXPECT_NEAR(source.bottom, 0.75f, 1e-4f);
    camera.zoom(1.0f);

    ASSERT_TRUE(graph.ShowBlackFrame());
    MFVideoAlphaBitmapParams held{};
    ASSERT_EQ(alpha->GetAlphaBitmapParameters(&held), S_OK);
    EXPECT_EQ(held.rcSrc.right, 1);
    EXPECT_NEAR(held.nrcDest.right, 1.0f, 1e-4f);
    EXPECT_FLOAT_EQ(held.fAlpha, 1.0f);
    EXPECT_TRUE(graph.DisableBitmap());
    camera.stop();
}

TEST_F(CameraTest, ModelBPhotosNameTheirModelAndPropertiesReachTheCamera) {
    VNTWebcamSkeoPlus camera;
    ASSERT_TRUE(started(camera, kModelBPath, L"B", 320, 240));
    const std::wstring path = folder_.path() + L"pello.jpg";
    ASSERT_TRUE(snapshotWhenReady(camera, path));
    EXPECT_NE(fileBytes(path).find(std::string("Pello\0", 6)), std::string::npos) << "EXIF model";

    LONG brightness = 0;
    ASSERT_TRUE(camera.getVideoProcAmpProperty(0, &brightness));
    EXPECT_EQ(brightness, 128);
    ASSERT_TRUE(camera.setVideoProcAmpProperty(0, 200));
    ASSERT_TRUE(camera.getVideoProcAmpProperty(0, &brightness));
    EXPECT_EQ(brightness, 200);
    // Out of the camera's range: refused, nothing changes.
    EXPECT_FALSE(camera.setVideoProcAmpProperty(0, 300));
    ASSERT_TRUE(camera.getVideoProcAmpProperty(0, &brightness));
    EXPECT_EQ(brightness, 200);
    camera.setVideoProcAmpProperty(0, 128);
    camera.stop();
}

// Runs on the sample grabber's path, or with the renderers hidden on the effects filter's path.
class FramePathTest : public CameraTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        CameraTest::SetUp();
        if (GetParam()) {
            vmr9_.reset(new HiddenClass(CLSID_VideoMixingRenderer9));
            evr_.reset(new HiddenClass(CLSID_EnhancedVideoRenderer));
        }
    }
    std::unique_ptr<HiddenClass> vmr9_, evr_;
};

std::string framePathName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "EffectsFilter" : "SampleGrabber";
}

// A camera registered for one test, streaming 320 x 240 with its first photo taken, to be pulled.
class PulledCameraTest : public FramePathTest {
protected:
    void startOwnCamera(int serial) {
        id_ = L"9&PULL&0&000" + std::to_wstring(serial * 2 + (GetParam() ? 1 : 0));
        ASSERT_EQ(cameraDll(L"/n /i:\"add A " + id_ + L" Pulled\""), 0);
        camera_.initWithDevice(
            L"\\\\?\\usb#vid_C7A2&pid_5A01&mi_00#" + id_ + L"#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global", L"Pulled");
        camera_.setOwners(window_, window_);
        ASSERT_TRUE(camera_.build(320, 240, &MEDIASUBTYPE_RGB24));
        ASSERT_TRUE(camera_.start());
        ASSERT_TRUE(snapshotWhenReady(camera_, folder_.path() + L"ready.jpg"));
    }
    bool pull() { return cameraDll(L"/n /i:\"pull " + id_ + L"\"") == 0; }
    void TearDown() override {
        camera_.stop();
        if (!id_.empty()) cameraDll(L"/n /i:\"remove " + id_ + L"\"");
        FramePathTest::TearDown();
    }
    std::wstring id_;
    VNTWebcam camera_;
};

TEST_P(PulledCameraTest, APulledCameraGivesNoPhotoAndNoHang) {
    ASSERT_NO_FATAL_FAILURE(startOwnCamera(0));
    ASSERT_TRUE(pull());
    testsupport::pumpUntil([] { return false; }, 1000);
    const std::wstring after = folder_.path() + L"after-pull.jpg";
    const ULONGLONG started = GetTickCount64();
    EXPECT_FALSE(camera_.snapshot(after.c_str(), false));
    EXPECT_LT(GetTickCount64() - started, 10000u) << "a snapshot must not wait for a camera that is gone";
    EXPECT_EQ(GetFileAttributesW(after.c_str()), INVALID_FILE_ATTRIBUTES) << "no photo for a frame that was not had";
}

// Photos taken back to back while the camera is pulled: the pull lands while a photo waits for
// its frame or between two. Every photo reported taken is a whole picture; every refused one left
// no file; none waits for a camera that is gone, and after the pull every one is refused.
TEST_P(PulledCameraTest, PullingWhilePhotosAreTakenNeitherHangsNorStoresAMissingFrame) {
    ASSERT_NO_FATAL_FAILURE(startOwnCamera(1));
    bool pulled = false;
    std::thread puller([&] {
        Sleep(300);
        pulled = pull();
    });
    int taken = 0, refusedInARow = 0;
    for (int i = 0; i < 200 && refusedInARow < 3; ++i) {
        const std::wstring path = folder_.path() + L"during-pull-" + std::to_wstring(i) + L".jpg";
        const ULONGLONG started = GetTickCount64();
        const bool ok = camera_.snapshot(path.c_str(), false);
        EXPECT_LT(GetTickCount64() - started, 5000u) << "photo " << i;
        if (ok) {
            Photo photo(path);
            EXPECT_TRUE(photo.loaded()) << "photo " << i;  // no ASSERT: the puller is still to be joined
            if (photo.loaded()) {
                EXPECT_EQ(topLeftMark(photo), "red") << "photo " << i;
            }
            ++taken;
            refusedInARow = 0;
        } else {
            EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << "photo " << i;
            ++refusedInARow;
        }
        testsupport::pumpUntil([] { return false; }, 20);
    }
    puller.join();
    EXPECT_TRUE(pulled);
    EXPECT_GT(taken, 0) << "the pull came before any photo of the loop";
    EXPECT_EQ(refusedInARow, 3) << "photos were still taken after the pull";
}

INSTANTIATE_TEST_SUITE_P(BothFramePaths, PulledCameraTest, ::testing::Values(false, true), framePathName);

class RebuiltCameraTest : public FramePathTest {};

// The frame memory is kept between photos of one graph; a graph built at another size must not
// write a photo from the old frame's size or bytes.
TEST_P(RebuiltCameraTest, PhotosTakeTheSizeOfTheGraphBuiltLast) {
    VNTWebcam camera;
    camera.initWithDevice(kModelAPath, L"A");
    camera.setOwners(window_, window_);
    const SIZE sizes[] = {{320, 240}, {800, 600}, {640, 480}};
    for (const SIZE& size : sizes) {
        camera.stop();
        ASSERT_TRUE(camera.build(size.cx, size.cy, &MEDIASUBTYPE_RGB24));
        ASSERT_TRUE(camera.start());
        for (int i = 0; i < 2; ++i) {
            const std::wstring path = folder_.path() + L"rebuilt-" + std::to_wstring(size.cx) + L"-" + std::to_wstring(i) + L".jpg";
            ASSERT_TRUE(snapshotWhenReady(camera, path));
            Photo photo(path);
            ASSERT_TRUE(photo.loaded());
            EXPECT_EQ(photo.width(), size.cx);
            EXPECT_EQ(photo.height(), size.cy);
            EXPECT_EQ(topLeftMark(photo), "red") << size.cx << " photo " << i;
        }
    }
    camera.stop();
}

INSTANTIATE_TEST_SUITE_P(BothFramePaths, RebuiltCameraTest, ::testing::Values(false, true), framePathName);

namespace {

// What ReportError wrote for one message: the text after "<message> : COM Error ", cut at the line
// end; `whole` tells whether that line ended cleanly: no carriage return, and the next line (if
// any) a new trace line rather than the rest of this one.
struct Reported {
    int count = 0;
    std::string rest;
    bool whole = false;
};

Reported reported(const std::string& message) {
    const std::string text = kTrace.contents(), head = "]ReportError " + message + " : COM Error ";
    Reported r;
    for (size_t at = text.find(head); at != std::string::npos; at = text.find(head, at + head.size())) {
        ++r.count;
        const size_t from = at + head.size(), end = text.find('\n', from);
        r.rest = text.substr(from, end == std::string::npos ? std::string::npos : end - from);
        r.whole = end != std::string::npos && r.rest.find('\r') == std::string::npos &&
                  (end + 1 == text.size() || text[end + 1] == '[');
    }
    return r;
}

// The system's own text for a code, as FormatMessage gives it (line end included).
std::string systemText(HRESULT code) {
    wchar_t text[512] = {};
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   static_cast<DWORD>(code), 0, text, 512, nullptr);
    return vnt::toUtf8(std::wstring(text, n));
}

std::string hex(HRESULT code) {
    char number[16];
    std::snprintf(number, sizeof number, "0x%x", static_cast<unsigned>(code));
    return number;
}

}  // namespace

TEST(ReportErrorTest, OneLinePerReportWithTheSystemTextOrNone) {
    const struct {
        const char* message;
        HRESULT code;
        bool known;  // the system has a text for it
    } cases[] = {
        {"report test out of memory", E_OUTOFMEMORY, true},
        {"report test no file", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), true},
        {"report test unknown", static_cast<HRESULT>(0x8004fff0), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const std::string system = systemText(c.code);
        ASSERT_EQ(c.known, !system.empty()) << "the platform's texts are not as this table expects";
        ReportError(std::wstring(c.message, c.message + std::strlen(c.message)).c_str(), c.code);
        const Reported r = reported(c.message);
        ASSERT_EQ(1, r.count);
        EXPECT_TRUE(r.whole) << r.rest;
        if (!c.known) {
            EXPECT_EQ(hex(c.code), r.rest);
            continue;
        }
        // The system's text, its line end gone.
        const std::string prefix = hex(c.code) + ", ";
        ASSERT_EQ(prefix, r.rest.substr(0, prefix.size())) << r.rest;
        const std::string text = r.rest.substr(prefix.size());
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text, system.substr(0, text.size()));
        EXPECT_EQ(std::string::npos, system.find_first_not_of("\r\n \t", text.size())) << system;
    }
}

TEST(ReportErrorTest, DirectShowCodesGetDirectShowsText) {
    wchar_t text[MAX_ERROR_TEXT_LEN] = {};
    const DWORD n = AMGetErrorTextW(VFW_E_NOT_CONNECTED, text, MAX_ERROR_TEXT_LEN);
    const std::string quartz = vnt::toUtf8(std::wstring(text, n));
    if (quartz.empty() || quartz == "Error: " + hex(VFW_E_NOT_CONNECTED))
        GTEST_SKIP() << "this platform's quartz has no DirectShow error texts (it answers \"" << quartz << "\")";
    ReportError(L"report test not connected", VFW_E_NOT_CONNECTED);
    const Reported r = reported("report test not connected");
    ASSERT_EQ(1, r.count);
    EXPECT_TRUE(r.whole) << r.rest;
    EXPECT_EQ(r.rest, hex(VFW_E_NOT_CONNECTED) + ", " + vnt::toUtf8(vnt::singleLine(text)));
}
