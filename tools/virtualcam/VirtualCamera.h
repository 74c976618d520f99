// The virtual document camera: a live capture source with one "Capture" pin that delivers the
// moving test picture at 30 frames per second in MJPG, YUY2 or RGB24 at the maker's six sizes.
//
// Like a capture driver's filter it answers IAMStreamConfig and the pin category on its pin, the
// video-processing-amplifier and camera-control property sets on the filter (the picture follows
// them), IPersistPropertyBag (the device moniker hands it its DevicePath and FriendlyName when it
// binds) and IAMFilterMiscFlags. A camera whose instance is pulled or removed (CameraInstances.h)
// stops delivering, reports EC_DEVICE_LOST and ends its stream.
#pragma once

#include "dshow/PushSource.h"
#include "tools/virtualcam/CameraControls.h"
#include "tools/virtualcam/MjpgCodec.h"
#include "tools/virtualcam/TestPicture.h"

#include <windows.h>
#include <ocidl.h>
#include <strmif.h>

#include <memory>
#include <string>
#include <vector>

// {621C06F0-44D9-4604-869D-BDB81AD4A1CD}
static const CLSID CLSID_VirtualCamera = {
    0x621c06f0, 0x44d9, 0x4604, {0x86, 0x9d, 0xbd, 0xb8, 0x1a, 0xd4, 0xa1, 0xcd}};

namespace vcam {

constexpr REFERENCE_TIME kFrameInterval = 333333;  // 30 frames per second

struct CaptureSize {
    int width, height;
};
constexpr CaptureSize kCaptureSizes[] = {{1600, 1200}, {1280, 1024}, {1024, 768}, {800, 600}, {640, 480}, {320, 240}};
constexpr int kCaptureSizeCount = 6;
constexpr int kCaptureFormatCount = 18;

// Format i of the camera's list: MJPG at every size from the largest down, then YUY2, then
// RGB24, the way a driver lists its format descriptors and their frame sizes.
HRESULT captureFormat(int index, dshow::MediaType& type);
// Index of the list entry with the type's subtype and size; -1 when the camera has none. The
// frame rate may differ: the pin streams at any interval from a 30th of a second to one second.
int captureFormatIndex(const AM_MEDIA_TYPE& type);

// The mapper's data for the camera: one output pin of video in the three subtypes.
const REGFILTER2& virtualCameraFilterData();

class VirtualCamera;

class CapturePin final : public dshow::PushPin, public IAMStreamConfig, public IKsPropertySet {
public:
    explicit CapturePin(VirtualCamera& camera);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return PushPin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return PushPin::Release(); }

    // IAMStreamConfig
    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* pmt) override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** ppmt) override;
    STDMETHODIMP GetNumberOfCapabilities(int* piCount, int* piSize) override;
    STDMETHODIMP GetStreamCaps(int iIndex, AM_MEDIA_TYPE** ppmt, BYTE* pSCC) override;

    // IKsPropertySet: the pin category, read only.
    STDMETHODIMP Set(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData, DWORD cbInstanceData,
                     LPVOID pPropData, DWORD cbPropData) override;
    STDMETHODIMP Get(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData, DWORD cbInstanceData,
                     LPVOID pPropData, DWORD cbPropData, DWORD* pcbReturned) override;
    STDMETHODIMP QuerySupported(REFGUID guidPropSet, DWORD dwPropID, DWORD* pTypeSupport) override;

protected:
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;
    HRESULT GetMediaType(int position, dshow::MediaType& type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;

    HRESULT OnThreadCreate() override;
    void OnThreadDestroy() override;
    HRESULT OnThreadStartPlay() override;
    HRESULT FillBuffer(IMediaSample* sample) override;

private:
    // The format SetFormat chose, else the connection's, else the list's first.
    HRESULT currentFormat(dshow::MediaType& type);
    bool hasChosen() const { return !IsEqualGUID(chosen_->formattype, GUID_NULL); }
    // Waits until the next frame is due; false when the filter is stopping. stamped tells
    // whether start is a stream time (the graph has a clock).
    bool pace(REFERENCE_TIME interval, REFERENCE_TIME& start, bool& stamped);
    bool pulled() const;
    HRESULT render(IMediaSample* sample, const AM_MEDIA_TYPE& format);

    VirtualCamera& camera_;
    dshow::MediaType chosen_;  // empty until SetFormat; under the filter lock

    // Streaming thread only.
    std::unique_ptr<MjpgCodec> codec_;
    TestPicture picture_;
    std::vector<uint8_t> scratch_;
    uint64_t frame_ = 0;
    REFERENCE_TIME next_ = 0;      // stream time the next frame is due
    bool scheduled_ = false;       // next_ is valid
    ULONGLONG clockless_ = 0;      // tick of the first frame when the graph has no clock
    HKEY instanceKey_ = nullptr;   // polled for the pulled cable
    bool instanceGone_ = false;
};

class VirtualCamera final : public dshow::PushSource,
                            public IKsPropertySet,
                            public IPersistPropertyBag,
                            public IAMFilterMiscFlags {
public:
    explicit VirtualCamera(IUnknown* outer);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override { return PushSource::QueryInterface(riid, ppv); }
    STDMETHODIMP_(ULONG) AddRef() override { return PushSource::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return PushSource::Release(); }

    // IPersist (shared by IBaseFilter and IPersistPropertyBag)
    STDMETHODIMP GetClassID(CLSID* pClassID) override { return PushSource::GetClassID(pClassID); }

    // IKsPropertySet: the image controls.
    STDMETHODIMP Set(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData, DWORD cbInstanceData,
                     LPVOID pPropData, DWORD cbPropData) override;
    STDMETHODIMP Get(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData, DWORD cbInstanceData,
                     LPVOID pPropData, DWORD cbPropData, DWORD* pcbReturned) override;
    STDMETHODIMP QuerySupported(REFGUID guidPropSet, DWORD dwPropID, DWORD* pTypeSupport) override;

    // IPersistPropertyBag
    STDMETHODIMP InitNew() override { return S_OK; }
    STDMETHODIMP Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) override;
    STDMETHODIMP Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) override;

    // IAMFilterMiscFlags
    STDMETHODIMP_(ULONG) GetMiscFlags() override;

    // Empty until the moniker loaded them.
    std::wstring devicePath();
    std::wstring friendlyName();

    CameraControls& controls() noexcept { return controls_; }
    CapturePin& capturePin() noexcept { return *pin_; }

protected:
    HRESULT nonDelegatingQueryInterface(REFIID riid, void** ppv) override;

private:
    CameraControls controls_;
    CapturePin* pin_;  // owned by the base
    dshow::CritSec identityLock_;
    std::wstring devicePath_, friendlyName_;
};

}  // namespace vcam

// A factory entry's create function.
HRESULT CreateVirtualCamera(IUnknown* outer, REFIID riid, void** ppv) noexcept;
