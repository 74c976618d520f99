// IEnumMediaTypes over a snapshot of a pin's media types: later changes to the pin's list do not
// disturb an enumeration in progress.
#pragma once

#include "dshow/MediaType.h"
#include "dshow/SrwLock.h"

#include <memory>
#include <vector>

namespace dshow {

class EnumMediaTypes final : public IEnumMediaTypes {
public:
    // *out receives a new enumerator with one reference, positioned at the start.
    static HRESULT create(const std::vector<MediaType>& types, IEnumMediaTypes** out) noexcept;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Next(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes, ULONG* pcFetched) override;
    STDMETHODIMP Skip(ULONG cMediaTypes) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumMediaTypes** ppEnum) override;

private:
    using List = std::vector<MediaType>;

    // Clones share the list: it is never changed after the snapshot is taken.
    EnumMediaTypes(std::shared_ptr<const List> list, ULONG position) noexcept;
    ~EnumMediaTypes() = default;

    LONG refs_ = 1;
    const std::shared_ptr<const List> list_;
    SrwLock lock_;
    ULONG position_;
};

}  // namespace dshow
