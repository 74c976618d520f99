// The main window controller: ties the main dialog to the core services and to the camera it
// shows.
#pragma once

#include "settings/CameraSettings.h"
#include "ui/CVNTUI_Skeo_MainDlg.h"

#include <memory>
#include <string>

class VNTNotificationCenter;
class VNTSkeoDatabaseManager;
class VNTWebcam;
class VNTWebcamMonitor;

class VNTSkeoMainWnd : public CVNTUI_Skeo_MainDlg {
public:
    VNTSkeoMainWnd();
    ~VNTSkeoMainWnd() override;

    void OnSettingsButton() override;
    void OnCloseButton() override;
    void OnImageFolderButton() override;
    void OnTrayOpen() override;
    void OnTrayAbout() override;
    void OnZoomCamCommand(UINT id) override;
    void OnTimerCommand(UINT id) override;
    void OnMirrorCommand(UINT id, int newState) override;
    bool OnResolutionCommand(UINT id) override;
    void OnExposureCommand(UINT id, int level) override;
    void OnExposureModeCommand(UINT id) override;
    void OnContextCommand(UINT id) override;
    void LayoutWindow(const RECT& rect, bool fullScreen) override;
    void onNotification(void* data, const std::wstring& name) override;

    // Claims a camera: the one with that display name (null: none asked for), else the stored
    // device, else any; false when none is free.
    bool openCamera(const std::wstring* displayName);
    // Claims a camera if none is held and starts it in the format its class and settings ask for.
    void startCamera();
    // Sets the picture controls stored for the camera's model, those within the camera's ranges.
    void applyStoredAdjustments(const CameraSettings& record);
    // Writes a photo from the live picture into the library; parameter > 0 also previews it in
    // the camera view's picture layer. The shutter and preview that follow run on a timer.
    void takeSnapshot(int parameter);
    // From the request until the live picture is back (countdown, shutter, preview).
    bool photoInProgress() const override;
    // Records a photo file in the strip and, once the strip has it, in the index.
    void storeSnapshot(const std::wstring& path);
    VNTWebcam* camera() const { return camera_; }

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    struct Shutter;

    void releaseCamera();
    // The next step of the shutter and preview, when its timer fires.
    void onShutterTimer();
    // The photo's overlay taken away and the photo recorded; at once when the camera is about to
    // be stopped or let go, so that a photo once written is never left out.
    void finishSnapshot();
    // The end of the Windows session: the OK path, and the index written before answering.
    void endSession();
    void cancelCountdown();
    void requestSnapshot(int parameter);
    void applyCameraFlags();
    void showFocusMode(bool single);
    bool skeoFamily() const;
    void reflect(int value, UINT id);

    // References to the core services, not owned; empty until the dialog initialises.
    VNTNotificationCenter* notificationCenter_ = nullptr;
    VNTSkeoDatabaseManager* database_ = nullptr;  // also the settings
    VNTWebcamMonitor* monitor_ = nullptr;
    VNTWebcam* camera_ = nullptr;  // claimed from the monitor, which owns it
    // The photo being shown after its file was written; requests are refused meanwhile.
    std::unique_ptr<Shutter> shutter_;
};
