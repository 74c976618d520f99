// The settings sheet of the main window: General, Image Adjustment and System, in that order.
#pragma once

#include "settings/CVNTUI_Skeo_GeneralPage.h"
#include "settings/CVNTUI_Skeo_ImageAdjustmentPage.h"
#include "settings/CVNTUI_Skeo_SystemPage.h"
#include "toolkit/CVNTUI_PropertySheet.h"

class VNTSkeoRegedit;

class CVNTUI_Skeo_SettingsPropSheet : public CVNTUI_PropertySheet {
public:
    explicit CVNTUI_Skeo_SettingsPropSheet(VNTSkeoRegedit& settings);

    CVNTUI_Skeo_GeneralPage& generalPage() { return general_; }
    CVNTUI_Skeo_ImageAdjustmentPage& imageAdjustmentPage() { return imageAdjustment_; }
    CVNTUI_Skeo_SystemPage& systemPage() { return system_; }

    void ReloadTexts() override;

private:
    CVNTUI_Skeo_GeneralPage general_;
    CVNTUI_Skeo_ImageAdjustmentPage imageAdjustment_;
    CVNTUI_Skeo_SystemPage system_;
};
