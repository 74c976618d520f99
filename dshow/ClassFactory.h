// Class factory and module bookkeeping for an in-process COM server: what a DLL's
// DllGetClassObject and DllCanUnloadNow exports delegate to.
#pragma once

#include "framework/ComObject.h"

#include <windows.h>
#include <unknwn.h>
#include <strmif.h>

#include <cstddef>

namespace dshow {

// Creates an object, aggregated in outer when outer is not null (riid is then IID_IUnknown and
// the object hands back its non-delegating IUnknown; the factory refuses any other riid with
// E_NOINTERFACE before calling). Objects that cannot be aggregated return CLASS_E_NOAGGREGATION
// for a non-null outer.
using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID riid, void** ppv);

struct FactoryEntry {
    const CLSID* clsid;
    const wchar_t* name;  // registry display name, for self-registration
    CreateFunction create;
    // Filter-mapper data for a filter; null for other objects (property pages).
    const REGFILTER2* setup = nullptr;
    // The filter category; null means the default DirectShow filter category.
    const CLSID* category = nullptr;
};

// The module's live COM objects. Every object the server hands out holds one of these (as a
// member or base), so that the DLL is not unloaded while it is in use. Class factories count
// too: a client may hold one without locking the server.
class ModuleObject {
public:
    ModuleObject() noexcept;
    ModuleObject(const ModuleObject&) noexcept;
    ModuleObject& operator=(const ModuleObject&) noexcept { return *this; }
    ~ModuleObject();
};

class ClassFactory final : public vnt::ComObject<IClassFactory, IID_IClassFactory> {
public:
    // *ppv receives riid on a new factory for entry, which must outlive it (a static table).
    static HRESULT create(const FactoryEntry& entry, REFIID riid, void** ppv) noexcept;

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    explicit ClassFactory(const FactoryEntry& entry) noexcept : entry_(entry) {}
    ~ClassFactory() = default;

    ModuleObject module_;
    const FactoryEntry& entry_;
};

// The module (the server DLL, or a program the code is linked into) that holds this code, and
// with it the server's resources.
HMODULE thisModule() noexcept;

LONG moduleObjectCount() noexcept;
LONG moduleLockCount() noexcept;

// For DllGetClassObject: a factory for the entry whose CLSID is clsid.
HRESULT getClassObject(const FactoryEntry* entries, std::size_t count, REFCLSID clsid, REFIID riid,
                       void** ppv) noexcept;

template <std::size_t N>
HRESULT getClassObject(const FactoryEntry (&entries)[N], REFCLSID clsid, REFIID riid, void** ppv) noexcept {
    return getClassObject(entries, N, clsid, riid, ppv);
}

// For DllCanUnloadNow: S_OK when no object is alive and the server is not locked, else S_FALSE.
HRESULT canUnloadNow() noexcept;

}  // namespace dshow
