// Pumps the calling thread's messages until a condition holds or a deadline passes, and sees
// messages sent to it waiting without answering them.
#pragma once

#include <windows.h>

#include <functional>

#include "tests/support/Wait.h"

namespace testsupport {

inline bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now < 50 ? deadline - now : 50),
                                  QS_ALLINPUT);
    }
}

// True once another thread is blocked sending a message to this one; does not answer it.
inline bool sentMessageWaiting(DWORD timeoutMs = 10000) {
    return waitUntil([] { return (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0; }, timeoutMs);
}

}  // namespace testsupport
