#include "camera/VNTHidReportMonitor.h"

#include <dbt.h>

#include <algorithm>
#include <cstdint>

#include "app/VNTNotificationCenter.h"
#include "framework/Trace.h"

namespace {

const DWORD kWorkerWakeMs = 1000;
// One wait covers every record's event, the arrival event and the stop event.
const size_t kMaxReaders = MAXIMUM_WAIT_OBJECTS - 2;
const GUID kHidInterfaceClass = {0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

}  // namespace

VNTHidReportMonitor& VNTHidReportMonitor::instance() {
    static VNTHidReportMonitor monitor;
    return monitor;
}

VNTHidReportMonitor::VNTHidReportMonitor() {
    InitializeCriticalSection(&lock_);
    vnt::trace(L"VNTHidReportMonitor::VNTHidReportMonitor()     - VNTObject (0x%04llX)",
               static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(this)));
    arrivalEvent_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (window_) {
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = kHidInterfaceClass;
        arrivals_.reset(RegisterDeviceNotificationW(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
    }
    // Without them a device that went away is still tried again every few seconds.
    if (!arrivalEvent_ || !arrivals_)
        vnt::trace(L"VNTHidReportMonitor: HID arrivals are not seen (error %lu)", GetLastError());
}

VNTHidReportMonitor::~VNTHidReportMonitor() {
    vnt::trace(L"VNTHidReportMonitor::~VNTHidReportMonitor()");
    stopWorker();
    {
        vnt::CriticalSectionLock guard(lock_);
        for (auto& entry : readers_) closeDevice(*entry.second);
        readers_.clear();
    }
    retired_.clear();
    DeleteCriticalSection(&lock_);
}

bool VNTHidReportMonitor::registerHidReader(const std::wstring& path, const std::wstring& notificationName,
                                            const HIDP_CAPS& caps) {
    // A zero-length read completes at once and would be restarted at once, for ever.
    if (caps.InputReportByteLength == 0) {
        vnt::trace(L"VNTHidReportMonitor: %ls has no input reports, not read", path.c_str());
        return false;
    }
    {
        vnt::CriticalSectionLock guard(lock_);
        auto it = readers_.find(path);
        if (it != readers_.end() && it->second->reading) return true;
        if (it == readers_.end() && readers_.size() >= kMaxReaders) {
            vnt::trace(L"VNTHidReportMonitor: %u devices are read already, %ls refused",
                       static_cast<unsigned>(readers_.size()), path.c_str());
            return false;
        }
    }

    std::unique_ptr<HidDevice> device = hidDeviceAccess().open(path, true);
    if (!device) return false;

    vnt::CriticalSectionLock guard(lock_);
    auto it = readers_.find(path);
    bool added = false;
    if (it == readers_.end()) {
        std::unique_ptr<ReaderRecord> record(new ReaderRecord);
        record->event.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!record->event) {
            vnt::trace(L"VNTHidReportMonitor: no event for %ls (error %lu)", path.c_str(), GetLastError());
            return false;
        }
        record->id = nextId_++;
        it = readers_.emplace(path, std::move(record)).first;
        added = true;
    } else if (it->second->reading) {
        return true;  // the worker opened it again meanwhile
    }
    // New, or registered again after its reads were given up: the worker is not waiting on a record
    // that is not reading, so its event and buffer are free to change.
    ReaderRecord& record = *it->second;
    record.caps = caps;
    record.notificationName = notificationName;
    record.buffer.assign(caps.InputReportByteLength, 0);
    bool reading = false;
    std::unique_ptr<HidDevice> replaced = readFrom(path, record, std::move(device), reading);
    if (reading) return true;
    if (added) readers_.erase(it);
    return false;
}

std::unique_ptr<HidDevice> VNTHidReportMonitor::readFrom(const std::wstring& path, ReaderRecord& record,
                                                         std::unique_ptr<HidDevice> device, bool& reading) {
    std::unique_ptr<HidDevice> replaced = std::move(record.device);
    record.device = std::move(device);
    record.readState = OVERLAPPED{};
    record.readState.hEvent = record.event.get();
    record.failures = 0;
    reading = startNextRead(path, record);
    return replaced;
}

bool VNTHidReportMonitor::unregisterHidReader(const std::wstring& path) {
    {
        vnt::CriticalSectionLock guard(lock_);
        if (readers_.empty()) return true;
    }
    // Unregistered from inside a report's delivery: the worker is blocked in that delivery, so it can
    // neither be stopped now nor touch the table; the record it refers to is kept until the delivery ends.
    if (delivering_) {
        vnt::CriticalSectionLock guard(lock_);
        auto it = readers_.find(path);
        if (it != readers_.end()) {
            closeDevice(*it->second);
            retired_.push_back(std::move(it->second));
            readers_.erase(it);
        }
        return true;
    }

    const bool ran = workerRunning();
    if (ran) stopWorker();
    {
        vnt::CriticalSectionLock guard(lock_);
        auto it = readers_.find(path);
        if (it != readers_.end()) {
            closeDevice(*it->second);
            readers_.erase(it);
        }
    }
    if (ran) startWorker();
    return true;
}

bool VNTHidReportMonitor::startWorker() { return startThread(); }

// A report being delivered is a message the worker sends to this thread; the stop answers it.
void VNTHidReportMonitor::stopWorker() { stopThread(); }

size_t VNTHidReportMonitor::readerCount() const {
    vnt::CriticalSectionLock guard(lock_);
    return readers_.size();
}

bool VNTHidReportMonitor::isReading(const std::wstring& path) const {
    vnt::CriticalSectionLock guard(lock_);
    auto it = readers_.find(path);
    return it != readers_.end() && it->second->reading;
}

LRESULT VNTHidReportMonitor::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kReportMessage) {
        const ReaderRecord* record = reinterpret_cast<const ReaderRecord*>(wParam);
        std::wstring name;
        {
            vnt::CriticalSectionLock guard(lock_);
            // Any program can send this number: only the report our worker is sending right now is read.
            if (record != sending_ || !containsLocked(record)) {
                vnt::trace(L"VNTHidReportMonitor: report of an unknown reader dropped");
                return 0;
            }
            name = record->notificationName;
        }
        // The buffer is stable: its read has completed and the worker waits for this send to return.
        const ReaderRecord* outer = delivering_;
        delivering_ = record;
        VNTNotificationCenter::instance().postNotification(name, const_cast<BYTE*>(record->buffer.data()));
        delivering_ = outer;
        if (!delivering_) retired_.clear();
        return 0;
    }
    // The broadcast's record is not read: any arrival is worth a try, and another program can send this.
    if (message == WM_DEVICECHANGE && wParam == DBT_DEVICEARRIVAL && arrivalEvent_) SetEvent(arrivalEvent_.get());
    return VNTWindow::windowProc(hwnd, message, wParam, lParam);
}

void VNTHidReportMonitor::run() {
    const HANDLE stop = stopEvent();
    std::vector<HANDLE> handles;
    std::vector<unsigned long long> ids;
    ULONGLONG lastReopen = GetTickCount64();
    for (;;) {
        // Rebuilt every pass, so records registered meanwhile are waited on from the next pass.
        handles.clear();
        ids.clear();
        bool givenUp = false;
        {
            vnt::CriticalSectionLock guard(lock_);
            for (const auto& entry : readers_) {
                if (!entry.second->reading) {
                    givenUp = true;
                    continue;
                }
                handles.push_back(entry.second->event.get());
                ids.push_back(entry.second->id);
            }
        }
        const DWORD readers = static_cast<DWORD>(handles.size());
        const DWORD arrival = arrivalEvent_ ? readers : MAXIMUM_WAIT_OBJECTS;
        if (arrivalEvent_) handles.push_back(arrivalEvent_.get());
        handles.push_back(stop);
        const DWORD count = static_cast<DWORD>(handles.size());
        const DWORD result = WaitForMultipleObjects(count, handles.data(), FALSE, kWorkerWakeMs);
        if (result == WAIT_OBJECT_0 + count - 1) return;
        if (result < WAIT_OBJECT_0 + readers) {
            handleSignalled(ids[result - WAIT_OBJECT_0]);
        } else if (result != WAIT_TIMEOUT && result != WAIT_OBJECT_0 + arrival) {
            // Not expected with events the monitor owns; pause rather than spin on a wait that keeps failing.
            vnt::trace(L"VNTHidReportMonitor: wait failed (result %lu, error %lu)", result, GetLastError());
            if (WaitForSingleObject(stop, kWorkerWakeMs) == WAIT_OBJECT_0) return;
        }
        const ULONGLONG now = GetTickCount64();
        if (givenUp && (result == WAIT_OBJECT_0 + arrival || now - lastReopen >= kReopenIntervalMs)) {
            lastReopen = now;
            reopenGivenUp();
        }
    }
}

void VNTHidReportMonitor::reopenGivenUp() {
    std::vector<std::pair<unsigned long long, std::wstring>> givenUp;
    {
        vnt::CriticalSectionLock guard(lock_);
        for (const auto& entry : readers_)
            if (!entry.second->reading) givenUp.emplace_back(entry.second->id, entry.first);
    }
    // Opened without the lock: the user-interface thread takes it and must not wait on a device.
    for (const auto& candidate : givenUp) {
        std::unique_ptr<HidDevice> device = hidDeviceAccess().open(candidate.second, true);
        if (!device) continue;
        std::unique_ptr<HidDevice> replaced;
        vnt::CriticalSectionLock guard(lock_);
        Entry* entry = findLocked(candidate.first);
        // Unregistered, or registered again, meanwhile.
        if (!entry || entry->second->reading) continue;
        bool reading = false;
        replaced = readFrom(entry->first, *entry->second, std::move(device), reading);
        if (reading) vnt::trace(L"VNTHidReportMonitor: %ls opened again; its reports are read again", entry->first.c_str());
    }
}

void VNTHidReportMonitor::handleSignalled(unsigned long long id) {
    const ReaderRecord* delivered = nullptr;
    {
        vnt::CriticalSectionLock guard(lock_);
        Entry* entry = findLocked(id);
        if (!entry || !entry->second->reading) return;
        ReaderRecord& record = *entry->second;
        DWORD bytes = 0;
        const HidReadStatus status = record.device->readResult(record.readState, bytes);
        if (status == HidReadStatus::pending) return;
        // Only a completed report is delivered: a failed read leaves nothing in the buffer.
        if (status == HidReadStatus::failed || bytes == 0) {
            ++record.failures;
            vnt::trace(L"VNTHidReportMonitor: a read of %ls failed (%d in a row)", entry->first.c_str(),
                       record.failures);
            startNextRead(entry->first, record);
            return;
        }
        record.bytesRead = bytes;
        record.failures = 0;
        delivered = &record;
        sending_ = delivered;
    }

    // Sent, not posted: the report is decoded before this device's next read overwrites the buffer.
    if (window_)
        SendMessageW(window_, kReportMessage, reinterpret_cast<WPARAM>(delivered), 0);
    else
        vnt::trace(L"VNTHidReportMonitor: no window, report dropped");

    vnt::CriticalSectionLock guard(lock_);
    sending_ = nullptr;
    Entry* entry = findLocked(id);
    if (!entry || !entry->second->reading) return;  // unregistered during the delivery
    ResetEvent(entry->second->event.get());
    startNextRead(entry->first, *entry->second);
}

bool VNTHidReportMonitor::startNextRead(const std::wstring& path, ReaderRecord& record) {
    while (record.failures < kMaxConsecutiveFailures) {
        std::fill(record.buffer.begin(), record.buffer.end(), BYTE(0));
        record.bytesRead = 0;
        if (record.device->startRead(record.buffer.data(), static_cast<DWORD>(record.buffer.size()),
                                     record.readState)) {
            record.reading = true;
            return true;
        }
        ++record.failures;
        vnt::trace(L"VNTHidReportMonitor: cannot read %ls (error %lu, %d in a row)", path.c_str(), GetLastError(),
                   record.failures);
    }
    record.reading = false;
    vnt::trace(L"VNTHidReportMonitor: reads of %ls keep failing; it is opened again every %lu s and at each "
               L"device arrival",
               path.c_str(), static_cast<unsigned long>(kReopenIntervalMs / 1000));
    return false;
}

void VNTHidReportMonitor::closeDevice(ReaderRecord& record) {
    if (record.device && record.reading) record.device->cancelRead(record.readState);
    record.reading = false;
    record.device.reset();
}

VNTHidReportMonitor::Entry* VNTHidReportMonitor::findLocked(unsigned long long id) {
    for (auto& entry : readers_) {
        if (entry.second->id == id) return &entry;
    }
    return nullptr;
}

bool VNTHidReportMonitor::containsLocked(const ReaderRecord* record) const {
    for (const auto& entry : readers_) {
        if (entry.second.get() == record) return true;
    }
    return false;
}
