// Sends one message to the running program's main window, as the camera classes and the tray menu
// do: "send-skeo-message <registered message name | command> <wParam> <lParam>". "command" sends
// WM_COMMAND. Exit code 0 when the window was there, 1 when it was not, 2 on bad arguments.
// "send-skeo-message device-removed|device-arrived <device path>" broadcasts the device change the
// system broadcasts when a camera's cable is pulled or plugged in.
// "send-skeo-message hid-snapshot-button" presses the snapshot button of the scripted HID device that
// SkeoScriptedHid.exe serves.
#include <windows.h>
#include <dbt.h>

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
