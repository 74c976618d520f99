#include "app/VNTSkeoMainWnd.h"

#include "app/CaptureFormat.h"
#include "app/VNTLanguageSelector.h"
#include "app/VNTNotificationCenter.h"
#include "camera/VNTWebcam.h"
#include "camera/VNTWebcamMonitor.h"
#include "framework/Trace.h"
#include "library/VNTSkeoDatabaseManager.h"

#include <uuids.h>

namespace {

const GUID* mediaSubtype(CaptureSubtype subtype) {
    switch (subtype) {
    case CaptureSubtype::mjpg:
        return &MEDIASUBTYPE_MJPG;
    case CaptureSubtype::yuy2:
        return &MEDIASUBTYPE_YUY2;
    case CaptureSubtype::rgb24:
        return &MEDIASUBTYPE_RGB24;
    default:
        return nullptr;
    }
}

}  // namespace

VNTSkeoMainWnd::VNTSkeoMainWnd() = default;

BOOL VNTSkeoMainWnd::OnInitDialog() {
    // Texts must be right from the first paint.
    VNTLanguageSelector::instance().Initialize();
    CVNTUI_Skeo_MainDlg::OnInitDialog();
    notificationCenter_ = &VNTNotificationCenter::instance();
    monitor_ = &VNTWebcamMonitor::instance();
    monitor_->scanDevices();
    // The event database is also the settings object: creating it loads both.
    database_ = &VNTSkeoDatabaseManager::instance();
    const std::vector<VNTSkeoEvent> events = database_->eventList();
    vnt::trace(L"VNTSkeoMainWnd: initialised, language %u, library %ls, %u photos",
               static_cast<unsigned>(VNTLanguageSelector::instance().language()),
               database_->photoLibraryLocation().c_str(), static_cast<unsigned>(events.size()));
    // The window lives until the process ends, so it never stops observing.
    notificationCenter_->addObserver(this, L"WEBCAM_PLUG_IN");
    notificationCenter_->addObserver(this, L"WEBCAM_PULL_OUT");
    if (!startedAtLogOn()) startCamera();
    return TRUE;
}

void VNTSkeoMainWnd::releaseCamera() {
    if (!camera_) return;
    camera_->release();
    camera_ = nullptr;
}

bool VNTSkeoMainWnd::openCamera(const std::wstring* displayName) {
    releaseCamera();
    if (!monitor_) return false;
    const HWND video = cameraViewWindow();
    if (displayName) camera_ = monitor_->acquireWebcamByName(*displayName, hwnd(), video);
    if (!camera_ && database_ && !database_->videoDevice().empty())
        camera_ = monitor_->acquireWebcamByPath(database_->videoDevice(), hwnd(), video);
    if (!camera_) camera_ = monitor_->acquireWebcam(L"VNTWebcamSkeoPlus", hwnd(), video);
    if (!camera_) return false;
    if (database_) {
        database_->setVideoDevice(camera_->devicePath());
        database_->selectCameraModel(camera_->cameraClassName());
    }
    return true;
}

void VNTSkeoMainWnd::startCamera() {
    if (!camera_ && !openCamera(nullptr)) return;
    camera_->stop();
    const CameraSettings* record = database_ ? database_->cameraSettings() : nullptr;
    const CaptureFormat format = captureFormatFor(camera_->cameraClassName(), record ? record->resolution : 0);
    if (format.correctedResolution && database_) database_->setCameraResolution(format.correctedResolution);
    camera_->build(format.width, format.height, mediaSubtype(format.subtype));
    camera_->start();
    camera_->setSilent(database_ && database_->soundEffectSnapshot() == 0);
    vnt::trace(L"VNTSkeoMainWnd: camera %ls (%ls) started at %d x %d", camera_->displayName().c_str(),
               camera_->cameraClassName().c_str(), format.width, format.height);
}

void VNTSkeoMainWnd::onNotification(void* data, const std::wstring& name) {
    if (name == L"WEBCAM_PLUG_IN") {
        // A hidden window starts its camera when it is opened again.
        if (!camera_ && IsWindowVisible(hwnd())) startCamera();
    } else if (name == L"WEBCAM_PULL_OUT") {
        const wchar_t* path = static_cast<const wchar_t*>(data);
        if (camera_ && path && camera_->devicePath() == path) {
            openCamera(nullptr);
            startCamera();
        }
        if (HWND view = cameraViewWindow()) RedrawWindow(view, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
    } else if (name == L"LANGUAGE_CHANGED") {
        ReloadTexts();
    }
}

void VNTSkeoMainWnd::OnTrayOpen() {
    vnt::trace(L"VNTSkeoMainWnd::OnTrayOpen");
    if (!camera_) startCamera();
    CVNTUI_Skeo_MainDlg::OnTrayOpen();
}

void VNTSkeoMainWnd::OnCloseButton() {
    CVNTUI_Skeo_MainDlg::OnCloseButton();
    if (!camera_) return;
    if (database_ && database_->cameraSettingsPreload() == 0) {
        database_->resetCameraSettings();
        database_->selectCameraModel(L"");
    }
    releaseCamera();
}

void VNTSkeoMainWnd::OnOK() {
    releaseCamera();
    CVNTUI_Skeo_MainDlg::OnOK();
}
