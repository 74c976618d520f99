#include "tools/virtualcam/CameraInstances.h"

#include "camera/VantorUsbIds.h"
#include "dshow/Registration.h"
#include "framework/ComPtr.h"
#include "framework/Trace.h"
#include "tools/virtualcam/VirtualCamera.h"

#include <oaidl.h>
#include <ocidl.h>
#include <strmif.h>
#include <uuids.h>

#include <cwchar>
#include <cwctype>
#include <new>

namespace vcam {

namespace {

// Not the maker's: a camera the program must enumerate and leave alone.
constexpr uint16_t kForeignVendorId = 0x2F3A;
constexpr uint16_t kForeignProductId = 0x0C10;

constexpr wchar_t kCaptureInterfaceClass[] = L"{65e8773d-8f56-11d0-a3b9-00a0c9223196}";

bool equalsNoCase(const std::wstring& a, const wchar_t* b) { return _wcsicmp(a.c_str(), b) == 0; }

std::wstring guidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

// Reads one space-separated word from text at pos; false at the end.
bool nextWord(const std::wstring& text, size_t& pos, std::wstring& word) {
    while (pos < text.size() && std::iswspace(text[pos])) ++pos;
    if (pos >= text.size()) return false;
    const size_t start = pos;
    while (pos < text.size() && !std::iswspace(text[pos])) ++pos;
    word = text.substr(start, pos - start);
    return true;
}

std::wstring trimmed(const std::wstring& text) {
    size_t first = 0, last = text.size();
    while (first < last && std::iswspace(text[first])) ++first;
    while (last > first && std::iswspace(text[last - 1])) --last;
    std::wstring out = text.substr(first, last - first);
    if (out.size() >= 2 && out.front() == L'"' && out.back() == L'"') out = out.substr(1, out.size() - 2);
    return out;
}

// Registered instances of our class only: a key of another device is never touched.
bool isOurInstance(const std::wstring& instanceId) {
    wchar_t value[40] = {};
    DWORD bytes = sizeof value - sizeof(wchar_t);
    return RegGetValueW(HKEY_CLASSES_ROOT, instanceKeyPath(instanceId).c_str(), L"CLSID", RRF_RT_REG_SZ, nullptr,
                        value, &bytes) == ERROR_SUCCESS &&
           _wcsicmp(value, guidText(CLSID_VirtualCamera).c_str()) == 0;
}

bool instanceExists(const std::wstring& instanceId) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, instanceKeyPath(instanceId).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

using dshow::ComScope;

}  // namespace

bool parseCameraModel(const std::wstring& text, CameraModel& model) {
    if (equalsNoCase(text, L"A")) model = CameraModel::A;
    else if (equalsNoCase(text, L"B")) model = CameraModel::B;
    else if (equalsNoCase(text, L"foreign")) model = CameraModel::Foreign;
    else return false;
    return true;
}

bool validInstanceId(const std::wstring& id) {
    if (id.empty() || id.size() > 100) return false;
    for (wchar_t c : id) {
        const bool plain = (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
        if (!plain && c != L'&' && c != L'_' && c != L'-' && c != L'.') return false;
    }
    return true;
}

std::wstring cameraDevicePath(CameraModel model, const std::wstring& instanceId) {
    unsigned vendor = vantor::kUsbVendorId, product = vantor::kUsbProductIdModelA;
    if (model == CameraModel::B) product = vantor::kUsbProductIdModelB;
    if (model == CameraModel::Foreign) {
        vendor = kForeignVendorId;
        product = kForeignProductId;
    }
    wchar_t device[64] = {};
    swprintf(device, 64, L"usb#vid_%04X&pid_%04X&mi_00#", vendor, product);
    return std::wstring(L"\\\\?\\") + device + instanceId + L"#" + kCaptureInterfaceClass + L"\\global";
}

std::wstring instanceIdOfPath(const std::wstring& devicePath) {
    const size_t first = devicePath.find(L'#');
    if (first == std::wstring::npos) return std::wstring();
    const size_t second = devicePath.find(L'#', first + 1);
    if (second == std::wstring::npos) return std::wstring();
    const size_t third = devicePath.find(L'#', second + 1);
    if (third == std::wstring::npos) return std::wstring();
    std::wstring id = devicePath.substr(second + 1, third - second - 1);
    return validInstanceId(id) ? id : std::wstring();
}

std::wstring defaultFriendlyName(CameraModel model) {
    switch (model) {
    case CameraModel::A: return L"Skeo Virtual Camera";
    case CameraModel::B: return L"Pello Virtual Camera";
    default: return L"Generic Virtual Camera";
    }
}

std::wstring instanceKeyPath(const std::wstring& instanceId) {
    return L"CLSID\\" + guidText(CLSID_VideoInputDeviceCategory) + L"\\Instance\\" + instanceId;
}

bool parseInstallCommand(const wchar_t* text, InstallCommand& command) {
    if (!text) return false;
    try {
        const std::wstring line(text);
        size_t pos = 0;
        std::wstring verb, word;
        if (!nextWord(line, pos, verb)) return false;
        InstallCommand parsed;
        if (equalsNoCase(verb, L"add")) {
            parsed.verb = InstallCommand::Verb::Add;
            if (!nextWord(line, pos, word) || !parseCameraModel(word, parsed.model)) return false;
        } else if (equalsNoCase(verb, L"remove")) {
            parsed.verb = InstallCommand::Verb::Remove;
        } else if (equalsNoCase(verb, L"pull")) {
            parsed.verb = InstallCommand::Verb::Pull;
        } else if (equalsNoCase(verb, L"plug")) {
            parsed.verb = InstallCommand::Verb::Plug;
        } else {
            return false;
        }
        if (!nextWord(line, pos, parsed.instanceId) || !validInstanceId(parsed.instanceId)) return false;
        const std::wstring rest = trimmed(line.substr(pos));
        if (parsed.verb != InstallCommand::Verb::Add) {
            if (!rest.empty()) return false;
        } else {
            parsed.friendlyName = rest.empty() ? defaultFriendlyName(parsed.model) : rest;
        }
        command = parsed;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

HRESULT addCameraInstance(CameraModel model, const std::wstring& instanceId, const std::wstring& friendlyName) noexcept {
    if (!validInstanceId(instanceId) || friendlyName.empty()) return E_INVALIDARG;
    try {
        ComScope com;
        // An instance of that name from another class is not ours to replace.
        if (instanceExists(instanceId) && !isOurInstance(instanceId)) return HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS);
        vnt::ComPtr<IMoniker> moniker;
        HRESULT hr = dshow::registerFilter(CLSID_VirtualCamera, friendlyName.c_str(), &CLSID_VideoInputDeviceCategory,
                                           instanceId.c_str(), virtualCameraFilterData(), moniker.put());
        if (FAILED(hr)) return hr;
        if (!moniker) return E_NOINTERFACE;
        // Through the moniker's own bag, where the device enumerator reads it back.
        vnt::ComPtr<IPropertyBag> bag;
        hr = moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.putVoid());
        if (FAILED(hr)) return hr;
        const std::wstring path = cameraDevicePath(model, instanceId);
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(path.c_str());
        if (!v.bstrVal) return E_OUTOFMEMORY;
        hr = bag->Write(L"DevicePath", &v);
        VariantClear(&v);
        if (FAILED(hr)) return hr;
        // A re-added instance is plugged in again.
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, instanceKeyPath(instanceId).c_str(), 0, KEY_SET_VALUE, &key) ==
            ERROR_SUCCESS) {
            RegDeleteValueW(key, L"Pulled");
            RegCloseKey(key);
        }
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT removeCameraInstance(const std::wstring& instanceId) noexcept {
    if (!validInstanceId(instanceId)) return E_INVALIDARG;
    try {
        if (!instanceExists(instanceId)) return S_OK;
        if (!isOurInstance(instanceId)) return E_ACCESSDENIED;
        ComScope com;
        return dshow::unregisterFilter(CLSID_VirtualCamera, &CLSID_VideoInputDeviceCategory, instanceId.c_str());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT removeAllCameraInstances() noexcept {
    ComScope com;
    return dshow::unregisterFilterInstances(CLSID_VirtualCamera, CLSID_VideoInputDeviceCategory);
}

HRESULT setCameraPulled(const std::wstring& instanceId, bool pulled) noexcept {
    if (!validInstanceId(instanceId)) return E_INVALIDARG;
    try {
        if (!isOurInstance(instanceId)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        HKEY key = nullptr;
        LONG err = RegOpenKeyExW(HKEY_CLASSES_ROOT, instanceKeyPath(instanceId).c_str(), 0, KEY_SET_VALUE, &key);
        if (err != ERROR_SUCCESS) return HRESULT_FROM_WIN32(err);
        const DWORD value = pulled ? 1 : 0;
        err = RegSetValueExW(key, L"Pulled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(key);
        return HRESULT_FROM_WIN32(err);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT runInstallCommand(bool install, const wchar_t* text) noexcept {
    InstallCommand command;
    if (!parseInstallCommand(text, command)) {
        vnt::trace(L"VirtualCamera DllInstall: cannot read \"%ls\"", text ? text : L"");
        return E_INVALIDARG;
    }
    HRESULT hr = E_INVALIDARG;
    if (!install) {
        hr = removeCameraInstance(command.instanceId);
    } else {
        switch (command.verb) {
        case InstallCommand::Verb::Add:
            hr = addCameraInstance(command.model, command.instanceId, command.friendlyName);
            break;
        case InstallCommand::Verb::Remove: hr = removeCameraInstance(command.instanceId); break;
        case InstallCommand::Verb::Pull: hr = setCameraPulled(command.instanceId, true); break;
        case InstallCommand::Verb::Plug: hr = setCameraPulled(command.instanceId, false); break;
        }
    }
    if (FAILED(hr)) vnt::trace(L"VirtualCamera DllInstall \"%ls\" failed 0x%08x", text, static_cast<unsigned>(hr));
    return hr;
}

}  // namespace vcam
