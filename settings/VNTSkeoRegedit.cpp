#include "settings/VNTSkeoRegedit.h"

#include <windows.h>
#include <shlobj.h>

#include "app/PhotoFileName.h"
#include "framework/Trace.h"
#include "settings/StoredNumbers.h"

const wchar_t VNTSkeoRegedit::kProductName[] = L"Zevlan";
const wchar_t VNTSkeoRegedit::kLastSystemTimeName[] = L"LastSystemTime\t";

namespace {

const wchar_t* const kModelSubkeys[] = {L"Pello", L"Skeo", L"Zev", L"Others"};

// Whether a number may be stored under that name; traces a refusal.
bool acceptable(const std::wstring& subkey, const wchar_t* name, int32_t value) {
    const settings::StoredNumber* number = settings::findStoredNumber(subkey, name);
    if (number && number->accepts(value)) return true;
    vnt::trace(L"VNTSkeoRegedit: %d refused for %ls", value, name);
    return false;
}

int32_t nextSerial(int32_t serial) { return serial >= settings::kLastPhotoSerial ? 1 : serial + 1; }

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

    const struct {
        int32_t VNTSkeoRegedit::*field;
        const wchar_t* name;
    } numbers[] = {
        {&VNTSkeoRegedit::flickerCorrection_, L"FlickerCorrection"},
        {&VNTSkeoRegedit::instantPreview_, L"InstantPreview"},
        {&VNTSkeoRegedit::soundEffectFocus_, L"SoundEffectFocus"},
        {&VNTSkeoRegedit::soundEffectSnapshot_, L"SoundEffectSnapshot"},
        {&VNTSkeoRegedit::photoNameFormat_, L"PhotoNameFormat"},
        {&VNTSkeoRegedit::programmableKeyFunction_, L"ProgrammableKeyFunction"},
        {&VNTSkeoRegedit::timeSerialNumber_, L"TimeSerialNumber"},
        {&VNTSkeoRegedit::customSerialNumber_, L"CustomSerialNumber"},
        {&VNTSkeoRegedit::cameraSettingsPreload_, L"CameraSettingsPreload"},
    };
    for (const auto& number : numbers) loadNumber(this->*number.field, L"", number.name);
    if (cameraSettingsPreload_ == 0) resetCameraSettings();
}

void VNTSkeoRegedit::loadNumber(int32_t& field, const std::wstring& subkey, const wchar_t* name) {
    const settings::StoredNumber* number = settings::findStoredNumber(subkey, name);
    if (!number) return;
    getDwordOrDefault(field, subkey, name, number->defaultValue);
    if (number->accepts(field)) return;
    vnt::trace(L"VNTSkeoRegedit: %ls under \"%ls\" holds %d, out of range; the default %d is used and stored", name,
               subkey.c_str(), field, number->defaultValue);
    field = number->defaultValue;
    setDword(field, subkey, name);
}

bool VNTSkeoRegedit::setText(std::wstring& field, const std::wstring& value, const wchar_t* valueName) {
    field = value;
    return setString(value, L"", valueName);
}

bool VNTSkeoRegedit::setNumber(int32_t& field, int32_t value, const wchar_t* valueName) {
    if (!acceptable(L"", valueName, value)) return false;
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
    CameraSettings& c = *camera_;
    const struct {
        int32_t CameraSettings::*field;
        const wchar_t* name;
    } numbers[] = {
        {&CameraSettings::zoom, L"CameraZoom"},
        {&CameraSettings::timer, L"CameraTimer"},
        {&CameraSettings::mirrorVertical, L"CameraMirrorVertical"},
        {&CameraSettings::mirrorHorizontal, L"CameraMirrorHorizontal"},
        {&CameraSettings::resolution, L"CameraResolution"},
        {&CameraSettings::exposureValue, L"CameraExposureValue"},
        {&CameraSettings::exposureMode, L"CameraExposureMode"},
    };
    for (const auto& number : numbers) loadNumber(c.*number.field, subkey, number.name);
    // Read only: a control never set stays the camera's own, and nothing is written for it.
    for (int property = 0; property < CameraSettings::kAdjustments; ++property) {
        int32_t value = 0;
        if (getDword(value, subkey, adjustmentValueName(property)) && value != CameraSettings::kNotStored)
            c.adjustments[property] = value;
    }
    return true;
}

const wchar_t* VNTSkeoRegedit::adjustmentValueName(int property) {
    static const wchar_t* const kNames[CameraSettings::kAdjustments] = {
        L"CameraBrightness", L"CameraContrast", L"CameraHue", L"CameraSaturation", L"CameraSharpness", L"CameraGamma"};
    return property >= 0 && property < CameraSettings::kAdjustments ? kNames[property] : nullptr;
}

bool VNTSkeoRegedit::setCameraAdjustment(int property, int32_t value) {
    const wchar_t* name = adjustmentValueName(property);
    if (!camera_ || !name || cameraSettingsPreload_ == 0 || value == CameraSettings::kNotStored) return false;
    if (camera_->adjustments[property] == value) return true;
    camera_->adjustments[property] = value;
    return setDword(value, cameraSection_, name);
}

void VNTSkeoRegedit::resetCameraSettings() {
    for (const wchar_t* model : kModelSubkeys) deleteKeyTree(productKey() + L"\\" + model + L"\\");
}

bool VNTSkeoRegedit::setCameraField(int32_t CameraSettings::*field, int32_t value, const wchar_t* valueName) {
    if (!camera_) return false;
    if ((*camera_).*field == value) return true;
    if (!acceptable(cameraSection_, valueName, value)) return false;
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
    const wchar_t* serialName = custom ? L"CustomSerialNumber" : L"TimeSerialNumber";
    const std::wstring& prefix = custom ? photoNameUserDefine_ : lastSystemTime_;

    // Serial numbers alone do not keep names apart: a reset registry, another library folder, a
    // restored backup or counting past the last number can meet a name in use, and the photo there
    // must not be overwritten.
    int32_t n = serial;
    std::wstring path = skeo::formatPhotoPath(photoLibraryLocation_, prefix, n);
    while (exists(path)) {
        n = nextSerial(n);
        if (n == serial) {
            vnt::trace(L"VNTSkeoRegedit::makePhotoFileName: every serial number is taken in %ls",
                       photoLibraryLocation_.c_str());
            return std::wstring();
        }
        path = skeo::formatPhotoPath(photoLibraryLocation_, prefix, n);
    }
    setNumber(serial, nextSerial(n), serialName);
    lastName_ = HandedOutName{path, &serial, serialName, n};
    return path;
}

void VNTSkeoRegedit::returnPhotoFileName(const std::wstring& path) {
    if (path.empty() || path != lastName_.path || !lastName_.serial || exists(path)) return;
    if (*lastName_.serial == nextSerial(lastName_.number)) setNumber(*lastName_.serial, lastName_.number, lastName_.serialName);
    lastName_ = HandedOutName{};
}
