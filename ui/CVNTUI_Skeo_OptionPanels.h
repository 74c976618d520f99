// The option panels that are lists: their rows, widths and the few ways they differ from the
// base panel. The mirror and exposure-slider panels have files of their own.
#pragma once

#include "ui/CVNTUI_Skeo_MenuShow.h"

class CVNTUI_Skeo_MenuShow_ZoomCam : public CVNTUI_Skeo_MenuShow {
public:
    CVNTUI_Skeo_MenuShow_ZoomCam();
};

class CVNTUI_Skeo_MenuShow_Timer : public CVNTUI_Skeo_MenuShow {
public:
    CVNTUI_Skeo_MenuShow_Timer();
};

// Resolutions read the same in every language.
class CVNTUI_Skeo_MenuShow_Resolution : public CVNTUI_Skeo_MenuShow {
public:
    CVNTUI_Skeo_MenuShow_Resolution();
};

// The exposure steps +2 .. -2, with fixed texts.
class CVNTUI_Skeo_MenuShow_Exposure : public CVNTUI_Skeo_MenuShow {
public:
    CVNTUI_Skeo_MenuShow_Exposure();
};

// Auto exposure On/Off: the rows show no icons, and the item shows the chosen row's icon as its
// value (365 while hovered with the panel open).
class CVNTUI_Skeo_MenuShow_ExposureMode : public CVNTUI_Skeo_MenuShow {
public:
    CVNTUI_Skeo_MenuShow_ExposureMode();
    bool GetValueText(std::wstring& text) const override { return false; }
    int GetHoverIcon() const override;
};

// Photo zoom 100% .. 300%, fixed texts.
class CVNTUI_Skeo_MenuShow_ZoomPic : public CVNTUI_Skeo_MenuShow {
public:
    CVNTUI_Skeo_MenuShow_ZoomPic();
};

// Rotate right or left: an action, not a setting, so no row stays selected and the item shows
// no value.
class CVNTUI_Skeo_MenuShow_Rotate : public CVNTUI_Skeo_MenuShow {
public:
    CVNTUI_Skeo_MenuShow_Rotate();
    void Choose(int row) override;
    bool GetValueText(std::wstring& text) const override { return false; }
};

// Delete opens no list: showing it asks the main dialog to delete at once.
class CVNTUI_Skeo_MenuShow_Delete : public CVNTUI_Skeo_MenuShow {
public:
    CVNTUI_Skeo_MenuShow_Delete();
    void ShowAt(int x, int y) override;
};
