// Exposure as a level on a slider (1 to 15, default 4): the slider fills the top eight row
// places and a "Default" row sits under it. Every move of the slider tells the main dialog the
// new level (command 32816, the level as lParam).
#pragma once

#include "toolkit/CGdipSlider.h"
#include "ui/CVNTUI_Skeo_MenuShow.h"

class CVNTUI_Skeo_MenuShow_ExposureSlider : public CVNTUI_Skeo_MenuShow {
public:
    CVNTUI_Skeo_MenuShow_ExposureSlider();

    bool Create(HWND owner, int width, int height) override;
    // Only "Default" can be chosen: it sets the level back to the default.
    void Choose(int row) override;
    bool GetValueText(std::wstring& text) const override;

    // Moves the slider to the level (clamped to 1..15) without telling anyone.
    void SetLevel(int level);
    int level() const { return level_; }
    CGdipSlider& slider() { return slider_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool CanHover(int row) const override { return row == defaultRow(); }
    void DrawRow(HDC dc, int row, const RECT& rect, bool hovered, bool selected) override;
    void OnPainted() override;
    void OnDpiChanged() override;

private:
    // Keys the slider gets while it has the focus but the panel answers: Enter, Escape, Alt+F4.
    class Slider : public CGdipSlider {
    protected:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    };

    int defaultRow() const { return rowCount() - 1; }
    void onSliderMoved(int position);
    // The slider's images, place and track for the panel's DPI.
    void placeSlider();

    Slider slider_;
    int level_;
};
