// A trace file of the test's own: SKEO_TRACE names it for this process and the processes it
// starts. The trace routine reads SKEO_TRACE once, at its first line, so a test that reads its
// own process's lines makes one before anything traces (a global object does).
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

class TraceFile {
public:
    explicit TraceFile(const std::wstring& name);
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;
    const std::wstring& path() const { return path_; }
    std::string contents() const;
    int count(const std::string& needle) const;
    // Waits until the needle occurs at least `times` times.
    bool waitFor(const std::string& needle, int times = 1, DWORD timeoutMs = 30000) const;

private:
    std::wstring path_;
};

}  // namespace testsupport
