// Every persistent setting of the program, held in memory and kept in step with the registry:
// application settings under the product key, and the settings of the camera model in use under
// the model's subkey. Loaded once with defaults that are written back when missing; every change
// goes to memory and to the registry at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "settings/CameraSettings.h"
#include "settings/VNTRegedit.h"

class VNTSkeoRegedit : public VNTRegedit {
public:
    VNTSkeoRegedit();
    ~VNTSkeoRegedit() override;

    void loadSettings();

    // Application settings.
    const std::wstring& videoDevice() const { return videoDevice_; }
    const std::wstring& photoLibraryLocation() const { return photoLibraryLocation_; }
    const std::wstring& photoNameUserDefine() const { return photoNameUserDefine_; }
    const std::wstring& lastSystemTime() const { return lastSystemTime_; }
    int32_t flickerCorrection() const { return flickerCorrection_; }
    int32_t instantPreview() const { return instantPreview_; }
    int32_t soundEffectFocus() const { return soundEffectFocus_; }
    int32_t soundEffectSnapshot() const { return soundEffectSnapshot_; }
    int32_t photoNameFormat() const { return photoNameFormat_; }
    int32_t programmableKeyFunction() const { return programmableKeyFunction_; }
    int32_t timeSerialNumber() const { return timeSerialNumber_; }
    int32_t customSerialNumber() const { return customSerialNumber_; }
    int32_t cameraSettingsPreload() const { return cameraSettingsPreload_; }

    bool setVideoDevice(const std::wstring& path);
    // Refuses (and changes nothing) when the folder does not exist.
    bool setPhotoLibraryLocation(const std::wstring& folder);
    bool setPhotoNameUserDefine(const std::wstring& prefix);
    bool setLastSystemTime(const std::wstring& date);
    // The numeric setters refuse (and change nothing) a value outside the setting's range.
    bool setFlickerCorrection(int32_t value);
    bool setInstantPreview(int32_t value);
    bool setSoundEffectFocus(int32_t value);
    bool setSoundEffectSnapshot(int32_t value);
    bool setPhotoNameFormat(int32_t value);
    bool setProgrammableKeyFunction(int32_t value);
    bool setTimeSerialNumber(int32_t value);
    bool setCustomSerialNumber(int32_t value);
    bool setCameraSettingsPreload(int32_t value);

    // Camera settings of the selected model; none before a model is selected.
    const std::wstring& cameraSection() const { return cameraSection_; }
    const CameraSettings* cameraSettings() const { return camera_.get(); }
    // Chooses the model's subkey from a camera class name and loads its record; an empty name
    // clears the selection and keeps the record. Unknown class names are refused.
    bool selectCameraModel(const std::wstring& cameraClassName);
    // Deletes the subkeys of all models, so that each starts from its defaults.
    void resetCameraSettings();

    // Each writes nothing when the value is unchanged, and fails when no model is selected or the
    // value is outside what the model's setting takes.
    bool setCameraZoom(int32_t value);
    bool setCameraTimer(int32_t value);
    bool setCameraMirrorVertical(int32_t value);
    bool setCameraMirrorHorizontal(int32_t value);
    bool setCameraResolution(int32_t value);
    bool setCameraExposureValue(int32_t value);
    bool setCameraExposureMode(int32_t value);
    // Stores a picture control (video processing amplifier property 0-5) of the model in use, only
    // while its settings are kept between runs (CameraSettingsPreload 1); false otherwise.
    bool setCameraAdjustment(int property, int32_t value);
    // "CameraBrightness", "CameraContrast", "CameraHue", "CameraSaturation", "CameraSharpness",
    // "CameraGamma" by property; null for any other.
    static const wchar_t* adjustmentValueName(int property);

    // The full path of the next photo; advances and stores the serial number of the naming scheme
    // in use and creates the library folder when it is missing. Never names an existing file: empty
    // when every serial number is taken. After the last serial number counting starts again at 1.
    std::wstring makePhotoFileName();
    // Gives back the serial number of the last name made when no photo came of it (the folder
    // read-only, the disk full): the next photo then takes that name instead of leaving a gap.
    // Nothing happens when a file has that name meanwhile or another name was made since.
    void returnPhotoFileName(const std::wstring& path);

    // The subkey of a camera class ("Pello", "Skeo", "Zev", "Others"), or "" for an unknown class.
    static std::wstring modelSubkey(const std::wstring& cameraClassName);
    // Today's local date as "YYYY-MM-DD".
    static std::wstring today();

    static const wchar_t kProductName[];       // "Zevlan"
    static const wchar_t kLastSystemTimeName[];  // "LastSystemTime\t"

private:
    struct HandedOutName {
        std::wstring path;
        int32_t* serial = nullptr;
        const wchar_t* serialName = nullptr;
        int32_t number = 0;
    };
    HandedOutName lastName_;

    // Reads a number with the default the table of stored numbers gives it; a stored value outside
    // its accepted values is replaced by the default, which is written back.
    void loadNumber(int32_t& field, const std::wstring& subkey, const wchar_t* name);
    bool setText(std::wstring& field, const std::wstring& value, const wchar_t* valueName);
    bool setNumber(int32_t& field, int32_t value, const wchar_t* valueName);
    bool setCameraField(int32_t CameraSettings::*field, int32_t value, const wchar_t* valueName);

    std::wstring cameraSection_;
    std::wstring lastSystemTime_;
    int32_t timeSerialNumber_ = 0;
    int32_t customSerialNumber_ = 0;
    std::wstring videoDevice_;
    int32_t flickerCorrection_ = 0;
    int32_t instantPreview_ = 0;
    int32_t soundEffectFocus_ = 0;
    int32_t soundEffectSnapshot_ = 0;
    std::wstring photoLibraryLocation_;
    int32_t photoNameFormat_ = 0;
    std::wstring photoNameUserDefine_;
    int32_t programmableKeyFunction_ = 0;
    int32_t cameraSettingsPreload_ = 0;
    std::unique_ptr<CameraSettings> camera_;

    std::wstring defaultVideoDevice_;
    std::wstring defaultPhotoLibraryLocation_;
    std::wstring defaultPhotoNameUserDefine_;
    std::wstring defaultLastSystemTime_;
};
