#include "dshow/TransformFilter.h"

#include <vfwmsgs.h>

#include <memory>
#include <mutex>

namespace dshow {

namespace {

using Lock = std::lock_guard<CritSec>;

struct SampleRelease {
    void operator()(IMediaSample* s) const noexcept { s->Release(); }
};

// A yes/no query answering anything else means a broken sample.
HRESULT flag(HRESULT answer, BOOL& value) {
    if (answer != S_OK && answer != S_FALSE) return E_UNEXPECTED;
    value = answer == S_OK;
    return S_OK;
}

// In this order: time stamps, media times (each only when both ends are set, cleared
// otherwise), sync point, preroll, discontinuity, actual data length.
HRESULT copySampleProperties(IMediaSample* in, IMediaSample* out) {
    REFERENCE_TIME start = 0, stop = 0;
    HRESULT hr = in->GetTime(&start, &stop) == S_OK ? out->SetTime(&start, &stop) : out->SetTime(nullptr, nullptr);
    if (FAILED(hr)) return hr;
    LONGLONG mstart = 0, mstop = 0;
    hr = in->GetMediaTime(&mstart, &mstop) == S_OK ? out->SetMediaTime(&mstart, &mstop)
                                                  : out->SetMediaTime(nullptr, nullptr);
    if (FAILED(hr)) return hr;
    BOOL value = FALSE;
    if (FAILED(hr = flag(in->IsSyncPoint(), value)) || FAILED(hr = out->SetSyncPoint(value))) return hr;
    if (FAILED(hr = flag(in->IsPreroll(), value)) || FAILED(hr = out->SetPreroll(value))) return hr;
    if (FAILED(hr = flag(in->IsDiscontinuity(), value)) || FAILED(hr = out->SetDiscontinuity(value))) return hr;
    return out->SetActualDataLength(in->GetActualDataLength());
}

}  // namespace

TransformFilter::TransformFilter(const CLSID& clsid, IUnknown* outer) : BaseFilter(clsid, outer) {}

BasePin* TransformFilter::pin(int i) {
    if (i == 0) return &in_;
    if (i == 1) return &out_;
    return nullptr;
}

HRESULT TransformFilter::Receive(IMediaSample* sample) {
    REFERENCE_TIME start = 0, stop = 0;
    const bool timed = sample->GetTime(&start, &stop) == S_OK;
    IMediaSample* raw = nullptr;
    HRESULT hr = out_.GetDeliveryBuffer(&raw, timed ? &start : nullptr, timed ? &stop : nullptr, 0);
    if (FAILED(hr)) return hr;
    const std::unique_ptr<IMediaSample, SampleRelease> out(raw);
    if (FAILED(hr = copySampleProperties(sample, out.get()))) return hr;
    hr = Transform(sample, out.get());
    if (FAILED(hr)) return hr;
    // A dropped sample is no failure for the sender, which goes on with the next.
    if (hr == S_FALSE) return S_OK;
    return out_.Deliver(out.get());
}

STDMETHODIMP TransformFilter::XformInput::BeginFlush() {
    InputPin::BeginFlush();
    return owner_.out_.connected() ? owner_.out_.DeliverBeginFlush() : S_OK;
}

// The streaming lock stays held until downstream has ended its flush too, so that no new sample
// reaches it while it still refuses them.
STDMETHODIMP TransformFilter::XformInput::EndFlush() {
    Lock streaming(owner_.streamingLock());
    InputPin::EndFlush();
    return owner_.out_.connected() ? owner_.out_.DeliverEndFlush() : S_OK;
}

// In line with the samples: the end of stream follows the last sample downstream, never
// overtakes it.
STDMETHODIMP TransformFilter::XformInput::EndOfStream() {
    Lock streaming(owner_.streamingLock());
    const HRESULT hr = InputPin::EndOfStream();
    if (hr != S_OK) return hr;
    return owner_.out_.connected() ? owner_.out_.DeliverEndOfStream() : S_OK;
}

STDMETHODIMP TransformFilter::XformInput::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    return owner_.out_.connected() ? owner_.out_.DeliverNewSegment(start, stop, rate) : S_OK;
}

// Seeking is answered upstream, where the stream's position is known.
STDMETHODIMP TransformFilter::XformOutput::QueryInterface(REFIID riid, void** ppv) {
    if (ppv && IsEqualIID(riid, IID_IMediaSeeking)) {
        *ppv = static_cast<IMediaSeeking*>(&position_);
    } else if (ppv && IsEqualIID(riid, IID_IMediaPosition)) {
        *ppv = static_cast<IMediaPosition*>(&position_);
    } else {
        return OutputPin::QueryInterface(riid, ppv);
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP TransformFilter::XformOutput::Notify(IBaseFilter*, Quality q) {
    const HRESULT hr = owner_.AlterQuality(q);
    return hr == S_FALSE ? owner_.in_.passNotify(q) : hr;
}

// The output's types derive from the input's, so there is nothing to agree on before it.
STDMETHODIMP TransformFilter::XformOutput::Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) {
    {
        Lock lock(owner_.filterLock());
        if (!owner_.in_.connected()) return VFW_E_NOT_CONNECTED;
    }
    return OutputPin::Connect(pReceivePin, pmt);
}

STDMETHODIMP TransformFilter::XformOutput::ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) {
    {
        Lock lock(owner_.filterLock());
        if (!owner_.in_.connected()) return VFW_E_NOT_CONNECTED;
    }
    return OutputPin::ReceiveConnection(pConnector, pmt);
}

HRESULT TransformFilter::XformOutput::CheckMediaType(const AM_MEDIA_TYPE& mt) {
    if (!owner_.in_.connected()) return VFW_E_NOT_CONNECTED;
    return owner_.CheckTransform(&owner_.in_.mediaType().get(), &mt);
}

// Unconnected, the output offers no type yet rather than failing: its enumerator lists nothing.
HRESULT TransformFilter::XformOutput::GetMediaType(int position, MediaType& type) {
    if (!owner_.in_.connected()) return VFW_S_NO_MORE_ITEMS;
    return owner_.GetMediaType(position, type);
}

}  // namespace dshow
