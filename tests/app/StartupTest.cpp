// Start-up end to end: real Skeo.exe processes, observed through their windows, their trace file
// and the shared instance block.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "settings/VNTRegedit.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/SkeoProcess.h"

using testsupport::SkeoProcess;
using testsupport::TraceFile;

namespace {

constexpr DWORD kTimeout = 30000;
constexpr UINT kOpenCommand = 32771;
constexpr UINT kCloseCommand = 32775;
const wchar_t kBlockName[] = L"{30DEE059-DF1F-4b64-8922-D2AB7935D7B3}";

struct BlockCopy {
    bool present = false;
    uint32_t threadId = 0;
    std::wstring commandLine;
    bool terminated = false;
};

BlockCopy readInstanceBlock() {
    BlockCopy copy;
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, kBlockName);
    if (!mapping) return copy;
    const auto* bytes = static_cast<const unsigned char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4100));
    if (bytes) {
        copy.present = true;
        memcpy(&copy.threadId, bytes, 4);
        const auto* text = reinterpret_cast<const wchar_t*>(bytes + 4);
        size_t n = 0;
        while (n < 2048 && text[n] != L'\0') ++n;
        copy.terminated = n < 2048;
        copy.commandLine.assign(text, n);
        UnmapViewOfFile(bytes);
    }
    CloseHandle(mapping);
    return copy;
}

bool waitVisible(HWND hwnd, bool visible) {
    const ULONGLONG deadline = GetTickCount64() + kTimeout;
    while ((IsWindowVisible(hwnd) != FALSE) != visible) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
    return true;
}

// The window is centred on the work area of its monitor, to the pixel (odd remainders aside).
void expectCentred(HWND hwnd) {
    RECT rc;
    ASSERT_TRUE(GetWindowRect(hwnd, &rc));
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &mi));
    EXPECT_NEAR((rc.left + rc.right) / 2, (mi.rcWork.left + mi.rcWork.right) / 2, 1);
    EXPECT_NEAR((rc.top + rc.bottom) / 2, (mi.rcWork.top + mi.rcWork.bottom) / 2, 1);
}

void endThroughCloseCommand(SkeoProcess& skeo, HWND hwnd) {
    SendMessageTimeoutW(hwnd, WM_COMMAND, MAKEWPARAM(kCloseCommand, 0), 0, SMTO_NORMAL, kTimeout, nullptr);
    DWORD code = 1234;
    ASSERT_TRUE(skeo.waitForExit(kTimeout, &code));
    EXPECT_EQ(code, 0u);
}

TEST(SingleInstance, SecondStartHandsOverToTheRunningCopyAndExits) {
    TraceFile trace(L"skeo-single-instance");
    SkeoProcess first;
    ASSERT_TRUE(first.start(L"-startup"));
    HWND hwnd = first.mainWindow();
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(trace.waitFor("started at log-on, staying in the notification area"));
    EXPECT_FALSE(IsWindowVisible(hwnd));

    BlockCopy block = readInstanceBlock();
    ASSERT_TRUE(block.present);
    EXPECT_EQ(block.threadId, GetWindowThreadProcessId(hwnd, nullptr));
    EXPECT_TRUE(block.commandLine.empty());
    EXPECT_NE(trace.contents().find("first instance, thread " + std::to_string(block.threadId)), std::string::npos);

    // A command line longer than the block holds is stored cut to 2047 units and a NUL.
    SkeoProcess second;
    ASSERT_TRUE(second.start(L"-document " + std::wstring(3000, L'a')));
    ASSERT_GT(second.commandLine().size(), 2047u);
    DWORD code = 1234;
    ASSERT_TRUE(second.waitForExit(kTimeout, &code));
    EXPECT_EQ(code, 0u);

    ASSERT_TRUE(trace.waitFor("VNTSkeoMainWnd::OnTrayOpen"));
    EXPECT_TRUE(waitVisible(hwnd, true));
    expectCentred(hwnd);
    EXPECT_TRUE(first.running());

    block = readInstanceBlock();
    EXPECT_EQ(block.threadId, GetWindowThreadProcessId(hwnd, nullptr));
    EXPECT_TRUE(block.terminated);
    EXPECT_EQ(block.commandLine, second.commandLine().substr(0, 2047));
    // The second copy never made a window of its own: only one main dialog trace.
    EXPECT_EQ(trace.count("VNTSkeoMainWnd: initialised"), 1);
    EXPECT_EQ(trace.count("second instance, waking thread " + std::to_string(block.threadId)), 1);

    endThroughCloseCommand(first, hwnd);
}

TEST(SingleInstance, StartingAgainAfterTheEndIsAFirstInstanceAgain) {
    TraceFile trace(L"skeo-start-twice");
    for (int round = 1; round <= 2; ++round) {
        SkeoProcess skeo;
        ASSERT_TRUE(skeo.start(L""));
        HWND hwnd = skeo.mainWindow();
        ASSERT_NE(hwnd, nullptr) << "round " << round;
        EXPECT_TRUE(trace.waitFor("first instance, thread", round)) << "round " << round;
        endThroughCloseCommand(skeo, hwnd);
    }
    EXPECT_EQ(trace.count("second instance"), 0);
    EXPECT_FALSE(readInstanceBlock().present);  // the block went with its last handle
}

TEST(Settings, AFirstStartStoresEveryDefaultAndTheLanguage) {
    // This is the test prefix's own user registry, never a person's.
    VNTRegedit(L"Zevlan").deleteKeyTree(L"Software\\Vantor\\Zevlan");
    TraceFile trace(L"skeo-first-start");
    SkeoProcess skeo;
    ASSERT_TRUE(skeo.start(L"-startup"));
    HWND hwnd = skeo.mainWindow();
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(trace.waitFor("VNTSkeoMainWnd: initialised"));

    const std::wstring key = L"Software\\Vantor\\Zevlan";
    for (const wchar_t* name : {L"VideoDevice", L"PhotoLibraryLocation", L"PhotoNameUserDefine", L"LastSystemTime\t"})
        EXPECT_EQ(testsupport::readRaw(key, name).type, static_cast<DWORD>(REG_SZ)) << name;
    for (const wchar_t* name : {L"FlickerCorrection", L"InstantPreview", L"SoundEffectFocus", L"SoundEffectSnapshot",
                                L"PhotoNameFormat", L"ProgrammableKeyFunction", L"TimeSerialNumber",
                                L"CustomSerialNumber", L"CameraSettingsPreload"})
        EXPECT_EQ(testsupport::readRaw(key, name).type, static_cast<DWORD>(REG_DWORD)) << name;
    const testsupport::RawValue language = testsupport::readRaw(key + L"\\Language", L"LANGID");
    EXPECT_EQ(language.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_TRUE(language.dword() == 1033 || language.dword() == 1028 || language.dword() == 1041);
    const std::wstring library = testsupport::readRaw(key, L"PhotoLibraryLocation").text();
    EXPECT_NE(library.find(L"\\My pictures\\Skeo\\"), std::wstring::npos) << library;
    EXPECT_NE(GetFileAttributesW(library.c_str()), INVALID_FILE_ATTRIBUTES);
    endThroughCloseCommand(skeo, hwnd);
}

TEST(MainWindow, ClosingHidesInTheTrayAndOnlyTheOkPathEnds) {
    TraceFile trace(L"skeo-main-window");
    SkeoProcess skeo;
    ASSERT_TRUE(skeo.start(L""));
    HWND hwnd = skeo.mainWindow();
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(waitVisible(hwnd, true));
    RECT rc;
    GetWindowRect(hwnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 694);
    EXPECT_EQ(rc.bottom - rc.top, 578);
    expectCentred(hwnd);

    // System Close and Cancel (Escape) both put the window in the tray; the program stays.
    SendMessageTimeoutW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_NORMAL, kTimeout, nullptr);
    EXPECT_TRUE(waitVisible(hwnd, false));
    EXPECT_TRUE(skeo.running());
    SendMessageTimeoutW(hwnd, WM_COMMAND, MAKEWPARAM(kOpenCommand, 0), 0, SMTO_NORMAL, kTimeout, nullptr);
    EXPECT_TRUE(waitVisible(hwnd, true));
    SendMessageTimeoutW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0, SMTO_NORMAL, kTimeout, nullptr);
    EXPECT_TRUE(waitVisible(hwnd, false));
    SendMessageTimeoutW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0, SMTO_NORMAL, kTimeout, nullptr);
    EXPECT_TRUE(skeo.running());

    // "Open" on a shown window that was moved away centres it again.
    SendMessageTimeoutW(hwnd, WM_COMMAND, MAKEWPARAM(kOpenCommand, 0), 0, SMTO_NORMAL, kTimeout, nullptr);
    ASSERT_TRUE(waitVisible(hwnd, true));
    SetWindowPos(hwnd, nullptr, 3, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageTimeoutW(hwnd, WM_COMMAND, MAKEWPARAM(kOpenCommand, 0), 0, SMTO_NORMAL, kTimeout, nullptr);
    expectCentred(hwnd);
    EXPECT_EQ(trace.count("VNTSkeoMainWnd::OnTrayOpen"), 3);

    // A quit message sent to the window takes the OK path.
    SendMessageTimeoutW(hwnd, WM_QUIT, 0, 0, SMTO_NORMAL, kTimeout, nullptr);
    DWORD code = 1234;
    ASSERT_TRUE(skeo.waitForExit(kTimeout, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(trace.count("OK path, ending the program"), 1);
}

}  // namespace
