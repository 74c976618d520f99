// VirtualCamera.dll as the program meets it: registered with the system's regsvr32, its instances
// listed by the system device enumerator, bound through their monikers, configured through
// IAMStreamConfig and streaming in the platform's graphs, built by hand and by the capture graph
// builder with the decoders intelligent connect finds.
#include "camera/DirectShowIds.h"
#include "framework/ComPtr.h"
#include "tests/virtualcam/VirtualCamTestSupport.h"
#include "tools/virtualcam/TestPicture.h"

#include "tests/support/DeviceCategory.h"
#include "tests/support/PlatformGraph.h"
#include "tests/support/Regsvr32.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <strmif.h>
#include <amvideo.h>
#include <control.h>
#include <evcode.h>
#include <ocidl.h>
#include <qedit.h>
#include <uuids.h>
#include <vfwmsgs.h>
// After strmif.h, which they extend.
#include <ks.h>
#include <ksmedia.h>

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

using testsupport::firstPin;
using vnt::ComPtr;
using vcamtest::pixel;
using vcamtest::within;

namespace {

const CLSID kCameraClsid = {0x621c06f0, 0x44d9, 0x4604, {0x86, 0x9d, 0xbd, 0xb8, 0x1a, 0xd4, 0xa1, 0xcd}};
const CLSID kYuy2Decoder = {0x414e9677, 0x8a3c, 0x485e, {0xa2, 0x2f, 0x68, 0x9b, 0x39, 0xe3, 0x52, 0x11}};
const CLSID kMjpgDecoder = {0xa0784fa3, 0x247c, 0x492d, {0x80, 0x58, 0x97, 0x08, 0xac, 0x81, 0xa4, 0x79}};
const wchar_t kCameraClsidText[] = L"{621C06F0-44D9-4604-869D-BDB81AD4A1CD}";

const wchar_t kDefaultId[] = L"7&1A2B3C4D&0&0000";
const wchar_t kDefaultPath[] =
    L"\\\\?\\usb#vid_C7A2&pid_5A01&mi_00#7&1A2B3C4D&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";

std::wstring dllPath() { return testsupport::besideProgram(L"VirtualCamera.dll"); }

int regsvr32(const std::wstring& arguments) { return testsupport::regsvr32(dllPath(), arguments); }

using Device = testsupport::ListedDevice;

// Every video input device, as the program enumerates them.
std::vector<Device> videoInputDevices() { return testsupport::devicesInCategory(CLSID_VideoInputDeviceCategory); }

bool findDevice(const std::wstring& path, Device& found) {
    for (const Device& d : videoInputDevices())
        if (d.path == path) {
            found = d;
            return true;
        }
    return false;
}

std::wstring instancePath(const wchar_t* vidPid, const std::wstring& id) {
    return std::wstring(L"\\\\?\\usb#") + vidPid + L"&mi_00#" + id + L"#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
}

// A plain in-memory bag: what a filter saves into it shows what it was loaded with.
class MemoryBag final : public IPropertyBag {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPropertyBag)) {
            *ppv = static_cast<IPropertyBag*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // on the test's stack
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* v, IErrorLog*) override {
        auto it = values.find(name);
        if (it == values.end()) return E_INVALIDARG;
        v->vt = VT_BSTR;
        v->bstrVal = SysAllocString(it->second.c_str());
        return S_OK;
    }
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* v) override {
        if (v->vt != VT_BSTR) return E_INVALIDARG;
        values[name] = v->bstrVal;
        return S_OK;
    }
    std::map<std::wstring, std::wstring> values;
};

struct MediaTypeHolder {
    AM_MEDIA_TYPE* mt = nullptr;
    MediaTypeHolder() = default;
    MediaTypeHolder(const MediaTypeHolder&) = delete;
    MediaTypeHolder& operator=(const MediaTypeHolder&) = delete;
    MediaTypeHolder(MediaTypeHolder&& o) noexcept : mt(o.mt) { o.mt = nullptr; }
    ~MediaTypeHolder() { reset(); }
    void reset() {
        if (!mt) return;
        if (mt->cbFormat) CoTaskMemFree(mt->pbFormat);
        if (mt->pUnk) mt->pUnk->Release();
        CoTaskMemFree(mt);
        mt = nullptr;
    }
    const VIDEOINFOHEADER& vih() const { return *reinterpret_cast<const VIDEOINFOHEADER*>(mt->pbFormat); }
};

bool sameType(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
    return IsEqualGUID(a.majortype, b.majortype) && IsEqualGUID(a.subtype, b.subtype) &&
           IsEqualGUID(a.formattype, b.formattype) && a.cbFormat == b.cbFormat &&
           std::memcmp(a.pbFormat, b.pbFormat, a.cbFormat) == 0;
}

std::vector<MediaTypeHolder> enumTypes(IPin* pin) {
    std::vector<MediaTypeHolder> out;
    ComPtr<IEnumMediaTypes> types;
    if (FAILED(pin->EnumMediaTypes(types.put()))) return out;
    AM_MEDIA_TYPE* mt = nullptr;
    while (types->Next(1, &mt, nullptr) == S_OK) {
        out.emplace_back();
        out.back().mt = mt;
    }
    return out;
}

// The time stamps of the samples the grabber saw.
class Stamps final : public testsupport::GrabberCallback {
public:
    STDMETHODIMP SampleCB(double, IMediaSample* sample) override {
        REFERENCE_TIME start = 0, stop = 0;
        const bool stamped = sample->GetTime(&start, &stop) == S_OK;
        std::lock_guard<std::mutex> lock(mutex_);
        times_.push_back({stamped, start, stop});
        return S_OK;
    }
    struct Time {
        bool stamped;
        REFERENCE_TIME start, stop;
    };
    // Those seen once there are count, or when timeoutMs is over.
    std::vector<Time> wait(size_t count, DWORD timeoutMs = 10000) {
        testsupport::waitUntil(
            [&] {
                std::lock_guard<std::mutex> lock(mutex_);
                return times_.size() >= count;
            },
            timeoutMs);
        std::lock_guard<std::mutex> lock(mutex_);
        return times_;
    }

private:
    std::mutex mutex_;
    std::vector<Time> times_;
};

// The picture is upright and unmirrored: each corner mark where it belongs.
void expectUpright(const std::vector<uint8_t>& f, int w, int h) {
    ASSERT_GE(f.size(), vcam::rgb24FrameBytes(w, h));
    const int u = h / 12;
    EXPECT_TRUE(within(pixel(f, w, h, u, u), vcam::testpicture::kTopLeft, 40));
    EXPECT_TRUE(within(pixel(f, w, h, w - 1 - u, u), vcam::testpicture::kTopRight, 40));
    EXPECT_TRUE(within(pixel(f, w, h, u, h - 1 - u), vcam::testpicture::kBottomLeft, 40));
    EXPECT_TRUE(within(pixel(f, w, h, w - 1 - u, h - 1 - u), vcam::testpicture::kBottomRight, 40));
}

uint32_t counterOf(const std::vector<uint8_t>& f, int w, int h) {
    uint32_t value = 0;
    EXPECT_TRUE(vcam::testpicture::readCounter(f.data(), f.size(), w, h, value));
    return value;
}

// The 40-byte property record the program sends for get and set alike.
struct PropertyRecord {
    GUID set;
    ULONG id;
    ULONG flags;
    LONG value;
    ULONG valueFlags;
    ULONG capabilities;
    ULONG spare;
};
static_assert(sizeof(PropertyRecord) == 40, "the program's record");

// Registered once for the whole run: regsvr32 starts a process per call.
class VirtualCameraDll : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registered_ = regsvr32(L"") == 0; }
    static void TearDownTestSuite() { regsvr32(L"/u"); }
    void SetUp() override { ASSERT_TRUE(registered_) << "regsvr32 VirtualCamera.dll failed"; }

    // The default model-A camera, bound through its moniker.
    static ComPtr<IBaseFilter> bindDefault() {
        Device d;
        ComPtr<IBaseFilter> filter;
        if (findDevice(kDefaultPath, d)) d.moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.putVoid());
        return filter;
    }

    static bool registered_;
};
bool VirtualCameraDll::registered_ = false;

// A graph of the platform's, with the camera, the grabber taking RGB24 and the null renderer.
struct CameraGraph {
    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    ComPtr<IBaseFilter> camera, grabberFilter, renderer;
    ComPtr<ISampleGrabber> grabber;
    testsupport::FrameGrabber grabbed;  // the newest frame

    explicit CameraGraph(ComPtr<IBaseFilter> cam) : camera(cam) {
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.putVoid());
        CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, grabberFilter.putVoid());
        CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, renderer.putVoid());
        if (!graph || !grabberFilter || !renderer || !camera) return;
        graph.queryInterface(control);
        graph->QueryInterface(IID_IMediaEvent, events.putVoid());
        grabberFilter.queryInterface(grabber);
        graph->AddFilter(camera.get(), L"Vantor Video Capture");
        graph->AddFilter(grabberFilter.get(), L"SampleGrabber");
        graph->AddFilter(renderer.get(), L"Null Renderer");
        if (grabber) testsupport::grabRgb24(grabber.get(), &grabbed);
    }
    ~CameraGraph() {
        if (control) control->Stop();
        if (grabber) grabber->SetCallback(nullptr, 1);
    }
    bool ready() const { return control && events && grabber; }

    HRESULT setFormat(const GUID& subtype, int w, int h) {
        ComPtr<IPin> out = firstPin(camera.get(), PINDIR_OUTPUT);
        ComPtr<IAMStreamConfig> config;
        if (!out || FAILED(out.queryInterface(config))) return E_NOINTERFACE;
        // From the capabilities: once a format is set the pin offers no other.
        int count = 0, size = 0;
        config->GetNumberOfCapabilities(&count, &size);
        for (int i = 0; i < count; ++i) {
            MediaTypeHolder t;
            VIDEO_STREAM_CONFIG_CAPS caps{};
            if (config->GetStreamCaps(i, &t.mt, reinterpret_cast<BYTE*>(&caps)) != S_OK) continue;
            const BITMAPINFOHEADER& bih = t.vih().bmiHeader;
            if (IsEqualGUID(t.mt->subtype, subtype) && bih.biWidth == w && bih.biHeight == h)
                return config->SetFormat(t.mt);
        }
        return VFW_E_NO_ACCEPTABLE_TYPES;
    }

    // By hand: camera to grabber directly, grabber on to the renderer.
    HRESULT connectDirect() {
        ComPtr<IPin> out = firstPin(camera.get(), PINDIR_OUTPUT), grabIn = firstPin(grabberFilter.get(), PINDIR_INPUT),
                     grabOut = firstPin(grabberFilter.get(), PINDIR_OUTPUT),
                     renderIn = firstPin(renderer.get(), PINDIR_INPUT);
        HRESULT hr = graph->ConnectDirect(out.get(), grabIn.get(), nullptr);
        if (SUCCEEDED(hr)) hr = graph->Connect(grabOut.get(), renderIn.get());
        return hr;
    }

    HRESULT renderPreview() {
        ComPtr<ICaptureGraphBuilder2> builder;
        HRESULT hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_ICaptureGraphBuilder2, builder.putVoid());
        if (SUCCEEDED(hr)) hr = builder->SetFiltergraph(graph.get());
        if (SUCCEEDED(hr))
            hr = builder->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, camera.get(), grabberFilter.get(),
                                       renderer.get());
        return hr;
    }

    bool contains(REFCLSID clsid) {
        ComPtr<IEnumFilters> filters;
        if (FAILED(graph->EnumFilters(filters.put()))) return false;
        for (ComPtr<IBaseFilter> f; filters->Next(1, f.put(), nullptr) == S_OK;) {
            CLSID c = {};
            if (SUCCEEDED(f->GetClassID(&c)) && IsEqualCLSID(c, clsid)) return true;
        }
        return false;
    }

    bool waitForEvent(long wanted, DWORD timeoutMs) { return testsupport::waitForEvent(events.get(), wanted, timeoutMs); }
};

TEST_F(VirtualCameraDll, RegistersADefaultModelACameraAndInstancesComeAndGo) {
    Device d;
    ASSERT_TRUE(findDevice(kDefaultPath, d)) << "the default instance is listed with its upper-case IDs";
    EXPECT_EQ(d.name, L"Skeo Virtual Camera");
    EXPECT_EQ(_wcsicmp(d.clsid.c_str(), kCameraClsidText), 0);

    ASSERT_EQ(regsvr32(L"/n /i:\"add B 8&AB12&0&0001 Pello on the desk\""), 0);
    ASSERT_EQ(regsvr32(L"/n /i:\"add foreign 9&CD34&0&0002\""), 0);
    ASSERT_EQ(regsvr32(L"/n /i:\"add a 9&CD34&0&0003 Second Skeo\""), 0);
    struct Expected {
        std::wstring path, name;
    } expected[] = {
        {kDefaultPath, L"Skeo Virtual Camera"},
        {instancePath(L"vid_C7A2&pid_5A02", L"8&AB12&0&0001"), L"Pello on the desk"},
        {instancePath(L"vid_2F3A&pid_0C10", L"9&CD34&0&0002"), L"Generic Virtual Camera"},
        {instancePath(L"vid_C7A2&pid_5A01", L"9&CD34&0&0003"), L"Second Skeo"},
    };
    for (const Expected& e : expected) {
        Device found;
        ASSERT_TRUE(findDevice(e.path, found)) << "missing " << std::string(e.path.begin(), e.path.end());
        EXPECT_EQ(found.name, e.name);
        EXPECT_EQ(_wcsicmp(found.clsid.c_str(), kCameraClsidText), 0);
    }

    // Commands it cannot read fail, and change nothing.
    const size_t before = videoInputDevices().size();
    EXPECT_NE(regsvr32(L"/n /i:\"add C 1&2&3\""), 0);
    EXPECT_NE(regsvr32(L"/n /i:\"add A bad#id\""), 0);
    EXPECT_NE(regsvr32(L"/n /i:\"launch A 1&2\""), 0);
    EXPECT_EQ(videoInputDevices().size(), before);

    ASSERT_EQ(regsvr32(L"/n /i:\"remove 8&AB12&0&0001\""), 0);
    EXPECT_FALSE(findDevice(expected[1].path, d));
    EXPECT_TRUE(findDevice(expected[2].path, d));
    // Removing what is gone is no failure; /u with an instance removes it too.
    EXPECT_EQ(regsvr32(L"/n /i:\"remove 8&AB12&0&0001\""), 0);
    ASSERT_EQ(regsvr32(L"/u /n /i:\"remove 9&CD34&0&0002\""), 0);
    EXPECT_FALSE(findDevice(expected[2].path, d));
    EXPECT_TRUE(findDevice(expected[3].path, d));

    // Unregistering takes every instance with the classes; registering brings the default back.
    ASSERT_EQ(regsvr32(L"/u"), 0);
    for (const Device& left : videoInputDevices()) EXPECT_NE(_wcsicmp(left.clsid.c_str(), kCameraClsidText), 0);
    ComPtr<IBaseFilter> gone;
    EXPECT_EQ(CoCreateInstance(kCameraClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, gone.putVoid()),
              REGDB_E_CLASSNOTREG);
    ASSERT_EQ(regsvr32(L""), 0);
    EXPECT_TRUE(findDevice(kDefaultPath, d));
    EXPECT_FALSE(findDevice(expected[3].path, d));
}

TEST_F(VirtualCameraDll, EachMonikerGivesACameraThatKnowsItsPath) {
    ASSERT_EQ(regsvr32(L"/n /i:\"add B 5&77&0&0001\""), 0);
    const std::wstring pathB = instancePath(L"vid_C7A2&pid_5A02", L"5&77&0&0001");
    for (const std::wstring& path : {std::wstring(kDefaultPath), pathB}) {
        Device d;
        ASSERT_TRUE(findDevice(path, d));
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(d.moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.putVoid()), S_OK);
        ComPtr<IPersistPropertyBag> persist;
        ASSERT_EQ(filter.queryInterface(persist), S_OK);
        MemoryBag saved;
        ASSERT_EQ(persist->Save(&saved, FALSE, TRUE), S_OK);
        EXPECT_EQ(saved.values[L"DevicePath"], path) << "the moniker loaded the instance's own values";
        EXPECT_EQ(saved.values[L"FriendlyName"], d.name);

        ComPtr<IAMFilterMiscFlags> flags;
        ASSERT_EQ(filter.queryInterface(flags), S_OK);
        EXPECT_EQ(flags->GetMiscFlags(), static_cast<ULONG>(AM_FILTER_MISC_FLAGS_IS_SOURCE));
        ComPtr<IPin> pin = firstPin(filter.get(), PINDIR_OUTPUT);
        ASSERT_TRUE(pin);
        ComPtr<IKsPropertySet> pinProps;
        ASSERT_EQ(pin.queryInterface(pinProps), S_OK);
        GUID category = GUID_NULL;
        DWORD returned = 0;
        ASSERT_EQ(pinProps->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category, sizeof category,
                                &returned),
                  S_OK);
        EXPECT_TRUE(IsEqualGUID(category, PIN_CATEGORY_CAPTURE));
        EXPECT_EQ(returned, sizeof(GUID));
    }
    EXPECT_EQ(regsvr32(L"/n /i:\"remove 5&77&0&0001\""), 0);
}

TEST_F(VirtualCameraDll, StreamConfigOffersEighteenFormatsEachOfThemSettable) {
    ComPtr<IBaseFilter> camera = bindDefault();
    ASSERT_TRUE(camera);
    ComPtr<IPin> pin = firstPin(camera.get(), PINDIR_OUTPUT);
    ComPtr<IAMStreamConfig> config;
    ASSERT_EQ(pin.queryInterface(config), S_OK);
    int count = 0, size = 0;
    ASSERT_EQ(config->GetNumberOfCapabilities(&count, &size), S_OK);
    ASSERT_EQ(count, 18);
    ASSERT_EQ(size, static_cast<int>(sizeof(VIDEO_STREAM_CONFIG_CAPS)));

    // Grouped by subtype as a driver lists its formats, each group from the largest size down.
    const GUID* subtypes[] = {&MEDIASUBTYPE_MJPG, &MEDIASUBTYPE_YUY2, &MEDIASUBTYPE_RGB24};
    const SIZE sizes[] = {{1600, 1200}, {1280, 1024}, {1024, 768}, {800, 600}, {640, 480}, {320, 240}};
    std::vector<MediaTypeHolder> offered = enumTypes(pin.get());
    ASSERT_EQ(offered.size(), 18u);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        MediaTypeHolder cap;
        VIDEO_STREAM_CONFIG_CAPS caps{};
        ASSERT_EQ(config->GetStreamCaps(i, &cap.mt, reinterpret_cast<BYTE*>(&caps)), S_OK);
        EXPECT_TRUE(IsEqualGUID(cap.mt->majortype, MEDIATYPE_Video));
        EXPECT_TRUE(IsEqualGUID(cap.mt->subtype, *subtypes[i / 6]));
        ASSERT_TRUE(IsEqualGUID(cap.mt->formattype, FORMAT_VideoInfo));
        EXPECT_EQ(cap.vih().bmiHeader.biWidth, sizes[i % 6].cx);
        EXPECT_EQ(cap.vih().bmiHeader.biHeight, sizes[i % 6].cy);
        EXPECT_EQ(cap.vih().AvgTimePerFrame, 333333);
        EXPECT_TRUE(IsEqualGUID(caps.guid, FORMAT_VideoInfo));
        EXPECT_EQ(caps.MaxOutputSize.cx, sizes[i % 6].cx);
        EXPECT_EQ(caps.MaxOutputSize.cy, sizes[i % 6].cy);
        EXPECT_EQ(caps.MinFrameInterval, 333333);
        EXPECT_TRUE(sameType(*cap.mt, *offered[i].mt)) << "the pin offers what its capabilities say";

        // Chosen, it is what the pin reports and the only type it offers.
        ASSERT_EQ(config->SetFormat(cap.mt), S_OK);
        MediaTypeHolder current;
        ASSERT_EQ(config->GetFormat(&current.mt), S_OK);
        EXPECT_TRUE(sameType(*current.mt, *cap.mt));
        std::vector<MediaTypeHolder> now = enumTypes(pin.get());
        ASSERT_EQ(now.size(), 1u);
        EXPECT_TRUE(sameType(*now[0].mt, *cap.mt));
        EXPECT_EQ(pin->QueryAccept(offered[(i + 1) % 18].mt), S_FALSE);
    }
    EXPECT_EQ(config->GetStreamCaps(18, nullptr, nullptr), E_POINTER);
    MediaTypeHolder past;
    VIDEO_STREAM_CONFIG_CAPS caps{};
    EXPECT_EQ(config->GetStreamCaps(18, &past.mt, reinterpret_cast<BYTE*>(&caps)), S_FALSE);

    // A size the camera lacks is refused and the choice stays.
    MediaTypeHolder odd;
    ASSERT_EQ(config->GetStreamCaps(4, &odd.mt, reinterpret_cast<BYTE*>(&caps)), S_OK);
    reinterpret_cast<VIDEOINFOHEADER*>(odd.mt->pbFormat)->bmiHeader.biHeight = 479;
    EXPECT_EQ(config->SetFormat(odd.mt), VFW_E_INVALIDMEDIATYPE);
    EXPECT_EQ(enumTypes(pin.get()).size(), 1u);
    // None chosen: the whole list again.
    EXPECT_EQ(config->SetFormat(nullptr), S_OK);
    EXPECT_EQ(enumTypes(pin.get()).size(), 18u);
}

TEST_F(VirtualCameraDll, StreamsAboutThirtyUprightFramesASecondIntoTheGrabber) {
    CameraGraph g(bindDefault());
    ASSERT_TRUE(g.ready());
    ASSERT_EQ(g.setFormat(MEDIASUBTYPE_RGB24, 640, 480), S_OK);
    ASSERT_EQ(g.connectDirect(), S_OK);
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));

    std::vector<uint8_t> first, last;
    ASSERT_TRUE(g.grabbed.newest(1, first));
    const long startCount = g.grabbed.count();
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(g.grabbed.newest(startCount + 45, last)) << "45 more frames within 10 seconds";
    const double seconds = (GetTickCount64() - start) / 1000.0;
    const long frames = g.grabbed.count() - startCount;
    std::printf("virtual camera, RGB24 640x480 direct: %ld frames in %.2f s = %.1f fps\n", frames, seconds,
                frames / seconds);
    // Paced, not pushed as fast as the grabber takes them.
    EXPECT_LE(frames, static_cast<long>(seconds * 45) + 2);

    expectUpright(last, 640, 480);
    const uint32_t a = counterOf(first, 640, 480), b = counterOf(last, 640, 480);
    EXPECT_GE(b, a + 44) << "the counter advances by one a frame";
}

TEST_F(VirtualCameraDll, SamplesCarryStreamTimesOneFrameApart) {
    CameraGraph g(bindDefault());
    ASSERT_TRUE(g.ready());
    Stamps stamps;
    ASSERT_EQ(g.grabber->SetCallback(&stamps, 0), S_OK);
    ASSERT_EQ(g.setFormat(MEDIASUBTYPE_RGB24, 320, 240), S_OK);
    ASSERT_EQ(g.connectDirect(), S_OK);
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    const std::vector<Stamps::Time> times = stamps.wait(20);
    g.control->Stop();
    ASSERT_GE(times.size(), 20u);
    size_t onSchedule = 0;
    for (size_t i = 0; i < times.size(); ++i) {
        ASSERT_TRUE(times[i].stamped) << i;
        EXPECT_EQ(times[i].stop - times[i].start, 333333) << i;
        if (i == 0) continue;
        EXPECT_GT(times[i].start, times[i - 1].start) << i;
        if (times[i].start - times[i - 1].start == 333333) ++onSchedule;
    }
    // A frame missed under load starts a new schedule; most keep the exact spacing.
    EXPECT_GE(onSchedule * 2, times.size());

    // A slower rate asked for is the rate delivered.
    ComPtr<IAMStreamConfig> config;
    ASSERT_EQ(firstPin(g.camera.get(), PINDIR_OUTPUT).queryInterface(config), S_OK);
    MediaTypeHolder slow;
    ASSERT_EQ(config->GetFormat(&slow.mt), S_OK);
    reinterpret_cast<VIDEOINFOHEADER*>(slow.mt->pbFormat)->AvgTimePerFrame = 666666;
    ASSERT_EQ(config->SetFormat(slow.mt), S_OK);
    Stamps slower;
    ASSERT_EQ(g.grabber->SetCallback(&slower, 0), S_OK);
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    const std::vector<Stamps::Time> spaced = slower.wait(4);
    g.control->Stop();
    ASSERT_GE(spaced.size(), 4u);
    EXPECT_EQ(spaced[1].start - spaced[0].start, 666666);
    EXPECT_EQ(spaced[3].stop - spaced[3].start, 666666);
}

TEST_F(VirtualCameraDll, SetFormatWhileConnectedReconnectsOrIsRefused) {
    CameraGraph g(bindDefault());
    ASSERT_TRUE(g.ready());
    ASSERT_EQ(g.setFormat(MEDIASUBTYPE_RGB24, 640, 480), S_OK);
    ASSERT_EQ(g.connectDirect(), S_OK);
    ComPtr<IPin> out = firstPin(g.camera.get(), PINDIR_OUTPUT);
    auto connectedSize = [&out](int& w, int& h, GUID& subtype) {
        AM_MEDIA_TYPE mt{};
        if (out->ConnectionMediaType(&mt) != S_OK) return false;
        const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
        w = vih->bmiHeader.biWidth;
        h = vih->bmiHeader.biHeight;
        subtype = mt.subtype;
        CoTaskMemFree(mt.pbFormat);
        return true;
    };

    // The grabber takes RGB24 of any size: the pin is connected again with the new one.
    ASSERT_EQ(g.setFormat(MEDIASUBTYPE_RGB24, 320, 240), S_OK);
    int w = 0, h = 0;
    GUID subtype = GUID_NULL;
    ASSERT_TRUE(connectedSize(w, h, subtype));
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);

    // It takes no MJPG: refused, the connection stays as it was.
    ComPtr<IAMStreamConfig> config;
    ASSERT_EQ(out.queryInterface(config), S_OK);
    MediaTypeHolder mjpg;
    VIDEO_STREAM_CONFIG_CAPS caps{};
    ASSERT_EQ(config->GetStreamCaps(4, &mjpg.mt, reinterpret_cast<BYTE*>(&caps)), S_OK);
    ASSERT_TRUE(IsEqualGUID(mjpg.mt->subtype, MEDIASUBTYPE_MJPG));
    EXPECT_EQ(config->SetFormat(mjpg.mt), VFW_E_INVALIDMEDIATYPE);
    ASSERT_TRUE(connectedSize(w, h, subtype));
    EXPECT_TRUE(IsEqualGUID(subtype, MEDIASUBTYPE_RGB24));
    EXPECT_EQ(w, 320);

    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    std::vector<uint8_t> frame;
    ASSERT_TRUE(g.grabbed.newest(2, frame));
    EXPECT_EQ(frame.size(), vcam::rgb24FrameBytes(320, 240));
    expectUpright(frame, 320, 240);
    // Not while streaming.
    EXPECT_EQ(g.setFormat(MEDIASUBTYPE_RGB24, 640, 480), VFW_E_NOT_STOPPED);
}

TEST_F(VirtualCameraDll, SeveralInstancesStreamAtOnceAndArePulledOneByOne) {
    ASSERT_EQ(regsvr32(L"/n /i:\"add A 4&ONE&0&0001\""), 0);
    ASSERT_EQ(regsvr32(L"/n /i:\"add B 4&TWO&0&0002\""), 0);
    Device one, two;
    ASSERT_TRUE(findDevice(instancePath(L"vid_C7A2&pid_5A01", L"4&ONE&0&0001"), one));
    ASSERT_TRUE(findDevice(instancePath(L"vid_C7A2&pid_5A02", L"4&TWO&0&0002"), two));
    ComPtr<IBaseFilter> first, second;
    ASSERT_EQ(one.moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, first.putVoid()), S_OK);
    ASSERT_EQ(two.moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, second.putVoid()), S_OK);
    {
        CameraGraph a(first), b(second);
        ASSERT_TRUE(a.ready() && b.ready());
        ASSERT_EQ(a.setFormat(MEDIASUBTYPE_RGB24, 320, 240), S_OK);
        ASSERT_EQ(b.setFormat(MEDIASUBTYPE_RGB24, 640, 480), S_OK);
        ASSERT_EQ(a.connectDirect(), S_OK);
        ASSERT_EQ(b.connectDirect(), S_OK);
        ASSERT_TRUE(SUCCEEDED(a.control->Run()));
        ASSERT_TRUE(SUCCEEDED(b.control->Run()));
        std::vector<uint8_t> fa, fb;
        ASSERT_TRUE(a.grabbed.newest(3, fa));
        ASSERT_TRUE(b.grabbed.newest(3, fb));
        EXPECT_EQ(fa.size(), vcam::rgb24FrameBytes(320, 240));
        EXPECT_EQ(fb.size(), vcam::rgb24FrameBytes(640, 480));

        ASSERT_EQ(regsvr32(L"/n /i:\"pull 4&ONE&0&0001\""), 0);
        EXPECT_TRUE(a.waitForEvent(EC_DEVICE_LOST, 10000));
        EXPECT_TRUE(b.grabbed.newest(b.grabbed.count() + 5, fb)) << "the other camera goes on";
        EXPECT_FALSE(b.waitForEvent(EC_DEVICE_LOST, 200));
    }
    EXPECT_EQ(regsvr32(L"/n /i:\"remove 4&ONE&0&0001\""), 0);
    EXPECT_EQ(regsvr32(L"/n /i:\"remove 4&TWO&0&0002\""), 0);
}

struct PreviewCase {
    const GUID* subtype;
    const CLSID* decoder;  // the decoder intelligent connect must insert; null for none
    const char* name;
};
void PrintTo(const PreviewCase& c, std::ostream* os) { *os << c.name; }

class PreviewTest : public VirtualCameraDll, public ::testing::WithParamInterface<PreviewCase> {};

TEST_P(PreviewTest, CaptureGraphBuilderRendersThePreviewThroughTheDecoders) {
    const PreviewCase& c = GetParam();
    CameraGraph g(bindDefault());
    ASSERT_TRUE(g.ready());
    ASSERT_EQ(g.setFormat(*c.subtype, 800, 600), S_OK);
    // With a capture pin only, the builder splits it with the platform's smart tee and says so.
    ASSERT_EQ(g.renderPreview(), VFW_S_NOPREVIEWPIN);
    EXPECT_TRUE(g.contains(CLSID_SmartTee));
    if (c.decoder) {
        EXPECT_TRUE(g.contains(*c.decoder));
    }
    EXPECT_FALSE(g.contains(kMjpgDecoder) && !IsEqualGUID(*c.subtype, MEDIASUBTYPE_MJPG));

    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    std::vector<uint8_t> first, later;
    ASSERT_TRUE(g.grabbed.newest(1, first));
    const long startCount = g.grabbed.count();
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(g.grabbed.newest(startCount + 30, later));
    const double seconds = (GetTickCount64() - start) / 1000.0;
    std::printf("virtual camera, %s 800x600 preview: %.1f fps\n", c.name, (g.grabbed.count() - startCount) / seconds);
    ASSERT_EQ(later.size(), vcam::rgb24FrameBytes(800, 600));
    expectUpright(later, 800, 600);
    EXPECT_GT(counterOf(later, 800, 600), counterOf(first, 800, 600));
}

INSTANTIATE_TEST_SUITE_P(Subtypes, PreviewTest,
                         ::testing::Values(PreviewCase{&MEDIASUBTYPE_MJPG, &kMjpgDecoder, "MJPG"},
                                           PreviewCase{&MEDIASUBTYPE_YUY2, &kYuy2Decoder, "YUY2"},
                                           PreviewCase{&MEDIASUBTYPE_RGB24, nullptr, "RGB24"}),
                         [](const ::testing::TestParamInfo<PreviewCase>& info) { return info.param.name; });

TEST_F(VirtualCameraDll, BrightnessAndContrastSetWithTheProgramsRecordChangeThePicture) {
    CameraGraph g(bindDefault());
    ASSERT_TRUE(g.ready());
    ASSERT_EQ(g.setFormat(MEDIASUBTYPE_RGB24, 320, 240), S_OK);
    ASSERT_EQ(g.connectDirect(), S_OK);
    ComPtr<IKsPropertySet> props;
    ASSERT_EQ(g.camera.queryInterface(props), S_OK);
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));

    // The black band at the bottom, away from the counter.
    std::vector<uint8_t> before, after;
    ASSERT_TRUE(g.grabbed.newest(1, before));
    const vcam::Rgb dark = pixel(before, 320, 240, 50, 235);

    PropertyRecord record{PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS, 2, 230, 0, 0, 0};
    ASSERT_EQ(props->Set(PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS, &record, sizeof record,
                         &record, sizeof record),
              S_OK);
    PropertyRecord answer{PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS, 2, 7, 0, 0, 0};
    DWORD returned = 0;
    ASSERT_EQ(props->Get(PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS, &answer, sizeof answer,
                         &answer, sizeof answer, &returned),
              S_OK);
    EXPECT_EQ(answer.value, 230);

    // A frame made after the change: two more than those already delivered.
    ASSERT_TRUE(g.grabbed.newest(g.grabbed.count() + 3, after));
    const vcam::Rgb lifted = pixel(after, 320, 240, 50, 235);
    EXPECT_GT(lifted.r, dark.r + 60);
    EXPECT_GT(lifted.g, dark.g + 60);
    EXPECT_GT(lifted.b, dark.b + 60);

    // Contrast down to nothing: every colour goes to the grey of the brightness.
    record = {PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_CONTRAST, 2, 0, 0, 0, 0};
    ASSERT_EQ(props->Set(PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_CONTRAST, &record, sizeof record,
                         &record, sizeof record),
              S_OK);
    ASSERT_TRUE(g.grabbed.newest(g.grabbed.count() + 3, after));
    const vcam::Rgb red = pixel(after, 320, 240, 20, 20), black = pixel(after, 320, 240, 50, 235);
    EXPECT_TRUE(within(red, black, 8)) << "the red corner looks like the black band";
    EXPECT_LE(std::abs(red.r - red.g), 8);
    record.id = KSPROPERTY_VIDEOPROCAMP_CONTRAST;
    record.value = 16;
    props->Set(PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_CONTRAST, &record, sizeof record, &record,
               sizeof record);

    // Out of range: refused, the value stays.
    record.id = KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS;
    record.value = 256;
    EXPECT_NE(props->Set(PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS, &record, sizeof record,
                         &record, sizeof record),
              S_OK);
    ASSERT_EQ(props->Get(PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS, &answer, sizeof answer,
                         &answer, sizeof answer, &returned),
              S_OK);
    EXPECT_EQ(answer.value, 230);
}

TEST_F(VirtualCameraDll, APulledCameraStopsDeliveringAndSaysItsDeviceIsLost) {
    const wchar_t* id = L"3&PULL&0&0001";
    ASSERT_EQ(regsvr32(L"/n /i:\"add A 3&PULL&0&0001\""), 0);
    Device d;
    ASSERT_TRUE(findDevice(instancePath(L"vid_C7A2&pid_5A01", id), d));
    ComPtr<IBaseFilter> camera;
    ASSERT_EQ(d.moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, camera.putVoid()), S_OK);

    CameraGraph g(camera);
    ASSERT_TRUE(g.ready());
    ASSERT_EQ(g.setFormat(MEDIASUBTYPE_RGB24, 320, 240), S_OK);
    ASSERT_EQ(g.connectDirect(), S_OK);
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    std::vector<uint8_t> frame;
    ASSERT_TRUE(g.grabbed.newest(5, frame));

    ASSERT_EQ(regsvr32(L"/n /i:\"pull 3&PULL&0&0001\""), 0);
    EXPECT_TRUE(g.waitForEvent(EC_DEVICE_LOST, 10000));
    const long stopped = g.grabbed.count();
    Sleep(300);
    EXPECT_EQ(g.grabbed.count(), stopped) << "nothing after the cable is out";
    EXPECT_EQ(g.control->Stop(), S_OK);

    // Plugged in again, a new run streams; removing the instance pulls it as well.
    ASSERT_EQ(regsvr32(L"/n /i:\"plug 3&PULL&0&0001\""), 0);
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    EXPECT_TRUE(g.grabbed.newest(stopped + 3, frame));
    ASSERT_EQ(regsvr32(L"/n /i:\"remove 3&PULL&0&0001\""), 0);
    EXPECT_TRUE(g.waitForEvent(EC_DEVICE_LOST, 10000));
    EXPECT_EQ(g.control->Stop(), S_OK);

    // A camera whose instance is gone delivers nothing from the start.
    const long before = g.grabbed.count();
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    EXPECT_TRUE(g.waitForEvent(EC_DEVICE_LOST, 10000));
    EXPECT_EQ(g.grabbed.count(), before);
    EXPECT_EQ(g.control->Stop(), S_OK);
    EXPECT_NE(vcamtest::traceText().find("pulled"), std::string::npos) << "each time traced";
}

}  // namespace
