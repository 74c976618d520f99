// Reads the input reports of every registered HID device on one worker thread and posts each one,
// on the user-interface thread, as a notification under the name its registrant chose. Everything but
// the worker runs on the user-interface thread that created the monitor.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/VNTThreadLoop.h"
#include "app/VNTWindow.h"
#include "camera/HidDeviceAccess.h"
#include "framework/Handles.h"

class VNTHidReportMonitor : public VNTWindow, public VNTThreadLoop {
public:
    // Sent by the worker to the monitor's window with wParam the reader record.
    static constexpr UINT kReportMessage = WM_USER + 11;
    // Reads that fail this many times in a row (device gone) stop; the device is then opened afresh by
    // the worker every kReopenIntervalMs and at every device arrival, and read again once it opens.
    static constexpr int kMaxConsecutiveFailures = 3;
    static constexpr DWORD kReopenIntervalMs = 3000;

    static VNTHidReportMonitor& instance();

    // Public so that tests can run monitors of their own; the program uses instance().
    VNTHidReportMonitor();
    ~VNTHidReportMonitor() override;

    // Opens the device and starts its first read. True also when the path is already registered.
    bool registerHidReader(const std::wstring& path, const std::wstring& notificationName, const HIDP_CAPS& caps);
    bool unregisterHidReader(const std::wstring& path);

    // Starts the worker unless it runs; the registering camera calls it after its registration.
    bool startWorker();
    bool workerRunning() const { return threadRunning(); }

    size_t readerCount() const;
    // False for an unknown path and for a device whose reads were given up.
    bool isReading(const std::wstring& path) const;

    LRESULT windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct ReaderRecord {
        HIDP_CAPS caps{};
        std::wstring notificationName;
        std::unique_ptr<HidDevice> device;
        vnt::KernelHandle event;  // auto reset; the read state's event
        OVERLAPPED readState{};
        std::vector<BYTE> buffer;
        DWORD bytesRead = 0;
        bool reading = false;  // being read: a read is outstanding or its report is being delivered
        int failures = 0;      // consecutive failed reads
        unsigned long long id = 0;  // unique for the monitor's life; the worker names records by it
    };
    using Entry = std::pair<const std::wstring, std::unique_ptr<ReaderRecord>>;

    void run() override;
    void stopWorker();
    // Stops a record's outstanding read and closes its device; leaves the record in place.
    static void closeDevice(ReaderRecord& record);

    void handleSignalled(unsigned long long id);
    // Worker: opens the devices whose reads were given up and reads those that open.
    void reopenGivenUp();

    // Called with the lock held.
    bool startNextRead(const std::wstring& path, ReaderRecord& record);
    // Reads from a newly opened device; returns the device it replaces, to be closed without the lock.
    std::unique_ptr<HidDevice> readFrom(const std::wstring& path, ReaderRecord& record,
                                        std::unique_ptr<HidDevice> device, bool& reading);
    Entry* findLocked(unsigned long long id);
    bool containsLocked(const ReaderRecord* record) const;

    std::map<std::wstring, std::unique_ptr<ReaderRecord>> readers_;
    // Guards readers_ and the records against the worker. Never held across the worker's wait or its
    // send to the window, so the user-interface thread can always take it.
    mutable CRITICAL_SECTION lock_;
    unsigned long long nextId_ = 1;
    // Auto reset: set at a device arrival, so the worker opens given-up devices at once.
    vnt::KernelHandle arrivalEvent_;
    vnt::DeviceNotification arrivals_;

    // User-interface thread only: the record being delivered, and records unregistered during that
    // delivery, kept until it ends because the worker still refers to them.
    const ReaderRecord* delivering_ = nullptr;
    // The record the worker is sending to the window, under the lock; null between reports.
    const ReaderRecord* sending_ = nullptr;
    std::vector<std::unique_ptr<ReaderRecord>> retired_;
};
