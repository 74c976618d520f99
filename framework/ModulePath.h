// The file a loaded module came from. Header-only, so the DLLs that link nothing of Skeo may use it.
#pragma once

#include <windows.h>

#include <string>

namespace vnt {

// The whole path of the module (this program when none is given), however long: a path cut
// short would name another file. Empty when it cannot be had.
inline std::wstring modulePath(HMODULE module = nullptr) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() >= 32768) return std::wstring();
        path.resize(path.size() * 2);
    }
}

}  // namespace vnt
