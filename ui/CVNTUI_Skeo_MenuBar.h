// The option bar under the main dialog's header (template 151): in camera mode Zoom, Timer,
// Mirror, Resolution, Exposure, Auto (for exposure control kind 1) and ESC; in photo mode Zoom,
// Rotate and Delete. A child of the main dialog when docked (646 x 24), a window of its own in full
// screen (801 x 30), at 96 DPI; the sizes at the bar's DPI come from dockedSize and floatingSize.
// Each item drops down its option panel; every choice reaches the main dialog
// as a WM_COMMAND (see CVNTUI_Skeo_MenuShow.h for its lParam), and the main dialog tells the bar
// the value to show through ReflectCameraCommand and ReflectPhotoCommand.
//
// Enter and Escape pressed in the bar go to the main dialog as WM_KEYDOWN with the same wParam
// and lParam, for its key handling.
#pragma once

#include <array>
#include <memory>

#include "framework/Dialog.h"
#include "ui/CVNTUI_Skeo_Menu.h"
#include "ui/CVNTUI_Skeo_Menu_Close.h"
#include "ui/CVNTUI_Skeo_MenuShow_ExposureSlider.h"
#include "ui/CVNTUI_Skeo_MenuShow_Mirror.h"
#include "ui/CVNTUI_Skeo_OptionPanels.h"
#include "ui/MenuBarLayout.h"

class CVNTUI_Skeo_MenuBar : public vnt::CDialogBase {
public:
    enum Mode { ModeCamera = 0, ModePhoto = 1 };
    // Only this exposure control kind shows the Auto item.
    static constexpr int kAutoExposureKind = 1;

    CVNTUI_Skeo_MenuBar();
    ~CVNTUI_Skeo_MenuBar() override;

    // A hidden child of the main dialog, with its panels, at the main dialog's DPI; false if the bar
    // cannot be made.
    bool Create(HWND mainDialog);

    // Items, panels, fonts and images for that DPI; the items are laid out again in the bar's
    // current size, which the main dialog then sets to dockedSize or floatingSize.
    void SetDpi(int dpi);
    int dpi() const { return dpi_; }
    menubar::BarSize dockedSize() const { return menubar::dockedBar(scale()); }
    menubar::BarSize floatingSize() const { return menubar::floatingBar(scale()); }
    // The floating bar's outline, corners cut, for SetWindowRgn (which takes it over).
    HRGN CreateFloatingRegion() const;

    void SetMode(int mode);
    int mode() const { return mode_; }
    void SetExposureControlKind(int kind);
    int exposureControlKind() const { return exposureKind_; }

    // Shows a camera choice the main dialog carried out: value is the mirror row's tick state
    // for 32831/32832 and the exposure level for 32816, unused otherwise. False for other ids.
    bool ReflectCameraCommand(int value, int id);
    // Shows a photo choice; false for ids that are not the bar's.
    bool ReflectPhotoCommand(int id);
    // Every item's title and value and every panel's rows in the current language.
    void ReloadTexts();

    // The item with that control id (1100-1109), or null.
    CVNTUI_Skeo_Menu* item(int id);

    CVNTUI_Skeo_MenuShow_ZoomCam& zoomCamPanel() { return zoomCam_; }
    CVNTUI_Skeo_MenuShow_Timer& timerPanel() { return timer_; }
    CVNTUI_Skeo_MenuShow_Mirror& mirrorPanel() { return mirror_; }
    CVNTUI_Skeo_MenuShow_Resolution& resolutionPanel() { return resolution_; }
    CVNTUI_Skeo_MenuShow_Exposure& exposurePanel() { return exposure_; }
    CVNTUI_Skeo_MenuShow_ExposureSlider& exposureSliderPanel() { return exposureSlider_; }
    CVNTUI_Skeo_MenuShow_ExposureMode& exposureModePanel() { return exposureMode_; }
    CVNTUI_Skeo_MenuShow_ZoomPic& zoomPicPanel() { return zoomPic_; }
    CVNTUI_Skeo_MenuShow_Rotate& rotatePanel() { return rotate_; }
    CVNTUI_Skeo_MenuShow_Delete& deletePanel() { return delete_; }

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    // Enter and Escape that reach the bar as dialog commands: handed on, never ending the bar.
    void OnOK() override;
    void OnCancel() override;

private:
    skeo::DisplayScale scale() const { return skeo::DisplayScale(dpi_); }
    void layout(int width, int height);
    void applyVisibility();
    void paint();
    void forwardKey(WPARAM key, LPARAM keyData);
    void attachExposurePanel(CVNTUI_Skeo_MenuShow& panel, bool sliderMode);
    // Selects the command's row in the panel and shows the item's new value.
    bool reflectChoice(CVNTUI_Skeo_MenuShow& panel, int itemId, int command);

    HWND mainDialog_ = nullptr;
    std::array<std::unique_ptr<CVNTUI_Skeo_Menu>, menubar::kItemCount> items_;
    CVNTUI_Skeo_MenuShow_ZoomCam zoomCam_;
    CVNTUI_Skeo_MenuShow_Timer timer_;
    CVNTUI_Skeo_MenuShow_Mirror mirror_;
    CVNTUI_Skeo_MenuShow_Resolution resolution_;
    CVNTUI_Skeo_MenuShow_Exposure exposure_;
    CVNTUI_Skeo_MenuShow_ExposureSlider exposureSlider_;
    CVNTUI_Skeo_MenuShow_ExposureMode exposureMode_;
    CVNTUI_Skeo_MenuShow_ZoomPic zoomPic_;
    CVNTUI_Skeo_MenuShow_Rotate rotate_;
    CVNTUI_Skeo_MenuShow_Delete delete_;
    int mode_ = ModeCamera;
    int exposureKind_ = 0;
    int dpi_ = skeo::DisplayScale::kBaseDpi;
};
