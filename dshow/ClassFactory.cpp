#include "dshow/ClassFactory.h"

#include <new>

namespace dshow {

namespace {

LONG g_objects = 0;
LONG g_locks = 0;

}  // namespace

ModuleObject::ModuleObject() noexcept { InterlockedIncrement(&g_objects); }

ModuleObject::ModuleObject(const ModuleObject&) noexcept { InterlockedIncrement(&g_objects); }

ModuleObject::~ModuleObject() { InterlockedDecrement(&g_objects); }

HMODULE thisModule() noexcept {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

LONG moduleObjectCount() noexcept { return InterlockedCompareExchange(&g_objects, 0, 0); }

LONG moduleLockCount() noexcept { return InterlockedCompareExchange(&g_locks, 0, 0); }

HRESULT canUnloadNow() noexcept {
    return moduleObjectCount() == 0 && moduleLockCount() == 0 ? S_OK : S_FALSE;
}

HRESULT getClassObject(const FactoryEntry* entries, std::size_t count, REFCLSID clsid, REFIID riid,
                       void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        const FactoryEntry& entry = entries[i];
        if (entry.clsid && entry.create && IsEqualCLSID(*entry.clsid, clsid))
            return ClassFactory::create(entry, riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ClassFactory::create(const FactoryEntry& entry, REFIID riid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    auto* factory = new (std::nothrow) ClassFactory(entry);
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    // An aggregated object can only be handed to its outer object through its own,
    // non-delegating IUnknown; any other interface would delegate back to the outer one. So no
    // object is made and the interface is refused, whether or not the object could be aggregated.
    if (outer && !IsEqualIID(riid, IID_IUnknown)) return E_NOINTERFACE;
    HRESULT hr;
    try {
        hr = entry_.create(outer, riid, ppv);
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    } catch (...) {
        hr = E_UNEXPECTED;
    }
    if (FAILED(hr)) *ppv = nullptr;
    return hr;
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        InterlockedIncrement(&g_locks);
        return S_OK;
    }
    // An unlock without a lock is refused rather than letting the count go negative, which
    // would let the DLL be unloaded under a client that did lock it.
    for (;;) {
        const LONG locks = InterlockedCompareExchange(&g_locks, 0, 0);
        if (locks <= 0) return E_UNEXPECTED;
        if (InterlockedCompareExchange(&g_locks, locks - 1, locks) == locks) return S_OK;
    }
}

}  // namespace dshow
