// Registers a COM server DLL the way an installer does: with the system's regsvr32, silently.
#pragma once

#include <string>

namespace testsupport {

// Runs "regsvr32 /s <arguments> <path>" and returns its exit code; -1 when it did not run or hung.
int regsvr32(const std::wstring& dllPath, const std::wstring& arguments);

// A file in this test program's folder, where the build puts the DLLs it registers.
std::wstring besideProgram(const wchar_t* fileName);

}  // namespace testsupport
