#include "framework/FileSystem.h"

#include <windows.h>

namespace vnt {

bool fileExists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace vnt
