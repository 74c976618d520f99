#include "tests/support/RegistrySandbox.h"

#include <cstring>

namespace testsupport {
namespace {
std::wstring g_sandboxPath;

// Deletes a key tree under the real HKEY_CURRENT_USER (the override is already gone).
void deleteTree(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        wchar_t name[256];
        for (;;) {
            DWORD length = 256;
            if (RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            const std::wstring child = path + L"\\" + name;
            deleteTree(child);
            HKEY probe = nullptr;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, child.c_str(), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
                RegCloseKey(probe);
                break;  // could not delete: stop rather than loop
            }
        }
        RegCloseKey(key);
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
}
}  // namespace

RegistrySandbox::RegistrySandbox() {
    static int counter = 0;
    g_sandboxPath = L"Software\\SkeoTestSandbox\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                    std::to_wstring(++counter);
    deleteTree(g_sandboxPath);
    if (RegCreateKeyExW(HKEY_CURRENT_USER, g_sandboxPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS) {
        key_ = nullptr;
        return;
    }
    if (RegOverridePredefKey(HKEY_CURRENT_USER, key_) != ERROR_SUCCESS) {
        RegCloseKey(key_);
        key_ = nullptr;
        return;
    }
}

RegistrySandbox::~RegistrySandbox() {
    if (!key_) return;
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(key_);
    deleteTree(g_sandboxPath);
}

std::wstring RawValue::text() const {
    std::wstring t(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    if (!t.empty() && t.back() == L'\0') t.pop_back();
    return t;
}

uint32_t RawValue::dword() const {
    uint32_t v = 0;
    if (data.size() == 4) std::memcpy(&v, data.data(), 4);
    return v;
}

RawValue readRaw(const std::wstring& keyPath, const std::wstring& name) {
    RawValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return value;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &bytes) == ERROR_SUCCESS) {
        value.data.resize(bytes);
        if (RegQueryValueExW(key, name.c_str(), nullptr, &value.type, value.data.data(), &bytes) == ERROR_SUCCESS) {
            value.present = true;
            value.data.resize(bytes);
        }
    }
    RegCloseKey(key);
    return value;
}

bool writeRaw(const std::wstring& keyPath, const std::wstring& name, DWORD type, const void* data, DWORD bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const bool ok = RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool keyExists(const std::wstring& keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool createKey(const std::wstring& keyPath) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool deleteValue(const std::wstring& keyPath, const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
    const bool ok = RegDeleteValueW(key, name.c_str()) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

}  // namespace testsupport
