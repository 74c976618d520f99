// IMediaSeeking and IMediaPosition for a transform filter's output pin. A transform knows nothing of
// the stream's position, so each call goes to the output pin connected to the filter's input; where
// that pin is missing or cannot seek, the call fails with E_NOTIMPL.
#pragma once

#include <windows.h>
#include <strmif.h>
#include <control.h>

namespace dshow {

// A part of the pin that owns it: QueryInterface, AddRef and Release go to that pin, which answers
// for this object's interfaces too and outlives every reference to them.
class PositionPassThrough final : public IMediaSeeking, public IMediaPosition {
public:
    // input: the filter's input pin, whose peer is asked on every call.
    PositionPassThrough(IUnknown& owner, IPin& input) noexcept : owner_(owner), input_(input) {}
    PositionPassThrough(const PositionPassThrough&) = delete;
    PositionPassThrough& operator=(const PositionPassThrough&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override { return owner_.QueryInterface(riid, ppv); }
    STDMETHODIMP_(ULONG) AddRef() override { return owner_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return owner_.Release(); }

    // IMediaSeeking
    STDMETHODIMP GetCapabilities(DWORD* pCapabilities) override;
    STDMETHODIMP CheckCapabilities(DWORD* pCapabilities) override;
    STDMETHODIMP IsFormatSupported(const GUID* pFormat) override;
    STDMETHODIMP QueryPreferredFormat(GUID* pFormat) override;
    STDMETHODIMP GetTimeFormat(GUID* pFormat) override;
    STDMETHODIMP IsUsingTimeFormat(const GUID* pFormat) override;
    STDMETHODIMP SetTimeFormat(const GUID* pFormat) override;
    STDMETHODIMP GetDuration(LONGLONG* pDuration) override;
    STDMETHODIMP GetStopPosition(LONGLONG* pStop) override;
    STDMETHODIMP GetCurrentPosition(LONGLONG* pCurrent) override;
    STDMETHODIMP ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                                   const GUID* pSourceFormat) override;
    STDMETHODIMP SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop, DWORD dwStopFlags) override;
    STDMETHODIMP GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) override;
    STDMETHODIMP GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) override;
    STDMETHODIMP SetRate(double dRate) override;
    STDMETHODIMP GetRate(double* pdRate) override;
    STDMETHODIMP GetPreroll(LONGLONG* pllPreroll) override;

    // IDispatch, answered by the upstream object, whose methods a script would reach anyway.
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                        VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    // IMediaPosition
    STDMETHODIMP get_Duration(REFTIME* plength) override;
    STDMETHODIMP put_CurrentPosition(REFTIME llTime) override;
    STDMETHODIMP get_CurrentPosition(REFTIME* pllTime) override;
    STDMETHODIMP get_StopTime(REFTIME* pllTime) override;
    STDMETHODIMP put_StopTime(REFTIME llTime) override;
    STDMETHODIMP get_PrerollTime(REFTIME* pllTime) override;
    STDMETHODIMP put_PrerollTime(REFTIME llTime) override;
    STDMETHODIMP put_Rate(double dRate) override;
    STDMETHODIMP get_Rate(double* pdRate) override;
    STDMETHODIMP CanSeekForward(LONG* pCanSeekForward) override;
    STDMETHODIMP CanSeekBackward(LONG* pCanSeekBackward) override;

private:
    // call(upstream interface) on the peer of the input pin; E_NOTIMPL without one.
    template <class Interface, class Call>
    HRESULT upstream(REFIID iid, Call call);
    template <class Call>
    HRESULT seeking(Call call) { return upstream<IMediaSeeking>(IID_IMediaSeeking, call); }
    template <class Call>
    HRESULT position(Call call) { return upstream<IMediaPosition>(IID_IMediaPosition, call); }

    IUnknown& owner_;
    IPin& input_;
};

}  // namespace dshow
