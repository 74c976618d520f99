#include "app/VNTThreadLoop.h"

#include <process.h>

VNTThreadLoop::~VNTThreadLoop() { stopThread(); }

bool VNTThreadLoop::startThread() {
    if (thread_) return true;
    if (!stopEvent_) stopEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!stopEvent_) return false;
    const uintptr_t handle = _beginthreadex(nullptr, 0, &VNTThreadLoop::threadEntry, this, 0, nullptr);
    if (handle == 0) {
        CloseHandle(stopEvent_);
        stopEvent_ = nullptr;
        return false;
    }
    thread_ = reinterpret_cast<HANDLE>(handle);
    return true;
}

void VNTThreadLoop::stopThread() {
    if (thread_) {
        SetEvent(stopEvent_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    if (stopEvent_) {
        CloseHandle(stopEvent_);
        stopEvent_ = nullptr;
    }
}

unsigned __stdcall VNTThreadLoop::threadEntry(void* self) {
    static_cast<VNTThreadLoop*>(self)->run();
    return 0;
}
