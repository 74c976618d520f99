// The DirectShow graph of one camera: its capture source found by device path, one of three
// renderers (VMR9 windowless behind a sample grabber, the EVR behind the image-effects filter, or
// the default renderer in a child window), still photos from the latest frame, the view operations
// on the live picture and the camera's property requests.
#pragma once

#include "camera/ViewRect.h"
#include "dshow/MediaType.h"
#include "framework/ComPtr.h"
#include "imagefx/IIPEffectVantor.h"

#include <windows.h>
#include <strmif.h>
#include <control.h>
#include <d3d9.h>
#include <vmr9.h>
#include <evr.h>
#include <evr9.h>
#include <qedit.h>

#include <memory>
#include <new>
#include <string>

// How the live picture reaches the video window.
enum RendererKind { kRendererVideoWindow = 0, kRendererVmr9 = 1, kRendererEvr = 3 };

// The record of one camera property request, used as instance data and as property data.
struct CameraPropertyRecord {
    GUID set;
    ULONG id;
    ULONG flags;  // 2 for every request
    LONG value;
    ULONG valueFlags;
    ULONG capabilities;
    ULONG spare;
};
static_assert(sizeof(CameraPropertyRecord) == 40, "the camera expects a 40-byte record");

class CaptureGraph {
public:
    // Keeps each handle that is a valid window.
    CaptureGraph(HWND videoWindow, HWND hostWindow);
    ~CaptureGraph();
    CaptureGraph(const CaptureGraph&) = delete;
    CaptureGraph& operator=(const CaptureGraph&) = delete;

    bool SetVideoCapture(const std::wstring& devicePath);
    // subtype null: any subtype. The size must match a format of the camera exactly.
    bool SetResolution(const GUID* subtype, int width, int height);
    bool PlayGraph();
    // Writes the latest frame as a JPEG photo; false (and no file) when there is no frame to write.
    bool Snapshot(const wchar_t* path);
    void ReleaseInterfaces();

    // View operations.
    bool Resize();
    bool IsMirrorHorizontal();
    bool IsMirrorVertical();
    bool Mirror(bool vertical, bool horizontal);
    bool Zoom(float factor);
    bool ShowBlackFrame();
    bool ShowBitmap1(const wchar_t* photoPath);
    bool ShowBitmap2(UINT resourceId, int sourceWidth, int sourceHeight, COLORREF colourKey, const RECT& destination);
    bool DisableBitmap();

    // Property requests to the capture source (IKsPropertySet), record size 40.
    bool GetProperty(const GUID& set, ULONG id, CameraPropertyRecord* record, ULONG size);
    bool SetProperty(const GUID& set, ULONG id, CameraPropertyRecord* record, ULONG size);

    void setModelText(const std::string& model) { model_ = model; }
    int rendererKind() const { return rendererKind_; }
    float zoomFactor() const { return zoom_; }
    HWND videoWindow() const { return videoWindow_; }
    IBaseFilter* sourceFilter() const { return source_.get(); }
    IMediaControl* mediaControl() const { return mediaControl_.get(); }
    // The running-object-table registration of the most recent graph; -1 when none.
    static long rotRegistration();

private:
    void InitInterfaces();
    bool BuildFilterGraph();
    bool BuildVMR9();
    bool BuildEVR();
    bool BuildVW();
    bool RenderGraphMethod1();
    bool RenderGraphMethod2();
    void ReleaseVMR9();
    void ReleaseEVR();
    void NukeDownstream(IBaseFilter* filter);
    // Creates a filter by class and adds it to the graph; reports the step that failed with the
    // text given for it (none: silent).
    HRESULT addNewFilter(const CLSID& clsid, const wchar_t* name, vnt::ComPtr<IBaseFilter>& filter,
                         const wchar_t* createFailed, const wchar_t* addFailed);
    bool addSampleGrabber();
    void configureGrabber();
    // A photo's frame bytes, kept from one photo to the next of the same graph: touching megabytes
    // of fresh memory costs more than copying into them. Left uninitialised, as the copy fills them.
    struct FrameBytes {
        std::unique_ptr<BYTE[]> data;
        size_t capacity = 0;
        size_t size = 0;  // bytes the latest copy filled
        bool allocate(size_t n) {
            if (n > capacity || !data) {
                data.reset(new (std::nothrow) BYTE[n]);
                capacity = data ? n : 0;
            }
            size = data ? n : 0;
            return data != nullptr;
        }
        void release() {
            data.reset();
            capacity = size = 0;
        }
    };
    // The latest frame and the type that describes it; false (reported) when there is none.
    bool copyFrame(FrameBytes& buffer, dshow::MediaType& type);
    // The type on the effects filter's input connection.
    bool effectsInputType(dshow::MediaType& type);
    bool showOverlay(HDC dc, const RECT& source, const vntview::NormRect& destination, COLORREF* colourKey);
    bool vmr9OutputRect(vntview::NormRect& rect);
    bool isMirrored(bool vertical);
    bool sendProperty(bool get, const GUID& set, ULONG id, CameraPropertyRecord* record, ULONG size);
    // Reads the graph's pending events; true once the source has stopped delivering for good
    // (device lost, stream aborted or ended), after which the latest frame is stale.
    bool streamEnded();

    int rendererKind_ = kRendererVideoWindow;
    float zoom_ = 1.0f;
    int overlayWidth_ = 1024;
    int overlayHeight_ = 768;
    const GUID* defaultSubtype_ = nullptr;
    int sourceCount_ = 1;
    HWND videoWindow_ = nullptr;
    HWND hostWindow_ = nullptr;

    vnt::ComPtr<IBaseFilter> source_;
    vnt::ComPtr<IPin> deviceOutPin_;
    vnt::ComPtr<IBaseFilter> grabber_;
    vnt::ComPtr<ICaptureGraphBuilder2> captureBuilder_;
    vnt::ComPtr<IUnknown> graph_;
    vnt::ComPtr<IGraphBuilder> graphBuilder_;
    vnt::ComPtr<IFilterGraph> filterGraph_;
    vnt::ComPtr<IMediaControl> mediaControl_;
    vnt::ComPtr<IMediaEvent> mediaEvent_;
    bool streamEnded_ = false;
    FrameBytes frame_;

    vnt::ComPtr<IBaseFilter> vmr9_;
    vnt::ComPtr<IVMRFilterConfig9> vmr9Config_;
    vnt::ComPtr<IVMRMixerBitmap9> vmr9Bitmap_;
    vnt::ComPtr<IVMRMixerControl9> vmr9Mixer_;
    vnt::ComPtr<IVMRWindowlessControl9> vmr9Windowless_;

    vnt::ComPtr<IBaseFilter> evr_;
    vnt::ComPtr<IMFVideoDisplayControl> evrDisplay_;
    vnt::ComPtr<IMFVideoMixerBitmap> evrBitmap_;
    vnt::ComPtr<IMFVideoMixerControl> evrMixer_;

    vnt::ComPtr<IVideoWindow> videoWindowControl_;
    vnt::ComPtr<IBaseFilter> effectsFilter_;
    vnt::ComPtr<IIPEffectVantor> effects_;

    std::string model_;
};

// Places the default renderer's child window over the whole client area of the video window.
void settleVideoWindow(IVideoWindow* window, const RECT& client);

// Logs a failed platform call with the system's text for its code; the user sees nothing.
void ReportError(const wchar_t* message, HRESULT code);
