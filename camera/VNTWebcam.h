// One attached camera: its names and device path, the windows that claimed it, and the capture
// graph that carries its picture into the video window. The maker's models derive from it.
#pragma once

#include "app/VNTWindow.h"
#include "camera/CaptureGraph.h"

#include <windows.h>

#include <memory>
#include <string>

class VNTWebcam : public VNTWindow {
public:
    VNTWebcam();
    ~VNTWebcam() override;

    virtual bool initWithDevice(const std::wstring& devicePath, const std::wstring& friendlyName);
    // Lets a model class start handling its button reports; nothing to do for a plain camera.
    virtual bool startReportHandling() { return true; }
    virtual bool matchProductName();
    virtual void setVersionText(const std::wstring& version) { versionText_ = version; }
    virtual bool release();
    // subtype null: any subtype.
    virtual bool build(int width, int height, const GUID* subtype);
    virtual bool start();
    // Destroys the graph; always false.
    virtual bool stop();
    virtual bool snapshot(const wchar_t* path, bool clearOverlay);
    // "WM_VNTWebcam_SnapshotImage" tells the owner window of a photo a camera wrote itself. Its
    // lParam is the token of the path, never the text's address: any program can send the message.
    static LPARAM snapshotImageToken(const std::wstring& path);
    static bool snapshotImagePath(LPARAM token, std::wstring& path);

    // View operations; false without a graph.
    virtual bool resize();
    virtual bool toggleMirror(bool horizontal, bool vertical);
    virtual bool isMirrorHorizontal();
    virtual bool isMirrorVertical();
    virtual bool zoom(float factor);
    virtual bool showBlackFrame();
    virtual bool disableBitmap();
    virtual bool showBitmap(const wchar_t* photoPath);

    // The model's range of an image control; a plain camera knows none.
    virtual bool videoProcAmpRange(ULONG id, LONG* minimum, LONG* maximum) { return false; }
    virtual bool cameraControlRange(ULONG id, LONG* minimum, LONG* maximum) { return false; }

    // Camera properties; a get replaces value only on success.
    virtual bool setVideoProcAmpProperty(ULONG id, LONG value);
    virtual bool getVideoProcAmpProperty(ULONG id, LONG* value);
    virtual bool setCameraControlProperty(ULONG id, LONG value);
    virtual bool getCameraControlProperty(ULONG id, LONG* value);

    const std::wstring& displayName() const { return displayName_; }
    const std::wstring& cameraClassName() const { return cameraClassName_; }
    const std::wstring& devicePath() const { return devicePath_; }
    const std::wstring& versionText() const { return versionText_; }
    HWND ownerWindow() const { return ownerWindow_; }
    HWND videoWindow() const { return videoWindow_; }
    // Set by the device monitor when a window claims the camera.
    void setOwners(HWND owner, HWND video) {
        ownerWindow_ = owner;
        videoWindow_ = video;
    }
    CaptureGraph* graph() const { return graph_.get(); }
    const std::string& modelText() const { return modelText_; }
    bool silent() const { return silent_ != 0; }
    void setSilent(bool silent) { silent_ = silent ? 1 : 0; }

protected:
    std::wstring displayName_;
    std::wstring cameraClassName_ = L"VNTWebcam";
    std::wstring devicePath_;
    std::wstring versionText_;
    HWND ownerWindow_ = nullptr;
    HWND videoWindow_ = nullptr;
    std::unique_ptr<CaptureGraph> graph_;
    std::string modelText_;
    int silent_ = 1;

private:
    bool propertyRequest(bool get, const GUID& set, ULONG id, LONG* value);
};

// The USB device's own names for a camera path ("\\?\usb#vid_..&pid_..&mi_..#instance#{...}"):
// its FriendlyName, and its LocationInformation before it, from the machine's USB enumeration key.
// Values of any length are read whole. False when the key cannot be opened or no name results.
bool readUsbDeviceName(const std::wstring& devicePath, std::wstring& displayName);
