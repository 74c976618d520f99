#include "camera/VNTWebcamSkeo.h"

#include "app/VNTNotificationCenter.h"
#include "camera/HidDeviceLock.h"
#include "camera/VNTHidReportMonitor.h"
#include "camera/VantorUsbIds.h"
#include "framework/ProgramSound.h"
#include "framework/Trace.h"
#include "resources/resource.h"

#include <versionhelpers.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <vector>

using vnt::trace;

const UINT VNTWebcamSkeo::snapshotKeyMessage = RegisterWindowMessageW(L"WM_VNTWebcam_SnapshotKey");
const UINT VNTWebcamSkeo::focusKeyMessage = RegisterWindowMessageW(L"WM_VNTWebcamSkeo_FocusKey");
const UINT VNTWebcamSkeo::focusModeMessage = RegisterWindowMessageW(L"WM_VNTWebcamSkeo_FocusMode");
const UINT VNTWebcamSkeo::exposureChangedMessage = RegisterWindowMessageW(L"WM_VNTWebcamSkeoPlus_ExposureChanged");

namespace {

// Registered with the others so that every camera message has its number from the start; the camera
// code itself sends neither.
const UINT g_snapshotImageMessage = RegisterWindowMessageW(L"WM_VNTWebcam_SnapshotImage");
const UINT g_zevSendKeyMessage = RegisterWindowMessageW(L"WM_VNTWebcamZev_SendKey");

const wchar_t kNotificationPrefix[] = L"VNTWebcam Hid Report Reader: ";
const wchar_t kHidInterfaceClass[] = L"{4d1e55b2-f16f-11cf-88cb-001111000030}";
const int kFocusPictureWidth = 120;
const int kFocusPictureHeight = 90;
const UINT kFocusPictureMs = 2000;
const UINT kHidRetryMs = 1000;
const DWORD kSenderWakeMs = 1000;
const DWORD kCommandGapMs = 50;
// Output reports are {2, command, value, 0...}.
const BYTE kOutputReportId = 2;
const BYTE kRegisterAnswerId = 1;
const DWORD kMinimumOutputReport = 3;

// "ParentIdPrefix" read whole whatever its length; false (and the code in error) when it is missing or
// not text.
bool readParentIdPrefix(HKEY key, std::wstring& prefix, LONG& error) {
    // 64 bytes cover the usual prefix; a longer one is read again at its own size.
    std::vector<wchar_t> buffer(32, L'\0');
    DWORD bytes = 32;
    DWORD type = 0;
    error = RegQueryValueExW(key, L"ParentIdPrefix", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    if (error == ERROR_MORE_DATA) {
        buffer.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        error = RegQueryValueExW(key, L"ParentIdPrefix", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                                 &bytes);
    }
    if (error != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        error = ERROR_INVALID_DATATYPE;
        return false;
    }
    // Stored text need not end in NUL: take at most what was read.
    const size_t units = std::min<size_t>(bytes / sizeof(wchar_t), buffer.size());
    size_t length = 0;
    while (length < units && buffer[length] != L'\0') ++length;
    prefix.assign(buffer.data(), length);
    if (prefix.empty()) {
        error = ERROR_INVALID_DATA;
        return false;
    }
    return true;
}

}  // namespace

VNTWebcamSkeo::VNTWebcamSkeo() {
    InitializeCriticalSection(&lock_);
    cameraClassName_ = L"VNTWebcamSkeo";
    modelText_ = "Skeo";
    wchar_t address[32];
    // Every digit of the address, so that two cameras never share a name.
    std::swprintf(address, 32, L"(0x%08llX)", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(this)));
    notificationName_ = std::wstring(kNotificationPrefix) + address;
    trace(L"VNTWebcamSkeo::VNTWebcamSkeo()\n");
}

VNTWebcamSkeo::~VNTWebcamSkeo() {
    stop();
    if (window_) {
        KillTimer(window_, kFocusPictureTimer);
        KillTimer(window_, kHidRetryTimer);
    }
    ownerWindow_ = nullptr;
    videoWindow_ = nullptr;
    DeleteCriticalSection(&lock_);
}

bool VNTWebcamSkeo::initWithDevice(const std::wstring& devicePath, const std::wstring& friendlyName) {
    trace(L"VNTWebcamSkeo::initWithDevice");
    if (!VNTWebcam::initWithDevice(devicePath, friendlyName)) return false;
    if (!discoverHid() && window_) SetTimer(window_, kHidRetryTimer, kHidRetryMs, nullptr);
    return true;
}

bool VNTWebcamSkeo::startReportHandling() {
    VNTNotificationCenter::instance().addObserver(this, notificationName_);
    return true;
}

void VNTWebcamSkeo::onNotification(void* data, const std::wstring& name) {
    if (name != notificationName_ || !data) return;
    // The reader delivers buffers of the input report length this camera registered.
    processHidReport(static_cast<const BYTE*>(data), hidCapabilities().InputReportByteLength);
}

int VNTWebcamSkeo::onTimer(UINT_PTR timerId) {
    if (timerId == kFocusPictureTimer) {
        KillTimer(window_, kFocusPictureTimer);
        clearFocusPicture();
    } else if (timerId == kHidRetryTimer) {
        KillTimer(window_, kHidRetryTimer);
        if (!discoverHid())
            SetTimer(window_, kHidRetryTimer, kHidRetryMs, nullptr);
        else if (graph_ && graph_->sourceFilter())
            registerHidReports();  // the picture already runs: its buttons work from now on
    }
    return 0;
}

bool VNTWebcamSkeo::build(int width, int height, const GUID* subtype) {
    if (!VNTWebcam::build(width, height, subtype)) return false;
    registerHidReports();
    return true;
}

bool VNTWebcamSkeo::registerHidReports() {
    std::wstring path;
    HIDP_CAPS caps{};
    {
        vnt::CriticalSectionLock guard(lock_);
        if (!hidFound_) return false;
        path = hidPath_;
        caps = hidCaps_;
    }
    VNTHidReportMonitor& monitor = VNTHidReportMonitor::instance();
    bool registered = false;
    if (monitor.registerHidReader(path, notificationName_, caps)) {
        readerPath_ = path;
        registered = startReportHandling();
    } else {
        trace(L"hidReportMonitor->registerHidReader failed.\n");
    }
    if (!monitor.workerRunning()) monitor.startWorker();
    return registered;
}

bool VNTWebcamSkeo::start() {
    build(640, 480, nullptr);
    if (!graph_ || !graph_->PlayGraph()) return false;
    startCommandSender();
    return true;
}

bool VNTWebcamSkeo::stop() {
    if (!readerPath_.empty()) {
        VNTHidReportMonitor::instance().unregisterHidReader(readerPath_);
        readerPath_.clear();
    }
    VNTNotificationCenter::instance().removeObserver(this, L"");
    stopCommandSender();
    return VNTWebcam::stop();
}

bool VNTWebcamSkeo::startCommandSender() { return startThread(); }

void VNTWebcamSkeo::stopCommandSender() { stopThread(); }

void VNTWebcamSkeo::run() { runCommandSender(stopEvent()); }

bool VNTWebcamSkeo::stopRequested(HANDLE stopEvent, DWORD milliseconds) {
    const DWORD result = WaitForSingleObject(stopEvent, milliseconds);
    if (result == WAIT_TIMEOUT) return false;
    if (result == WAIT_OBJECT_0) return true;
    // A wait that fails would fail again at once: end rather than spin.
    trace(L"VNTWebcamSkeo: the command sender cannot wait (result %lu, error %lu); it ends", result, GetLastError());
    return true;
}

void VNTWebcamSkeo::runCommandSender(HANDLE stopEvent) {
    for (;;) {
        if (stopRequested(stopEvent, kSenderWakeMs)) return;
        HidCommand command{};
        while (takeCommand(command)) {
            sendQueued(command);
            // What is still queued stays for the next start.
            if (stopRequested(stopEvent, kCommandGapMs)) return;
        }
    }
}

void VNTWebcamSkeo::sendQueued(const HidCommand& command) {
    if (command.command != kQueryRegister) {
        sendCommand(command.command, command.value);
        return;
    }
    const int value = queryRegister(command.value);
    if (value < 0) {
        trace(L"VNTWebcamSkeo: register %u not answered", static_cast<unsigned>(command.value));
        return;
    }
    if (command.value == kFocusModeRegister) notifyOwner(focusModeMessage, value);
}

void VNTWebcamSkeo::queueCommand(BYTE command, BYTE value) {
    vnt::CriticalSectionLock guard(lock_);
    commands_.push_back(HidCommand{command, value});
}

void VNTWebcamSkeo::queryFocusMode() { queueCommand(kQueryRegister, kFocusModeRegister); }

size_t VNTWebcamSkeo::queuedCommandCount() const {
    vnt::CriticalSectionLock guard(lock_);
    return commands_.size();
}

bool VNTWebcamSkeo::takeCommand(HidCommand& command) {
    vnt::CriticalSectionLock guard(lock_);
    // Kept until the retry timer finds the interface: a camera whose HID interface comes late still
    // gets its stored exposure and its refocus.
    if (commands_.empty() || !hidFound_) return false;
    command = commands_.front();
    commands_.pop_front();
    return true;
}

bool VNTWebcamSkeo::takeCommandIf(BYTE command, HidCommand& taken) {
    vnt::CriticalSectionLock guard(lock_);
    if (commands_.empty() || commands_.front().command != command) return false;
    taken = commands_.front();
    commands_.pop_front();
    return true;
}

bool VNTWebcamSkeo::setExposure(int value) {
    trace(L"Set Exposure");
    if (static_cast<unsigned>(value) <= 14u) queueCommand(kExposure, static_cast<BYTE>(value));
    return true;
}

bool VNTWebcamSkeo::focusAgain(bool quiet) {
    trace(L"Fucus Again");
    quietFocus_ = quiet ? 1 : 0;
    queueCommand(kFocusAgain, 0);
    return true;
}

bool VNTWebcamSkeo::sendCommand(BYTE command, BYTE value) {
    std::wstring path;
    DWORD length = 0;
    {
        vnt::CriticalSectionLock guard(lock_);
        // Discovery belongs to the user-interface thread (its retry timer); the sender only uses what
        // it found.
        if (!hidFound_ || hidPath_.empty()) {
            trace(L"VNTWebcamSkeo: no HID interface yet, command %u dropped", static_cast<unsigned>(command));
            return false;
        }
        path = hidPath_;
        length = hidCaps_.OutputReportByteLength;
    }
    if (length < kMinimumOutputReport) {
        trace(L"VNTWebcamSkeo: output reports of %lu bytes cannot carry a command, %u dropped",
              static_cast<unsigned long>(length), static_cast<unsigned>(command));
        return false;
    }
    std::vector<BYTE> report(length, 0);
    report[0] = kOutputReportId;
    report[1] = command;
    report[2] = value;
    HidDeviceLock held(path);
    if (writeOutputReport(path, report.data(), length)) return true;
    if (writeOutputReport(path, report.data(), length)) return true;
    trace(L"VNTWebcamSkeo: command %u (value %u) not taken by the camera", static_cast<unsigned>(command),
          static_cast<unsigned>(value));
    return false;
}

bool VNTWebcamSkeo::writeOutputReport(const std::wstring& path, const void* report, DWORD length) {
    std::unique_ptr<HidDevice> device = hidDeviceAccess().open(path, false);
    if (!device) return false;
    if (IsWindowsXPOrGreater()) return device->setOutputReport(report, length);
    return device->writeReport(report, length);
}

int VNTWebcamSkeo::queryRegister(BYTE reg) {
    std::wstring path;
    DWORD length = 0;
    {
        vnt::CriticalSectionLock guard(lock_);
        path = hidPath_;
        // The answer is an input report: the buffer must hold one, whichever report is longer.
        length = std::max<DWORD>(hidCaps_.OutputReportByteLength, hidCaps_.InputReportByteLength);
    }
    // Another thread's question between ours and its answer would make us read its answer.
    HidDeviceLock held(path);
    if (!sendCommand(kQueryRegister, reg)) return -1;
    if (length < 2) return -1;
    std::unique_ptr<HidDevice> device = hidDeviceAccess().open(path, false);
    if (!device) return -1;
    std::vector<BYTE> answer(length, 0);
    answer[0] = kRegisterAnswerId;
    if (!device->getInputReport(answer.data(), length)) return -1;
    return answer[1];
}

bool VNTWebcamSkeo::discoverHid() {
    if (!FindHidInterface()) {
        vnt::CriticalSectionLock guard(lock_);
        hidPath_.clear();
        return false;
    }
    const std::wstring path = hidPath();
    std::unique_ptr<HidDevice> device = hidDeviceAccess().open(path, true);
    if (!device) {
        trace(L"Open hid interface failed.\n");
        vnt::CriticalSectionLock guard(lock_);
        hidPath_.clear();
        return false;
    }
    HidAttributes attributes;
    HIDP_CAPS caps{};
    if (!device->attributes(attributes) || !device->capabilities(caps)) {
        trace(L"VNTWebcamSkeo: %ls opens but does not say what it is", path.c_str());
        vnt::CriticalSectionLock guard(lock_);
        hidPath_.clear();
        return false;
    }
    device.reset();
    trace(L"VendorID = %u, ProductID = %u\n", static_cast<unsigned>(attributes.vendorId),
          static_cast<unsigned>(attributes.productId));
    if (attributes.vendorId == vantor::kUsbVendorId && (attributes.productId == vantor::kUsbProductIdModelA ||
                                                        attributes.productId == vantor::kUsbProductIdModelB)) {
        wchar_t version[8];
        std::swprintf(version, 8, L"%.4x", static_cast<unsigned>(attributes.versionNumber));
        setVersionText(version);
    }
    if (caps.InputReportByteLength == 0 || caps.OutputReportByteLength == 0)
        trace(L"VNTWebcamSkeo: %ls has input reports of %u and output reports of %u bytes", path.c_str(),
              static_cast<unsigned>(caps.InputReportByteLength), static_cast<unsigned>(caps.OutputReportByteLength));
    vnt::CriticalSectionLock guard(lock_);
    hidCaps_ = caps;
    hidFound_ = 1;
    return true;
}

bool VNTWebcamSkeo::FindHidInterface() {
    trace(L"FindHidInterface\n");
    const std::wstring& p = devicePath_;
    const size_t a = p.find(L'#');
    const size_t b = a == std::wstring::npos ? a : p.find(L"#{", a + 1);
    const size_t mi = a == std::wstring::npos ? a : p.find(L"mi_00", a + 1);
    // The video interface's path: "\\?\usb#vid_v&pid_p&mi_00#instance0000#{class}...".
    if (b == std::wstring::npos || mi == std::wstring::npos || mi > b || b < a + 3) {
        trace(L"FindHidInterface: %ls is not the video interface of a composite USB device", p.c_str());
        return false;
    }
    std::wstring key = L"SYSTEM\\CurrentControlSet\\Enum\\USB\\" + p.substr(a + 1, b - 1 - (a + 1)) + L"2";
    const size_t video = key.find(L"mi_00#");
    if (video != std::wstring::npos) key.replace(video, 6, L"mi_02\\");

    vnt::RegKey hidKey;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        trace(L"RegOpenKey HidKey Failed.\n");
        return false;
    }
    hidKey.reset(opened);
    std::wstring prefix;
    LONG error = ERROR_SUCCESS;
    const bool read = readParentIdPrefix(hidKey.get(), prefix, error);
    hidKey.reset();
    if (!read) {
        trace(L"RegQueryValueEx failed.  retVal = %ld\n", static_cast<long>(error));
        return false;
    }
    const std::wstring path =
        L"\\\\?\\hid" + p.substr(a, mi - a) + L"mi_02#" + prefix + L"&0000#" + kHidInterfaceClass;
    trace(L"%ls\n", path.c_str());
    vnt::CriticalSectionLock guard(lock_);
    hidPath_ = path;
    return true;
}

void VNTWebcamSkeo::processHidReport(const BYTE* report, size_t length) {
    if (!report) return;
    if (vnt::traceEnabled()) {
        std::wstring line = L"VNTWebcamSkeo::processHidReport - HID Report: ";
        wchar_t byte[8];
        for (size_t i = 0; i < length; ++i) {
            std::swprintf(byte, 8, L"%02X ", static_cast<unsigned>(report[i]));
            line += byte;
        }
        trace(L"%ls\n", line.c_str());
    }
    if (length < 3) trace(L"VNTWebcamSkeo: a report of %u bytes; the missing bytes count as 0", static_cast<unsigned>(length));
    const BYTE event = length > 1 ? report[1] : 0;
    const BYTE value = length > 2 ? report[2] : 0;

    switch (event) {
    case 1:
        KillTimer(window_, kFocusPictureTimer);
        clearFocusPicture();
        notifyOwner(snapshotKeyMessage, 1);
        break;
    case 2:
        if (value == 1) {
            focusing_ = 1;
            if (!quietFocus_) {
                KillTimer(window_, kFocusPictureTimer);
                showFocusPicture(IDB_FOCUS_IN_PROGRESS);
                if (!focusSoundsOff_) vnt::playProgramSound(L"Focus_Beginning.wav");
            }
        } else if (value == 2 && focusing_) {
            if (!quietFocus_) {
                if (!focusSoundsOff_) vnt::playProgramSound(L"Focus_End.wav");
                if (focusPicture_ == IDB_FOCUS_IN_PROGRESS) showFocusPicture(IDB_FOCUS_FINISHED);
                SetTimer(window_, kFocusPictureTimer, kFocusPictureMs, nullptr);
            }
            quietFocus_ = 0;
            focusing_ = 0;
        }
        notifyOwner(focusKeyMessage, value);
        break;
    case 3:
        notifyOwner(focusModeMessage, value);
        break;
    default:
        trace(L"VNTWebcamSkeo: unknown report event %u ignored", static_cast<unsigned>(event));
        break;
    }
}

void VNTWebcamSkeo::showFocusPicture(UINT resourceId) {
    focusPicture_ = resourceId;
    if (!graph_ || !videoWindow_) return;
    RECT client{};
    GetClientRect(videoWindow_, &client);
    const int left = (client.right - kFocusPictureWidth) / 2;
    const int top = (client.bottom - kFocusPictureHeight) / 2;
    const RECT where{left, top, left + kFocusPictureWidth, top + kFocusPictureHeight};
    // Colour key 0: the picture's black is transparent.
    graph_->ShowBitmap2(resourceId, kFocusPictureWidth, kFocusPictureHeight, 0, where);
}

void VNTWebcamSkeo::clearFocusPicture() {
    focusPicture_ = 0;
    if (graph_) graph_->DisableBitmap();
}

void VNTWebcamSkeo::notifyOwner(UINT message, LPARAM lParam) {
    const HWND owner = ownerWindow_;
    if (!owner) return;
    SendMessageW(owner, message, reinterpret_cast<WPARAM>(videoWindow_), lParam);
}

bool VNTWebcamSkeo::videoProcAmpRange(ULONG id, LONG* minimum, LONG* maximum) {
    static const LONG ranges[][2] = {{0, 255}, {0, 31}, {-180, 180}, {0, 31}, {0, 15}, {0, 127}};
    if (!minimum || !maximum || id >= sizeof ranges / sizeof ranges[0]) return false;
    *minimum = ranges[id][0];
    *maximum = ranges[id][1];
    return true;
}

bool VNTWebcamSkeo::cameraControlRange(ULONG id, LONG* minimum, LONG* maximum) {
    if (!minimum || !maximum || id != 5) return false;
    *minimum = 10;
    *maximum = 200;
    return true;
}

bool VNTWebcamSkeo::setImageControlDefaults() {
    static const LONG defaults[] = {128, 16, 0, 16, 0, 64};
    bool any = false;
    for (ULONG id = 0; id < sizeof defaults / sizeof defaults[0]; ++id) {
        if (setVideoProcAmpProperty(id, defaults[id])) any = true;
    }
    return any;
}

bool VNTWebcamSkeo::hidFound() const {
    vnt::CriticalSectionLock guard(lock_);
    return hidFound_ != 0;
}

std::wstring VNTWebcamSkeo::hidPath() const {
    vnt::CriticalSectionLock guard(lock_);
    return hidPath_;
}

HIDP_CAPS VNTWebcamSkeo::hidCapabilities() const {
    vnt::CriticalSectionLock guard(lock_);
    return hidCaps_;
}
