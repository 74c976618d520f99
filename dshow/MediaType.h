// Ownership helpers for AM_MEDIA_TYPE, whose format block and pUnk are owned by the record.
#pragma once

#include <windows.h>
#include <strmif.h>
#include <amvideo.h>

namespace dshow {

// Releases the format block and pUnk and leaves the record with neither.
void freeMediaTypeContents(AM_MEDIA_TYPE& mt);

// For records that were themselves CoTaskMemAlloc'd, as enumerators and ConnectionMediaType's
// callers hand them out. Null is accepted.
void deleteMediaType(AM_MEDIA_TYPE* mt);

// Deep copy into a target that owns nothing (its previous contents are overwritten, not freed).
// E_OUTOFMEMORY leaves the target zeroed, so it is always safe to free.
HRESULT copyMediaType(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source);

// A CoTaskMemAlloc'd deep copy for the caller to free with deleteMediaType; null when out of memory.
AM_MEDIA_TYPE* createMediaType(const AM_MEDIA_TYPE& source);

// The VIDEOINFOHEADER of a type whose format block is a whole one; null for any other type.
const VIDEOINFOHEADER* videoInfoOf(const AM_MEDIA_TYPE& mt);

// Same major type, subtype, format type and byte-equal format block. Sample size and the
// temporal compression flags are properties of a stream, not of the type, and are not compared.
bool mediaTypesEqual(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b);

// Owns one AM_MEDIA_TYPE. A copy that runs out of memory is left empty (see copyFrom for a
// result).
class MediaType {
public:
    MediaType() noexcept;
    explicit MediaType(const AM_MEDIA_TYPE& source) noexcept;
    MediaType(const MediaType& other) noexcept;
    MediaType(MediaType&& other) noexcept;
    MediaType& operator=(const MediaType& other) noexcept;
    MediaType& operator=(MediaType&& other) noexcept;
    ~MediaType();

    HRESULT copyFrom(const AM_MEDIA_TYPE& source) noexcept;
    void clear() noexcept;

    // Replaces the format block by a zero-filled one of cb bytes; null when out of memory, in
    // which case the type has no format block.
    BYTE* allocFormat(ULONG cb) noexcept;

    const AM_MEDIA_TYPE& get() const noexcept { return mt_; }
    AM_MEDIA_TYPE& get() noexcept { return mt_; }
    const AM_MEDIA_TYPE* operator->() const noexcept { return &mt_; }
    AM_MEDIA_TYPE* operator->() noexcept { return &mt_; }

    // For calls that fill an AM_MEDIA_TYPE out-parameter: frees what is held first.
    AM_MEDIA_TYPE* put() noexcept;

    bool operator==(const MediaType& other) const noexcept { return mediaTypesEqual(mt_, other.mt_); }
    bool operator!=(const MediaType& other) const noexcept { return !(*this == other); }

private:
    AM_MEDIA_TYPE mt_;
};

}  // namespace dshow
