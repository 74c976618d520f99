// A fresh folder under the temporary folder (inside the test's Wine prefix), removed afterwards.
#pragma once

#include <windows.h>

#include <string>

#include "framework/FileSystem.h"

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

// The path of a file or folder beside the test program.
std::wstring besideTestProgram(const std::wstring& name);

// A fresh, empty folder of the given name beside the test program (ending in "\"): what a test
// leaves there is read by the checks CTest runs after it.
std::wstring freshFolderBesideTestProgram(const std::wstring& name);

using vnt::fileExists;
bool writeFile(const std::wstring& path, const std::string& bytes);
// A file's bytes; empty when it cannot be read.
std::string readAll(const std::wstring& path);
// Removes a folder with everything in it.
void removeTree(const std::wstring& folder);

}  // namespace testsupport
