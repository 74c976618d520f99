// The settings sheet's Image Adjustment page: six sliders that set the camera's picture controls
// live while they move. Cancel does not undo a change. While the camera model's settings are kept
// between runs ("Keep Camera Mode Settings"), each value set is also stored for the model, and the
// program sets it again whenever it starts the camera.
#pragma once

#include "toolkit/CVNTUI_PropertyPage.h"

class VNTSkeoRegedit;
class VNTWebcam;

class CVNTUI_Skeo_ImageAdjustmentPage : public CVNTUI_PropertyPage {
public:
    explicit CVNTUI_Skeo_ImageAdjustmentPage(VNTSkeoRegedit& settings);

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

    // Sets a control on the camera and, when the camera took it, stores it for the model.
    void setControl(ULONG property, LONG value);

    VNTSkeoRegedit& settings_;
    VNTWebcam* camera_ = nullptr;
};
