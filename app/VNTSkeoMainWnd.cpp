#include "app/VNTSkeoMainWnd.h"

#include "app/VNTNotificationCenter.h"
#include "framework/Trace.h"

VNTSkeoMainWnd::VNTSkeoMainWnd() = default;

BOOL VNTSkeoMainWnd::OnInitDialog() {
    CVNTUI_Skeo_MainDlg::OnInitDialog();
    notificationCenter_ = &VNTNotificationCenter::instance();
    vnt::trace(L"VNTSkeoMainWnd: initialised");
    return TRUE;
}

void VNTSkeoMainWnd::OnTrayOpen() {
    vnt::trace(L"VNTSkeoMainWnd::OnTrayOpen");
    CVNTUI_Skeo_MainDlg::OnTrayOpen();
}
