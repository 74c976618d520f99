// Redirects HKEY_CURRENT_USER of this process to an empty key of its own for the lifetime of the
// object, so that tests never see or touch the user's real settings.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    bool active() const { return key_ != nullptr; }

private:
    HKEY key_ = nullptr;
};

// Raw access to (redirected) HKEY_CURRENT_USER, bypassing the code under test.
struct RawValue {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> data;
    std::wstring text() const;  // REG_SZ data as text, without the final NUL
    uint32_t dword() const;
};
RawValue readRaw(const std::wstring& key, const std::wstring& name);
bool writeRaw(const std::wstring& key, const std::wstring& name, DWORD type, const void* data, DWORD bytes);
bool keyExists(const std::wstring& key);
bool createKey(const std::wstring& key);
bool deleteValue(const std::wstring& key, const std::wstring& name);

}  // namespace testsupport
