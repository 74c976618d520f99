#include "app/VNTSkeoMainWnd.h"

#include "app/VNTLanguageSelector.h"
#include "app/VNTNotificationCenter.h"
#include "framework/Trace.h"
#include "library/VNTSkeoDatabaseManager.h"

VNTSkeoMainWnd::VNTSkeoMainWnd() = default;

BOOL VNTSkeoMainWnd::OnInitDialog() {
    // Texts must be right from the first paint.
    VNTLanguageSelector::instance().Initialize();
    CVNTUI_Skeo_MainDlg::OnInitDialog();
    notificationCenter_ = &VNTNotificationCenter::instance();
    // The event database is also the settings object: creating it loads both.
    database_ = &VNTSkeoDatabaseManager::instance();
    const std::vector<VNTSkeoEvent> events = database_->eventList();
    vnt::trace(L"VNTSkeoMainWnd: initialised, language %u, library %ls, %u photos",
               static_cast<unsigned>(VNTLanguageSelector::instance().language()),
               database_->photoLibraryLocation().c_str(), static_cast<unsigned>(events.size()));
    return TRUE;
}

void VNTSkeoMainWnd::OnTrayOpen() {
    vnt::trace(L"VNTSkeoMainWnd::OnTrayOpen");
    CVNTUI_Skeo_MainDlg::OnTrayOpen();
}
