// The main window controller: ties the main dialog to the core services.
#pragma once

#include "ui/CVNTUI_Skeo_MainDlg.h"

class VNTNotificationCenter;
class VNTSkeoDatabaseManager;

class VNTSkeoMainWnd : public CVNTUI_Skeo_MainDlg {
public:
    VNTSkeoMainWnd();

    void OnTrayOpen() override;

protected:
    BOOL OnInitDialog() override;

private:
    // References to the core services, not owned; empty until the dialog initialises.
    VNTNotificationCenter* notificationCenter_ = nullptr;
    VNTSkeoDatabaseManager* database_ = nullptr;  // also the settings
};
