// A client of VantorImageEffects.dll written from its public header alone: the filter created
// through COM from the registered DLL, run behind the virtual camera into the platform's null
// renderer, and its snapshots taken as the header describes them, the client freeing nothing.
#include "imagefx/IIPEffectVantor.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <strmif.h>
#include <amvideo.h>
#include <control.h>
#include <uuids.h>

#include <string>
#include <vector>

namespace {

// The platform's null renderer; MinGW's headers do not declare it.
const CLSID kNullRenderer = {0xc1f400a4, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};

template <class T>
class Com {
public:
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() { reset(); }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    T** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

std::wstring besideProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return self.substr(0, self.find_last_of(L"\\/") + 1) + name;
}

// A COM server registered through its own export while the test program runs.
class RegisteredServer {
public:
    explicit RegisteredServer(const wchar_t* name) : module_(LoadLibraryW(besideProgram(name).c_str())) {
        registered_ = module_ && call("DllRegisterServer") == S_OK;
    }
    ~RegisteredServer() {
        if (registered_) call("DllUnregisterServer");
        if (module_) FreeLibrary(module_);
    }
    bool registered() const { return registered_; }

private:
    HRESULT call(const char* name) {
        using Export = HRESULT(STDAPICALLTYPE*)();
        const auto f = reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
        return f ? f() : E_NOTIMPL;
    }
    HMODULE module_;
    bool registered_ = false;
};

void deleteType(AM_MEDIA_TYPE* mt) {
    if (!mt) return;
    CoTaskMemFree(mt->pbFormat);
    if (mt->pUnk) mt->pUnk->Release();
    CoTaskMemFree(mt);
}

const VIDEOINFOHEADER* videoInfo(const AM_MEDIA_TYPE& mt) {
    if (!IsEqualGUID(mt.formattype, FORMAT_VideoInfo) || !mt.pbFormat || mt.cbFormat < sizeof(VIDEOINFOHEADER))
        return nullptr;
    return reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
}

bool pinOf(IBaseFilter* filter, PIN_DIRECTION wanted, Com<IPin>& out) {
    Com<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.put()))) return false;
    for (IPin* pin = nullptr; pins->Next(1, &pin, nullptr) == S_OK; pin->Release()) {
        PIN_DIRECTION direction;
        if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted) {
            *out.put() = pin;
            return true;
        }
    }
    return false;
}

// Counts the task allocator's blocks handed out and given back while it is registered.
class AllocationCount final : public IMallocSpy {
public:
    LONG outstanding() const { return allocated_ - freed_; }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMallocSpy) ? this : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    // A static object: COM may keep a spy with blocks still out after it is revoked.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP_(SIZE_T) PreAlloc(SIZE_T request) override { return request; }
    STDMETHODIMP_(void*) PostAlloc(void* actual) override {
        if (actual) InterlockedIncrement(&allocated_);
        return actual;
    }
    STDMETHODIMP_(void*) PreFree(void* request, BOOL spied) override {
        if (request && spied) InterlockedIncrement(&freed_);
        return request;
    }
    STDMETHODIMP_(void) PostFree(BOOL) override {}
    STDMETHODIMP_(SIZE_T) PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override {
        *newRequest = request;
        return size;
    }
    STDMETHODIMP_(void*) PostRealloc(void* actual, BOOL) override { return actual; }
    STDMETHODIMP_(void*) PreGetSize(void* request, BOOL) override { return request; }
    STDMETHODIMP_(SIZE_T) PostGetSize(SIZE_T actual, BOOL) override { return actual; }
    STDMETHODIMP_(void*) PreDidAlloc(void* request, BOOL) override { return request; }
    STDMETHODIMP_(int) PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    STDMETHODIMP_(void) PreHeapMinimize() override {}
    STDMETHODIMP_(void) PostHeapMinimize() override {}

private:
    volatile LONG allocated_ = 0;
    volatile LONG freed_ = 0;
};

// The virtual camera -> the effects filter -> the null renderer, the camera giving RGB24 frames.
class ClientGraph {
public:
    ClientGraph() {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                    graph_.putVoid())) ||
            FAILED(graph_->QueryInterface(IID_IMediaControl, control_.putVoid())))
            missing = "filter graph";
        else if (FAILED(CoCreateInstance(kNullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                         renderer_.putVoid())))
            missing = "null renderer";
    }
    ~ClientGraph() {
        if (control_) control_->Stop();
        effects.reset();
        for (Com<IBaseFilter>* f : {&camera_, &filter_, &renderer_}) f->reset();
        control_.reset();
        graph_.reset();
        CoUninitialize();
    }

    // The filter from its DLL by CLSID, and the first video input device.
    void build() {
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_VantorImageEffects, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                         filter_.putVoid()));
        ASSERT_EQ(S_OK, filter_->QueryInterface(IID_IIPEffectVantor, effects.putVoid()));
        Com<ICreateDevEnum> devices;
        Com<IEnumMoniker> monikers;
        Com<IMoniker> moniker;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                         devices.putVoid()));
        ASSERT_EQ(S_OK, devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.put(), 0));
        ASSERT_EQ(S_OK, monikers->Next(1, moniker.put(), nullptr)) << "no camera: the virtual camera is not registered";
        ASSERT_EQ(S_OK, moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, camera_.putVoid()));
        ASSERT_EQ(S_OK, graph_->AddFilter(camera_.get(), L"Camera"));
        ASSERT_EQ(S_OK, graph_->AddFilter(filter_.get(), L"Vantor Image Effects"));
        ASSERT_EQ(S_OK, graph_->AddFilter(renderer_.get(), L"Null Renderer"));
        ASSERT_TRUE(pinOf(camera_.get(), PINDIR_OUTPUT, cameraOut_) && pinOf(filter_.get(), PINDIR_INPUT, filterIn_));
        ASSERT_TRUE(pinOf(filter_.get(), PINDIR_OUTPUT, filterOut_) && pinOf(renderer_.get(), PINDIR_INPUT, rendererIn_));
    }

    // Stopped, taken apart, the camera set to width x height RGB24, connected again and running.
    void runAt(int width, int height) {
        ASSERT_EQ(S_OK, control_->Stop());
        for (IPin* pin : {cameraOut_.get(), filterIn_.get(), filterOut_.get(), rendererIn_.get()})
            graph_->Disconnect(pin);
        ASSERT_NO_FATAL_FAILURE(chooseFormat(width, height));
        ASSERT_EQ(S_OK, graph_->ConnectDirect(cameraOut_.get(), filterIn_.get(), nullptr));
        ASSERT_EQ(S_OK, graph_->ConnectDirect(filterOut_.get(), rendererIn_.get(), nullptr));
        ASSERT_TRUE(SUCCEEDED(control_->Run()));
    }

    Com<IIPEffectVantor> effects;
    std::string missing;  // what the platform lacks, for a skip

private:
    void chooseFormat(int width, int height) {
        Com<IAMStreamConfig> config;
        ASSERT_EQ(S_OK, cameraOut_->QueryInterface(IID_IAMStreamConfig, config.putVoid()));
        int count = 0, capsSize = 0;
        ASSERT_EQ(S_OK, config->GetNumberOfCapabilities(&count, &capsSize));
        std::vector<BYTE> caps(static_cast<size_t>(capsSize));
        bool chosen = false;
        for (int i = 0; i < count && !chosen; ++i) {
            AM_MEDIA_TYPE* mt = nullptr;
            if (FAILED(config->GetStreamCaps(i, &mt, caps.data())) || !mt) continue;
            const VIDEOINFOHEADER* vih = videoInfo(*mt);
            chosen = IsEqualGUID(mt->subtype, MEDIASUBTYPE_RGB24) && vih && vih->bmiHeader.biWidth == width &&
                     vih->bmiHeader.biHeight == height && SUCCEEDED(config->SetFormat(mt));
            deleteType(mt);
        }
        ASSERT_TRUE(chosen) << "the camera offers no RGB24 " << width << "x" << height;
    }

    Com<IGraphBuilder> graph_;
    Com<IMediaControl> control_;
    Com<IBaseFilter> camera_, filter_, renderer_;
    Com<IPin> cameraOut_, filterIn_, filterOut_, rendererIn_;
};

class SnapshotClientTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        camera_ = new RegisteredServer(L"VirtualCamera.dll");
        filter_ = new RegisteredServer(L"VantorImageEffects.dll");
    }
    static void TearDownTestSuite() {
        delete filter_;
        delete camera_;
    }
    void SetUp() override {
        ASSERT_TRUE(camera_->registered() && filter_->registered());
        if (!graph.missing.empty()) GTEST_SKIP() << "the platform has no " << graph.missing;
        ASSERT_NO_FATAL_FAILURE(graph.build());
    }

    ClientGraph graph;
    static RegisteredServer* camera_;
    static RegisteredServer* filter_;
};
RegisteredServer* SnapshotClientTest::camera_ = nullptr;
RegisteredServer* SnapshotClientTest::filter_ = nullptr;

TEST_F(SnapshotClientTest, FormatBlockStaysValidUntilTheNextSnapshot) {
    ASSERT_NO_FATAL_FAILURE(graph.runAt(640, 480));
    std::vector<BYTE> frame(640 * 480 * 3);
    int size = static_cast<int>(frame.size());
    AM_MEDIA_TYPE first{};
    ASSERT_EQ(S_OK, graph.effects->TakeSnapshot(&size, frame.data(), &first));
    const VIDEOINFOHEADER* vih = videoInfo(first);
    ASSERT_NE(nullptr, vih);
    EXPECT_EQ(640, vih->bmiHeader.biWidth);
    EXPECT_EQ(480, vih->bmiHeader.biHeight);
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_RGB24, first.subtype));
    EXPECT_EQ(nullptr, first.pUnk);
    const std::vector<BYTE> kept(first.pbFormat, first.pbFormat + first.cbFormat);

    // The filter's input taken down and connected at another size: the record still reads as it
    // did, up to the next call.
    ASSERT_NO_FATAL_FAILURE(graph.runAt(320, 240));
    EXPECT_EQ(kept, std::vector<BYTE>(first.pbFormat, first.pbFormat + first.cbFormat));

    AM_MEDIA_TYPE second{};
    size = 320 * 240 * 3;
    ASSERT_EQ(S_OK, graph.effects->TakeSnapshot(&size, frame.data(), &second));
    vih = videoInfo(second);
    ASSERT_NE(nullptr, vih);
    EXPECT_EQ(320, vih->bmiHeader.biWidth);
    EXPECT_EQ(240, vih->bmiHeader.biHeight);
}

TEST_F(SnapshotClientTest, ManySnapshotsLeaveNoAllocationBehind) {
    ASSERT_NO_FATAL_FAILURE(graph.runAt(320, 240));
    std::vector<BYTE> frame(320 * 240 * 3);
    auto snapshot = [&](AM_MEDIA_TYPE& type) {
        int size = static_cast<int>(frame.size());
        return graph.effects->TakeSnapshot(&size, frame.data(), &type);
    };
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(S_OK, snapshot(type));  // whatever the filter keeps for its clients is made now

    const int snapshots = 60;
    static AllocationCount count;
    const LONG before = count.outstanding();
    ASSERT_EQ(S_OK, CoRegisterMallocSpy(&count));
    int served = 0;
    for (int i = 0; i < snapshots; ++i) served += snapshot(type) == S_OK && videoInfo(type) ? 1 : 0;
    const LONG left = count.outstanding() - before;
    // Revoking waits for the blocks made meanwhile; a leak keeps the spy in place until exit.
    CoRevokeMallocSpy();
    EXPECT_EQ(snapshots, served);
    // Other threads may hold a block or two for a moment; a leak holds one per snapshot.
    EXPECT_LT(left, snapshots / 6) << left << " task allocator blocks left behind by " << snapshots << " snapshots";
}

}  // namespace
