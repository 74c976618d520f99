// Naming of photo files, free of Windows headers so it is tested natively.
#pragma once

#include <string>
#include <vector>

namespace skeo {

// "YYYY-MM-DD" as "%d-%.2d-%.2d": the date part of date-named photos.
std::wstring formatPhotoDate(int year, int month, int day);

// folder + prefix + "_" + serial (at least four digits) + ".jpg"; the folder ends in "\".
std::wstring formatPhotoPath(const std::wstring& folder, const std::wstring& prefix, long long serial);

// The program's own photos among a folder's file names (prefix + "_" + a serial of at least four
// digits + ".jpg", in any case), oldest first as the program names them: by prefix (ignoring case),
// then by serial as a number, then by name.
std::vector<std::wstring> ownPhotosOldestFirst(const std::vector<std::wstring>& names);

// The prefix (as written) and serial of a name the program gives its photos; false for any other
// name, and for a serial too long to be a number.
bool splitOwnPhotoName(const std::wstring& name, std::wstring& prefix, long long& serial);

// The folders to create, outermost first, so that every level of the path exists: each prefix of the
// path up to and including a "\" that is not its first character ("D:\Photos\Class\" gives "D:\",
// "D:\Photos\", "D:\Photos\Class\").
std::vector<std::wstring> folderLevels(const std::wstring& path);

}  // namespace skeo
