#include "ui/CVNTUI_Skeo_MenuShow_ExposureSlider.h"

#include <vector>

#include "framework/Trace.h"
#include "resources/StringIds.h"
#include "resources/resource.h"
#include "toolkit/SkinResource.h"
#include "ui/MenuBarLayout.h"

namespace {

constexpr int kPlaceholderRows = 8;
constexpr UINT kTrackImage = 360;
constexpr UINT kThumbImage = 361;
constexpr UINT kPressedThumbImage = 362;

UINT skin(UINT id, int dpi) { return toolkit::SkinResourceId(id, dpi, L"PNG"); }

std::vector<CVNTUI_Skeo_MenuShow::Row> sliderRows() {
    std::vector<CVNTUI_Skeo_MenuShow::Row> rows(kPlaceholderRows + 1);
    for (auto& r : rows) r.command = ID_EXPOSURE_SLIDER_ROW;
    rows.back().text = L"Default";
    rows.back().stringId = IDS_EXPOSURE_DEFAULT;
    return rows;
}

}  // namespace

CVNTUI_Skeo_MenuShow_ExposureSlider::CVNTUI_Skeo_MenuShow_ExposureSlider()
    : CVNTUI_Skeo_MenuShow(95, sliderRows()), level_(menubar::kDefaultExposureLevel) {
    hovered_ = defaultRow();
}

bool CVNTUI_Skeo_MenuShow_ExposureSlider::Create(HWND owner, int width, int height) {
    if (!CVNTUI_Skeo_MenuShow::Create(owner, width, height)) return false;
    SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) | WS_CLIPCHILDREN);
    if (!slider_.Create(hwnd_, IDC_EXPOSURE_SLIDER, 0, 0)) {
        vnt::trace(L"CVNTUI_Skeo_MenuShow_ExposureSlider: no slider");
        return true;
    }
    placeSlider();
    slider_.SetRange(menubar::kSliderMin, menubar::kSliderMax);
    slider_.SetPage(menubar::kSliderPage);
    slider_.SetPos(menubar::positionOfLevel(level_));
    Redraw();
    return true;
}

void CVNTUI_Skeo_MenuShow_ExposureSlider::placeSlider() {
    if (!slider_.hwnd()) return;
    const skeo::DisplayScale scale = this->scale();
    // Images first: the slider takes the track image's size.
    slider_.LoadTrackImage(skin(kTrackImage, dpi()));
    slider_.LoadThumbImages(skin(kThumbImage, dpi()), skin(kPressedThumbImage, dpi()));
    SetWindowPos(slider_.hwnd(), nullptr, 0, menubar::rowTop(0, scale), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    slider_.SetMargins(0, scale.px(menubar::kSliderEndMargin));
    slider_.SetThumbCrossOffset(scale.px(menubar::kSliderThumbLeft));
}

void CVNTUI_Skeo_MenuShow_ExposureSlider::OnDpiChanged() { placeSlider(); }

void CVNTUI_Skeo_MenuShow_ExposureSlider::SetLevel(int level) {
    const int position = menubar::positionOfLevel(level);
    if (menubar::levelOfPosition(position) != level)
        vnt::trace(L"CVNTUI_Skeo_MenuShow_ExposureSlider: level %d out of range, shown as %d", level,
                   menubar::levelOfPosition(position));
    level_ = menubar::levelOfPosition(position);
    slider_.SetPos(position);
}

void CVNTUI_Skeo_MenuShow_ExposureSlider::Choose(int row) {
    if (row != defaultRow() || !hwnd_) return;
    Close();
    if (level_ != menubar::kDefaultExposureLevel) SetLevel(menubar::kDefaultExposureLevel);
    SendCommand(ID_EXPOSURE_LEVEL, level_);
}

bool CVNTUI_Skeo_MenuShow_ExposureSlider::GetValueText(std::wstring& text) const {
    text = std::to_wstring(level_);
    return true;
}

void CVNTUI_Skeo_MenuShow_ExposureSlider::DrawRow(HDC dc, int row, const RECT& rect, bool hovered, bool selected) {
    // The placeholders lie under the slider.
    if (row == defaultRow()) CVNTUI_Skeo_MenuShow::DrawRow(dc, row, rect, hovered, false);
}

void CVNTUI_Skeo_MenuShow_ExposureSlider::OnPainted() {
    if (slider_.hwnd()) slider_.RefreshBackground(backBuffer_.dc());
}

void CVNTUI_Skeo_MenuShow_ExposureSlider::onSliderMoved(int position) {
    level_ = menubar::levelOfPosition(position);
    SendCommand(ID_EXPOSURE_LEVEL, level_);
}

LRESULT CVNTUI_Skeo_MenuShow_ExposureSlider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GDIPSLIDER_POSCHANGING && wParam == IDC_EXPOSURE_SLIDER) {
        onSliderMoved(static_cast<int>(lParam));
        return 0;
    }
    return CVNTUI_Skeo_MenuShow::WindowProc(message, wParam, lParam);
}

LRESULT CVNTUI_Skeo_MenuShow_ExposureSlider::Slider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool panelKey = (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) ||
                          (message == WM_SYSKEYDOWN && wParam == VK_F4);
    if (panelKey) return SendMessageW(GetParent(), message, wParam, lParam);
    return CGdipSlider::WindowProc(message, wParam, lParam);
}
