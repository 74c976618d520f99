#include "tests/support/HiddenClass.h"

namespace testsupport {

namespace {

bool copyTree(const std::wstring& from, const std::wstring& to) {
    HKEY source = nullptr, target = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, from.c_str(), 0, KEY_READ, &source) != ERROR_SUCCESS) return false;
    bool ok = RegCreateKeyExW(HKEY_LOCAL_MACHINE, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target,
                              nullptr) == ERROR_SUCCESS;
    if (ok) ok = RegCopyTreeW(source, nullptr, target) == ERROR_SUCCESS;
    if (target) RegCloseKey(target);
    RegCloseKey(source);
    return ok;
}

}  // namespace

HiddenClass::HiddenClass(REFCLSID clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    key_ = std::wstring(L"Software\\Classes\\CLSID\\") + text;
    aside_ = key_ + L".aside";
    // A run that died while the class was hidden left it aside: put it back first.
    HKEY left = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, aside_.c_str(), 0, KEY_READ, &left) == ERROR_SUCCESS) {
        RegCloseKey(left);
        if (copyTree(aside_, key_)) RegDeleteTreeW(HKEY_LOCAL_MACHINE, aside_.c_str());
    }
    hidden_ = copyTree(key_, aside_) && RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str()) == ERROR_SUCCESS;
}

HiddenClass::~HiddenClass() {
    if (hidden_ && copyTree(aside_, key_)) RegDeleteTreeW(HKEY_LOCAL_MACHINE, aside_.c_str());
}

}  // namespace testsupport
