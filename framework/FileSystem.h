// Questions about files on disk.
#pragma once

#include <string>

namespace vnt {

// True when a file or folder of that path exists (and its attributes can be read).
bool fileExists(const std::wstring& path);

}  // namespace vnt
