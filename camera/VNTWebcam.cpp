#include "camera/VNTWebcam.h"

#include "camera/WebcamModel.h"
#include "framework/ProgramSound.h"
#include "framework/TextTokens.h"
#include "framework/Trace.h"

#include <ks.h>
#include <ksmedia.h>
#include <uuids.h>
#include <versionhelpers.h>

#include <vector>

using vnt::trace;

namespace {

// A registry text value read whole, whatever its length; empty (and a log line) when unreadable.
std::wstring readText(HKEY key, const wchar_t* name) {
    std::vector<wchar_t> buffer(64, L'\0');
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    DWORD type = 0;
    LONG err = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    if (err == ERROR_MORE_DATA) {
        buffer.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        err = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    }
    if (err != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        trace(L"%ls, VNT_RegQueryValueEx RegQueryValueEx failed.\n", name);
        return std::wstring();
    }
    // The stored text need not end in NUL: take at most what was read.
    const size_t units = bytes / sizeof(wchar_t);
    size_t length = 0;
    while (length < units && length < buffer.size() && buffer[length] != L'\0') ++length;
    return std::wstring(buffer.data(), length);
}

}  // namespace

bool readUsbDeviceName(const std::wstring& devicePath, std::wstring& displayName) {
    const size_t first = devicePath.find(L'#');
    const size_t second = first == std::wstring::npos ? first : devicePath.find(L'#', first + 1);
    const size_t third = second == std::wstring::npos ? second : devicePath.find(L'#', second + 1);
    if (third == std::wstring::npos) {
        trace(L"VNTWebcam to get Match ProductName RegOpenKey failed.");
        return false;
    }
    const std::wstring keyPath = L"SYSTEM\\CurrentControlSet\\Enum\\USB\\" +
                                 devicePath.substr(first + 1, second - first - 1) + L"\\" +
                                 devicePath.substr(second + 1, third - second - 1);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        trace(L"VNTWebcam to get Match ProductName RegOpenKey failed.");
        return false;
    }
    displayName = readText(key, L"FriendlyName");
    const std::wstring location = readText(key, L"LocationInformation");
    if (!location.empty()) displayName = displayName.empty() ? location : location + L" (" + displayName + L")";
    RegCloseKey(key);
    return !displayName.empty();
}

VNTWebcam::VNTWebcam() = default;

VNTWebcam::~VNTWebcam() { graph_.reset(); }

bool VNTWebcam::initWithDevice(const std::wstring& devicePath, const std::wstring& friendlyName) {
    devicePath_ = lowerDevicePath(devicePath);
    if (!matchProductName() || displayName_.empty()) displayName_ = friendlyName;
    return true;
}

bool VNTWebcam::matchProductName() {
    // Later systems name the device well themselves.
    if (IsWindowsVistaOrGreater()) return false;
    return readUsbDeviceName(devicePath_, displayName_);
}

bool VNTWebcam::release() {
    stop();
    ownerWindow_ = nullptr;
    videoWindow_ = nullptr;
    return true;
}

bool VNTWebcam::build(int width, int height, const GUID* subtype) {
    if (graph_) return true;
    graph_.reset(new CaptureGraph(videoWindow_, ownerWindow_));
    if (!graph_->SetVideoCapture(devicePath_)) {
        trace(L"Webcam Build failed.\n");
        return false;
    }
    graph_->setModelText(modelText_);
    graph_->SetResolution(subtype, width, height);
    return true;
}

bool VNTWebcam::start() {
    build(640, 480, nullptr);
    return graph_ && graph_->PlayGraph();
}

bool VNTWebcam::stop() {
    graph_.reset();
    return false;
}

bool VNTWebcam::snapshot(const wchar_t* path, bool clearOverlay) {
    if (!graph_) return false;
    if (clearOverlay) graph_->DisableBitmap();
    if (!silent_) vnt::playProgramSound(L"Camera Shutter - shorter.wav");
    return graph_->Snapshot(path);
}

bool VNTWebcam::resize() { return graph_ && graph_->Resize(); }

bool VNTWebcam::toggleMirror(bool horizontal, bool vertical) {
    if (!graph_) return false;
    if (horizontal) return graph_->Mirror(graph_->IsMirrorVertical(), !graph_->IsMirrorHorizontal());
    if (vertical) return graph_->Mirror(!graph_->IsMirrorVertical(), graph_->IsMirrorHorizontal());
    return graph_->Mirror(false, false);
}

bool VNTWebcam::isMirrorHorizontal() { return graph_ && graph_->IsMirrorHorizontal(); }
bool VNTWebcam::isMirrorVertical() { return graph_ && graph_->IsMirrorVertical(); }
bool VNTWebcam::zoom(float factor) { return graph_ && graph_->Zoom(factor); }
bool VNTWebcam::showBlackFrame() { return graph_ && graph_->ShowBlackFrame(); }
bool VNTWebcam::disableBitmap() { return graph_ && graph_->DisableBitmap(); }
bool VNTWebcam::showBitmap(const wchar_t* photoPath) { return graph_ && graph_->ShowBitmap1(photoPath); }

bool VNTWebcam::propertyRequest(bool get, const GUID& set, ULONG id, LONG* value) {
    if (!graph_) return false;
    CameraPropertyRecord record{};
    record.set = set;
    record.id = id;
    record.flags = 2;
    record.value = *value;
    const bool ok = get ? graph_->GetProperty(set, id, &record, sizeof record)
                        : graph_->SetProperty(set, id, &record, sizeof record);
    if (ok && get) *value = record.value;
    return ok;
}

bool VNTWebcam::setVideoProcAmpProperty(ULONG id, LONG value) {
    return propertyRequest(false, PROPSETID_VIDCAP_VIDEOPROCAMP, id, &value);
}

bool VNTWebcam::getVideoProcAmpProperty(ULONG id, LONG* value) {
    return value && propertyRequest(true, PROPSETID_VIDCAP_VIDEOPROCAMP, id, value);
}

bool VNTWebcam::setCameraControlProperty(ULONG id, LONG value) {
    return propertyRequest(false, PROPSETID_VIDCAP_CAMERACONTROL, id, &value);
}

bool VNTWebcam::getCameraControlProperty(ULONG id, LONG* value) {
    return value && propertyRequest(true, PROPSETID_VIDCAP_CAMERACONTROL, id, value);
}

namespace {
vnt::TextTokens& snapshotImagePaths() {
    static vnt::TextTokens paths;
    return paths;
}
}  // namespace

LPARAM VNTWebcam::snapshotImageToken(const std::wstring& path) { return snapshotImagePaths().put(path); }

bool VNTWebcam::snapshotImagePath(LPARAM token, std::wstring& path) { return snapshotImagePaths().take(token, path); }
