#include "app/VNTSkeoMainWnd.h"

#include "app/VNTLanguageSelector.h"
#include "app/VNTNotificationCenter.h"
#include "framework/Trace.h"
#include "settings/VNTSkeoRegedit.h"

namespace {

// The process's settings object, created on first use and destroyed at exit. The event database
// will take this role, as the settings object is its base.
VNTSkeoRegedit& settingsInstance() {
    static VNTSkeoRegedit settings;
    return settings;
}

}  // namespace

VNTSkeoMainWnd::VNTSkeoMainWnd() = default;

BOOL VNTSkeoMainWnd::OnInitDialog() {
    // Texts must be right from the first paint.
    VNTLanguageSelector::instance().Initialize();
    CVNTUI_Skeo_MainDlg::OnInitDialog();
    notificationCenter_ = &VNTNotificationCenter::instance();
    settings_ = &settingsInstance();
    vnt::trace(L"VNTSkeoMainWnd: initialised, language %u, library %ls",
               static_cast<unsigned>(VNTLanguageSelector::instance().language()),
               settings_->photoLibraryLocation().c_str());
    return TRUE;
}

void VNTSkeoMainWnd::OnTrayOpen() {
    vnt::trace(L"VNTSkeoMainWnd::OnTrayOpen");
    CVNTUI_Skeo_MainDlg::OnTrayOpen();
}
