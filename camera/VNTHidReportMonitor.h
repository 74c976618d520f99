// Reads the input reports of every registered HID device on one worker thread and posts each one,
// on the user-interface thread, as a notification under the name its registrant chose. Everything but
// the worker runs on the user-interface thread that created the monitor.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/VNTWindow.h"
#include "camera/HidDeviceAccess.h"
#include "framework/Handles.h"
#include "framework/WorkerThread.h"

class VNTHidReportMonitor : public VNTWindow {
public:
    // Sent by the worker to the monitor's window with wParam the reader record.
    static constexpr UINT kReportMessage = WM_USER + 11;
    // Reads that fail this many times in a row (device gone) stop until the path is registered again.
    static constexpr int kMaxConsecutiveFailures = 3;

    static VNTHidReportMonitor& instance();

    // Public so that tests can run monitors of their own; the program uses instance().
    VNTHidReportMonitor();
    ~VNTHidReportMonitor() override;

    // Opens the device and starts its first read. True also when the path is already registered.
    bool registerHidReader(const std::wstring& path, const std::wstring& notificationName, const HIDP_CAPS& caps);
    bool unregisterHidReader(const std::wstring& path);

    // Starts the worker unless it runs; the registering camera calls it after its registration.
    bool startWorker();
    bool workerRunning() const { return worker_.running(); }

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

    static void workerEntry(void* self, HANDLE stop);
    void run(HANDLE stop);
    void stopWorker();
    // Stops a record's outstanding read and closes its device; leaves the record in place.
    static void closeDevice(ReaderRecord& record);

    void handleSignalled(unsigned long long id);
    // Waits for the worker to end while answering its sends, which it may be blocked in.

    // Called with the lock held.
    bool startNextRead(const std::wstring& path, ReaderRecord& record);
    Entry* findLocked(unsigned long long id);
    bool containsLocked(const ReaderRecord* record) const;

    std::map<std::wstring, std::unique_ptr<ReaderRecord>> readers_;
    // Guards readers_ and the records against the worker. Never held across the worker's wait or its
    // send to the window, so the user-interface thread can always take it.
    mutable CRITICAL_SECTION lock_;
    unsigned long long nextId_ = 1;
    vnt::WorkerThread worker_;

    // User-interface thread only: the record being delivered, and records unregistered during that
    // delivery, kept until it ends because the worker still refers to them.
    const ReaderRecord* delivering_ = nullptr;
    // The record the worker is sending to the window, under the lock; null between reports.
    const ReaderRecord* sending_ = nullptr;
    std::vector<std::unique_ptr<ReaderRecord>> retired_;
};
