#include "framework/MessageWait.h"

namespace vnt {

bool waitAnsweringSentMessages(HANDLE handle) {
    for (;;) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        // MWMO_INPUTAVAILABLE: without it a send that the queue status has already reported as seen
        // would not end the wait, and the sender blocked in it would never end.
        const DWORD result = MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) break;
    }
    WaitForSingleObject(handle, INFINITE);
    return false;
}

}  // namespace vnt
