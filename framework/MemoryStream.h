// A COM stream over a growing byte vector: encoders write into it without the repeated
// reallocation of a global-memory stream.
#pragma once

#include "framework/ComObject.h"

#include <objidl.h>

#include <cstdint>
#include <vector>

namespace vnt {

class MemoryStream : public ComObject<IStream, IID_ISequentialStream, IID_IStream> {
public:
    // A new stream with one reference, owned by the caller.
    static MemoryStream* create(size_t reserve = 0);

    const std::vector<uint8_t>& bytes() const { return data_; }

    // ISequentialStream
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override;
    // IStream
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** stream) override;

private:
    MemoryStream() = default;
    ~MemoryStream() override = default;

    std::vector<uint8_t> data_;
    size_t position_ = 0;
};

}  // namespace vnt
