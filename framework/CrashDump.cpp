#include "framework/CrashDump.h"

#include <windows.h>
#include <dbghelp.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <vector>

namespace vnt {

namespace {

// Made at start, so that the crashing process need not make them.
wchar_t g_folder[MAX_PATH];
wchar_t g_program[64];
wchar_t g_version[32];
LONG g_entered = 0;

void appendLine(const wchar_t* path, const wchar_t* line) {
    char text[1024];
    const int length = WideCharToMultiByte(CP_UTF8, 0, line, -1, text, sizeof text, nullptr, nullptr);
    if (length <= 1) return;
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(length - 1), &written, nullptr);
    CloseHandle(file);
}

// Names carry the local time first, so by name is by age.
void keepNewest(const std::wstring& folder, const std::wstring& program) {
    std::vector<std::wstring> dumps;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + program + L"-*.dmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) dumps.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    if (dumps.size() <= static_cast<size_t>(CrashDumps::kKept)) return;
    std::sort(dumps.begin(), dumps.end());
    for (size_t i = 0; i + CrashDumps::kKept < dumps.size(); ++i) DeleteFileW((folder + dumps[i]).c_str());
}

LONG WINAPI writeDump(EXCEPTION_POINTERS* exception) {
    // A second fault while writing, or in another thread meanwhile, goes straight on.
    if (InterlockedExchange(&g_entered, 1) != 0) return EXCEPTION_CONTINUE_SEARCH;
    CreateDirectoryW(g_folder, nullptr);
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t name[128];
    std::swprintf(name, 128, L"%ls-%04u%02u%02u-%02u%02u%02u-%lu.dmp", g_program, now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, GetCurrentProcessId());
    const std::wstring folder(g_folder);
    const std::wstring path = folder + name;
    bool written = false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        MINIDUMP_EXCEPTION_INFORMATION where{GetCurrentThreadId(), exception, FALSE};
        written = MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file,
                                    static_cast<MINIDUMP_TYPE>(MiniDumpWithThreadInfo | MiniDumpWithUnloadedModules),
                                    &where, nullptr, nullptr) != FALSE;
        CloseHandle(file);
        if (!written) DeleteFileW(path.c_str());
    }
    const EXCEPTION_RECORD* record = exception ? exception->ExceptionRecord : nullptr;
    const void* address = record ? record->ExceptionAddress : nullptr;
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<const wchar_t*>(address), &module);
    wchar_t modulePath[MAX_PATH] = L"?";
    if (module) GetModuleFileNameW(module, modulePath, MAX_PATH);
    const wchar_t* moduleName = std::wcsrchr(modulePath, L'\\') ? std::wcsrchr(modulePath, L'\\') + 1 : modulePath;
    wchar_t line[768];
    std::swprintf(line, 768, L"%04u-%02u-%02u %02u:%02u:%02u %ls %ls: exception 0x%08lX at %ls+0x%llX, thread %lu; %ls %ls\r\n",
                  now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, g_program, g_version,
                  record ? static_cast<unsigned long>(record->ExceptionCode) : 0ul, moduleName,
                  static_cast<unsigned long long>(static_cast<const char*>(address) - reinterpret_cast<const char*>(module)),
                  GetCurrentThreadId(), written ? L"dump" : L"no dump could be written:", name);
    appendLine((folder + L"crashes.txt").c_str(), line);
    OutputDebugStringW(line);
    if (written) keepNewest(folder, g_program);
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void CrashDumps::install(const std::wstring& folder, const std::wstring& program, const std::wstring& version) {
    if (folder.empty() || folder.size() + 1 >= MAX_PATH) return;
    lstrcpynW(g_folder, folder.c_str(), MAX_PATH);
    if (g_folder[folder.size() - 1] != L'\\') lstrcatW(g_folder, L"\\");
    lstrcpynW(g_program, program.c_str(), 64);
    lstrcpynW(g_version, version.c_str(), 32);
    SetUnhandledExceptionFilter(writeDump);
}

std::wstring CrashDumps::defaultFolder(const std::wstring& company, const std::wstring& product) {
    wchar_t local[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, local)))
        return std::wstring();
    std::wstring folder = std::wstring(local) + L"\\" + company + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    folder += product + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"CrashDumps\\";
}

}  // namespace vnt
