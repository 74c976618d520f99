#include "settings/VNTRegedit.h"

#include <windows.h>

#include <vector>

#include "framework/Handles.h"
#include "framework/ModulePath.h"
#include "framework/Trace.h"

const wchar_t VNTRegedit::kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {

// A text longer than any Windows path or name is not a setting we wrote: treat it as unreadable.
constexpr DWORD kMaxTextBytes = 32768 * sizeof(wchar_t);

vnt::RegKey openKey(const std::wstring& path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return vnt::RegKey();
    return vnt::RegKey(key);
}

vnt::RegKey createKey(const std::wstring& path, REGSAM access) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return vnt::RegKey();
    return vnt::RegKey(key);
}

bool writeText(HKEY key, const std::wstring& valueName, const std::wstring& text) {
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) ==
           ERROR_SUCCESS;
}

}  // namespace

VNTRegedit::VNTRegedit(std::wstring productName) : productName_(std::move(productName)) {}

std::wstring VNTRegedit::productKey() const { return L"Software\\Vantor\\" + productName_; }

std::wstring VNTRegedit::keyPath(const std::wstring& subkey) const {
    return subkey.empty() ? productKey() : productKey() + L"\\" + subkey;
}

bool VNTRegedit::setString(const std::wstring& text, const std::wstring& subkey, const std::wstring& valueName) {
    if (productName_.empty()) return false;
    vnt::RegKey key = createKey(keyPath(subkey), KEY_SET_VALUE);
    return key && writeText(key.get(), valueName, text);
}

bool VNTRegedit::getString(std::wstring& text, const std::wstring& subkey, const std::wstring& valueName) {
    if (productName_.empty()) return false;
    vnt::RegKey key = openKey(keyPath(subkey), KEY_QUERY_VALUE);
    if (!key) return false;

    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return false;
    // Only text we could have written counts: no other type, no half code unit, nothing huge.
    if (type != REG_SZ || bytes <= 1 || bytes % sizeof(wchar_t) != 0 || bytes > kMaxTextBytes) {
        vnt::trace(L"VNTRegedit: value %ls has type %lu and %lu bytes, ignored", valueName.c_str(), type, bytes);
        return false;
    }
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t));
    DWORD read = bytes;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &read) != ERROR_SUCCESS ||
        type != REG_SZ || read > bytes)
        return false;
    size_t units = read / sizeof(wchar_t);
    // Written by us the text ends in its NUL; another writer may have left it out.
    if (units > 0 && buffer[units - 1] == L'\0') --units;
    text.assign(buffer.data(), units);
    return true;
}

bool VNTRegedit::setDword(int32_t value, const std::wstring& subkey, const std::wstring& valueName) {
    if (productName_.empty()) return false;
    vnt::RegKey key = createKey(keyPath(subkey), KEY_SET_VALUE);
    if (!key) return false;
    const DWORD data = static_cast<DWORD>(value);
    return RegSetValueExW(key.get(), valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

bool VNTRegedit::getDword(int32_t& value, const std::wstring& subkey, const std::wstring& valueName) {
    if (productName_.empty()) return false;
    vnt::RegKey key = createKey(keyPath(subkey), KEY_QUERY_VALUE);
    if (!key) return false;
    DWORD type = 0;
    DWORD data = 0;
    DWORD bytes = sizeof data;
    const LONG status =
        RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &bytes);
    if (status == ERROR_FILE_NOT_FOUND) return false;
    if (status != ERROR_SUCCESS || type != REG_DWORD || bytes != sizeof data) {
        vnt::trace(L"VNTRegedit: value %ls is not a 32-bit number (type %lu), ignored", valueName.c_str(), type);
        return false;
    }
    value = static_cast<int32_t>(data);
    return true;
}

bool VNTRegedit::getStringOrDefault(std::wstring& text, const std::wstring& subkey, const std::wstring& valueName,
                                    const std::wstring& defaultText) {
    if (getString(text, subkey, valueName)) return true;
    if (!setString(defaultText, subkey, valueName)) return false;
    text = defaultText;
    return true;
}

bool VNTRegedit::getDwordOrDefault(int32_t& value, const std::wstring& subkey, const std::wstring& valueName,
                                   int32_t defaultValue) {
    if (getDword(value, subkey, valueName)) return true;
    if (!setDword(defaultValue, subkey, valueName)) return false;
    value = defaultValue;
    return true;
}

bool VNTRegedit::setRunAtStartup(bool enable) {
    if (productName_.empty()) return false;
    vnt::RegKey key = openKey(kRunKey, KEY_SET_VALUE);
    if (!key) return false;
    if (!enable) {
        RegDeleteValueW(key.get(), productName_.c_str());
        return false;
    }
    const std::wstring path = vnt::modulePath();
    if (path.empty()) return false;
    return writeText(key.get(), productName_, L"\"" + path + L"\" -startup");
}

bool VNTRegedit::isRunAtStartup() {
    if (productName_.empty()) return false;
    vnt::RegKey key = openKey(kRunKey, KEY_QUERY_VALUE);
    if (!key) return false;
    DWORD bytes = 0;
    return RegQueryValueExW(key.get(), productName_.c_str(), nullptr, nullptr, nullptr, &bytes) == ERROR_SUCCESS;
}

bool VNTRegedit::deleteKeyTree(const std::wstring& keyPath) {
    if (productName_.empty()) return false;
    std::wstring path = keyPath;
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    // An empty path would name HKEY_CURRENT_USER itself.
    if (path.empty()) {
        vnt::trace(L"VNTRegedit::deleteKeyTree: refusing an empty key path");
        return false;
    }
    if (RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS) return true;

    HKEY raw = nullptr;
    const LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &raw);
    if (status != ERROR_SUCCESS) return status == ERROR_FILE_NOT_FOUND;
    vnt::RegKey key(raw);

    // Always take the first subkey: each deletion shifts the rest down.
    for (;;) {
        wchar_t name[256];  // the longest key name the registry allows is 255 characters
        DWORD length = sizeof name / sizeof name[0];
        if (RegEnumKeyExW(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (!deleteKeyTree(path + L"\\" + std::wstring(name, length))) break;
    }
    key.reset();
    return RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS;
}
