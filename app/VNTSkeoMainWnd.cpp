#include "app/VNTSkeoMainWnd.h"

#include "app/CaptureFormat.h"
#include "app/ShutterSequence.h"
#include "app/VNTLanguageSelector.h"
#include "app/VNTNotificationCenter.h"
#include "camera/VNTWebcam.h"
#include "camera/VNTWebcamMonitor.h"
#include "camera/VNTWebcamSkeo.h"
#include "framework/FileSystem.h"
#include "framework/Trace.h"
#include "library/VNTSkeoDatabaseManager.h"
#include "resources/resource.h"
#include "settings/CVNTUI_Skeo_SettingsPropSheet.h"

#include <shellapi.h>
#include <uuids.h>

#include <climits>
#include <memory>
#include <vector>

namespace {

const UINT g_snapshotImageMessage = RegisterWindowMessageW(L"WM_VNTWebcam_SnapshotImage");
// The dialog's timer that walks a photo's shutter and preview.
constexpr UINT_PTR kShutterTimer = 0x5348;

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

struct VNTSkeoMainWnd::Shutter {
    std::wstring path;
    int parameter;
    skeo::ShutterSequence sequence;
    skeo::ShutterSequence::Step next;
};

VNTSkeoMainWnd::VNTSkeoMainWnd() = default;

VNTSkeoMainWnd::~VNTSkeoMainWnd() {
    // The center outlives the window: a camera plugged in later must not reach a window gone.
    if (notificationCenter_) {
        notificationCenter_->removeObserver(this, L"WEBCAM_PLUG_IN");
        notificationCenter_->removeObserver(this, L"WEBCAM_PULL_OUT");
    }
}

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
    if (!events.empty()) {
        CVNTUI_Skeo_EventListCtrl& list = eventList();
        // The strip fills in steps; the newest photo is its last item only once all are in. A
        // photo the user chose meanwhile stays chosen.
        auto showNewest = [this] {
            const int last = eventList().itemCount() - 1;
            if (last < 0 || ListView_GetSelectedCount(eventList().hwnd()) > 0) return;
            eventList().selectOnly(last);
            ShowPhoto(last);
        };
        list.fillList(events, *database_);
        if (list.fillPending())
            list.setFillFinishedHandler(showNewest);
        else
            showNewest();
    }
    notificationCenter_->addObserver(this, L"WEBCAM_PLUG_IN");
    notificationCenter_->addObserver(this, L"WEBCAM_PULL_OUT");
    if (!startedAtLogOn()) startCamera();
    return TRUE;
}

bool VNTSkeoMainWnd::skeoFamily() const {
    if (!camera_) return false;
    const std::wstring& name = camera_->cameraClassName();
    return name == L"VNTWebcamSkeoPlus" || name == L"VNTWebcamSkeo";
}

void VNTSkeoMainWnd::reflect(int value, UINT id) {
    if (CVNTUI_Skeo_MenuBar* bar = menuBar()) bar->ReflectCameraCommand(value, static_cast<int>(id));
}

void VNTSkeoMainWnd::releaseCamera() {
    if (!camera_) return;
    finishSnapshot();
    cancelCountdown();
    vnt::trace(L"VNTSkeoMainWnd: camera %ls released", camera_->displayName().c_str());
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
    if (!camera_) {
        vnt::trace(L"VNTSkeoMainWnd: no camera to claim");
        return false;
    }
    const CameraSettings* record = nullptr;
    if (database_) {
        database_->setVideoDevice(camera_->devicePath());
        database_->selectCameraModel(camera_->cameraClassName());
        record = database_->cameraSettings();
    }
    reflect(0, record ? static_cast<UINT>(record->timer) : static_cast<UINT>(-1));
    return true;
}

void VNTSkeoMainWnd::applyCameraFlags() {
    if (!camera_ || !database_) return;
    camera_->setSilent(database_->soundEffectSnapshot() == 0);
    if (skeoFamily())
        static_cast<VNTWebcamSkeo*>(camera_)->setFocusSoundsOff(database_->soundEffectFocus() == 0);
}

void VNTSkeoMainWnd::showFocusMode(bool single) {
    sfButtonWindow().SetAutoFocusSingle(single);
    sfButtonWindow().Repaint();
}

void VNTSkeoMainWnd::startCamera() {
    if (!camera_ && !openCamera(nullptr)) return;
    // The graph is rebuilt: a photo being shown on it is done now.
    finishSnapshot();
    camera_->stop();
    const CameraSettings* record = database_ ? database_->cameraSettings() : nullptr;
    const std::wstring className = camera_->cameraClassName();
    const CaptureFormat format = captureFormatFor(className, record ? record->resolution : 0);
    if (format.correctedResolution && database_) database_->setCameraResolution(format.correctedResolution);
    record = database_ ? database_->cameraSettings() : nullptr;
    if (!camera_->build(format.width, format.height, mediaSubtype(format.subtype)))
        vnt::trace(L"VNTSkeoMainWnd: the graph of %ls was not built at %d x %d", camera_->displayName().c_str(),
                   format.width, format.height);
    if (record) reflect(0, static_cast<UINT>(record->resolution));
    camera_->start();
    camera_->setSilent(database_ && database_->soundEffectSnapshot() == 0);
    if (record && database_->cameraSettingsPreload() != 0) applyStoredAdjustments(*record);

    const bool flipVertical = !record || record->mirrorVertical != 0;
    if (flipVertical) camera_->toggleMirror(false, true);
    reflect(flipVertical ? 1 : 0, ID_MIRROR_VERTICAL);
    const bool flipHorizontal = !record || record->mirrorHorizontal != 0;
    if (flipHorizontal) camera_->toggleMirror(true, false);
    reflect(flipHorizontal ? 1 : 0, ID_MIRROR_HORIZONTAL);

    OnZoomCamCommand(record ? static_cast<UINT>(record->zoom) : static_cast<UINT>(-1));

    CVNTUI_Skeo_MenuBar* bar = menuBar();
    if (className == L"VNTWebcamSkeoPlus") {
        OnExposureCommand(ID_EXPOSURE_LEVEL, record ? record->exposureValue : 0);
        OnExposureModeCommand(record ? static_cast<UINT>(record->exposureMode) : 0);
        if (bar) bar->SetExposureControlKind(1);
    } else if (className == L"VNTWebcamSkeo") {
        OnExposureCommand(record ? static_cast<UINT>(record->exposureValue) : 0, 0);
        if (bar) bar->SetExposureControlKind(2);
    } else if (bar) {
        bar->SetExposureControlKind(0);
    }
    if (bar) bar->SetMode(bar->mode());

    if (skeoFamily()) {
        auto* skeo = static_cast<VNTWebcamSkeo*>(camera_);
        skeo->setFocusSoundsOff(database_ && database_->soundEffectFocus() == 0);
        skeo->focusAgain(true);
        // Answered by the sender as a focus mode report: a register query waits on the camera.
        skeo->queryFocusMode();
    }
    vnt::trace(L"VNTSkeoMainWnd: camera %ls (%ls) started at %d x %d", camera_->displayName().c_str(),
               className.c_str(), format.width, format.height);
}

void VNTSkeoMainWnd::applyStoredAdjustments(const CameraSettings& record) {
    for (int property = 0; property < CameraSettings::kAdjustments; ++property) {
        const int32_t value = record.adjustments[property];
        if (value == CameraSettings::kNotStored) continue;
        LONG minimum = 0, maximum = 0;
        const auto id = static_cast<ULONG>(property);
        if (!camera_->videoProcAmpRange(id, &minimum, &maximum) || value < minimum || value > maximum) {
            vnt::trace(L"VNTSkeoMainWnd: stored %ls %d not sent: outside the camera's range",
                       VNTSkeoRegedit::adjustmentValueName(property), value);
            continue;
        }
        if (!camera_->setVideoProcAmpProperty(id, value))
            vnt::trace(L"VNTSkeoMainWnd: the camera refused stored %ls %d", VNTSkeoRegedit::adjustmentValueName(property),
                       value);
    }
}

bool VNTSkeoMainWnd::photoInProgress() const { return shutter_ || CVNTUI_Skeo_MainDlg::photoInProgress(); }

void VNTSkeoMainWnd::cancelCountdown() {
    if (!countdownWindow().IsRunning()) return;
    countdownWindow().Cancel();
    PlaceOverlays();
}

void VNTSkeoMainWnd::requestSnapshot(int parameter) {
    if (!IsWindowVisible(hwnd())) {
        OnTrayOpen();
    } else if (IsIconic(hwnd())) {
        ShowWindow(hwnd(), SW_RESTORE);
    } else if (camera_ && !photoInProgress()) {
        ShowWindow(sfButtonWindow().hwnd(), SW_HIDE);
        const CameraSettings* record = database_ ? database_->cameraSettings() : nullptr;
        const int timer = record ? record->timer : 0;
        if (timer == static_cast<int>(ID_TIMER_3_SEC))
            countdownWindow().Start(3);
        else if (timer == static_cast<int>(ID_TIMER_10_SEC))
            countdownWindow().Start(10);
        else
            takeSnapshot(parameter);
    }
    SetForegroundWindow(hwnd());
}

void VNTSkeoMainWnd::takeSnapshot(int parameter) {
    if (!camera_ || !database_ || shutter_) return;
    const std::wstring path = database_->makePhotoFileName();
    if (path.empty()) {
        // Every name of the serial range is taken: nothing may be overwritten.
        vnt::trace(L"VNTSkeoMainWnd: no free photo name, no photo");
        PlaceOverlays();
        return;
    }
    camera_->showBlackFrame();
    const ULONGLONG blackSince = GetTickCount64();
    if (!camera_->snapshot(path.c_str(), false)) {
        // Without this the live picture would stay black until the next photo.
        camera_->disableBitmap();
        database_->returnPhotoFileName(path);
        vnt::trace(L"VNTSkeoMainWnd: no photo was written to %ls", path.c_str());
        PlaceOverlays();
        return;
    }
    const skeo::ShutterSequence sequence(database_->instantPreview());
    shutter_.reset(new Shutter{path, parameter, sequence, sequence.first()});
    // The black frame is the shutter: it must be seen, however fast the file was written.
    SetTimer(hwnd(), kShutterTimer, sequence.firstDelay(static_cast<unsigned>(GetTickCount64() - blackSince)), nullptr);
}

void VNTSkeoMainWnd::onShutterTimer() {
    KillTimer(hwnd(), kShutterTimer);
    if (!shutter_) return;
    using Step = skeo::ShutterSequence::Step;
    const Step step = shutter_->next;
    if (step == Step::Done || !camera_) {
        finishSnapshot();
        return;
    }
    if (step == Step::ShowPhoto) {
        camera_->showBitmap(shutter_->path.c_str());
        if (shutter_->parameter > 0) cameraView().LoadAndRender(shutter_->path, false);
    } else {
        camera_->showBlackFrame();
        if (shutter_->parameter > 0) {
            cameraView().ReleasePicture();
            cameraView().Render();
        }
    }
    shutter_->next = shutter_->sequence.after(step);
    SetTimer(hwnd(), kShutterTimer, shutter_->sequence.holdMs(step), nullptr);
}

void VNTSkeoMainWnd::finishSnapshot() {
    if (!shutter_) return;
    KillTimer(hwnd(), kShutterTimer);
    const std::unique_ptr<Shutter> done = std::move(shutter_);
    if (camera_) camera_->disableBitmap();
    if (done->parameter > 0) {
        cameraView().ReleasePicture();
        cameraView().Render();
    }
    storeSnapshot(done->path);
    PlaceOverlays();
}

void VNTSkeoMainWnd::endSession() {
    vnt::trace(L"VNTSkeoMainWnd: the session ends");
    OnOK();
    // Answering lets the system end the process at once: the index must be on disk before.
    if (database_ && !database_->saveNow()) vnt::trace(L"VNTSkeoMainWnd: the index could not be saved at the session's end");
}

void VNTSkeoMainWnd::storeSnapshot(const std::wstring& path) {
    const size_t slash = path.rfind(L'\\');
    VNTSkeoEvent record;
    record.folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    record.name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    CVNTUI_Skeo_EventListCtrl& list = eventList();
    const bool added = list.addItem(record) != 0;
    if (added) {
        const int last = list.itemCount() - 1;
        list.selectOnly(last);
        ShowPhoto(last);
    }
    // The photo file stays in the library folder either way; only the index leaves it out.
    if (added && database_) {
        database_->addEvent(record);
        vnt::trace(L"VNTSkeoMainWnd: %ls is in the strip and queued for the index", path.c_str());
    } else {
        vnt::trace(L"VNTSkeoMainWnd: %ls is not in the strip and so not indexed", path.c_str());
    }
}

INT_PTR VNTSkeoMainWnd::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kShutterTimer) {
        onShutterTimer();
        return TRUE;
    }
    if (message == WM_QUERYENDSESSION) return SetMessageResult(TRUE);
    if (message == WM_ENDSESSION) {
        if (wParam) endSession();
        return SetMessageResult(0);
    }
    if (message == MSG_SNAPSHOT_REQUEST) {
        if (mode() != ModePhoto && !countdownWindow().IsRunning()) {
            if (wParam == 0) {
                requestSnapshot(0);
            } else if (wParam == 1 && camera_ &&
                       camera_->cameraClassName().find(L"VNTWebcamSkeo") != std::wstring::npos) {
                static_cast<VNTWebcamSkeo*>(camera_)->focusAgain(false);
            }
        }
        return SetMessageResult(0);
    }
    if (message == MSG_COUNTDOWN_DONE) {
        if (!countdownWindow().TakeFinish())
            vnt::trace(L"VNTSkeoMainWnd: the end of a countdown that did not run, ignored");
        else if (camera_)
            takeSnapshot(0);
        else
            PlaceOverlays();
        return SetMessageResult(0);
    }
    if (message == WM_DISPLAYCHANGE) {
        const CameraSettings* record = database_ ? database_->cameraSettings() : nullptr;
        if (camera_ && record) OnResolutionCommand(static_cast<UINT>(record->resolution));
        return SetMessageResult(0);
    }
    if (message == VNTWebcamSkeo::snapshotKeyMessage) {
        requestSnapshot(static_cast<int>(lParam));
        return SetMessageResult(0);
    }
    if (message == g_snapshotImageMessage) {
        PlaceOverlays();
        std::wstring path;
        if (lParam && VNTWebcam::snapshotImagePath(lParam, path)) storeSnapshot(path);
        return SetMessageResult(0);
    }
    if (message == VNTWebcamSkeo::focusKeyMessage) {
        if (lParam == 3 && skeoFamily()) static_cast<VNTWebcamSkeo*>(camera_)->focusAgain(false);
        return SetMessageResult(0);
    }
    if (message == VNTWebcamSkeo::focusModeMessage) {
        showFocusMode(lParam == 0);
        return SetMessageResult(0);
    }
    if (message == VNTWebcamSkeo::exposureChangedMessage) {
        // The settings know the model's range of levels and refuse (and trace) any other number.
        const int level = lParam < 0 || lParam > INT_MAX ? -1 : static_cast<int>(lParam);
        if (camera_ && camera_->cameraClassName() == L"VNTWebcamSkeoPlus" && database_ &&
            database_->setCameraExposureValue(level)) {
            ShowExposureIndicator(level);
            reflect(level, ID_EXPOSURE_LEVEL);
        }
        return SetMessageResult(0);
    }
    return CVNTUI_Skeo_MainDlg::DialogProc(message, wParam, lParam);
}

void VNTSkeoMainWnd::onNotification(void* data, const std::wstring& name) {
    if (name == L"WEBCAM_PLUG_IN") {
        // A hidden window starts its camera when it is opened again.
        if (camera_ || !IsWindowVisible(hwnd())) return;
        startCamera();
        if (camera_ && settingsSheet()) {
            CVNTUI_Skeo_SettingsPropSheet& sheet = *settingsSheet();
            if (skeoFamily()) sheet.imageAdjustmentPage().setCamera(camera_);
            sheet.systemPage().setVersionText(camera_->versionText());
        }
    } else if (name == L"WEBCAM_PULL_OUT") {
        const wchar_t* path = static_cast<const wchar_t*>(data);
        if (camera_ && path && camera_->devicePath() == path) {
            openCamera(nullptr);
            startCamera();
            if (settingsSheet()) settingsSheet()->imageAdjustmentPage().setCamera(camera_);
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
    finishSnapshot();
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

void VNTSkeoMainWnd::OnSettingsButton() {
    if (settingsSheet() || !database_) return;
    auto sheet = std::make_unique<CVNTUI_Skeo_SettingsPropSheet>(*database_);
    setSettingsSheet(sheet.get());
    const std::wstring current = camera_ ? camera_->displayName() : std::wstring();
    if (camera_) {
        sheet->generalPage().setCurrentDevice(current);
        if (skeoFamily()) sheet->imageAdjustmentPage().setCamera(camera_);
        sheet->systemPage().setVersionText(camera_->versionText());
        sheet->systemPage().ReloadTexts();
    }
    std::vector<std::wstring> names;
    if (monitor_) monitor_->webcamNames(names);
    sheet->generalPage().setDeviceNames(names);
    const INT_PTR result = sheet->DoModal(hwnd());
    // A camera pulled out while the sheet was open may have left none behind.
    if (result == IDOK && camera_) {
        const std::wstring chosen = sheet->generalPage().chosenDevice();
        if (!chosen.empty() && chosen != camera_->displayName()) {
            openCamera(&chosen);
            startCamera();
        } else {
            applyCameraFlags();
        }
    }
    setSettingsSheet(nullptr);
}

void VNTSkeoMainWnd::OnImageFolderButton() {
    const std::wstring photo = photoView().pictureFileName();
    if (vnt::fileExists(photo)) {
        const std::wstring parameters = L"/select," + photo;
        ShellExecuteW(hwnd(), L"Open", L"explorer.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
        return;
    }
    const std::wstring folder = database_ ? database_->photoLibraryLocation() : std::wstring();
    if (vnt::fileExists(folder)) ShellExecuteW(hwnd(), L"Open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void VNTSkeoMainWnd::OnTrayAbout() {
    if (CVNTUI_Skeo_AboutBox* open = aboutBox()) {
        BringToFront(open->hwnd());
        return;
    }
    auto box = std::make_unique<CVNTUI_Skeo_AboutBox>();
    if (camera_) box->SetFirmwareVersion(camera_->versionText());
    setAboutBox(box.get());
    box->DoModal(nullptr);  // no parent: it opens from the tray while the window is hidden
    setAboutBox(nullptr);
}

void VNTSkeoMainWnd::OnZoomCamCommand(UINT id) {
    if (!camera_) return;
    static const float kFactors[] = {1.0f, 1.25f, 1.5f, 2.0f, 2.5f, 3.0f};
    if (id >= ID_ZOOM_CAM_1X && id <= ID_ZOOM_CAM_3X) camera_->zoom(kFactors[id - ID_ZOOM_CAM_1X]);
    const CameraSettings* record = database_ ? database_->cameraSettings() : nullptr;
    if (record && record->zoom != static_cast<int32_t>(id)) database_->setCameraZoom(static_cast<int32_t>(id));
    reflect(0, id);
}

void VNTSkeoMainWnd::OnTimerCommand(UINT id) {
    if (database_) database_->setCameraTimer(static_cast<int32_t>(id));
    reflect(0, id);
}

void VNTSkeoMainWnd::OnMirrorCommand(UINT id, int /*newState*/) {
    if (!camera_) return;
    // The camera's own state is what the menu shows: a refused flip changes nothing.
    int state;
    if (id == ID_MIRROR_VERTICAL) {
        camera_->toggleMirror(false, true);
        state = camera_->isMirrorVertical() ? 1 : 0;
        if (database_) database_->setCameraMirrorVertical(state);
    } else {
        camera_->toggleMirror(true, false);
        state = camera_->isMirrorHorizontal() ? 1 : 0;
        if (database_) database_->setCameraMirrorHorizontal(state);
    }
    reflect(state, id);
}

bool VNTSkeoMainWnd::OnResolutionCommand(UINT id) {
    if (!camera_) return false;
    const std::wstring& className = camera_->cameraClassName();
    bool accepted = true;
    if (className == L"VNTWebcamZev")
        accepted = id == ID_RESOLUTION_800X600 || id == ID_RESOLUTION_640X480 || id == ID_RESOLUTION_320X240;
    else if (className == L"VNTWebcam")
        accepted = id == ID_RESOLUTION_640X480;
    if (!accepted) {
        vnt::trace(L"VNTSkeoMainWnd: resolution %u refused for %ls", id, className.c_str());
        return false;
    }
    if (database_) database_->setCameraResolution(static_cast<int32_t>(id));
    startCamera();
    return true;
}

void VNTSkeoMainWnd::OnExposureCommand(UINT id, int level) {
    if (!skeoFamily()) return;
    int value;
    switch (id) {
    case 32811: value = 9; break;
    case 32812: value = 7; break;
    case 32813: value = 5; break;
    case 32814: value = 4; break;
    case 32815: value = 3; break;
    case ID_EXPOSURE_LEVEL: value = level; break;
    default: value = 0; break;
    }
    static_cast<VNTWebcamSkeo*>(camera_)->setExposure(value);
    const int stored = id == ID_EXPOSURE_LEVEL ? level : static_cast<int>(id);
    if (database_) database_->setCameraExposureValue(stored);
    ShowExposureIndicator(stored);
    reflect(level, id);
}

void VNTSkeoMainWnd::OnExposureModeCommand(UINT id) {
    if (!camera_) return;
    if (camera_->cameraClassName() == L"VNTWebcamSkeoPlus") {
        // "On" goes out as {5, 0} and "Off" as {5, 1}, although the camera's own sender reads 1 as
        // automatic: these are the bytes model B has always received from this program, so they stay.
        static_cast<VNTWebcamSkeo*>(camera_)->queueCommand(VNTWebcamSkeo::kExposureMode, id == ID_EXPOSURE_MODE_ON ? 0 : 1);
        if (database_) database_->setCameraExposureMode(static_cast<int32_t>(id));
    }
    reflect(0, id);
}

void VNTSkeoMainWnd::OnContextCommand(UINT id) {
    if (id == ID_CTX_GO_TO_IMAGE_FOLDER)
        OnImageFolderButton();
    else
        CVNTUI_Skeo_MainDlg::OnContextCommand(id);
}

void VNTSkeoMainWnd::LayoutWindow(const RECT& rect, bool fullScreen) {
    CVNTUI_Skeo_MainDlg::LayoutWindow(rect, fullScreen);
    if (camera_) camera_->resize();
}
