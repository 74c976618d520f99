// The Vantor Image Effects transform filter: mirror, flip and centre zoom of RGB24 video, and a
// copy of the next processed frame for a caller that asks for a snapshot.
#pragma once

#include "dshow/MediaType.h"
#include "dshow/PersistStream.h"
#include "dshow/SrwLock.h"
#include "dshow/TransformFilter.h"
#include "imagefx/FrameKernels.h"
#include "imagefx/IIPEffectVantor.h"

#include <windows.h>
#include <ocidl.h>
#include <strmif.h>

// A snapshot caller gives up after this long without a frame.
constexpr DWORD kVantorSnapshotTimeoutMs = 2000;

class CVantorImageEffects final : public dshow::TransformFilter,
                                  public IIPEffectVantor,
                                  public ISpecifyPropertyPages,
                                  // Its settings are not saved with a graph, so the interface is not
                                  // handed out; a saved stream would hold only the version stamp.
                                  public dshow::PersistStream {
public:
    explicit CVantorImageEffects(IUnknown* outer);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override { return TransformFilter::QueryInterface(riid, ppv); }
    STDMETHODIMP_(ULONG) AddRef() override { return TransformFilter::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return TransformFilter::Release(); }
    STDMETHODIMP GetClassID(CLSID* clsid) override { return TransformFilter::GetClassID(clsid); }

    // A waiting snapshot caller is released as soon as the filter stops.
    STDMETHODIMP Stop() override;

    // IIPEffectVantor
    STDMETHODIMP get_Mirror(int* mirror) override;
    STDMETHODIMP put_Mirror(int mirror) override;
    STDMETHODIMP get_Flip(int* flip) override;
    STDMETHODIMP put_Flip(int flip) override;
    STDMETHODIMP get_Zoom(float* zoom) override;
    STDMETHODIMP put_Zoom(float zoom) override;
    // S_OK once a frame served the request (or at once while frozen or while another request is
    // pending); VFW_E_WRONG_STATE when the filter is stopped or stops or flushes meanwhile;
    // VFW_E_TIMEOUT when no frame came within kVantorSnapshotTimeoutMs.
    STDMETHODIMP TakeSnapshot(int* size, BYTE* buffer, AM_MEDIA_TYPE* type) override;
    STDMETHODIMP put_Freeze(int freeze) override;

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

protected:
    HRESULT nonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CheckInputType(const AM_MEDIA_TYPE* in) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE* in, const AM_MEDIA_TYPE* out) override;
    HRESULT GetMediaType(int position, dshow::MediaType& type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override;

private:
    struct SnapshotRequest {
        int* size;
        BYTE* buffer;
        AM_MEDIA_TYPE* type;
        HANDLE served;  // manual-reset; set when served or cancelled
        bool done;
        bool cancelled;
    };

    void serveSnapshot(IMediaSample* in, const BYTE* frame, size_t frameLength);

    // A getter's copy of a setting, taken under the settings lock.
    template <class T>
    HRESULT readSetting(const T& setting, T* value);
    // Mirror and flip: the caller's value for the getter, its truth for the kernels.
    HRESULT putSwitch(int& setting, bool& effect, int value);

    dshow::SrwLock settingsLock_;
    vantorfx::Effects effects_;
    // As the caller gave them: a getter returns what the setter stored.
    int mirror_ = 0;
    int flip_ = 0;
    bool freeze_ = false;

    // Guards request_, stops_ and shownType_, and is held while a frame is copied into a caller's
    // buffer, so that a caller giving up can never have its buffer written after it returned.
    dshow::SrwLock snapshotLock_;
    SnapshotRequest* request_ = nullptr;
    unsigned long stops_ = 0;
    // What the latest snapshot's type record points into; replaced only when the type changes.
    dshow::MediaType shownType_;

    // Streaming thread only.
    vantorfx::ZoomScaler scaler_;
};

// A factory entry's create function.
HRESULT CreateVantorImageEffects(IUnknown* outer, REFIID riid, void** ppv) noexcept;
