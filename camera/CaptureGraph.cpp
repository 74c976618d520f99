#include "camera/CaptureGraph.h"

#include "camera/DirectShowIds.h"
#include "camera/WebcamModel.h"
#include "dshow/MediaType.h"
#include "framework/Trace.h"
#include "framework/TraceFormat.h"
#include "imagefx/FrameKernels.h"
#include "library/PhotoWriter.h"

#include <amvideo.h>
#include <errors.h>
#include <evcode.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

using vnt::ComPtr;
using vnt::trace;

namespace {

// OLE Automation booleans; dshow.h, which defines them, cannot be included beside libstdc++.
constexpr long kOaTrue = -1;
constexpr long kOaFalse = 0;

// The running-object-table entry of the most recent graph, so that a graph tool can attach to it.
long g_rotRegister = -1;

HRESULT addToRot(IUnknown* graph, long* registration) {
    ComPtr<IRunningObjectTable> rot;
    HRESULT hr = GetRunningObjectTable(0, rot.put());
    if (FAILED(hr)) return hr;
    wchar_t name[256];
    std::swprintf(name, 256, L"FilterGraph %08x pid %08x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(graph)),
                  static_cast<unsigned>(GetCurrentProcessId()));
    ComPtr<IMoniker> moniker;
    hr = CreateItemMoniker(L"!", name, moniker.put());
    if (FAILED(hr)) return hr;
    DWORD cookie = 0;
    hr = rot->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, graph, moniker.get(), &cookie);
    if (SUCCEEDED(hr)) *registration = static_cast<long>(cookie);
    return hr;
}

void removeFromRot(long registration) {
    ComPtr<IRunningObjectTable> rot;
    if (SUCCEEDED(GetRunningObjectTable(0, rot.put()))) rot->Revoke(static_cast<DWORD>(registration));
}

RECT clientRect(HWND window) {
    RECT rc{};
    if (window) GetClientRect(window, &rc);
    return rc;
}

}  // namespace

void settleVideoWindow(IVideoWindow* window, const RECT& client) {
    // Wine's single-edge setters mix screen and parent coordinates for a child window, which moves
    // the picture off to the side; the one-call form places it right everywhere.
    window->SetWindowPosition(0, 0, client.right - client.left, client.bottom - client.top);
}

namespace {

// Wine's quartz answers every code with "Error: 0x..." and no text: that says nothing the trace
// line does not, so the system's text is asked for instead.
bool restatesCode(const wchar_t* text, HRESULT code) {
    wchar_t number[32];
    std::swprintf(number, 32, L"Error: 0x%lx", static_cast<unsigned long>(code));
    return std::wcscmp(text, number) == 0;
}

// DirectShow's own text for the code, else the system's; empty when neither knows it.
std::wstring errorText(HRESULT code) {
    wchar_t text[MAX_ERROR_TEXT_LEN] = {};
    DWORD n = AMGetErrorTextW(code, text, MAX_ERROR_TEXT_LEN);
    text[MAX_ERROR_TEXT_LEN - 1] = L'\0';
    if (n > 0 && restatesCode(text, code)) n = 0;
    if (n == 0)
        n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(code), 0, text, MAX_ERROR_TEXT_LEN, nullptr);
    // The platform's texts end in a line break, which would split the trace line.
    return n > 0 ? vnt::singleLine(text) : std::wstring();
}

}  // namespace

void ReportError(const wchar_t* message, HRESULT code) {
    const std::wstring text = errorText(code);
    if (!text.empty())
        trace(L"ReportError %ls : COM Error 0x%x, %ls\n", message, static_cast<unsigned>(code), text.c_str());
    else
        trace(L"ReportError %ls : COM Error 0x%x\n", message, static_cast<unsigned>(code));
}

long CaptureGraph::rotRegistration() { return g_rotRegister; }

CaptureGraph::CaptureGraph(HWND videoWindow, HWND hostWindow) {
    if (IsWindow(videoWindow)) videoWindow_ = videoWindow;
    if (IsWindow(hostWindow)) hostWindow_ = hostWindow;
    InitInterfaces();
}

CaptureGraph::~CaptureGraph() { ReleaseInterfaces(); }

void CaptureGraph::InitInterfaces() {
    trace(L"InitInterfaces");
    g_rotRegister = -1;
    zoom_ = 1.0f;
    rendererKind_ = kRendererVideoWindow;
    overlayWidth_ = 1024;
    overlayHeight_ = 768;
    defaultSubtype_ = &MEDIASUBTYPE_MJPG;
    sourceCount_ = 1;
}

bool CaptureGraph::BuildFilterGraph() {
    trace(L"BuildFilterGraph");
    ReleaseInterfaces();
    HRESULT hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                  IID_ICaptureGraphBuilder2, captureBuilder_.putVoid());
    if (FAILED(hr)) {
        ReportError(L"Could not build the CaptureGraphBuilder2", hr);
        return false;
    }
    hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IUnknown,
                          graph_.putVoid());
    if (FAILED(hr)) {
        ReportError(L"Could not build the FilterGraph", hr);
        return false;
    }
    if (FAILED(hr = graph_.queryInterface(graphBuilder_))) {
        ReportError(L"Get GraphBuilder Fail", hr);
        return false;
    }
    if (FAILED(hr = graph_.queryInterface(filterGraph_))) {
        ReportError(L"Get FilterGraph Fail", hr);
        return false;
    }
    if (FAILED(hr = graph_.queryInterface(mediaControl_))) {
        ReportError(L"Get MediaControl Fail", hr);
        return false;
    }
    // Only to notice a camera that stopped delivering; a graph without it still works.
    graph_->QueryInterface(IID_IMediaEvent, mediaEvent_.putVoid());
    streamEnded_ = false;
    if (FAILED(hr = captureBuilder_->SetFiltergraph(graphBuilder_.get()))) ReportError(L"SetFiltergraph Failed", hr);
    if (!videoWindow_) {
        ReportError(L"Could not operate without any Windows", E_INVALIDARG);
        return false;
    }
    long registration = -1;
    if (SUCCEEDED(addToRot(graph_.get(), &registration))) g_rotRegister = registration;
    return true;
}

bool CaptureGraph::SetVideoCapture(const std::wstring& devicePath) {
    trace(L"SetVideoCapture");
    if (!BuildFilterGraph()) {
        ReportError(L"BuildFilterGraph Failed", E_FAIL);
        return false;
    }
    ComPtr<ICreateDevEnum> devices;
    HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_ALL, IID_ICreateDevEnum, devices.putVoid());
    if (FAILED(hr)) {
        ReportError(L"CoCreateInstance CLSID_SystemDeviceEnum Failed", hr);
        return false;
    }
    ComPtr<IEnumMoniker> monikers;
    hr = devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.put(), 0);
    if (hr != S_OK) {  // S_FALSE: the category is empty
        ReportError(L"CreateClassEnumerator VideoInputDeviceCategory Failed", hr);
        return false;
    }
    bool found = false;
    for (ComPtr<IMoniker> moniker; !found && monikers->Next(1, moniker.put(), nullptr) == S_OK;) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.putVoid()))) continue;
        VARIANT value;
        VariantInit(&value);
        if (FAILED(bag->Read(L"DevicePath", &value, nullptr)) || value.vt != VT_BSTR || !value.bstrVal) {
            VariantClear(&value);
            continue;
        }
        const std::wstring path = lowerDevicePath(std::wstring(value.bstrVal, SysStringLen(value.bstrVal)));
        VariantClear(&value);
        trace(L"SetVideoCapture compare %ls %ls", path.c_str(), devicePath.c_str());
        if (path != devicePath) continue;
        if (source_) ReleaseInterfaces();
        hr = moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, source_.putVoid());
        if (FAILED(hr)) {
            ReportError(L"BindToObject SourceFilter", hr);
            continue;
        }
        found = true;
    }
    if (!found) return false;
    // ReleaseInterfaces above may have dropped the graph of an earlier match.
    if (!graphBuilder_) return false;
    if (FAILED(hr = graphBuilder_->AddFilter(source_.get(), L"Vantor Video Capture"))) {
        ReportError(L"AddFilter Failed", hr);
        return false;
    }
    ComPtr<IEnumPins> pins;
    if (FAILED(hr = source_->EnumPins(pins.put()))) {
        ReportError(L"EnumPins Failed", hr);
        return false;
    }
    pins->Reset();
    if (pins->Next(1, deviceOutPin_.put(), nullptr) != S_OK) {
        ReportError(L"get DeviceOutPin Failed", E_FAIL);
        return false;
    }
    return true;
}

bool CaptureGraph::SetResolution(const GUID* subtype, int width, int height) {
    trace(L"SetResolution");
    if (!deviceOutPin_) {
        ReportError(L"No deviceOutPin", E_INVALIDARG);
        return false;
    }
    ComPtr<IEnumMediaTypes> types;
    HRESULT hr = deviceOutPin_->EnumMediaTypes(types.put());
    if (FAILED(hr)) {
        ReportError(L"EnumMediaTypes Failed", hr);
        return false;
    }
    AM_MEDIA_TYPE* chosen = nullptr;
    for (AM_MEDIA_TYPE* mt = nullptr; !chosen && types->Next(1, &mt, nullptr) == S_OK;) {
        const VIDEOINFOHEADER* vih = dshow::videoInfoOf(*mt);
        if (vih && (!subtype || IsEqualGUID(mt->subtype, *subtype))) {
            const BITMAPINFOHEADER& bih = vih->bmiHeader;
            if (bih.biWidth == width && bih.biHeight == height) {
                chosen = mt;
                continue;
            }
        }
        dshow::deleteMediaType(mt);
    }
    if (!chosen) {
        ReportError(L"Not found resolution", E_INVALIDARG);
        return false;
    }
    bool ok = false;
    ComPtr<IAMStreamConfig> config;
    if (FAILED(hr = deviceOutPin_.queryInterface(config))) {
        ReportError(L"get IID_IAMStreamConfig Failed", hr);
    } else {
        reinterpret_cast<VIDEOINFOHEADER*>(chosen->pbFormat)->AvgTimePerFrame = 333333;
        if (FAILED(hr = config->SetFormat(chosen)))
            ReportError(L"SetFormat Failed", hr);
        else
            ok = true;
    }
    dshow::deleteMediaType(chosen);
    return ok;
}

bool CaptureGraph::addSampleGrabber() {
    if (FAILED(addNewFilter(CLSID_SampleGrabber, L"SampleGrabber", grabber_, nullptr, nullptr))) {
        grabber_.reset();
        return false;
    }
    return true;
}

void CaptureGraph::configureGrabber() {
    ComPtr<ISampleGrabber> grab;
    HRESULT hr = grabber_.queryInterface(grab);
    if (FAILED(hr)) {
        ReportError(L"get ISampleGrabber Failed", hr);
        return;
    }
    AM_MEDIA_TYPE mt{};
    mt.majortype = MEDIATYPE_Video;
    mt.subtype = MEDIASUBTYPE_RGB24;
    if (FAILED(hr = grab->SetMediaType(&mt))) ReportError(L"Grabber SetMediaType Failed", hr);
    if (FAILED(hr = grab->SetOneShot(FALSE))) ReportError(L"Grabber SetOneShot Failed", hr);
    if (FAILED(hr = grab->SetBufferSamples(TRUE))) ReportError(L"Grabber SetBufferSamples Failed", hr);
}

HRESULT CaptureGraph::addNewFilter(const CLSID& clsid, const wchar_t* name, ComPtr<IBaseFilter>& filter,
                                   const wchar_t* createFailed, const wchar_t* addFailed) {
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.putVoid());
    if (FAILED(hr)) {
        if (createFailed) ReportError(createFailed, hr);
        return hr;
    }
    if (FAILED(hr = graphBuilder_->AddFilter(filter.get(), name)) && addFailed) ReportError(addFailed, hr);
    return hr;
}

bool CaptureGraph::BuildVMR9() {
    trace(L"BuildVMR9");
    HRESULT hr = addNewFilter(CLSID_VideoMixingRenderer9, L"Video Mixing Renderer 9", vmr9_,
                              L"Could not create an instance VMR9", L"Could not add the VMR9 to the Graph");
    if (FAILED(hr)) return false;
    if (FAILED(hr = vmr9_.queryInterface(vmr9Config_))) {
        ReportError(L"Get IVMRFilterConfig9 Fail", hr);
        return false;
    }
    if (FAILED(hr = vmr9Config_->SetRenderingMode(VMR9Mode_Windowless))) {
        ReportError(L"SetRenderingMode Failed", hr);
        return false;
    }
    if (FAILED(hr = vmr9_.queryInterface(vmr9Windowless_))) {
        ReportError(L"Get IVMRWindowlessControl9 Fail", hr);
        return false;
    }
    if (FAILED(hr = vmr9Windowless_->SetVideoClippingWindow(videoWindow_))) {
        ReportError(L"SetVideoClippingWindow Failed", hr);
        return false;
    }
    if (FAILED(hr = vmr9_.queryInterface(vmr9Bitmap_))) ReportError(L"Get IVMRMixerBitmap9 Fail", hr);
    if (FAILED(hr = vmr9_.queryInterface(vmr9Mixer_))) ReportError(L"Get IVMRMixerControl9 Fail", hr);
    rendererKind_ = kRendererVmr9;
    return true;
}

bool CaptureGraph::BuildEVR() {
    trace(L"BuildEVR");
    HRESULT hr = addNewFilter(CLSID_EnhancedVideoRenderer, L"Enhanced Video Render", evr_,
                              L"Could not create an instance EVR", L"Could not add the EVR to the Graph");
    if (FAILED(hr)) return false;
    ComPtr<IMFGetService> services;
    if (FAILED(hr = evr_.queryInterface(services))) {
        ReportError(L"Get IMFGetService fail", hr);
        return false;
    }
    if (FAILED(hr = services->GetService(MR_VIDEO_RENDER_SERVICE, __uuidof(IMFVideoDisplayControl), evrDisplay_.putVoid()))) {
        ReportError(L"Get IMFVideoDisplayControl fail", hr);
        return false;
    }
    if (FAILED(hr = evrDisplay_->SetVideoWindow(videoWindow_))) {
        ReportError(L"SetVideoWindow fail", hr);
        return false;
    }
    if (FAILED(hr = evrDisplay_->SetAspectRatioMode(MFVideoARMode_None))) ReportError(L"SetAspectRatioMode fail", hr);
    if (FAILED(hr = services->GetService(MR_VIDEO_MIXER_SERVICE, __uuidof(IMFVideoMixerBitmap), evrBitmap_.putVoid())))
        ReportError(L"Get IMFVideoMixerBitmap fail", hr);
    if (FAILED(hr = services->GetService(MR_VIDEO_MIXER_SERVICE, __uuidof(IMFVideoMixerControl), evrMixer_.putVoid())))
        ReportError(L"Get IMFVideoMixerControl fail", hr);
    rendererKind_ = kRendererEvr;
    return true;
}

bool CaptureGraph::BuildVW() {
    trace(L"BuildVW");
    HRESULT hr = graph_ ? graph_->QueryInterface(IID_IVideoWindow, videoWindowControl_.putVoid()) : E_NOINTERFACE;
    if (FAILED(hr)) {
        ReportError(L"get IVideoWindow Failed", hr);
        return false;
    }
    const RECT rc = clientRect(videoWindow_);
    if (FAILED(hr = videoWindowControl_->put_Visible(kOaFalse))) ReportError(L"put_Visible false Failed", hr);
    if (FAILED(hr = videoWindowControl_->put_Owner(reinterpret_cast<OAHWND>(videoWindow_))))
        ReportError(L"put_Owner Failed", hr);
    if (FAILED(hr = videoWindowControl_->put_Left(0))) ReportError(L"put_Left Failed", hr);
    if (FAILED(hr = videoWindowControl_->put_Top(0))) ReportError(L"put_Top Failed", hr);
    if (FAILED(hr = videoWindowControl_->put_Width(rc.right - rc.left))) ReportError(L"put_Width Failed", hr);
    if (FAILED(hr = videoWindowControl_->put_Height(rc.bottom - rc.top))) ReportError(L"put_Height Failed", hr);
    if (FAILED(hr = videoWindowControl_->put_WindowStyle(WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS)))
        ReportError(L"put_WindowStyle Failed", hr);
    settleVideoWindow(videoWindowControl_.get(), rc);
    if (FAILED(hr = videoWindowControl_->put_Visible(kOaTrue))) ReportError(L"put_Visible true Failed", hr);
    rendererKind_ = kRendererVideoWindow;
    return true;
}

bool CaptureGraph::RenderGraphMethod1() {
    trace(L"RenderGraphMethod1");
    if (!graphBuilder_ || !source_) return false;
    if (!BuildVMR9()) {
        ReleaseVMR9();
        return false;
    }
    if (!addSampleGrabber()) {
        ReleaseVMR9();
        return false;
    }
    configureGrabber();
    if (SUCCEEDED(captureBuilder_->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, source_.get(), grabber_.get(),
                                                vmr9_.get())))
        return true;
    NukeDownstream(source_.get());
    // A grabber left in the graph would be picked up by the next attempt's intelligent connect.
    if (grabber_) graphBuilder_->RemoveFilter(grabber_.get());
    grabber_.reset();
    ReleaseVMR9();
    return false;
}

bool CaptureGraph::RenderGraphMethod2() {
    trace(L"RenderGraphMethod2");
    if (!graphBuilder_ || !source_) return false;
    if (!BuildEVR()) ReleaseEVR();
    // Each failed pass drops what it inserted and falls back from the EVR to the default renderer;
    // a failure with the default renderer ends the attempt.
    for (bool failedBefore = false;; failedBefore = true) {
        if (failedBefore) {
            NukeDownstream(source_.get());
            if (grabber_) graphBuilder_->RemoveFilter(grabber_.get());
            if (effectsFilter_) graphBuilder_->RemoveFilter(effectsFilter_.get());
            grabber_.reset();
            effects_.reset();
            effectsFilter_.reset();
            if (rendererKind_ != kRendererEvr) return false;
            ReleaseEVR();
        }
        IBaseFilter* renderer = rendererKind_ == kRendererEvr ? evr_.get() : nullptr;

        HRESULT hr = addNewFilter(CLSID_VantorImageEffects, L"Vantor Image Effects", effectsFilter_, nullptr, nullptr);
        if (FAILED(hr)) {
            ReportError(L"get Vantor Image Effects Failed", hr);
        } else if (FAILED(hr = effectsFilter_.queryInterface(effects_))) {
            ReportError(L"get IIPEffectVantor Failed", hr);
        }
        if (!effects_) {
            if (effectsFilter_) graphBuilder_->RemoveFilter(effectsFilter_.get());
            effectsFilter_.reset();
            if (addSampleGrabber()) configureGrabber();
        }

        IBaseFilter* middle = effects_ ? effectsFilter_.get() : grabber_.get();
        hr = captureBuilder_->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, source_.get(), middle, renderer);
        if (SUCCEEDED(hr)) break;
        ReportError(L"RenderStream Failed", hr);
    }
    if (rendererKind_ == kRendererVideoWindow && !BuildVW()) return false;
    return true;
}

bool CaptureGraph::PlayGraph() {
    trace(L"PlayGraph");
    trace(L"RenderGraph");
    if (!RenderGraphMethod1() && !RenderGraphMethod2()) {
        ReportError(L"RenderGraph Failed.", E_INVALIDARG);
        return false;
    }
    Resize();
    const HRESULT hr = mediaControl_ ? mediaControl_->Run() : E_POINTER;
    if (FAILED(hr)) {
        ReportError(L"Can't Run.", hr);
        return false;
    }
    return true;
}

void CaptureGraph::ReleaseVMR9() {
    trace(L"ReleaseVMR9");
    if (vmr9_ && graphBuilder_) graphBuilder_->RemoveFilter(vmr9_.get());
    vmr9Config_.reset();
    vmr9Bitmap_.reset();
    vmr9Mixer_.reset();
    vmr9Windowless_.reset();
    vmr9_.reset();
    rendererKind_ = kRendererVideoWindow;
}

void CaptureGraph::ReleaseEVR() {
    trace(L"ReleaseEVR");
    if (evr_ && graphBuilder_) graphBuilder_->RemoveFilter(evr_.get());
    evrDisplay_.reset();
    evrBitmap_.reset();
    evrMixer_.reset();
    evr_.reset();
    rendererKind_ = kRendererVideoWindow;
}

void CaptureGraph::NukeDownstream(IBaseFilter* filter) {
    trace(L"NukeDownstream");
    if (!filter || !graphBuilder_) return;
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.put()))) return;
    for (ComPtr<IPin> pin; pins->Next(1, pin.put(), nullptr) == S_OK;) {
        ComPtr<IPin> peer;
        if (FAILED(pin->ConnectedTo(peer.put())) || !peer) continue;
        PIN_INFO info{};
        if (FAILED(peer->QueryPinInfo(&info))) continue;
        ComPtr<IBaseFilter> downstream;
        downstream.attach(info.pFilter);
        if (info.dir != PINDIR_INPUT) continue;
        NukeDownstream(downstream.get());
        graphBuilder_->Disconnect(peer.get());
        graphBuilder_->Disconnect(pin.get());
        graphBuilder_->RemoveFilter(downstream.get());
    }
}

void CaptureGraph::ReleaseInterfaces() {
    trace(L"ReleaseInterfaces");
    zoom_ = 1.0f;
    rendererKind_ = kRendererVideoWindow;
    if (mediaControl_) mediaControl_->Stop();
    if (g_rotRegister != -1) {
        removeFromRot(g_rotRegister);
        g_rotRegister = -1;
    }
    if (vmr9Windowless_) vmr9Windowless_->SetVideoClippingWindow(nullptr);
    if (evrDisplay_) evrDisplay_->SetVideoWindow(nullptr);
    if (videoWindowControl_) {
        videoWindowControl_->put_Visible(kOaFalse);
        videoWindowControl_->put_Owner(0);
    }
    NukeDownstream(source_.get());
    if (source_ && graphBuilder_) graphBuilder_->RemoveFilter(source_.get());
    videoWindowControl_.reset();
    ReleaseEVR();
    ReleaseVMR9();
    grabber_.reset();
    effects_.reset();
    effectsFilter_.reset();
    deviceOutPin_.reset();
    source_.reset();
    mediaControl_.reset();
    mediaEvent_.reset();
    graphBuilder_.reset();
    filterGraph_.reset();
    graph_.reset();
    captureBuilder_.reset();
    frame_.release();
}

bool CaptureGraph::effectsInputType(dshow::MediaType& type) {
    ComPtr<IEnumPins> pins;
    if (!effectsFilter_ || FAILED(effectsFilter_->EnumPins(pins.put()))) return false;
    for (ComPtr<IPin> pin; pins->Next(1, pin.put(), nullptr) == S_OK;) {
        PIN_DIRECTION direction;
        if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_INPUT)
            return SUCCEEDED(pin->ConnectionMediaType(type.put()));
    }
    return false;
}

bool CaptureGraph::copyFrame(FrameBytes& buffer, dshow::MediaType& type) {
    if (effects_) {
        // The size comes from the connection rather than from a frame of its own, so a photo
        // waits for one frame, not two.
        int size = 0;
        HRESULT hr = effectsInputType(type) ? S_OK : VFW_E_NOT_CONNECTED;
        vantorfx::FrameFormat format;
        const VIDEOINFOHEADER* vih = SUCCEEDED(hr) ? dshow::videoInfoOf(type.get()) : nullptr;
        if (vih && vantorfx::formatFromDib(vih->bmiHeader.biWidth, vih->bmiHeader.biHeight, 24, format) &&
            vantorfx::frameBytes(format) <= 0x7fffffff)
            size = static_cast<int>(vantorfx::frameBytes(format));
        // The filter keeps what this points into: nothing here is freed.
        AM_MEDIA_TYPE shown{};
        if (SUCCEEDED(hr) && size > 0)
            hr = buffer.allocate(static_cast<size_t>(size)) ? effects_->TakeSnapshot(&size, buffer.data.get(), &shown)
                                                           : E_OUTOFMEMORY;
        if (FAILED(hr) || size <= 0) {
            ReportError(L"Vantor GetCurrentBuffer Failed", FAILED(hr) ? hr : E_FAIL);
            return false;
        }
        // The type that came with the frame describes it; none came when no frame served the call
        // (frozen, or another caller's request pending), and the buffer then holds nothing.
        if (FAILED(type.copyFrom(shown))) type.clear();
        buffer.size = std::min(buffer.size, static_cast<size_t>(size));
        return true;
    }
    ComPtr<ISampleGrabber> grab;
    HRESULT hr = grabber_ ? grabber_.queryInterface(grab) : E_NOINTERFACE;
    if (FAILED(hr)) {
        ReportError(L"get IID_ISampleGrabber Failed", hr);
        return false;
    }
    if (FAILED(hr = grab->GetConnectedMediaType(type.put()))) {
        ReportError(L"GetConnectedMediaType Failed", hr);
        return false;
    }
    long size = 0;
    hr = grab->GetCurrentBuffer(&size, nullptr);
    if (SUCCEEDED(hr) && size > 0)
        hr = buffer.allocate(static_cast<size_t>(size))
                 ? grab->GetCurrentBuffer(&size, reinterpret_cast<long*>(buffer.data.get()))
                 : E_OUTOFMEMORY;
    if (FAILED(hr) || size <= 0) {
        ReportError(L"GetCurrentBuffer Failed", FAILED(hr) ? hr : E_FAIL);
        return false;
    }
    buffer.size = std::min(buffer.size, static_cast<size_t>(size));
    return true;
}

bool CaptureGraph::streamEnded() {
    if (!mediaEvent_) return streamEnded_;
    long code = 0;
    LONG_PTR first = 0, second = 0;
    while (mediaEvent_->GetEvent(&code, &first, &second, 0) == S_OK) {
        if ((code == EC_DEVICE_LOST && second == 0) || code == EC_ERRORABORT || code == EC_COMPLETE)
            streamEnded_ = true;
        mediaEvent_->FreeEventParams(code, first, second);
    }
    return streamEnded_;
}

bool CaptureGraph::Snapshot(const wchar_t* path) {
    trace(L"Snapshot");
    // A frame that cannot be had writes no file: a blank or stale photo would pass as taken.
    if (streamEnded()) {
        ReportError(L"Snapshot: the camera stopped delivering", VFW_E_NOT_RUNNING);
        return false;
    }
    dshow::MediaType type;
    FrameBytes& buffer = frame_;
    bool ok = copyFrame(buffer, type);
    const VIDEOINFOHEADER* vih = ok ? dshow::videoInfoOf(type.get()) : nullptr;
    if (ok && !vih) {
        ReportError(L"Unknow Format", E_INVALIDARG);
        ok = false;
    }
    if (ok) {
        const BITMAPINFOHEADER& bih = vih->bmiHeader;
        const int width = bih.biWidth;
        const int height = bih.biHeight;
        // The frame must hold every row the writer will read.
        const long long needed = static_cast<long long>(width) * 3 * std::llabs(height);
        if (width <= 0 || height == 0 || bih.biBitCount != 24 || needed > static_cast<long long>(buffer.size)) {
            ReportError(L"Unknow Format", E_INVALIDARG);
            ok = false;
        } else {
            const bool vmr9 = rendererKind_ == kRendererVmr9;
            // A full disk or a folder gone leaves no file: no photo was taken then.
            ok = writeSnapshotJpegFile(buffer.data.get(), path, width, std::abs(height), width * 3,
                                       model_.c_str(), rendererKind_ != kRendererVideoWindow ? zoom_ : 1.0f,
                                       vmr9 ? IsMirrorHorizontal() : false, vmr9 ? !IsMirrorVertical() : true);
            if (!ok) ReportError(L"Snapshot: the photo could not be written", E_FAIL);
        }
    }
    return ok;
}

bool CaptureGraph::sendProperty(bool get, const GUID& set, ULONG id, CameraPropertyRecord* record, ULONG size) {
    if (!source_) {
        ReportError(L"No Source Filter", E_INVALIDARG);
        return false;
    }
    ComPtr<IKsPropertySet> properties;
    HRESULT hr = source_.queryInterface(properties);
    if (FAILED(hr)) {
        ReportError(get ? L"GetProperty QueryInterface IKsPropertySet Failed"
                        : L"SetProperty QueryInterface IKsPropertySet Failed",
                    hr);
        return false;
    }
    if (get) {
        DWORD returned = 0;
        hr = properties->Get(set, id, record, size, record, size, &returned);
    } else {
        hr = properties->Set(set, id, record, size, record, size);
    }
    if (FAILED(hr)) {
        ReportError(get ? L"GetProperty Failed." : L"SetProperty Failed.", hr);
        return false;
    }
    return true;
}

bool CaptureGraph::GetProperty(const GUID& set, ULONG id, CameraPropertyRecord* record, ULONG size) {
    return sendProperty(true, set, id, record, size);
}

bool CaptureGraph::SetProperty(const GUID& set, ULONG id, CameraPropertyRecord* record, ULONG size) {
    return sendProperty(false, set, id, record, size);
}
