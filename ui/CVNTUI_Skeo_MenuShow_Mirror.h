// Mirror and flip as two tick boxes: choosing a row turns its tick over and tells the main dialog
// the new state; the item reads "H", "H + V", "V" or "Off".
#pragma once

#include "ui/CVNTUI_Skeo_MenuShow.h"

class CVNTUI_Skeo_MenuShow_Mirror : public CVNTUI_Skeo_MenuShow {
public:
    CVNTUI_Skeo_MenuShow_Mirror();

    void Choose(int row) override;
    bool GetValueText(std::wstring& text) const override;
};
