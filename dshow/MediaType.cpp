#include "dshow/MediaType.h"

#include <uuids.h>

#include <cstring>
#include <utility>

namespace dshow {

void freeMediaTypeContents(AM_MEDIA_TYPE& mt) {
    if (mt.pbFormat) CoTaskMemFree(mt.pbFormat);
    mt.pbFormat = nullptr;
    mt.cbFormat = 0;
    if (mt.pUnk) mt.pUnk->Release();
    mt.pUnk = nullptr;
}

const VIDEOINFOHEADER* videoInfoOf(const AM_MEDIA_TYPE& mt) {
    if (!IsEqualGUID(mt.formattype, FORMAT_VideoInfo) || !mt.pbFormat || mt.cbFormat < sizeof(VIDEOINFOHEADER))
        return nullptr;
    return reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
}

void deleteMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return;
    freeMediaTypeContents(*mt);
    CoTaskMemFree(mt);
}

HRESULT copyMediaType(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source) {
    if (&target == &source) return S_OK;
    BYTE* format = nullptr;
    // A record with a size but no block is malformed; its copy carries no block at all.
    const ULONG cb = source.pbFormat ? source.cbFormat : 0;
    if (cb) {
        format = static_cast<BYTE*>(CoTaskMemAlloc(cb));
        if (!format) {
            std::memset(&target, 0, sizeof target);
            return E_OUTOFMEMORY;
        }
        std::memcpy(format, source.pbFormat, cb);
    }
    target = source;
    target.cbFormat = cb;
    target.pbFormat = format;
    if (target.pUnk) target.pUnk->AddRef();
    return S_OK;
}

AM_MEDIA_TYPE* createMediaType(const AM_MEDIA_TYPE& source) {
    auto* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!mt) return nullptr;
    if (FAILED(copyMediaType(*mt, source))) {
        CoTaskMemFree(mt);
        return nullptr;
    }
    return mt;
}

bool mediaTypesEqual(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
    if (!IsEqualGUID(a.majortype, b.majortype) || !IsEqualGUID(a.subtype, b.subtype) ||
        !IsEqualGUID(a.formattype, b.formattype))
        return false;
    const ULONG cbA = a.pbFormat ? a.cbFormat : 0;
    const ULONG cbB = b.pbFormat ? b.cbFormat : 0;
    return cbA == cbB && (cbA == 0 || std::memcmp(a.pbFormat, b.pbFormat, cbA) == 0);
}

MediaType::MediaType() noexcept { std::memset(&mt_, 0, sizeof mt_); }

MediaType::MediaType(const AM_MEDIA_TYPE& source) noexcept : MediaType() { copyMediaType(mt_, source); }

MediaType::MediaType(const MediaType& other) noexcept : MediaType() { copyMediaType(mt_, other.mt_); }

MediaType::MediaType(MediaType&& other) noexcept : mt_(other.mt_) {
    std::memset(&other.mt_, 0, sizeof other.mt_);
}

MediaType& MediaType::operator=(const MediaType& other) noexcept {
    if (this != &other) copyFrom(other.mt_);
    return *this;
}

MediaType& MediaType::operator=(MediaType&& other) noexcept {
    if (this != &other) {
        freeMediaTypeContents(mt_);
        mt_ = other.mt_;
        std::memset(&other.mt_, 0, sizeof other.mt_);
    }
    return *this;
}

MediaType::~MediaType() { freeMediaTypeContents(mt_); }

HRESULT MediaType::copyFrom(const AM_MEDIA_TYPE& source) noexcept {
    if (&source == &mt_) return S_OK;
    // Copy first: source may be owned by what this type is about to free.
    AM_MEDIA_TYPE copy;
    const HRESULT hr = copyMediaType(copy, source);
    freeMediaTypeContents(mt_);
    mt_ = copy;
    return hr;
}

void MediaType::clear() noexcept {
    freeMediaTypeContents(mt_);
    std::memset(&mt_, 0, sizeof mt_);
}

BYTE* MediaType::allocFormat(ULONG cb) noexcept {
    if (mt_.pbFormat) CoTaskMemFree(mt_.pbFormat);
    mt_.pbFormat = nullptr;
    mt_.cbFormat = 0;
    if (cb == 0) return nullptr;
    auto* format = static_cast<BYTE*>(CoTaskMemAlloc(cb));
    if (!format) return nullptr;
    std::memset(format, 0, cb);
    mt_.pbFormat = format;
    mt_.cbFormat = cb;
    return format;
}

AM_MEDIA_TYPE* MediaType::put() noexcept {
    clear();
    return &mt_;
}

}  // namespace dshow
