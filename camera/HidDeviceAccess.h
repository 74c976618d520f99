// Access to a camera's HID interface: open a HID device path, read its identity and report sizes,
// read input reports overlapped and send output reports. The process uses the platform's HID class
// driver; a test installs a scripted device instead, because no camera is attached there.
#pragma once

#include <windows.h>

// MinGW's HID headers do not declare C linkage themselves (the platform SDK's do; nesting is harmless).
extern "C" {
#include <hidsdi.h>
}

#include <memory>
#include <string>

struct HidAttributes {
    USHORT vendorId = 0;
    USHORT productId = 0;
    USHORT versionNumber = 0;
};

enum class HidReadStatus {
    pending,    // still running: the event has not been set for it
    completed,  // finished; the byte count is valid
    failed,     // finished with an error (device gone, read cancelled)
};

// One open HID device, closed when destroyed. Cancel a started read (cancelRead) before destroying the
// device: until then the driver may still write into the read's buffer.
class HidDevice {
public:
    virtual ~HidDevice() = default;

    virtual bool attributes(HidAttributes& attributes) = 0;
    virtual bool capabilities(HIDP_CAPS& caps) = 0;

    // Starts an input read into buffer. The caller owns buffer, overlapped and overlapped.hEvent (which
    // the device sets when the read finishes) and keeps all three alive until readResult reports the
    // read finished or cancelRead returns. False: the read could not be started and the event will not
    // be set for it.
    virtual bool startRead(void* buffer, DWORD length, OVERLAPPED& overlapped) = 0;
    // Does not wait.
    virtual HidReadStatus readResult(OVERLAPPED& overlapped, DWORD& bytesRead) = 0;
    // Cancels a started read and returns once the device no longer touches its buffer.
    virtual void cancelRead(OVERLAPPED& overlapped) = 0;

    virtual bool setOutputReport(const void* report, DWORD length) = 0;
    // report[0] holds the id of the wanted report on entry.
    virtual bool getInputReport(void* report, DWORD length) = 0;
    // Writes an output report down the interrupt pipe (where setting one is not available).
    virtual bool writeReport(const void* report, DWORD length) = 0;
};

class HidDeviceAccess {
public:
    virtual ~HidDeviceAccess() = default;
    // Opens for reading and writing, sharing both, existing device only. Null when it cannot be opened.
    virtual std::unique_ptr<HidDevice> open(const std::wstring& path, bool overlapped) = 0;
};

// The access the program uses: the platform's, unless a test installed another.
HidDeviceAccess& hidDeviceAccess();
// Installs access (null: the platform's again) and returns the one it replaces. Install before the
// objects that open devices start, and restore after they are gone.
HidDeviceAccess* installHidDeviceAccess(HidDeviceAccess* access);
// The platform's access, whatever is installed.
HidDeviceAccess& win32HidDeviceAccess();
