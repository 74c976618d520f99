// The main window controller: ties the main dialog to the core services.
#pragma once

#include "ui/CVNTUI_Skeo_MainDlg.h"

class VNTNotificationCenter;
class VNTSkeoRegedit;

class VNTSkeoMainWnd : public CVNTUI_Skeo_MainDlg {
public:
    VNTSkeoMainWnd();

    void OnTrayOpen() override;

protected:
    BOOL OnInitDialog() override;

private:
    // References to the core services, not owned; empty until the dialog initialises.
    VNTNotificationCenter* notificationCenter_ = nullptr;
    VNTSkeoRegedit* settings_ = nullptr;
};
