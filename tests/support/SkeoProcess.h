// Starts Skeo.exe (built beside the test executables) as a real process and watches it.
#pragma once

#include "tests/support/TraceFile.h"

#include <windows.h>

#include <string>

namespace testsupport {

class SkeoProcess {
public:
    SkeoProcess() = default;
    ~SkeoProcess();  // ends a process that is still running
    SkeoProcess(const SkeoProcess&) = delete;
    SkeoProcess& operator=(const SkeoProcess&) = delete;

    static std::wstring executablePath();

    // Starts "<quoted path>" followed by arguments (if any); the command line is kept.
    bool start(const std::wstring& arguments);
    bool waitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    bool running() const;
    // The process's main dialog (class "VNTUI_Skeo_MainDlg"), waiting for it to appear.
    HWND mainWindow(DWORD timeoutMs = 30000) const;

    DWORD processId() const { return info_.dwProcessId; }
    const std::wstring& commandLine() const { return commandLine_; }

private:
    PROCESS_INFORMATION info_{};
    std::wstring commandLine_;
};



}  // namespace testsupport
