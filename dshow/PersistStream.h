// IPersistStream for filters whose settings can be saved with a graph: a version stamp written
// ahead of whatever the derived filter stores, and the dirty flag its setters raise.
#pragma once

#include <windows.h>
#include <objidl.h>

namespace dshow {

class PersistStream : public IPersistStream {
public:
    // IPersistStream; IUnknown and GetClassID come from the filter that mixes this in.
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(IStream* stream) override;
    STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;

    bool dirty() const noexcept { return dirty_ != 0; }
    void setDirty(bool dirty) noexcept { InterlockedExchange(&dirty_, dirty ? 1 : 0); }

protected:
    PersistStream() = default;
    virtual ~PersistStream() = default;

    // The stamp written ahead of the data; a stream stamped by a newer version is refused.
    virtual DWORD softwareVersion() { return 1; }
    // The derived filter's own data; storing nothing is the default.
    virtual HRESULT writeToStream(IStream* stream) { return S_OK; }
    virtual HRESULT readFromStream(IStream* stream, DWORD version) { return S_OK; }
    virtual ULONG sizeMax() { return 0; }

private:
    volatile LONG dirty_ = 0;
};

}  // namespace dshow
