// Stands in for a web browser: writes the command line it was started with to the file that
// SKEO_PROBE_OUT names (UTF-16), so a test can see exactly what the link ran.
#include <windows.h>

#include <cwchar>

int wmain() {
    wchar_t out[MAX_PATH];
    if (!GetEnvironmentVariableW(L"SKEO_PROBE_OUT", out, MAX_PATH)) return 1;
    const wchar_t* line = GetCommandLineW();
    HANDLE file = CreateFileW(out, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(std::wcslen(line) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return 0;
}
