// Waiting on the user-interface thread for something that may itself be waiting on that thread.
#pragma once

#include <windows.h>

namespace vnt {

// Waits for the handle to be signalled, answering the messages sent to this thread meanwhile (a
// worker blocked in SendMessage to it would otherwise never end) and nothing else, so posted
// messages keep their order. False when the wait failed and a plain wait had to finish it.
bool waitAnsweringSentMessages(HANDLE handle);

}  // namespace vnt
