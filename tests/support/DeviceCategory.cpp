#include "tests/support/DeviceCategory.h"

#include <ocidl.h>
#include <uuids.h>

namespace testsupport {

namespace {

std::wstring readText(IPropertyBag* bag, const wchar_t* name) {
    VARIANT v;
    VariantInit(&v);
    std::wstring text;
    if (SUCCEEDED(bag->Read(name, &v, nullptr)) && v.vt == VT_BSTR) text = v.bstrVal;
    VariantClear(&v);
    return text;
}

}  // namespace

std::vector<ListedDevice> devicesInCategory(REFCLSID category) {
    std::vector<ListedDevice> out;
    vnt::ComPtr<ICreateDevEnum> devices;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devices.putVoid())))
        return out;
    vnt::ComPtr<IEnumMoniker> monikers;
    if (devices->CreateClassEnumerator(category, monikers.put(), 0) != S_OK) return out;
    for (vnt::ComPtr<IMoniker> moniker; monikers->Next(1, moniker.put(), nullptr) == S_OK;) {
        vnt::ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.putVoid()))) continue;
        ListedDevice d;
        d.name = readText(bag.get(), L"FriendlyName");
        d.path = readText(bag.get(), L"DevicePath");
        d.clsid = readText(bag.get(), L"CLSID");
        d.moniker = moniker;
        out.push_back(d);
    }
    return out;
}

}  // namespace testsupport
