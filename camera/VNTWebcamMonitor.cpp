#include "camera/VNTWebcamMonitor.h"

#include "app/VNTNotificationCenter.h"
#include "camera/VNTHidReportMonitor.h"
#include "camera/VNTWebcamSkeo.h"
#include "camera/VNTWebcamSkeoPlus.h"
#include "camera/WebcamModel.h"
#include "framework/ComPtr.h"
#include "framework/Trace.h"

#include <ks.h>
#include <ksmedia.h>
#include <strmif.h>
#include <uuids.h>

using vnt::ComPtr;
using vnt::trace;

namespace {

std::wstring readBagText(IPropertyBag* bag, const wchar_t* name, bool* ok) {
    VARIANT value;
    VariantInit(&value);
    std::wstring text;
    *ok = SUCCEEDED(bag->Read(name, &value, nullptr)) && value.vt == VT_BSTR && value.bstrVal;
    if (*ok) text.assign(value.bstrVal, SysStringLen(value.bstrVal));
    VariantClear(&value);
    return text;
}

bool isFree(const VNTWebcam& camera) { return !camera.ownerWindow() && !camera.videoWindow(); }

}  // namespace

VNTWebcamMonitor& VNTWebcamMonitor::instance() {
    static VNTWebcamMonitor monitor;
    return monitor;
}

VNTWebcamMonitor::VNTWebcamMonitor() {
    // Cameras unregister their HID readers when the monitor deletes them at exit: the reader must
    // be made first, so that it is destroyed after the monitor.
    VNTHidReportMonitor::instance();
    trace(L"VNTWebcamMonitor::VNTWebcamMonitor()");
    classNames_ = {L"VNTWebcamSkeoPlus", L"VNTWebcamSkeo", L"VNTWebcamZev", L"VNTWebcam"};
    InitializeCriticalSection(&lock_);
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = KSCATEGORY_CAPTURE;
    if (window_) notification_ = RegisterDeviceNotificationW(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!notification_) trace(L"VNTWebcamMonitor: RegisterDeviceNotification failed (%lu)", GetLastError());
}

VNTWebcamMonitor::~VNTWebcamMonitor() {
    trace(L"VNTWebcamMonitor::~VNTWebcamMonitor()");
    DeleteCriticalSection(&lock_);
    if (notification_) UnregisterDeviceNotification(notification_);
    webcams_.clear();
}

LRESULT VNTWebcamMonitor::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return 0;
    case WM_DEVICECHANGE:
        return onDeviceChange(wParam, lParam);
    case kProcessDeviceEvent:
        if (reinterpret_cast<HWND>(wParam) == window_) processDeviceEvent();
        return 0;
    default:
        return VNTWindow::windowProc(hwnd, message, wParam, lParam);
    }
}

LRESULT VNTWebcamMonitor::onDeviceChange(WPARAM wParam, LPARAM lParam) {
    int kind;
    if (wParam == DBT_DEVICEARRIVAL) {
        trace(L"A device has been attached.\n");
        kind = 1;
    } else if (wParam == DBT_DEVICEREMOVECOMPLETE) {
        trace(L"A device has been removed.\n");
        kind = 0;
    } else {
        return 0;
    }
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (!header) return 0;
    // Nothing past the size the record gives is read: a record too short for its header has no
    // trustworthy device type.
    if (header->dbch_size < sizeof(DEV_BROADCAST_HDR)) {
        trace(L"VNTWebcamMonitor: device broadcast of %lu bytes ignored\n", header->dbch_size);
        return 0;
    }
    if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return 0;
    // An interface record without room for its class and name is no arrival or removal.
    const auto* broadcast = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (header->dbch_size < nameOffset) {
        trace(L"VNTWebcamMonitor: device interface broadcast of %lu bytes ignored\n", header->dbch_size);
        return 0;
    }
    // The name runs to the terminator or to the end of the record, whichever comes first.
    const size_t maxUnits = (header->dbch_size - nameOffset) / sizeof(wchar_t);
    size_t length = 0;
    while (length < maxUnits && broadcast->dbcc_name[length]) ++length;
    const std::wstring name(broadcast->dbcc_name, length);
    trace(L"Device name:%.240ls\n", name.c_str());
    events_.push_back(DeviceEvent{kind, name});
    PostMessageW(window_, kProcessDeviceEvent, reinterpret_cast<WPARAM>(window_), 0);
    return 0;
}

void VNTWebcamMonitor::processDeviceEvent() {
    EnterCriticalSection(&lock_);
    if (!events_.empty()) {
        // Taken off the queue first: a rescan may pump messages that queue more events.
        const DeviceEvent event = events_.front();
        events_.pop_front();
        if (event.kind == 0)
            removeDevice(event.name);
        else if (event.kind == 1)
            scanDevices();
    }
    LeaveCriticalSection(&lock_);
}

void VNTWebcamMonitor::scanDevices() {
    ComPtr<ICreateDevEnum> devices;
    HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_ALL, IID_ICreateDevEnum, devices.putVoid());
    if (FAILED(hr)) {
        ReportError(L"VNTWebcamMonitor::scanDevices() CreateDevEnum failed\n", hr);
        return;
    }
    ComPtr<IEnumMoniker> monikers;
    hr = devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.put(), 0);
    if (FAILED(hr) || !monikers) {
        ReportError(L"VNTWebcamMonitor::scanDevices() CreateClassEnumerator failed\n", hr);
        return;
    }
    for (ComPtr<IMoniker> moniker; monikers->Next(1, moniker.put(), nullptr) == S_OK;) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.putVoid()))) continue;
        bool ok = false;
        const std::wstring friendlyName = readBagText(bag.get(), L"FriendlyName", &ok);
        const std::wstring devicePath = readBagText(bag.get(), L"DevicePath", &ok);
        if (!ok) continue;
        trace(L"deviceName:");
        trace(L"%ls", friendlyName.c_str());
        trace(L"\ndevicePath:");
        trace(L"%ls", devicePath.c_str());
        trace(L"\n");
        addDevice(devicePath, friendlyName);
    }
}

void VNTWebcamMonitor::addDevice(const std::wstring& devicePath, const std::wstring& friendlyName) {
    const std::wstring path = lowerDevicePath(devicePath);
    for (const auto& camera : webcams_)
        if (camera->devicePath() == path) return;
    const WebcamModel model = classifyDevicePath(path);
    if (model == WebcamModel::none) return;
    trace(L"Found Skeo\n");
    std::unique_ptr<VNTWebcam> camera;
    if (model == WebcamModel::skeoPlus)
        camera.reset(new VNTWebcamSkeoPlus());
    else
        camera.reset(new VNTWebcamSkeo());
    const std::wstring name = friendlyName.empty() ? std::wstring(defaultDisplayName(model)) : friendlyName;
    if (!camera->initWithDevice(devicePath, name)) {
        trace(L"initWithDevice Failed");
        return;
    }
    webcams_.push_back(std::move(camera));
    VNTWebcam& added = *webcams_.back();
    VNTNotificationCenter::instance().postNotification(L"WEBCAM_PLUG_IN",
                                                       const_cast<wchar_t*>(added.cameraClassName().c_str()));
}

void VNTWebcamMonitor::removeDevice(const std::wstring& deviceName) {
    const std::wstring path = lowerDevicePath(deviceName);
    for (auto it = webcams_.begin(); it != webcams_.end(); ++it) {
        if ((*it)->devicePath() != path) continue;
        std::unique_ptr<VNTWebcam> removed = std::move(*it);
        webcams_.erase(it);
        // Observers may still use the camera during the post; it is deleted afterwards.
        VNTNotificationCenter::instance().postNotification(L"WEBCAM_PULL_OUT",
                                                           const_cast<wchar_t*>(removed->devicePath().c_str()));
        return;
    }
}

template <class Match>
VNTWebcam* VNTWebcamMonitor::claimFirst(Match match, HWND owner, HWND video) {
    for (const auto& camera : webcams_) {
        if (!isFree(*camera) || !match(*camera)) continue;
        camera->setOwners(owner, video);
        return camera.get();
    }
    return nullptr;
}

VNTWebcam* VNTWebcamMonitor::acquireWebcam(const std::wstring& className, HWND owner, HWND video) {
    if (!owner || !video) return nullptr;
    auto ofClass = [](const std::wstring& name) {
        return [&name](const VNTWebcam& camera) { return camera.cameraClassName() == name; };
    };
    if (VNTWebcam* camera = claimFirst(ofClass(className), owner, video)) return camera;
    for (const std::wstring& fallback : classNames_) {
        if (fallback == className) continue;
        if (VNTWebcam* camera = claimFirst(ofClass(fallback), owner, video)) return camera;
    }
    return nullptr;
}

VNTWebcam* VNTWebcamMonitor::acquireWebcamByPath(const std::wstring& devicePath, HWND owner, HWND video) {
    if (!owner || !video) return nullptr;
    const std::wstring path = lowerDevicePath(devicePath);
    return claimFirst([&path](const VNTWebcam& camera) { return camera.devicePath() == path; }, owner, video);
}

VNTWebcam* VNTWebcamMonitor::acquireWebcamByName(const std::wstring& displayName, HWND owner, HWND video) {
    if (!owner || !video) return nullptr;
    return claimFirst([&displayName](const VNTWebcam& camera) { return camera.displayName() == displayName; }, owner,
                      video);
}

void VNTWebcamMonitor::webcamNames(std::vector<std::wstring>& names) const {
    for (const auto& camera : webcams_) names.push_back(camera->displayName());
}
