// The one object that knows which of the maker's cameras are attached: it lists them from the
// system's video input devices, follows arrivals and removals, announces each camera that comes
// and goes ("WEBCAM_PLUG_IN", "WEBCAM_PULL_OUT"), and lends free cameras to the windows that
// show them.
#pragma once

#include "app/VNTWindow.h"
#include "camera/VNTWebcam.h"

#include <windows.h>
#include <dbt.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

class VNTWebcamMonitor : public VNTWindow {
public:
    static VNTWebcamMonitor& instance();

    VNTWebcamMonitor();
    ~VNTWebcamMonitor() override;

    void scanDevices();
    void addDevice(const std::wstring& devicePath, const std::wstring& friendlyName);
    void removeDevice(const std::wstring& deviceName);

    // A free camera of the class (or, failing that, of the next class in the fallback list), now
    // claimed by the two windows; null when none is free or a window handle is zero.
    VNTWebcam* acquireWebcam(const std::wstring& className, HWND owner, HWND video);
    VNTWebcam* acquireWebcamByPath(const std::wstring& devicePath, HWND owner, HWND video);
    VNTWebcam* acquireWebcamByName(const std::wstring& displayName, HWND owner, HWND video);
    void webcamNames(std::vector<std::wstring>& names) const;

    size_t webcamCount() const { return webcams_.size(); }

    LRESULT windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Posted to the monitor's own window for each queued device event.
    static constexpr UINT kProcessDeviceEvent = WM_USER + 12;

private:
    struct DeviceEvent {
        int kind;  // 1 attached, 0 removed
        std::wstring name;
    };

    template <class Match>
    VNTWebcam* claimFirst(Match match, HWND owner, HWND video);
    LRESULT onDeviceChange(WPARAM wParam, LPARAM lParam);
    void processDeviceEvent();

    HDEVNOTIFY notification_ = nullptr;
    std::vector<std::unique_ptr<VNTWebcam>> webcams_;
    std::deque<DeviceEvent> events_;
    CRITICAL_SECTION lock_;
    std::vector<std::wstring> classNames_;
};
