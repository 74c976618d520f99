// Reads, from outside, what a running program holds: "process-counters <program file name>" prints
// one line "handles=N gdi=N user=N private=N" (private: commit charge in bytes) for the first process
// of that name. Exit code 0 when it was found and read, 1 otherwise.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>

namespace {

DWORD findProcess(const wchar_t* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
        if (lstrcmpiW(entry.szExeFile, name) == 0) found = entry.th32ProcessID;
    CloseHandle(snapshot);
    return found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    const DWORD id = findProcess(argv[1]);
    if (!id) return 1;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    if (!process) return 1;
    DWORD handles = 0;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    const bool read = GetProcessHandleCount(process, &handles) &&
                      GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    CloseHandle(process);
    if (!read) return 1;
    // PrivateUsage is 0 under Wine; PagefileUsage is the same commit charge on Windows.
    const SIZE_T committed = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    std::printf("handles=%lu gdi=%lu user=%lu private=%llu\n", handles, gdi, user,
                static_cast<unsigned long long>(committed));
    return 0;
}
