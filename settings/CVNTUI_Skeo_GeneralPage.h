// The settings sheet's General page: camera choice, instant preview, sounds, photo library folder,
// photo naming and whether each camera model keeps its own settings. Stored on OK only.
#pragma once

#include <string>
#include <vector>

#include "toolkit/CVNTUI_PropertyPage.h"

class VNTSkeoRegedit;

class CVNTUI_Skeo_GeneralPage : public CVNTUI_PropertyPage {
public:
    explicit CVNTUI_Skeo_GeneralPage(VNTSkeoRegedit& settings);

    // Filled before the sheet runs.
    void setCurrentDevice(const std::wstring& name) { currentDevice_ = name; }
    void setDeviceNames(const std::vector<std::wstring>& names) { deviceNames_ = names; }
    // The camera chosen in the list, after OK.
    const std::wstring& chosenDevice() const { return chosenDevice_; }

    // Takes a folder for the library edit as the folder browser would: refused, with a message,
    // when photos cannot be written there. Public for the folder chosen by other means (tests).
    bool takeLibraryFolder(const std::wstring& folder, bool tellUser = true);

    void ReloadTexts() override;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnApply() override;

private:
    void fillDeviceList();
    void browseForFolder();
    void filterPrefix();

    VNTSkeoRegedit& settings_;
    std::wstring currentDevice_;
    std::vector<std::wstring> deviceNames_;
    std::wstring chosenDevice_;
    bool filtering_ = false;
};

// Whether a new file can be made in the folder (it exists and is writable).
bool folderTakesPhotos(const std::wstring& folder);
