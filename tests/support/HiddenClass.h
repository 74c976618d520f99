// Makes a registered COM class uncreatable for the life of the object, by moving its key under
// HKEY_LOCAL_MACHINE\Software\Classes\CLSID aside in the test prefix and putting it back after.
// (Wine ignores per-user class registrations, which would be the gentler way.)
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

class HiddenClass {
public:
    explicit HiddenClass(REFCLSID clsid);
    ~HiddenClass();
    HiddenClass(const HiddenClass&) = delete;
    HiddenClass& operator=(const HiddenClass&) = delete;

    bool hidden() const { return hidden_; }

private:
    std::wstring key_;
    std::wstring aside_;
    bool hidden_ = false;
};

}  // namespace testsupport
