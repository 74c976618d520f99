#include "settings/VNTSkeoRegedit.h"

#include <windows.h>
#include <shlobj.h>

#include <climits>

#include "app/PhotoFileName.h"
#include "framework/Trace.h"

const wchar_t VNTSkeoRegedit::kProductName[] = L"Zevlan";
const wchar_t VNTSkeoRegedit::kLastSystemTimeName[] = L"LastSystemTime\t";

namespace {

// Numeric defaults.
constexpr int32_t kDefaultFlickerCorrection = 0;
constexpr int32_t kDefaultInstantPreview = 1;
constexpr int32_t kDefaultSoundEffectFocus = 1;
constexpr int32_t kDefaultSoundEffectSnapshot = 1;
constexpr int32_t kDefaultPhotoNameFormat = 0;
constexpr int32_t kDefaultProgrammableKeyFunction = 0;
constexpr int32_t kDefaultTimeSerialNumber = 1;
constexpr int32_t kDefaultCustomSerialNumber = 1;
constexpr int32_t kDefaultCameraSettingsPreload = 1;
constexpr int32_t kDefaultCameraZoom = 32801;
constexpr int32_t kDefaultCameraTimer = 32821;
constexpr int32_t kDefaultCameraMirrorVertical = 0;
constexpr int32_t kDefaultCameraMirrorHorizontal = 0;
constexpr int32_t kDefaultSkeoFamilyResolution = 32842;
constexpr int32_t kDefaultPelloExposureValue = 4;
constexpr int32_t kDefaultCameraExposureMode = 32818;
constexpr int32_t kDefaultOtherResolution = 32845;
constexpr int32_t kDefaultOtherExposureValue = 32813;

const wchar_t* const kModelSubkeys[] = {L"Pello", L"Skeo", L"Zev", L"Others"};

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Documents + "\My pictures\Skeo\", creating both folders; empty when there is no documents folder.
std::wstring defaultLibraryFolder() {
    wchar_t documents[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, documents)))
        return std::wstring();
    std::wstring folder = std::wstring(documents) + L"\\My pictures\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    folder += L"Skeo\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

}  // namespace

VNTSkeoRegedit::VNTSkeoRegedit() : VNTRegedit(kProductName) {
    defaultPhotoLibraryLocation_ = defaultLibraryFolder();
    defaultLastSystemTime_ = today();
    loadSettings();
}

VNTSkeoRegedit::~VNTSkeoRegedit() = default;

std::wstring VNTSkeoRegedit::today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return skeo::formatPhotoDate(now.wYear, now.wMonth, now.wDay);
}

void VNTSkeoRegedit::loadSettings() {
    getStringOrDefault(videoDevice_, L"", L"VideoDevice", defaultVideoDevice_);
    getStringOrDefault(photoLibraryLocation_, L"", L"PhotoLibraryLocation", defaultPhotoLibraryLocation_);
    getStringOrDefault(photoNameUserDefine_, L"", L"PhotoNameUserDefine", defaultPhotoNameUserDefine_);
    getStringOrDefault(lastSystemTime_, L"", kLastSystemTimeName, defaultLastSystemTime_);

    getDwordOrDefault(flickerCorrection_, L"", L"FlickerCorrection", kDefaultFlickerCorrection);
    getDwordOrDefault(instantPreview_, L"", L"InstantPreview", kDefaultInstantPreview);
    getDwordOrDefault(soundEffectFocus_, L"", L"SoundEffectFocus", kDefaultSoundEffectFocus);
    getDwordOrDefault(soundEffectSnapshot_, L"", L"SoundEffectSnapshot", kDefaultSoundEffectSnapshot);
    getDwordOrDefault(photoNameFormat_, L"", L"PhotoNameFormat", kDefaultPhotoNameFormat);
    getDwordOrDefault(programmableKeyFunction_, L"", L"ProgrammableKeyFunction", kDefaultProgrammableKeyFunction);
    getDwordOrDefault(timeSerialNumber_, L"", L"TimeSerialNumber", kDefaultTimeSerialNumber);
    getDwordOrDefault(customSerialNumber_, L"", L"CustomSerialNumber", kDefaultCustomSerialNumber);

    getDwordOrDefault(cameraSettingsPreload_, L"", L"CameraSettingsPreload", kDefaultCameraSettingsPreload);
    if (cameraSettingsPreload_ == 0) resetCameraSettings();
}

bool VNTSkeoRegedit::setText(std::wstring& field, const std::wstring& value, const wchar_t* valueName) {
    field = value;
    return setString(value, L"", valueName);
}

bool VNTSkeoRegedit::setNumber(int32_t& field, int32_t value, const wchar_t* valueName) {
    field = value;
    return setDword(value, L"", valueName);
}

bool VNTSkeoRegedit::setVideoDevice(const std::wstring& path) { return setText(videoDevice_, path, L"VideoDevice"); }

bool VNTSkeoRegedit::setPhotoLibraryLocation(const std::wstring& folder) {
    if (!exists(folder)) return false;
    return setText(photoLibraryLocation_, folder, L"PhotoLibraryLocation");
}

bool VNTSkeoRegedit::setPhotoNameUserDefine(const std::wstring& prefix) {
    return setText(photoNameUserDefine_, prefix, L"PhotoNameUserDefine");
}

bool VNTSkeoRegedit::setLastSystemTime(const std::wstring& date) {
    return setText(lastSystemTime_, date, kLastSystemTimeName);
}

bool VNTSkeoRegedit::setFlickerCorrection(int32_t v) { return setNumber(flickerCorrection_, v, L"FlickerCorrection"); }
bool VNTSkeoRegedit::setInstantPreview(int32_t v) { return setNumber(instantPreview_, v, L"InstantPreview"); }
bool VNTSkeoRegedit::setSoundEffectFocus(int32_t v) { return setNumber(soundEffectFocus_, v, L"SoundEffectFocus"); }
bool VNTSkeoRegedit::setSoundEffectSnapshot(int32_t v) {
    return setNumber(soundEffectSnapshot_, v, L"SoundEffectSnapshot");
}
bool VNTSkeoRegedit::setPhotoNameFormat(int32_t v) { return setNumber(photoNameFormat_, v, L"PhotoNameFormat"); }
bool VNTSkeoRegedit::setProgrammableKeyFunction(int32_t v) {
    return setNumber(programmableKeyFunction_, v, L"ProgrammableKeyFunction");
}
bool VNTSkeoRegedit::setTimeSerialNumber(int32_t v) { return setNumber(timeSerialNumber_, v, L"TimeSerialNumber"); }
bool VNTSkeoRegedit::setCustomSerialNumber(int32_t v) {
    return setNumber(customSerialNumber_, v, L"CustomSerialNumber");
}
bool VNTSkeoRegedit::setCameraSettingsPreload(int32_t v) {
    return setNumber(cameraSettingsPreload_, v, L"CameraSettingsPreload");
}

std::wstring VNTSkeoRegedit::modelSubkey(const std::wstring& cameraClassName) {
    if (cameraClassName == L"VNTWebcamSkeoPlus") return L"Pello";
    if (cameraClassName == L"VNTWebcamSkeo") return L"Skeo";
    if (cameraClassName == L"VNTWebcamZev") return L"Zev";
    if (cameraClassName == L"VNTWebcam") return L"Others";
    return std::wstring();
}

bool VNTSkeoRegedit::selectCameraModel(const std::wstring& cameraClassName) {
    if (cameraClassName.empty()) {
        cameraSection_.clear();
        return true;
    }
    const std::wstring subkey = modelSubkey(cameraClassName);
    if (subkey.size() < 3) return false;
    if (subkey == cameraSection_) return true;

    cameraSection_ = subkey;
    camera_ = std::make_unique<CameraSettings>();
    const bool skeoFamily = subkey == L"Pello" || subkey == L"Skeo";
    CameraSettings& c = *camera_;
    getDwordOrDefault(c.zoom, subkey, L"CameraZoom", kDefaultCameraZoom);
    getDwordOrDefault(c.timer, subkey, L"CameraTimer", kDefaultCameraTimer);
    getDwordOrDefault(c.mirrorVertical, subkey, L"CameraMirrorVertical", kDefaultCameraMirrorVertical);
    getDwordOrDefault(c.mirrorHorizontal, subkey, L"CameraMirrorHorizontal", kDefaultCameraMirrorHorizontal);
    getDwordOrDefault(c.resolution, subkey, L"CameraResolution",
                      skeoFamily ? kDefaultSkeoFamilyResolution : kDefaultOtherResolution);
    getDwordOrDefault(c.exposureValue, subkey, L"CameraExposureValue",
                      subkey == L"Pello" ? kDefaultPelloExposureValue : kDefaultOtherExposureValue);
    getDwordOrDefault(c.exposureMode, subkey, L"CameraExposureMode", kDefaultCameraExposureMode);
    return true;
}

void VNTSkeoRegedit::resetCameraSettings() {
    for (const wchar_t* model : kModelSubkeys) deleteKeyTree(productKey() + L"\\" + model + L"\\");
}

bool VNTSkeoRegedit::setCameraField(int32_t CameraSettings::*field, int32_t value, const wchar_t* valueName) {
    if (!camera_) return false;
    if ((*camera_).*field == value) return true;
    (*camera_).*field = value;
    return setDword(value, cameraSection_, valueName);
}

bool VNTSkeoRegedit::setCameraZoom(int32_t v) { return setCameraField(&CameraSettings::zoom, v, L"CameraZoom"); }
bool VNTSkeoRegedit::setCameraTimer(int32_t v) { return setCameraField(&CameraSettings::timer, v, L"CameraTimer"); }
bool VNTSkeoRegedit::setCameraMirrorVertical(int32_t v) {
    return setCameraField(&CameraSettings::mirrorVertical, v, L"CameraMirrorVertical");
}
bool VNTSkeoRegedit::setCameraMirrorHorizontal(int32_t v) {
    return setCameraField(&CameraSettings::mirrorHorizontal, v, L"CameraMirrorHorizontal");
}
bool VNTSkeoRegedit::setCameraResolution(int32_t v) {
    return setCameraField(&CameraSettings::resolution, v, L"CameraResolution");
}
bool VNTSkeoRegedit::setCameraExposureValue(int32_t v) {
    return setCameraField(&CameraSettings::exposureValue, v, L"CameraExposureValue");
}
bool VNTSkeoRegedit::setCameraExposureMode(int32_t v) {
    return setCameraField(&CameraSettings::exposureMode, v, L"CameraExposureMode");
}

std::wstring VNTSkeoRegedit::makePhotoFileName() {
    if (!exists(photoLibraryLocation_)) {
        for (const std::wstring& level : skeo::folderLevels(photoLibraryLocation_))
            CreateDirectoryW(level.c_str(), nullptr);
    }

    const bool custom = photoNameFormat_ != 0;
    if (!custom) {
        const std::wstring date = today();
        if (lastSystemTime_.compare(0, 10, date) != 0) {
            setLastSystemTime(date);
            timeSerialNumber_ = 1;  // the first photo of a day is number 1
        }
    }
    int32_t& serial = custom ? customSerialNumber_ : timeSerialNumber_;
    const std::wstring& prefix = custom ? photoNameUserDefine_ : lastSystemTime_;

    // Serial numbers alone do not keep names apart: a reset registry, another library folder or a
    // restored backup can hold the next name already, and the photo there must not be overwritten.
    int32_t n = serial < 1 ? 1 : serial;
    std::wstring path = skeo::formatPhotoPath(photoLibraryLocation_, prefix, n);
    while (exists(path) && n < INT32_MAX) path = skeo::formatPhotoPath(photoLibraryLocation_, prefix, ++n);
    if (exists(path)) vnt::trace(L"VNTSkeoRegedit::makePhotoFileName: no free serial number left");

    if (custom)
        setCustomSerialNumber(n == INT32_MAX ? n : n + 1);
    else
        setTimeSerialNumber(n == INT32_MAX ? n : n + 1);
    return path;
}
