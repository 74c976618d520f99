#include "dshow/PositionPassThrough.h"

namespace dshow {

// Asks anew each time: the connection upstream may have changed since the last call.
template <class Interface, class Call>
HRESULT PositionPassThrough::upstream(REFIID iid, Call call) {
    IPin* peer = nullptr;
    if (FAILED(input_.ConnectedTo(&peer)) || !peer) return E_NOTIMPL;
    Interface* target = nullptr;
    HRESULT hr = peer->QueryInterface(iid, reinterpret_cast<void**>(&target));
    peer->Release();
    if (FAILED(hr) || !target) return E_NOTIMPL;
    hr = call(target);
    target->Release();
    return hr;
}

STDMETHODIMP PositionPassThrough::GetCapabilities(DWORD* p) {
    return seeking([&](IMediaSeeking* s) { return s->GetCapabilities(p); });
}

STDMETHODIMP PositionPassThrough::CheckCapabilities(DWORD* p) {
    return seeking([&](IMediaSeeking* s) { return s->CheckCapabilities(p); });
}

STDMETHODIMP PositionPassThrough::IsFormatSupported(const GUID* format) {
    return seeking([&](IMediaSeeking* s) { return s->IsFormatSupported(format); });
}

STDMETHODIMP PositionPassThrough::QueryPreferredFormat(GUID* format) {
    return seeking([&](IMediaSeeking* s) { return s->QueryPreferredFormat(format); });
}

STDMETHODIMP PositionPassThrough::GetTimeFormat(GUID* format) {
    return seeking([&](IMediaSeeking* s) { return s->GetTimeFormat(format); });
}

STDMETHODIMP PositionPassThrough::IsUsingTimeFormat(const GUID* format) {
    return seeking([&](IMediaSeeking* s) { return s->IsUsingTimeFormat(format); });
}

STDMETHODIMP PositionPassThrough::SetTimeFormat(const GUID* format) {
    return seeking([&](IMediaSeeking* s) { return s->SetTimeFormat(format); });
}

STDMETHODIMP PositionPassThrough::GetDuration(LONGLONG* duration) {
    return seeking([&](IMediaSeeking* s) { return s->GetDuration(duration); });
}

STDMETHODIMP PositionPassThrough::GetStopPosition(LONGLONG* stop) {
    return seeking([&](IMediaSeeking* s) { return s->GetStopPosition(stop); });
}

STDMETHODIMP PositionPassThrough::GetCurrentPosition(LONGLONG* current) {
    return seeking([&](IMediaSeeking* s) { return s->GetCurrentPosition(current); });
}

STDMETHODIMP PositionPassThrough::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                                    const GUID* sourceFormat) {
    return seeking([&](IMediaSeeking* s) { return s->ConvertTimeFormat(target, targetFormat, source, sourceFormat); });
}

STDMETHODIMP PositionPassThrough::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) {
    return seeking([&](IMediaSeeking* s) { return s->SetPositions(current, currentFlags, stop, stopFlags); });
}

STDMETHODIMP PositionPassThrough::GetPositions(LONGLONG* current, LONGLONG* stop) {
    return seeking([&](IMediaSeeking* s) { return s->GetPositions(current, stop); });
}

STDMETHODIMP PositionPassThrough::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    return seeking([&](IMediaSeeking* s) { return s->GetAvailable(earliest, latest); });
}

STDMETHODIMP PositionPassThrough::SetRate(double rate) {
    return seeking([&](IMediaSeeking* s) { return s->SetRate(rate); });
}

STDMETHODIMP PositionPassThrough::GetRate(double* rate) {
    return seeking([&](IMediaSeeking* s) { return s->GetRate(rate); });
}

STDMETHODIMP PositionPassThrough::GetPreroll(LONGLONG* preroll) {
    return seeking([&](IMediaSeeking* s) { return s->GetPreroll(preroll); });
}

STDMETHODIMP PositionPassThrough::GetTypeInfoCount(UINT* count) {
    return position([&](IMediaPosition* p) { return p->GetTypeInfoCount(count); });
}

STDMETHODIMP PositionPassThrough::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
    return position([&](IMediaPosition* p) { return p->GetTypeInfo(index, lcid, info); });
}

STDMETHODIMP PositionPassThrough::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
    return position([&](IMediaPosition* p) { return p->GetIDsOfNames(riid, names, count, lcid, ids); });
}

STDMETHODIMP PositionPassThrough::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                         VARIANT* result, EXCEPINFO* exception, UINT* argError) {
    return position(
        [&](IMediaPosition* p) { return p->Invoke(id, riid, lcid, flags, params, result, exception, argError); });
}

STDMETHODIMP PositionPassThrough::get_Duration(REFTIME* length) {
    return position([&](IMediaPosition* p) { return p->get_Duration(length); });
}

STDMETHODIMP PositionPassThrough::put_CurrentPosition(REFTIME time) {
    return position([&](IMediaPosition* p) { return p->put_CurrentPosition(time); });
}

STDMETHODIMP PositionPassThrough::get_CurrentPosition(REFTIME* time) {
    return position([&](IMediaPosition* p) { return p->get_CurrentPosition(time); });
}

STDMETHODIMP PositionPassThrough::get_StopTime(REFTIME* time) {
    return position([&](IMediaPosition* p) { return p->get_StopTime(time); });
}

STDMETHODIMP PositionPassThrough::put_StopTime(REFTIME time) {
    return position([&](IMediaPosition* p) { return p->put_StopTime(time); });
}

STDMETHODIMP PositionPassThrough::get_PrerollTime(REFTIME* time) {
    return position([&](IMediaPosition* p) { return p->get_PrerollTime(time); });
}

STDMETHODIMP PositionPassThrough::put_PrerollTime(REFTIME time) {
    return position([&](IMediaPosition* p) { return p->put_PrerollTime(time); });
}

STDMETHODIMP PositionPassThrough::put_Rate(double rate) {
    return position([&](IMediaPosition* p) { return p->put_Rate(rate); });
}

STDMETHODIMP PositionPassThrough::get_Rate(double* rate) {
    return position([&](IMediaPosition* p) { return p->get_Rate(rate); });
}

STDMETHODIMP PositionPassThrough::CanSeekForward(LONG* can) {
    return position([&](IMediaPosition* p) { return p->CanSeekForward(can); });
}

STDMETHODIMP PositionPassThrough::CanSeekBackward(LONG* can) {
    return position([&](IMediaPosition* p) { return p->CanSeekBackward(can); });
}

}  // namespace dshow
