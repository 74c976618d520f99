#include "ui/CVNTUI_Skeo_OptionPanels.h"

#include "resources/StringIds.h"
#include "resources/resource.h"

namespace {
using Row = CVNTUI_Skeo_MenuShow::Row;
constexpr int kAutoExposureHoverImage = 365;
}  // namespace

CVNTUI_Skeo_MenuShow_ZoomCam::CVNTUI_Skeo_MenuShow_ZoomCam()
    : CVNTUI_Skeo_MenuShow(110, {Row{0, ID_ZOOM_CAM_1X, L"1x", 370, IDS_ZOOM_1X},
                                 Row{0, ID_ZOOM_CAM_1_25X, L"1.25x", 371, IDS_ZOOM_1_25X},
                                 Row{0, ID_ZOOM_CAM_1_5X, L"1.5x", 372, IDS_ZOOM_1_5X},
                                 Row{0, ID_ZOOM_CAM_2X, L"2x", 373, IDS_ZOOM_2X},
                                 Row{0, ID_ZOOM_CAM_2_5X, L"2.5x", 374, IDS_ZOOM_2_5X},
                                 Row{0, ID_ZOOM_CAM_3X, L"3x", 375, IDS_ZOOM_3X}}) {}

CVNTUI_Skeo_MenuShow_Timer::CVNTUI_Skeo_MenuShow_Timer()
    : CVNTUI_Skeo_MenuShow(110, {Row{0, ID_TIMER_OFF, L"Off", 0, IDS_TIMER_OFF},
                                 Row{0, ID_TIMER_3_SEC, L"3 sec", 0, IDS_TIMER_3_SEC},
                                 Row{0, ID_TIMER_10_SEC, L"10 sec", 0, IDS_TIMER_10_SEC}}) {}

CVNTUI_Skeo_MenuShow_Resolution::CVNTUI_Skeo_MenuShow_Resolution()
    : CVNTUI_Skeo_MenuShow(145, {Row{0, ID_RESOLUTION_1600X1200, L"1600x1200"},
                                 Row{0, ID_RESOLUTION_1280X1024, L"1280x1024"},
                                 Row{0, ID_RESOLUTION_1024X768, L"1024x768"},
                                 Row{0, ID_RESOLUTION_800X600, L"800x600"},
                                 Row{0, ID_RESOLUTION_640X480, L"640x480"},
                                 Row{0, ID_RESOLUTION_320X240, L"320x240"}}) {}

CVNTUI_Skeo_MenuShow_Exposure::CVNTUI_Skeo_MenuShow_Exposure()
    : CVNTUI_Skeo_MenuShow(95, {Row{0, ID_EXPOSURE_PLUS2, L"+2", 355}, Row{0, ID_EXPOSURE_PLUS1, L"+1", 356},
                                Row{0, ID_EXPOSURE_0, L"0", 357}, Row{0, ID_EXPOSURE_MINUS1, L"-1", 358},
                                Row{0, ID_EXPOSURE_MINUS2, L"-2", 359}}) {}

CVNTUI_Skeo_MenuShow_ExposureMode::CVNTUI_Skeo_MenuShow_ExposureMode()
    : CVNTUI_Skeo_MenuShow(69, {Row{0, ID_EXPOSURE_MODE_ON, L"On", 366, IDS_AUTO_EXPOSURE_ON},
                                Row{0, ID_EXPOSURE_MODE_OFF, L"Off", 367, IDS_AUTO_EXPOSURE_OFF}}) {
    drawIcons_ = false;
}

int CVNTUI_Skeo_MenuShow_ExposureMode::GetHoverIcon() const { return kAutoExposureHoverImage; }

CVNTUI_Skeo_MenuShow_ZoomPic::CVNTUI_Skeo_MenuShow_ZoomPic()
    : CVNTUI_Skeo_MenuShow(110, {Row{0, ID_ZOOM_PIC_100, L"100%", 370}, Row{0, ID_ZOOM_PIC_125, L"125%", 371},
                                 Row{0, ID_ZOOM_PIC_150, L"150%", 372}, Row{0, ID_ZOOM_PIC_200, L"200%", 373},
                                 Row{0, ID_ZOOM_PIC_250, L"250%", 374}, Row{0, ID_ZOOM_PIC_300, L"300%", 375}}) {}

CVNTUI_Skeo_MenuShow_Rotate::CVNTUI_Skeo_MenuShow_Rotate()
    : CVNTUI_Skeo_MenuShow(110, {Row{0, ID_ROTATE_RIGHT, L"Right", 381, IDS_ROTATE_RIGHT},
                                 Row{0, ID_ROTATE_LEFT, L"Left", 380, IDS_ROTATE_LEFT}}) {
    selected_ = -1;
}

void CVNTUI_Skeo_MenuShow_Rotate::Choose(int row) {
    CVNTUI_Skeo_MenuShow::Choose(row);
    selected_ = -1;
}

CVNTUI_Skeo_MenuShow_Delete::CVNTUI_Skeo_MenuShow_Delete() : CVNTUI_Skeo_MenuShow(0, {}) {}

void CVNTUI_Skeo_MenuShow_Delete::ShowAt(int, int) { SendCommand(ID_DELETE_PHOTO, 0); }
