#include "tests/support/TraceFile.h"

#include <fstream>
#include <sstream>

namespace testsupport {

TraceFile::TraceFile(const std::wstring& name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    path_ = std::wstring(dir) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L".log";
    DeleteFileW(path_.c_str());
    SetEnvironmentVariableW(L"SKEO_TRACE", path_.c_str());
}

TraceFile::~TraceFile() {
    SetEnvironmentVariableW(L"SKEO_TRACE", nullptr);
    DeleteFileW(path_.c_str());
}

std::string TraceFile::contents() const {
    std::ifstream in(path_.c_str(), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

int TraceFile::count(const std::string& needle) const {
    const std::string text = contents();
    int n = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++n;
    return n;
}

bool TraceFile::waitFor(const std::string& needle, int times, DWORD timeoutMs) const {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (count(needle) < times) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
    return true;
}

}  // namespace testsupport
