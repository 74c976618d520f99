#include "dshow/EnumMediaTypes.h"

#include <mutex>
#include <new>

#include "dshow/EnumPosition.h"

namespace dshow {

HRESULT EnumMediaTypes::create(const std::vector<MediaType>& types, IEnumMediaTypes** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    std::shared_ptr<const List> list;
    try {
        list = std::make_shared<const List>(types);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    // MediaType's copy leaves an empty type when its format block cannot be allocated.
    for (size_t i = 0; i < types.size(); ++i)
        if (!mediaTypesEqual((*list)[i].get(), types[i].get())) return E_OUTOFMEMORY;
    auto* e = new (std::nothrow) EnumMediaTypes(std::move(list), 0);
    if (!e) return E_OUTOFMEMORY;
    *out = e;
    return S_OK;
}

EnumMediaTypes::EnumMediaTypes(std::shared_ptr<const List> list, ULONG position) noexcept
    : list_(std::move(list)), position_(position) {}

STDMETHODIMP EnumMediaTypes::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumMediaTypes)) {
        *ppv = static_cast<IEnumMediaTypes*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EnumMediaTypes::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) EnumMediaTypes::Release() {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
}

STDMETHODIMP EnumMediaTypes::Next(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes, ULONG* pcFetched) {
    const HRESULT arguments = checkNextArguments(ppMediaTypes, cMediaTypes, pcFetched);
    if (FAILED(arguments)) return arguments;

    std::lock_guard<SrwLock> guard(lock_);
    const ULONG count = itemsAvailable(cMediaTypes, list_->size(), position_);
    for (ULONG i = 0; i < count; ++i) {
        ppMediaTypes[i] = createMediaType((*list_)[position_ + i].get());
        if (!ppMediaTypes[i]) {
            // All or nothing: the caller must not have to free part of a failed call.
            for (ULONG j = 0; j < i; ++j) {
                deleteMediaType(ppMediaTypes[j]);
                ppMediaTypes[j] = nullptr;
            }
            return E_OUTOFMEMORY;
        }
    }
    position_ += count;
    if (pcFetched) *pcFetched = count;
    return count == cMediaTypes ? S_OK : S_FALSE;
}

STDMETHODIMP EnumMediaTypes::Skip(ULONG cMediaTypes) {
    std::lock_guard<SrwLock> guard(lock_);
    return skipItems(cMediaTypes, list_->size(), position_);
}

STDMETHODIMP EnumMediaTypes::Reset() {
    std::lock_guard<SrwLock> guard(lock_);
    position_ = 0;
    return S_OK;
}

STDMETHODIMP EnumMediaTypes::Clone(IEnumMediaTypes** ppEnum) {
    if (!ppEnum) return E_POINTER;
    std::lock_guard<SrwLock> guard(lock_);
    auto* e = new (std::nothrow) EnumMediaTypes(list_, position_);
    *ppEnum = e;
    return e ? S_OK : E_OUTOFMEMORY;
}

}  // namespace dshow
