// Where a window tells its owner that something happened: the owner's window and the message.
#pragma once

#include <windows.h>

struct NotifyTarget {
    HWND window = nullptr;
    UINT message = 0;

    // Sent, so that the owner has handled it on return; nothing while no window is set.
    void send(WPARAM wParam = 0, LPARAM lParam = 0) const {
        if (window) SendMessageW(window, message, wParam, lParam);
    }
};
