#include "dshow/Registration.h"

#include "framework/ComPtr.h"
#include "framework/ModulePath.h"

#include <uuids.h>

#include <vector>

namespace dshow {

namespace {

struct Key {
    HKEY h = nullptr;
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (h) RegCloseKey(h);
    }
};

std::wstring clsidKeyPath(REFCLSID clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    return std::wstring(L"CLSID\\") + text;
}

LONG setString(HKEY key, const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool isNotFound(HRESULT hr) {
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

// The older mapper takes a filter, its pins and their types one call at a time.
HRESULT registerWithOldMapper(IFilterMapper& mapper, REFCLSID clsid, const wchar_t* name, const REGFILTER2& setup) {
    HRESULT hr = mapper.RegisterFilter(clsid, name, setup.dwMerit);
    if (FAILED(hr) || setup.dwVersion != 1) return hr;  // version-2 pins carry no names to register
    for (ULONG i = 0; i < setup.cPins; ++i) {
        const REGFILTERPINS& pin = setup.rgPins[i];
        hr = mapper.RegisterPin(clsid, pin.strName, pin.bRendered, pin.bOutput, pin.bZero, pin.bMany,
                                pin.clsConnectsToFilter ? *pin.clsConnectsToFilter : CLSID_NULL,
                                pin.strConnectsToPin);
        if (FAILED(hr)) return hr;
        for (UINT t = 0; t < pin.nMediaTypes; ++t) {
            const REGPINTYPES& type = pin.lpMediaType[t];
            hr = mapper.RegisterPinType(clsid, pin.strName, type.clsMajorType ? *type.clsMajorType : GUID_NULL,
                                        type.clsMinorType ? *type.clsMinorType : GUID_NULL);
            if (FAILED(hr)) return hr;
        }
    }
    return S_OK;
}

bool isDefaultCategory(const CLSID* category) {
    return !category || IsEqualCLSID(*category, CLSID_LegacyAmFilterCategory);
}

}  // namespace

HRESULT registerComClass(REFCLSID clsid, const wchar_t* name, const std::wstring& path) noexcept {
    try {
        Key classKey;
        LONG err = RegCreateKeyExW(HKEY_CLASSES_ROOT, clsidKeyPath(clsid).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                   &classKey.h, nullptr);
        if (err == ERROR_SUCCESS) err = setString(classKey.h, nullptr, name ? name : L"");
        Key serverKey;
        if (err == ERROR_SUCCESS)
            err = RegCreateKeyExW(classKey.h, L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr, &serverKey.h,
                                  nullptr);
        if (err == ERROR_SUCCESS) err = setString(serverKey.h, nullptr, path);
        if (err == ERROR_SUCCESS) err = setString(serverKey.h, L"ThreadingModel", L"Both");
        return HRESULT_FROM_WIN32(err);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT unregisterComClass(REFCLSID clsid) noexcept {
    try {
        const LONG err = RegDeleteTreeW(HKEY_CLASSES_ROOT, clsidKeyPath(clsid).c_str());
        return err == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(err);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT registerFilter(REFCLSID clsid, const wchar_t* name, const CLSID* category, const wchar_t* instance,
                       const REGFILTER2& setup, IMoniker** moniker) noexcept {
    if (moniker) *moniker = nullptr;
    ComScope com;
    vnt::ComPtr<IFilterMapper2> mapper2;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  mapper2.putVoid());
    if (SUCCEEDED(hr)) return mapper2->RegisterFilter(clsid, name, moniker, category, instance, &setup);
    if (!isDefaultCategory(category) || instance) return hr;
    vnt::ComPtr<IFilterMapper> mapper;
    hr = CoCreateInstance(CLSID_FilterMapper, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper, mapper.putVoid());
    if (FAILED(hr)) return hr;
    return registerWithOldMapper(*mapper.get(), clsid, name, setup);
}

HRESULT unregisterFilter(REFCLSID clsid, const CLSID* category, const wchar_t* instance) noexcept {
    ComScope com;
    vnt::ComPtr<IFilterMapper2> mapper2;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  mapper2.putVoid());
    if (SUCCEEDED(hr)) {
        hr = mapper2->UnregisterFilter(category, instance, clsid);
    } else if (isDefaultCategory(category) && !instance) {
        vnt::ComPtr<IFilterMapper> mapper;
        hr = CoCreateInstance(CLSID_FilterMapper, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper, mapper.putVoid());
        if (SUCCEEDED(hr)) hr = mapper->UnregisterFilter(clsid);
    }
    return isNotFound(hr) ? S_OK : hr;
}

HRESULT unregisterFilterInstances(REFCLSID clsid, const CLSID& category) noexcept {
    try {
        wchar_t wanted[40] = {};
        StringFromGUID2(clsid, wanted, 40);
        const std::wstring instances = clsidKeyPath(category) + L"\\Instance";
        std::vector<std::wstring> ours;
        {
            Key key;
            const LONG err = RegOpenKeyExW(HKEY_CLASSES_ROOT, instances.c_str(), 0, KEY_READ, &key.h);
            if (err == ERROR_FILE_NOT_FOUND) return S_OK;
            if (err != ERROR_SUCCESS) return HRESULT_FROM_WIN32(err);
            // Collected first: deleting while enumerating would shift the indexes.
            wchar_t name[256];
            for (DWORD i = 0;; ++i) {
                DWORD length = 256;
                const LONG e = RegEnumKeyExW(key.h, i, name, &length, nullptr, nullptr, nullptr, nullptr);
                if (e == ERROR_NO_MORE_ITEMS) break;
                if (e != ERROR_SUCCESS) continue;
                wchar_t value[40] = {};
                DWORD bytes = sizeof value - sizeof(wchar_t);
                if (RegGetValueW(key.h, name, L"CLSID", RRF_RT_REG_SZ, nullptr, value, &bytes) == ERROR_SUCCESS &&
                    _wcsicmp(value, wanted) == 0)
                    ours.emplace_back(name);
            }
        }
        HRESULT result = S_OK;
        // Every one is tried, so that one stubborn key does not keep the rest registered.
        for (const std::wstring& instance : ours) {
            const HRESULT hr = unregisterFilter(clsid, &category, instance.c_str());
            if (FAILED(hr) && SUCCEEDED(result)) result = hr;
        }
        return result;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT registerServer(const FactoryEntry* entries, std::size_t count) noexcept {
    std::wstring path;
    try {
        path = vnt::modulePath(thisModule());
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    for (std::size_t i = 0; i < count; ++i) {
        const HRESULT hr = registerComClass(*entries[i].clsid, entries[i].name, path);
        if (FAILED(hr)) return hr;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const FactoryEntry& entry = entries[i];
        if (!entry.setup) continue;
        const HRESULT hr = registerFilter(*entry.clsid, entry.name, entry.category, nullptr, *entry.setup);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT unregisterServer(const FactoryEntry* entries, std::size_t count) noexcept {
    for (std::size_t i = 0; i < count; ++i) {
        const FactoryEntry& entry = entries[i];
        if (!entry.setup) continue;
        const HRESULT hr = unregisterFilter(*entry.clsid, entry.category, nullptr);
        if (FAILED(hr)) return hr;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const HRESULT hr = unregisterComClass(*entries[i].clsid);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

}  // namespace dshow
