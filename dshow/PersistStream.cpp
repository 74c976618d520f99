#include "dshow/PersistStream.h"

#include <vfwmsgs.h>

namespace dshow {

STDMETHODIMP PersistStream::IsDirty() { return dirty() ? S_OK : S_FALSE; }

STDMETHODIMP PersistStream::Load(IStream* stream) {
    if (!stream) return E_POINTER;
    DWORD version = 0;
    ULONG read = 0;
    HRESULT hr = stream->Read(&version, sizeof version, &read);
    if (FAILED(hr)) return hr;
    if (read != sizeof version) return STG_E_READFAULT;
    if (version > softwareVersion()) return VFW_E_INVALID_FILE_VERSION;
    hr = readFromStream(stream, version);
    if (SUCCEEDED(hr)) setDirty(false);
    return hr;
}

STDMETHODIMP PersistStream::Save(IStream* stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    const DWORD version = softwareVersion();
    ULONG written = 0;
    HRESULT hr = stream->Write(&version, sizeof version, &written);
    if (FAILED(hr)) return hr;
    if (written != sizeof version) return STG_E_MEDIUMFULL;
    hr = writeToStream(stream);
    if (SUCCEEDED(hr) && clearDirty) setDirty(false);
    return hr;
}

STDMETHODIMP PersistStream::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = sizeof(DWORD) + sizeMax();
    return S_OK;
}

}  // namespace dshow
