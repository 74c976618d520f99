#include "settings/StoredNumbers.h"

#include <climits>

#include "resources/resource.h"

namespace settings {

namespace {

constexpr NumberRange kAny{INT32_MIN, INT32_MAX};

// Most values are menu command ids. A model's own row comes before the row for every model.
const StoredNumber kStoredNumbers[] = {
    // Kept for other versions of the program; nothing here depends on them.
    {L"", L"FlickerCorrection", 0, {kAny}},
    {L"", L"ProgrammableKeyFunction", 0, {kAny}},
    {L"", L"InstantPreview", 1, {{0, 2}}},  // off, 2 s, 4 s
    {L"", L"SoundEffectFocus", 1, {{0, 1}}},
    {L"", L"SoundEffectSnapshot", 1, {{0, 1}}},
    {L"", L"PhotoNameFormat", 0, {{0, 1}}},
    {L"", L"TimeSerialNumber", 1, {{1, kLastPhotoSerial}}},
    {L"", L"CustomSerialNumber", 1, {{1, kLastPhotoSerial}}},
    {L"", L"CameraSettingsPreload", 1, {{0, 1}}},
    {nullptr, L"CameraZoom", ID_ZOOM_CAM_1X, {{ID_ZOOM_CAM_1X, ID_ZOOM_CAM_3X}}},
    {nullptr, L"CameraTimer", ID_TIMER_OFF, {{ID_TIMER_OFF, ID_TIMER_10_SEC}}},
    {nullptr, L"CameraMirrorVertical", 0, {{0, 1}}},
    {nullptr, L"CameraMirrorHorizontal", 0, {{0, 1}}},
    {L"Pello", L"CameraResolution", ID_RESOLUTION_1280X1024, {{ID_RESOLUTION_1600X1200, ID_RESOLUTION_320X240}}},
    {L"Skeo", L"CameraResolution", ID_RESOLUTION_1280X1024, {{ID_RESOLUTION_1600X1200, ID_RESOLUTION_320X240}}},
    {nullptr, L"CameraResolution", ID_RESOLUTION_640X480, {{ID_RESOLUTION_1600X1200, ID_RESOLUTION_320X240}}},
    // Model B keeps the level the camera reports, the others the exposure step's command id.
    {L"Pello", L"CameraExposureValue", 4, {{0, 15}}},
    {nullptr, L"CameraExposureValue", ID_EXPOSURE_0, {{ID_EXPOSURE_PLUS2, ID_EXPOSURE_MINUS2}}},
    {nullptr, L"CameraExposureMode", ID_EXPOSURE_MODE_ON, {{ID_EXPOSURE_MODE_ON, ID_EXPOSURE_MODE_OFF}}},
    // English, Traditional Chinese, Japanese.
    {L"Language", L"LANGID", 1033, {{1033, 1033}, {1028, 1028}, {1041, 1041}}},
};

}  // namespace

bool StoredNumber::accepts(int32_t value) const {
    for (const NumberRange& range : accepted)
        if (value >= range.low && value <= range.high) return true;
    return false;
}

const StoredNumber* findStoredNumber(const std::wstring& subkey, const std::wstring& name) {
    for (const StoredNumber& number : kStoredNumbers) {
        if (name != number.name) continue;
        if (number.subkey ? subkey == number.subkey : !subkey.empty()) return &number;
    }
    return nullptr;
}

}  // namespace settings
