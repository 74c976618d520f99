// A COM client of the installed effects filter that shares no code with Skeo: it creates the filter
// by its class id, as any capture application would, and looks for it in the system's list of
// DirectShow filters. Prints one line per finding; exit code 0 only when the filter was created and
// is listed, 1 otherwise.
#include <windows.h>
#include <dshow.h>

#include <cstdio>

namespace {

// The filter's class id, written out here rather than taken from the filter's header.
const CLSID kFilterClsid = {0x15617d4a, 0xd387, 0x475a, {0x8b, 0x08, 0x18, 0x57, 0x4f, 0xb8, 0x3d, 0x34}};

int countPins(IBaseFilter* filter) {
    IEnumPins* pins = nullptr;
    if (FAILED(filter->EnumPins(&pins)) || !pins) return -1;
    int count = 0;
    IPin* pin = nullptr;
    while (pins->Next(1, &pin, nullptr) == S_OK) {
        ++count;
        pin->Release();
    }
    pins->Release();
    return count;
}

// The friendly name under which the legacy filter category lists the class, empty when it does not.
bool listedName(wchar_t* name, size_t capacity) {
    ICreateDevEnum* devices = nullptr;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                reinterpret_cast<void**>(&devices))))
        return false;
    IEnumMoniker* monikers = nullptr;
    bool found = false;
    if (devices->CreateClassEnumerator(CLSID_LegacyAmFilterCategory, &monikers, 0) == S_OK && monikers) {
        IMoniker* moniker = nullptr;
        while (!found && monikers->Next(1, &moniker, nullptr) == S_OK) {
            IPropertyBag* bag = nullptr;
            if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(&bag)))) {
                VARIANT value;
                VariantInit(&value);
                CLSID clsid{};
                if (SUCCEEDED(bag->Read(L"CLSID", &value, nullptr)) && value.vt == VT_BSTR &&
                    SUCCEEDED(CLSIDFromString(value.bstrVal, &clsid)) && IsEqualCLSID(clsid, kFilterClsid)) {
                    VariantClear(&value);
                    if (SUCCEEDED(bag->Read(L"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR) {
                        lstrcpynW(name, value.bstrVal, static_cast<int>(capacity));
                        found = true;
                    }
                }
                VariantClear(&value);
                bag->Release();
            }
            moniker->Release();
        }
        monikers->Release();
    }
    devices->Release();
    return found;
}

}  // namespace

int wmain() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int result = 1;
    IBaseFilter* filter = nullptr;
    const HRESULT hr = CoCreateInstance(kFilterClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                        reinterpret_cast<void**>(&filter));
    if (FAILED(hr) || !filter) {
        std::printf("filter-client: not created (0x%08lx)\n", static_cast<unsigned long>(hr));
    } else {
        wchar_t path[MAX_PATH] = L"";
        GetModuleFileNameW(GetModuleHandleW(L"VantorImageEffects.dll"), path, MAX_PATH);
        std::printf("filter-client: created from %ls with %d pins\n", path, countPins(filter));
        wchar_t name[256] = L"";
        if (listedName(name, 256)) {
            std::printf("filter-client: listed as \"%ls\"\n", name);
            result = 0;
        } else {
            std::printf("filter-client: not in the DirectShow filters' list\n");
        }
        filter->Release();
    }
    CoUninitialize();
    return result;
}
