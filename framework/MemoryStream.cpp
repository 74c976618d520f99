#include "framework/MemoryStream.h"

#include <cstring>
#include <new>

namespace vnt {
namespace {
// Beyond this a stream is not one of our pictures; refusing keeps size arithmetic in range.
constexpr ULONGLONG kMaxSize = 1ull << 30;
}  // namespace

MemoryStream* MemoryStream::create(size_t reserve) {
    MemoryStream* stream = new (std::nothrow) MemoryStream();
    if (stream && reserve) {
        try {
            stream->data_.reserve(reserve);
        } catch (...) {
        }
    }
    return stream;
}

HRESULT MemoryStream::Read(void* buffer, ULONG count, ULONG* read) {
    if (!buffer) return STG_E_INVALIDPOINTER;
    const size_t available = position_ < data_.size() ? data_.size() - position_ : 0;
    const size_t n = count < available ? count : available;
    if (n) std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    if (read) *read = static_cast<ULONG>(n);
    return n == count ? S_OK : S_FALSE;
}

HRESULT MemoryStream::Write(const void* buffer, ULONG count, ULONG* written) {
    if (!buffer) return STG_E_INVALIDPOINTER;
    if (position_ + count > kMaxSize) return STG_E_MEDIUMFULL;
    try {
        if (position_ + count > data_.size()) data_.resize(position_ + count);
    } catch (...) {
        return STG_E_MEDIUMFULL;
    }
    std::memcpy(data_.data() + position_, buffer, count);
    position_ += count;
    if (written) *written = count;
    return S_OK;
}

HRESULT MemoryStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
    LONGLONG base = 0;
    switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = static_cast<LONGLONG>(position_); break;
    case STREAM_SEEK_END: base = static_cast<LONGLONG>(data_.size()); break;
    default: return STG_E_INVALIDFUNCTION;
    }
    const LONGLONG target = base + move.QuadPart;
    if (target < 0 || static_cast<ULONGLONG>(target) > kMaxSize) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<size_t>(target);
    if (position) position->QuadPart = position_;
    return S_OK;
}

HRESULT MemoryStream::SetSize(ULARGE_INTEGER size) {
    if (size.QuadPart > kMaxSize) return STG_E_MEDIUMFULL;
    try {
        data_.resize(static_cast<size_t>(size.QuadPart));
    } catch (...) {
        return STG_E_MEDIUMFULL;
    }
    return S_OK;
}

HRESULT MemoryStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) { return E_NOTIMPL; }
HRESULT MemoryStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }
HRESULT MemoryStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

HRESULT MemoryStream::Stat(STATSTG* stat, DWORD) {
    if (!stat) return STG_E_INVALIDPOINTER;
    std::memset(stat, 0, sizeof *stat);
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = data_.size();
    return S_OK;
}

HRESULT MemoryStream::Clone(IStream** stream) {
    if (stream) *stream = nullptr;
    return E_NOTIMPL;
}

}  // namespace vnt
