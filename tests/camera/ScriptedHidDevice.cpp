#include "tests/camera/ScriptedHidDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace testsupport {

class ScriptedHidHandle : public HidDevice {
public:
    ScriptedHidHandle(std::shared_ptr<ScriptedHidDevice> device, bool overlapped)
        : device_(std::move(device)), overlapped_(overlapped) {}

    // Closing a handle cancels its reads, as the driver does.
    ~ScriptedHidHandle() override {
        std::lock_guard<std::mutex> guard(device_->lock_);
        if (device_->pending_ && device_->read_.overlapped && owns(*device_->read_.overlapped)) {
            ++device_->readsCancelled_;
            device_->completeLocked(HidReadStatus::failed, nullptr);
        }
        --device_->openHandles_;
    }

    bool attributes(HidAttributes& attributes) override {
        std::lock_guard<std::mutex> guard(device_->lock_);
        if (device_->unplugged_) return false;
        attributes = device_->attributes;
        return true;
    }

    bool capabilities(HIDP_CAPS& caps) override {
        std::lock_guard<std::mutex> guard(device_->lock_);
        if (device_->unplugged_) return false;
        caps = device_->caps;
        return true;
    }

    bool startRead(void* buffer, DWORD length, OVERLAPPED& overlapped) override {
        std::lock_guard<std::mutex> guard(device_->lock_);
        ScriptedHidDevice& d = *device_;
        ++d.readsStarted_;
        if (!overlapped_) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        if (d.unplugged_ && d.failAtStart_) {
            SetLastError(ERROR_DEVICE_NOT_CONNECTED);
            return false;
        }
        if (d.pending_) ADD_FAILURE() << "a read was started while another was pending";
        reads_.push_back(&overlapped);
        ResetEvent(overlapped.hEvent);
        d.pending_ = true;
        d.read_ = ScriptedHidDevice::Read{static_cast<uint8_t*>(buffer), length, &overlapped};
        d.results_[&overlapped] = ScriptedHidDevice::Result{};
        if (d.unplugged_) {
            d.completeLocked(HidReadStatus::failed, nullptr);
        } else if (!d.queued_.empty()) {
            const Bytes report = d.queued_.front();
            d.queued_.pop_front();
            d.completeLocked(HidReadStatus::completed, &report);
        }
        return true;
    }

    HidReadStatus readResult(OVERLAPPED& overlapped, DWORD& bytesRead) override {
        std::lock_guard<std::mutex> guard(device_->lock_);
        auto it = device_->results_.find(&overlapped);
        bytesRead = 0;
        if (it == device_->results_.end()) return HidReadStatus::failed;
        bytesRead = it->second.bytes;
        return it->second.status;
    }

    void cancelRead(OVERLAPPED& overlapped) override {
        std::lock_guard<std::mutex> guard(device_->lock_);
        if (device_->pending_ && device_->read_.overlapped == &overlapped) {
            ++device_->readsCancelled_;
            device_->completeLocked(HidReadStatus::failed, nullptr);
        }
    }

    bool setOutputReport(const void* report, DWORD length) override {
        DWORD delay = 0;
        {
            std::lock_guard<std::mutex> guard(device_->lock_);
            if (device_->unplugged_) return false;
            const uint8_t* bytes = static_cast<const uint8_t*>(report);
            device_->outputReports_.emplace_back(bytes, bytes + length);
            device_->outputThreads_.push_back(GetCurrentThreadId());
            if (length > 2 && bytes[1] == 0) {
                // A camera with scripted registers answers those alone.
                auto reg = device_->registers_.find(bytes[2]);
                if (reg != device_->registers_.end())
                    device_->inputReports_[1] = Bytes{1, reg->second};
                else if (!device_->registers_.empty())
                    device_->inputReports_.erase(1);
            }
            delay = device_->outputDelayMs_;
        }
        if (delay) Sleep(delay);
        return true;
    }

    bool getInputReport(void* report, DWORD length) override {
        std::lock_guard<std::mutex> guard(device_->lock_);
        if (device_->unplugged_ || length == 0) return false;
        uint8_t* bytes = static_cast<uint8_t*>(report);
        auto it = device_->inputReports_.find(bytes[0]);
        if (it == device_->inputReports_.end()) return false;
        std::memset(bytes, 0, length);
        std::memcpy(bytes, it->second.data(), std::min<size_t>(length, it->second.size()));
        return true;
    }

    bool writeReport(const void* report, DWORD length) override {
        std::lock_guard<std::mutex> guard(device_->lock_);
        if (device_->unplugged_) return false;
        const uint8_t* bytes = static_cast<const uint8_t*>(report);
        device_->writes_.emplace_back(bytes, bytes + length);
        return true;
    }

private:
    bool owns(const OVERLAPPED& overlapped) const {
        return std::find(reads_.begin(), reads_.end(), &overlapped) != reads_.end();
    }

    std::shared_ptr<ScriptedHidDevice> device_;
    bool overlapped_;
    std::vector<const OVERLAPPED*> reads_;
};

void ScriptedHidDevice::completeLocked(HidReadStatus status, const Bytes* report) {
    Result result{status, 0};
    if (report) {
        result.bytes = static_cast<DWORD>(std::min<size_t>(read_.length, report->size()));
        std::memcpy(read_.buffer, report->data(), result.bytes);
    }
    results_[read_.overlapped] = result;
    pending_ = false;
    SetEvent(read_.overlapped->hEvent);
    read_ = Read{};
}

void ScriptedHidDevice::sendReport(const Bytes& report) {
    std::lock_guard<std::mutex> guard(lock_);
    if (unplugged_) return;
    if (pending_)
        completeLocked(HidReadStatus::completed, &report);
    else
        queued_.push_back(report);
}

void ScriptedHidDevice::unplug(bool failAtStart) {
    std::lock_guard<std::mutex> guard(lock_);
    unplugged_ = true;
    failAtStart_ = failAtStart;
    queued_.clear();
    if (pending_) completeLocked(HidReadStatus::failed, nullptr);
}

void ScriptedHidDevice::plugIn() {
    std::lock_guard<std::mutex> guard(lock_);
    unplugged_ = false;
}

void ScriptedHidDevice::scriptInputReport(const Bytes& report) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!report.empty()) inputReports_[report[0]] = report;
}

void ScriptedHidDevice::scriptRegister(uint8_t reg, uint8_t value) {
    std::lock_guard<std::mutex> guard(lock_);
    registers_[reg] = value;
}

void ScriptedHidDevice::setOutputReportDelay(DWORD milliseconds) {
    std::lock_guard<std::mutex> guard(lock_);
    outputDelayMs_ = milliseconds;
}

int ScriptedHidDevice::readsStarted() const {
    std::lock_guard<std::mutex> guard(lock_);
    return readsStarted_;
}

int ScriptedHidDevice::readsCancelled() const {
    std::lock_guard<std::mutex> guard(lock_);
    return readsCancelled_;
}

bool ScriptedHidDevice::readPending() const {
    std::lock_guard<std::mutex> guard(lock_);
    return pending_;
}

int ScriptedHidDevice::openHandles() const {
    std::lock_guard<std::mutex> guard(lock_);
    return openHandles_;
}

std::vector<Bytes> ScriptedHidDevice::outputReports() const {
    std::lock_guard<std::mutex> guard(lock_);
    return outputReports_;
}

std::vector<DWORD> ScriptedHidDevice::outputThreads() const {
    std::lock_guard<std::mutex> guard(lock_);
    return outputThreads_;
}

std::vector<Bytes> ScriptedHidDevice::writes() const {
    std::lock_guard<std::mutex> guard(lock_);
    return writes_;
}

ScriptedHidAccess::ScriptedHidAccess() : previous_(installHidDeviceAccess(this)) {}

ScriptedHidAccess::~ScriptedHidAccess() { installHidDeviceAccess(previous_); }

ScriptedHidDevice& ScriptedHidAccess::add(const std::wstring& path, USHORT inputReportLength,
                                          USHORT outputReportLength) {
    std::lock_guard<std::mutex> guard(lock_);
    std::shared_ptr<ScriptedHidDevice>& device = devices_[path];
    device = std::make_shared<ScriptedHidDevice>();
    device->caps.InputReportByteLength = inputReportLength;
    device->caps.OutputReportByteLength = outputReportLength;
    return *device;
}

int ScriptedHidAccess::opens(const std::wstring& path) const {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = opens_.find(path);
    return it == opens_.end() ? 0 : it->second;
}

std::unique_ptr<HidDevice> ScriptedHidAccess::open(const std::wstring& path, bool overlapped) {
    std::lock_guard<std::mutex> guard(lock_);
    ++opens_[path];
    auto it = devices_.find(path);
    if (it == devices_.end()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> deviceGuard(it->second->lock_);
        if (it->second->unplugged_) {
            SetLastError(ERROR_DEVICE_NOT_CONNECTED);
            return nullptr;
        }
        ++it->second->openHandles_;
    }
    return std::unique_ptr<HidDevice>(new ScriptedHidHandle(it->second, overlapped));
}

}  // namespace testsupport
