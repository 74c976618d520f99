#include "tests/virtualcam/VirtualCamTestSupport.h"

#include <gtest/gtest.h>


namespace vcamtest {

namespace {

// The trace sink reads SKEO_TRACE once, at the first trace; this runs before main, so before any.
std::wstring tracePath() {
    static const std::wstring path = [] {
        wchar_t dir[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, dir);
        const std::wstring p = std::wstring(dir) + L"virtualcam_tests_" + std::to_wstring(GetCurrentProcessId()) + L".log";
        DeleteFileW(p.c_str());
        SetEnvironmentVariableW(L"SKEO_TRACE", p.c_str());
        return p;
    }();
    return path;
}
const std::wstring kTracePath = tracePath();

class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    void TearDown() override {
        CoUninitialize();
        DeleteFileW(kTracePath.c_str());
    }
};
::testing::Environment* const kCom = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace

std::string traceText() {
    std::string text;
    HANDLE file = CreateFileW(tracePath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
    CloseHandle(file);
    return text;
}

}  // namespace vcamtest
