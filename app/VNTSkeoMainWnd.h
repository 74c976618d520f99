// The main window controller: ties the main dialog to the core services and to the camera it
// shows.
#pragma once

#include "ui/CVNTUI_Skeo_MainDlg.h"

#include <string>

class VNTNotificationCenter;
class VNTSkeoDatabaseManager;
class VNTWebcam;
class VNTWebcamMonitor;

class VNTSkeoMainWnd : public CVNTUI_Skeo_MainDlg {
public:
    VNTSkeoMainWnd();

    void OnTrayOpen() override;
    void OnCloseButton() override;
    void onNotification(void* data, const std::wstring& name) override;

    // Claims a camera: the one with that display name (null: none asked for), else the stored
    // device, else any; false when none is free.
    bool openCamera(const std::wstring* displayName);
    // Claims a camera if none is held and starts it in the format its class and settings ask for.
    void startCamera();
    VNTWebcam* camera() const { return camera_; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void releaseCamera();

    // References to the core services, not owned; empty until the dialog initialises.
    VNTNotificationCenter* notificationCenter_ = nullptr;
    VNTWebcamMonitor* monitor_ = nullptr;
    VNTSkeoDatabaseManager* database_ = nullptr;  // also the settings
    VNTWebcam* camera_ = nullptr;                 // claimed from the monitor, which owns it
};
