// Self-registration of an in-process server's classes and filters: what a DLL's DllRegisterServer
// and DllUnregisterServer delegate to.
#pragma once

#include "dshow/ClassFactory.h"

#include <windows.h>
#include <strmif.h>

#include <cstddef>
#include <string>

namespace dshow {

// COM on the calling thread for the life of the object, undone only if this object started it:
// registration may run on a thread without COM (regsvr32 on some systems does not start it).
struct ComScope {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ComScope() = default;
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(hr)) CoUninitialize();
    }
};

// HKEY_CLASSES_ROOT\CLSID\{clsid} = name, with InprocServer32 = path and ThreadingModel "Both".
HRESULT registerComClass(REFCLSID clsid, const wchar_t* name, const std::wstring& path) noexcept;
// Deletes HKEY_CLASSES_ROOT\CLSID\{clsid} with its subkeys; a missing key is success.
HRESULT unregisterComClass(REFCLSID clsid) noexcept;

// Registers the filter with the system filter mapper: IFilterMapper2 when it can be created,
// else the older IFilterMapper (which knows only the default category). category null means
// the default category; instance null means the CLSID's text. moniker, when not null, receives
// the registered filter's moniker (IFilterMapper2 only; null otherwise).
HRESULT registerFilter(REFCLSID clsid, const wchar_t* name, const CLSID* category, const wchar_t* instance,
                       const REGFILTER2& setup, IMoniker** moniker = nullptr) noexcept;
// "Not found" counts as success: unregistering twice is not an error.
HRESULT unregisterFilter(REFCLSID clsid, const CLSID* category, const wchar_t* instance) noexcept;

// Every instance of clsid registered in category (the instances whose "CLSID" value names it),
// whatever the instance keys are called; other classes' instances are left alone.
HRESULT unregisterFilterInstances(REFCLSID clsid, const CLSID& category) noexcept;

// Every entry's COM class, then every filter entry's mapper data; stops at the first failure.
HRESULT registerServer(const FactoryEntry* entries, std::size_t count) noexcept;
// Every filter entry from the mapper, then every entry's COM class key.
HRESULT unregisterServer(const FactoryEntry* entries, std::size_t count) noexcept;

template <std::size_t N>
HRESULT registerServer(const FactoryEntry (&entries)[N]) noexcept {
    return registerServer(entries, N);
}
template <std::size_t N>
HRESULT unregisterServer(const FactoryEntry (&entries)[N]) noexcept {
    return unregisterServer(entries, N);
}

}  // namespace dshow
