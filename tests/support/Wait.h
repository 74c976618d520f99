// Polls without pumping messages, for waits on other threads' work.
#pragma once

#include <windows.h>

#include <functional>

namespace testsupport {

// True once done() holds; false if it still does not after timeoutMs.
inline bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(5);
    }
    return true;
}

}  // namespace testsupport
