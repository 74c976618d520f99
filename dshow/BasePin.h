// IPin for our filters: connection negotiation and its bookkeeping. Derived pins say which media
// types they offer and accept; samples and allocators belong to the layer above.
#pragma once

#include "dshow/BaseFilter.h"
#include "dshow/MediaType.h"

#include <windows.h>
#include <strmif.h>

#include <atomic>
#include <string>

namespace dshow {

// A pin is a part of its filter: AddRef and Release go to the filter's reference count, and the
// filter (which owns the pin) outlives every reference to it.
//
// Every pin takes quality messages (IQualityControl); this one acts on none. Pins that can act on
// them, or pass them upstream, override Notify.
class BasePin : public IPin, public IQualityControl {
public:
    BasePin(BaseFilter& filter, const wchar_t* name, PIN_DIRECTION direction);
    virtual ~BasePin();
    BasePin(const BasePin&) = delete;
    BasePin& operator=(const BasePin&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return filter_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return filter_.Release(); }

    STDMETHODIMP Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) override;
    STDMETHODIMP ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pPin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* pmt) override;
    STDMETHODIMP QueryPinInfo(PIN_INFO* pInfo) override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* pPinDir) override;
    STDMETHODIMP QueryId(LPWSTR* Id) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* pmt) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** ppEnum) override;
    STDMETHODIMP QueryInternalConnections(IPin** apPin, ULONG* nPin) override;
    STDMETHODIMP EndOfStream() override { return S_OK; }
    STDMETHODIMP BeginFlush() override { return S_OK; }
    STDMETHODIMP EndFlush() override { return S_OK; }
    STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

    // IQualityControl
    STDMETHODIMP Notify(IBaseFilter* pSelf, Quality q) override;
    // Not AddRef'd: the sink is a part of the graph, which holds this filter.
    STDMETHODIMP SetSink(IQualityControl* piqc) override;

    const std::wstring& name() const noexcept { return name_; }
    PIN_DIRECTION direction() const noexcept { return direction_; }
    // Not AddRef'd; null when not connected. Read under the filter lock.
    IPin* connected() const noexcept { return connected_; }
    const MediaType& mediaType() const noexcept { return mt_; }
    // Where quality messages go instead of upstream; null unless the graph set one.
    IQualityControl* qualitySink() const noexcept { return sink_.load(); }

    // Called by the filter, with its lock held, on leaving and on entering the stopped state,
    // for connected pins only: where allocators are committed and released.
    virtual HRESULT active() { return S_OK; }
    virtual HRESULT inactive() { return S_OK; }

protected:
    // S_OK accepts the type; anything else refuses it.
    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) = 0;
    // The preferred types in order: S_OK with type filled in, VFW_S_NO_MORE_ITEMS past the end.
    virtual HRESULT GetMediaType(int position, MediaType& type);
    // After both sides agreed on mediaType(); a failure undoes the connection.
    virtual HRESULT CompleteConnect(IPin* peer);
    // Before the peer reference and the type are dropped.
    virtual void BreakConnect() {}

    BaseFilter& filter_;

private:
    HRESULT tryConnect(IPin* peer, const AM_MEDIA_TYPE& mt);
    HRESULT tryTypesOf(IEnumMediaTypes* types, IPin* peer, const AM_MEDIA_TYPE* pattern);
    void dropConnection() noexcept;

    const std::wstring name_;
    const PIN_DIRECTION direction_;
    IPin* connected_ = nullptr;
    MediaType mt_;
    // Set by the graph's thread, read by the streaming thread that passes a message on.
    std::atomic<IQualityControl*> sink_{nullptr};
};

}  // namespace dshow
