// Questions about files on disk.
#pragma once

#include <cstdint>
#include <string>

namespace vnt {

// True when a file or folder of that path exists (and its attributes can be read).
bool fileExists(const std::wstring& path);

// A file's size and last write time: whether it is still the file read before.
struct FileStamp {
    uint64_t size = 0;
    uint64_t written = 0;  // FILETIME
    bool operator==(const FileStamp& o) const { return size == o.size && written == o.written; }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

// False when the file's attributes cannot be read (gone, or no access) or it is a folder.
bool fileStamp(const std::wstring& path, FileStamp& stamp);

}  // namespace vnt
