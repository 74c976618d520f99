#include "settings/CVNTUI_Skeo_ImageAdjustmentPage.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "camera/VNTWebcam.h"
#include "resources/StringIds.h"
#include "resources/resource.h"
#include "settings/VNTSkeoRegedit.h"

namespace {

struct Row {
    UINT label;
    UINT text;
    UINT slider;
    UINT value;
    ULONG property;  // of the video processing amplifier set
    LONG min;        // the values the camera accepts
    LONG max;
    LONG standard;   // what Default sets
};

const Row kRows[] = {
    {3102, IDS_BRIGHTNESS, 3114, 3108, 0, 0, 255, 128}, {3103, IDS_CONTRAST, 3115, 3109, 1, 0, 31, 16},
    {3104, IDS_GAMMA, 3116, 3110, 5, 0, 127, 64},        {3105, IDS_SATURATION, 3117, 3111, 3, 0, 31, 16},
    {3106, IDS_HUE, 3118, 3112, 2, -180, 180, 0},        {3107, IDS_SHARPNESS, 3119, 3113, 4, 0, 15, 0},
};

void showValue(HWND page, const Row& row, LONG value) {
    SetDlgItemTextW(page, static_cast<int>(row.value), std::to_wstring(value).c_str());
}

}  // namespace

CVNTUI_Skeo_ImageAdjustmentPage::CVNTUI_Skeo_ImageAdjustmentPage(VNTSkeoRegedit& settings)
    : CVNTUI_PropertyPage(IDD_SETTINGS_IMAGE_ADJUSTMENT), settings_(settings) {}

BOOL CVNTUI_Skeo_ImageAdjustmentPage::OnInitDialog() {
    ReloadTexts();
    refresh();
    return TRUE;
}

void CVNTUI_Skeo_ImageAdjustmentPage::ReloadTexts() {
    if (!hwnd_) return;
    SetItemText(IDC_ADJUST_GROUP, IDS_IMAGE_ADJUSTMENT);
    SetItemText(IDC_ADJUST_HINT, IDS_IMAGE_ADJUSTMENT_HINT);
    for (const Row& row : kRows) SetItemText(row.label, row.text);
    SetItemText(IDC_ADJUST_DEFAULT, IDS_IMAGE_DEFAULT);
}

void CVNTUI_Skeo_ImageAdjustmentPage::setCamera(VNTWebcam* camera) {
    camera_ = camera;
    refresh();
}

void CVNTUI_Skeo_ImageAdjustmentPage::refresh() {
    if (!hwnd_) return;
    for (const Row& row : kRows) {
        HWND slider = GetDlgItem(hwnd_, static_cast<int>(row.slider));
        LONG min = row.min, max = row.max, value = 0;
        const bool usable = camera_ && camera_->videoProcAmpRange(row.property, &min, &max) &&
                            camera_->getVideoProcAmpProperty(row.property, &value);
        if (usable) {
            SendMessageW(slider, TBM_SETRANGEMIN, FALSE, min);
            SendMessageW(slider, TBM_SETRANGEMAX, FALSE, max);
            // Moved away first: a trackbar may place its thumb only when the position changes, and
            // the same number stands elsewhere in a new range.
            SendMessageW(slider, TBM_SETPOS, FALSE, value == max ? min : max);
            SendMessageW(slider, TBM_SETPOS, TRUE, value);
            showValue(hwnd_, row, value);
        }
        EnableWindow(slider, usable ? TRUE : FALSE);
    }
    EnableWindow(GetDlgItem(hwnd_, IDC_ADJUST_DEFAULT), camera_ ? TRUE : FALSE);
}

void CVNTUI_Skeo_ImageAdjustmentPage::onSliderMoved(HWND slider) {
    for (const Row& row : kRows) {
        if (GetDlgItem(hwnd_, static_cast<int>(row.slider)) != slider) continue;
        const auto position = static_cast<LONG>(SendMessageW(slider, TBM_GETPOS, 0, 0));
        const UINT shown = GetDlgItemInt(hwnd_, static_cast<int>(row.value), nullptr, TRUE);
        if (static_cast<LONG>(static_cast<int>(shown)) == position) return;
        // A position outside what the camera accepts is never sent to it.
        if (position >= row.min && position <= row.max) setControl(row.property, position);
        showValue(hwnd_, row, position);
        return;
    }
}

void CVNTUI_Skeo_ImageAdjustmentPage::setDefaults() {
    if (!camera_) return;
    for (const Row& row : kRows) setControl(row.property, row.standard);
    refresh();
}

void CVNTUI_Skeo_ImageAdjustmentPage::setControl(ULONG property, LONG value) {
    if (camera_ && camera_->setVideoProcAmpProperty(property, value))
        settings_.setCameraAdjustment(static_cast<int>(property), static_cast<int32_t>(value));
}

bool CVNTUI_Skeo_ImageAdjustmentPage::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_ADJUST_DEFAULT && code == BN_CLICKED) {
        setDefaults();
        return true;
    }
    return CVNTUI_PropertyPage::OnCommand(id, code, control);
}

INT_PTR CVNTUI_Skeo_ImageAdjustmentPage::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HSCROLL && lParam) {
        onSliderMoved(reinterpret_cast<HWND>(lParam));
        return TRUE;
    }
    return CVNTUI_PropertyPage::DialogProc(message, wParam, lParam);
}
