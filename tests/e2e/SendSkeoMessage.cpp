// Sends one message to the running program's main window, as the camera classes and the tray menu
// do: "send-skeo-message <registered message name | command> <wParam> <lParam>". "command" sends
// WM_COMMAND. Exit code 0 when the window was there, 1 when it was not, 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
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
