// A HID device driven by the test: queued input reports complete pending reads the way the driver
// does (bytes copied, the caller's event set), reads can be made to fail or never finish, and output
// reports and writes are recorded.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "camera/HidDeviceAccess.h"

namespace testsupport {

using Bytes = std::vector<uint8_t>;

class ScriptedHidDevice {
public:
    HidAttributes attributes;
    HIDP_CAPS caps{};

    // Completes the pending read with these bytes (cut to the read's length), or the next read started.
    void sendReport(const Bytes& report);
    // Device gone: the pending read fails, and so does every read started from now on: at once when
    // failAtStart, otherwise each is started and then completes with an error (event set), as a driver
    // may answer for a device that went away.
    void unplug(bool failAtStart = true);
    // Back again: opens and reads work.
    void plugIn();
    // The answer to get-input-report for a report id (byte 0).
    void scriptInputReport(const Bytes& report);
    // A camera register: a query for it (output report {2, 0, reg}) makes input report 1 {1, value},
    // as the camera answers the last question asked; once one is scripted, other registers have no
    // answer.
    void scriptRegister(uint8_t reg, uint8_t value);
    // Each output report returns this long after the device has taken it, as a busy camera's does.
    void setOutputReportDelay(DWORD milliseconds);

    int readsStarted() const;
    int readsCancelled() const;
    bool readPending() const;
    int openHandles() const;
    std::vector<Bytes> outputReports() const;
    // The thread that set each output report.
    std::vector<DWORD> outputThreads() const;
    std::vector<Bytes> writes() const;

private:
    friend class ScriptedHidHandle;
    friend class ScriptedHidAccess;

    struct Read {
        uint8_t* buffer = nullptr;
        DWORD length = 0;
        OVERLAPPED* overlapped = nullptr;
    };
    struct Result {
        HidReadStatus status = HidReadStatus::pending;
        DWORD bytes = 0;
    };

    void completeLocked(HidReadStatus status, const Bytes* report);

    mutable std::mutex lock_;
    bool unplugged_ = false;
    bool failAtStart_ = true;
    bool pending_ = false;
    Read read_;
    std::map<const OVERLAPPED*, Result> results_;
    std::deque<Bytes> queued_;
    std::map<uint8_t, Bytes> inputReports_;
    std::map<uint8_t, uint8_t> registers_;
    DWORD outputDelayMs_ = 0;
    std::vector<Bytes> outputReports_;
    std::vector<DWORD> outputThreads_;
    std::vector<Bytes> writes_;
    int readsStarted_ = 0;
    int readsCancelled_ = 0;
    int openHandles_ = 0;
};

// Serves scripted devices by path; every other path fails to open. Installs itself for its lifetime.
class ScriptedHidAccess : public HidDeviceAccess {
public:
    ScriptedHidAccess();
    ~ScriptedHidAccess() override;
    ScriptedHidAccess(const ScriptedHidAccess&) = delete;
    ScriptedHidAccess& operator=(const ScriptedHidAccess&) = delete;

    ScriptedHidDevice& add(const std::wstring& path, USHORT inputReportLength = 8, USHORT outputReportLength = 8);
    int opens(const std::wstring& path) const;

    std::unique_ptr<HidDevice> open(const std::wstring& path, bool overlapped) override;

private:
    mutable std::mutex lock_;
    std::map<std::wstring, std::shared_ptr<ScriptedHidDevice>> devices_;
    std::map<std::wstring, int> opens_;
    HidDeviceAccess* previous_;
};

}  // namespace testsupport
