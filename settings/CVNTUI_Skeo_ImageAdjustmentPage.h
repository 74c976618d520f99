// The settings sheet's Image Adjustment page: six sliders that set the camera's picture controls
// live while they move. Nothing here is stored as a setting, and Cancel does not undo a change.
#pragma once

#include "toolkit/CVNTUI_PropertyPage.h"

class VNTWebcam;

class CVNTUI_Skeo_ImageAdjustmentPage : public CVNTUI_PropertyPage {
public:
    CVNTUI_Skeo_ImageAdjustmentPage();

    // The camera whose picture the sliders change; null disables them. May change while open.
    void setCamera(VNTWebcam* camera);
    VNTWebcam* camera() const { return camera_; }
    // Reads the camera's ranges and values into the sliders.
    void refresh();

    void ReloadTexts() override;

protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    void onSliderMoved(HWND slider);
    void setDefaults();

    VNTWebcam* camera_ = nullptr;
};
