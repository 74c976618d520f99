#include "tests/support/SkeoProcess.h"

#include <vector>

namespace testsupport {

SkeoProcess::~SkeoProcess() {
    if (info_.hProcess) {
        if (running()) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 10000);
        }
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

std::wstring SkeoProcess::executablePath() {
    wchar_t self[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    std::wstring path(self, n);
    path.erase(path.find_last_of(L"\\/") + 1);
    return path + L"Skeo.exe";
}

bool SkeoProcess::start(const std::wstring& arguments) {
    commandLine_ = L"\"" + executablePath() + L"\"";
    if (!arguments.empty()) commandLine_ += L" " + arguments;
    std::vector<wchar_t> buffer(commandLine_.begin(), commandLine_.end());
    buffer.push_back(L'\0');
    STARTUPINFOW si{};
    si.cb = sizeof si;
    return CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_) != 0;
}

bool SkeoProcess::waitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!info_.hProcess || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(info_.hProcess, exitCode);
    return true;
}

bool SkeoProcess::running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

namespace {
struct FindContext {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK findMainDialog(HWND hwnd, LPARAM param) {
    auto* ctx = reinterpret_cast<FindContext*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64];
    if (pid == ctx->pid && GetClassNameW(hwnd, cls, 64) && std::wstring(cls) == L"VNTUI_Skeo_MainDlg") {
        ctx->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A dialog in the tray is owned by a hidden window, so top-level enumeration still finds it.
HWND findMainDialogOf(DWORD pid) {
    FindContext ctx{pid, nullptr};
    EnumWindows(&findMainDialog, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}
}  // namespace

HWND SkeoProcess::mainWindow(DWORD timeoutMs) const {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (HWND hwnd = findMainDialogOf(info_.dwProcessId)) return hwnd;
        if (GetTickCount64() >= deadline || !running()) return nullptr;
        Sleep(20);
    }
}

}  // namespace testsupport
