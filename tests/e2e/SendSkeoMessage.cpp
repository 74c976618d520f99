// Sends one message to the running program's main window, as the camera classes and the tray menu
// do: "send-skeo-message <registered message name | command> <wParam> <lParam>". "command" sends
// WM_COMMAND. Exit code 0 when the window was there, 1 when it was not, 2 on bad arguments.
// "send-skeo-message device-removed|device-arrived <device path>" broadcasts the device change the
// system broadcasts when a camera's cable is pulled or plugged in.
// "send-skeo-message hid-snapshot-button" presses the snapshot button of the scripted HID device that
// SkeoScriptedHid.exe serves.
// "send-skeo-message junk" sends every private and registered message the program knows, with
// numbers that are no valid parameters, to every window of the running program, as any other
// program on the desktop could; exit code 0 when the program still answers afterwards.
// "send-skeo-message close|quit" posts WM_CLOSE or WM_QUIT to the main window;
// "send-skeo-message end-session" sends what Windows sends at log-off (WM_QUERYENDSESSION, then
// WM_ENDSESSION) and returns once the program has answered both.
#include <windows.h>
#include <dbt.h>

#include <string>
#include <vector>

#include <cstdio>
#include <cwchar>

namespace {

int broadcastDeviceChange(bool arrived, const wchar_t* path) {
    const size_t length = wcslen(path);
    std::vector<BYTE> record(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) + length * sizeof(wchar_t), 0);
    auto* change = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(record.data());
    change->dbcc_size = static_cast<DWORD>(record.size());
    change->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    wmemcpy(change->dbcc_name, path, length + 1);
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, arrived ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                               reinterpret_cast<LPARAM>(change), SMTO_ABORTIFHUNG, 5000, &result)
               ? 0
               : 1;
}

BOOL CALLBACK collectChild(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

struct ProcessWindows {
    DWORD process;
    std::vector<HWND> windows;
};

BOOL CALLBACK collectTopLevel(HWND window, LPARAM context) {
    auto* found = reinterpret_cast<ProcessWindows*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != found->process) return TRUE;
    found->windows.push_back(window);
    EnumChildWindows(window, &collectChild, reinterpret_cast<LPARAM>(&found->windows));
    return TRUE;
}

// Every window of the program's process, hidden ones and their children included.
std::vector<HWND> programWindows(HWND main) {
    ProcessWindows found{0, {}};
    GetWindowThreadProcessId(main, &found.process);
    EnumWindows(&collectTopLevel, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

int sendJunk(HWND main) {
    static const wchar_t* const kRegistered[] = {
        L"WM_VNTWebcam_SnapshotKey", L"WM_VNTWebcam_SnapshotImage", L"WM_VNTWebcamSkeo_FocusKey",
        L"WM_VNTWebcamSkeo_FocusMode", L"WM_VNTWebcamSkeoPlus_ExposureChanged", L"WM_VNTWebcamZev_SendKey",
        L"Vantor-REG-Object", L"Vantor-DEREG-Object", L"{30DEE059-DF1F-4b64-8922-D2AB7935D7B3}",
        L"TaskBarCreated", L"WM_XHYPERLINK_CLICKED"};
    // Pointers into nowhere, the largest numbers, and small ones; wParam never 0 or 1, which are the
    // snapshot and focus requests a person's click sends.
    static const struct {
        WPARAM w;
        LPARAM l;
    } kJunk[] = {{2, 0}, {static_cast<WPARAM>(-1), -1}, {0xDEADBEEF, 0xDEADBEEF}, {0x10000, 0x10000},
                 {0x7FFFFFFF, 2}, {3, 0x7FFFFFFF}};
    std::vector<UINT> messages;
    for (UINT m = WM_USER; m <= WM_USER + 31; ++m) messages.push_back(m);
    messages.push_back(WM_APP + 0x2E1);
    for (const wchar_t* name : kRegistered) messages.push_back(RegisterWindowMessageW(name));
    const std::vector<HWND> windows = programWindows(main);
    std::fwprintf(stderr, L"junk to %u windows\n", static_cast<unsigned>(windows.size()));
    for (HWND window : windows) {
        // The common controls' WM_USER range is their own interface, which trusts its caller on
        // every Windows (a tooltip reads a pointer from TTM_ADDTOOL): only the program's windows and
        // the system's plain controls get the program's private numbers.
        wchar_t cls[64] = {};
        GetClassNameW(window, cls, 64);
        const std::wstring name = cls;
        const bool commonControl = name == L"tooltips_class32" || name.rfind(L"Sys", 0) == 0 ||
                                   name.rfind(L"msctls_", 0) == 0 || name == L"ToolbarWindow32" ||
                                   name == L"ReBarWindow32" || name == L"ComboBoxEx32";
        for (UINT message : messages) {
            if (commonControl && message < WM_APP) continue;
            for (const auto& junk : kJunk) PostMessageW(window, message, junk.w, junk.l);
        }
        // Sent, as a notification or a dialog's start would be: the system passes these numbers on as
        // they are.
        DWORD_PTR result = 0;
        for (const auto& junk : kJunk) {
            SendMessageTimeoutW(window, WM_NOTIFY, junk.w, junk.l, SMTO_ABORTIFHUNG, 2000, &result);
            SendMessageTimeoutW(window, WM_INITDIALOG, junk.w, junk.l, SMTO_ABORTIFHUNG, 2000, &result);
        }
        const char bytes[] = "not a message anyone asked for";
        COPYDATASTRUCT copy{0xDEADBEEF, sizeof bytes, const_cast<char*>(bytes)};
        SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, 2000, &result);
    }
    // Still answering: a message round trip through its queue.
    DWORD_PTR result = 0;
    return IsWindow(main) && SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &result) ? 0 : 1;
}

int endSession(HWND main) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &result) ||
        !result)
        return 1;
    return SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &result) ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && wcscmp(argv[1], L"hid-snapshot-button") == 0) {
        HANDLE pressed = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"SkeoScriptedHidSnapshotButton");
        const bool set = pressed && SetEvent(pressed);
        if (pressed) CloseHandle(pressed);
        return set ? 0 : 1;
    }
    if (argc == 3 && (wcscmp(argv[1], L"device-removed") == 0 || wcscmp(argv[1], L"device-arrived") == 0))
        return broadcastDeviceChange(wcscmp(argv[1], L"device-arrived") == 0, argv[2]);
    if (argc == 2) {
        HWND main = FindWindowW(L"VNTUI_Skeo_MainDlg", nullptr);
        if (!main) return 1;
        const std::wstring what = argv[1];
        if (what == L"junk") return sendJunk(main);
        if (what == L"end-session") return endSession(main);
        if (what == L"close") return PostMessageW(main, WM_CLOSE, 0, 0) ? 0 : 1;
        if (what == L"quit") return PostMessageW(main, WM_QUIT, 0, 0) ? 0 : 1;
    }
    if (argc != 4) {
        std::fwprintf(stderr, L"usage: send-skeo-message <message name|command> <wParam> <lParam>\n");
        return 2;
    }
    const UINT message = wcscmp(argv[1], L"command") == 0 ? WM_COMMAND : RegisterWindowMessageW(argv[1]);
    HWND window = FindWindowW(L"VNTUI_Skeo_MainDlg", nullptr);
    if (!message || !window) return 1;
    const WPARAM wParam = static_cast<WPARAM>(wcstoull(argv[2], nullptr, 0));
    const LPARAM lParam = static_cast<LPARAM>(wcstoll(argv[3], nullptr, 0));
    // Posted: a sent message would hold this process for the length of the photo's black frame.
    return PostMessageW(window, message, wParam, lParam) ? 0 : 1;
}
