// A fresh folder under the temporary folder (inside the test's Wine prefix), removed afterwards.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

class TempFolder {
public:
    explicit TempFolder(const std::wstring& name);
    ~TempFolder();
    // The folder's path, ending in "\".
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

bool fileExists(const std::wstring& path);
bool writeFile(const std::wstring& path, const std::string& bytes);
// Removes a folder with everything in it.
void removeTree(const std::wstring& folder);

}  // namespace testsupport
