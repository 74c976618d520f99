// One lock per HID device, shared by every thread and camera object that talks to it: a register
// query's output report and the answer read after it must have no other exchange between them, or
// the answer read is that of another query.
#pragma once

#include <windows.h>

#include <string>

class HidDeviceLock {
public:
    // Holds the lock of the device at path until destroyed; recursive on one thread.
    explicit HidDeviceLock(const std::wstring& path);
    ~HidDeviceLock();
    HidDeviceLock(const HidDeviceLock&) = delete;
    HidDeviceLock& operator=(const HidDeviceLock&) = delete;

private:
    CRITICAL_SECTION* section_;
};
