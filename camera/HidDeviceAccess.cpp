#include "camera/HidDeviceAccess.h"

#include <atomic>

#include "framework/Handles.h"
#include "framework/Trace.h"

namespace {

// A write that the device does not take within this time is given up: the command sender must not
// hang on a camera that stopped answering.
const DWORD kWriteTimeoutMs = 1000;

class PreparsedData {
public:
    explicit PreparsedData(HANDLE device) {
        if (!HidD_GetPreparsedData(device, &data_)) data_ = nullptr;
    }
    ~PreparsedData() {
        if (data_) HidD_FreePreparsedData(data_);
    }
    PreparsedData(const PreparsedData&) = delete;
    PreparsedData& operator=(const PreparsedData&) = delete;
    PHIDP_PREPARSED_DATA get() const { return data_; }

private:
    PHIDP_PREPARSED_DATA data_ = nullptr;
};

class Win32HidDevice : public HidDevice {
public:
    Win32HidDevice(vnt::FileHandle handle, bool overlapped) : handle_(std::move(handle)), overlapped_(overlapped) {}

    bool attributes(HidAttributes& out) override {
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof attributes;
        if (!HidD_GetAttributes(handle_.get(), &attributes)) return false;
        out.vendorId = attributes.VendorID;
        out.productId = attributes.ProductID;
        out.versionNumber = attributes.VersionNumber;
        return true;
    }

    bool capabilities(HIDP_CAPS& caps) override {
        PreparsedData preparsed(handle_.get());
        if (!preparsed.get()) return false;
        HIDP_CAPS result{};
        if (HidP_GetCaps(preparsed.get(), &result) != HIDP_STATUS_SUCCESS) return false;
        caps = result;
        return true;
    }

    bool startRead(void* buffer, DWORD length, OVERLAPPED& overlapped) override {
        if (!overlapped_) return false;
        const HANDLE event = overlapped.hEvent;
        overlapped = OVERLAPPED{};
        overlapped.hEvent = event;
        if (ReadFile(handle_.get(), buffer, length, nullptr, &overlapped)) return true;
        return GetLastError() == ERROR_IO_PENDING;
    }

    HidReadStatus readResult(OVERLAPPED& overlapped, DWORD& bytesRead) override {
        bytesRead = 0;
        if (GetOverlappedResult(handle_.get(), &overlapped, &bytesRead, FALSE)) return HidReadStatus::completed;
        return GetLastError() == ERROR_IO_INCOMPLETE ? HidReadStatus::pending : HidReadStatus::failed;
    }

    void cancelRead(OVERLAPPED& overlapped) override {
        CancelIoEx(handle_.get(), &overlapped);
        // Returns at once for a read that has already finished; otherwise waits for the cancellation,
        // after which the driver no longer writes into the caller's buffer.
        DWORD bytes = 0;
        GetOverlappedResult(handle_.get(), &overlapped, &bytes, TRUE);
    }

    bool setOutputReport(const void* report, DWORD length) override {
        return HidD_SetOutputReport(handle_.get(), const_cast<void*>(report), length) != FALSE;
    }

    bool getInputReport(void* report, DWORD length) override {
        return HidD_GetInputReport(handle_.get(), report, length) != FALSE;
    }

    bool writeReport(const void* report, DWORD length) override {
        DWORD written = 0;
        if (!overlapped_) return WriteFile(handle_.get(), report, length, &written, nullptr) && written == length;

        vnt::KernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!event) return false;
        OVERLAPPED overlapped{};
        overlapped.hEvent = event.get();
        if (!WriteFile(handle_.get(), report, length, nullptr, &overlapped)) {
            if (GetLastError() != ERROR_IO_PENDING) return false;
            if (WaitForSingleObject(event.get(), kWriteTimeoutMs) != WAIT_OBJECT_0) {
                vnt::trace(L"HidDevice: output report not taken within %lu ms, cancelled",
                           static_cast<unsigned long>(kWriteTimeoutMs));
                CancelIoEx(handle_.get(), &overlapped);
            }
        }
        // Waits only for a cancellation still in flight; the report itself is no longer used after it.
        if (!GetOverlappedResult(handle_.get(), &overlapped, &written, TRUE)) return false;
        return written == length;
    }

private:
    vnt::FileHandle handle_;
    bool overlapped_;
};

class Win32HidDeviceAccess : public HidDeviceAccess {
public:
    std::unique_ptr<HidDevice> open(const std::wstring& path, bool overlapped) override {
        vnt::FileHandle handle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                           overlapped ? FILE_FLAG_OVERLAPPED : 0, nullptr));
        if (!handle) {
            vnt::trace(L"HidDevice: cannot open %ls (error %lu)", path.c_str(), GetLastError());
            return nullptr;
        }
        return std::unique_ptr<HidDevice>(new Win32HidDevice(std::move(handle), overlapped));
    }
};

std::atomic<HidDeviceAccess*> g_installed{nullptr};

}  // namespace

HidDeviceAccess& win32HidDeviceAccess() {
    static Win32HidDeviceAccess access;
    return access;
}

HidDeviceAccess& hidDeviceAccess() {
    HidDeviceAccess* installed = g_installed.load();
    return installed ? *installed : win32HidDeviceAccess();
}

HidDeviceAccess* installHidDeviceAccess(HidDeviceAccess* access) { return g_installed.exchange(access); }
