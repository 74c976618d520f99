#include "ui/CVNTUI_Skeo_MenuBar.h"

#include <vector>

#include "framework/Dpi.h"
#include "framework/Trace.h"
#include "resources/StringIds.h"
#include "resources/resource.h"
#include "toolkit/CMemDC_Ex.h"
#include "ui/MenuDrawing.h"

namespace {

struct ItemTitle {
    int id;
    UINT titleStringId;
};

const ItemTitle kItemTitles[menubar::kItemCount] = {
    {IDC_MENU_ZOOM_CAM, IDS_MENU_ZOOM},   {IDC_MENU_TIMER, IDS_MENU_TIMER},
    {IDC_MENU_MIRROR, IDS_MENU_MIRROR},   {IDC_MENU_RESOLUTION, IDS_MENU_RESOLUTION},
    {IDC_MENU_EXPOSURE, IDS_MENU_EXPOSURE}, {IDC_MENU_EXPOSURE_MODE, IDS_MENU_AUTO_EXPOSURE},
    {IDC_MENU_ESC, 0},                    {IDC_MENU_ZOOM_PIC, IDS_MENU_ZOOM},
    {IDC_MENU_ROTATE, IDS_MENU_ROTATE},   {IDC_MENU_DELETE, IDS_MENU_DELETE},
};

bool within(int id, int first, int last) { return id >= first && id <= last; }

}  // namespace

CVNTUI_Skeo_MenuBar::CVNTUI_Skeo_MenuBar() : CDialogBase(IDD_SKEO_MENUBAR) {}

CVNTUI_Skeo_MenuBar::~CVNTUI_Skeo_MenuBar() {
    if (hwnd_ && IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

bool CVNTUI_Skeo_MenuBar::Create(HWND mainDialog) {
    mainDialog_ = mainDialog;
    dpi_ = menudraw::usableDpi(vnt::windowDpi(mainDialog), L"CVNTUI_Skeo_MenuBar");
    if (!CVNTUI_Skeo_Menu::RegisterItemClass() || !CDialogBase::Create(mainDialog)) {
        vnt::trace(L"CVNTUI_Skeo_MenuBar: create failed.");
        return false;
    }
    return true;
}

CVNTUI_Skeo_Menu* CVNTUI_Skeo_MenuBar::item(int id) {
    const int index = id - menubar::kFirstItemId;
    return index >= 0 && index < menubar::kItemCount ? items_[static_cast<size_t>(index)].get() : nullptr;
}

void CVNTUI_Skeo_MenuBar::SetDpi(int dpi) {
    dpi_ = menudraw::usableDpi(dpi, L"CVNTUI_Skeo_MenuBar");
    for (auto& menu : items_) {
        if (menu) menu->SetDpi(dpi_);
    }
    CVNTUI_Skeo_MenuShow* const panels[] = {&zoomCam_, &timer_,   &mirror_, &resolution_, &exposure_, &exposureSlider_,
                                            &exposureMode_, &zoomPic_, &rotate_, &delete_};
    for (CVNTUI_Skeo_MenuShow* panel : panels) panel->SetDpi(dpi_);
    if (!hwnd_) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    layout(client.right, client.bottom);
}

HRGN CVNTUI_Skeo_MenuBar::CreateFloatingRegion() const {
    std::vector<POINT> corners;
    for (const menubar::Corner& c : menubar::floatingBarOutline(scale())) corners.push_back(POINT{c.x, c.y});
    return CreatePolygonRgn(corners.data(), static_cast<int>(corners.size()), ALTERNATE);
}

BOOL CVNTUI_Skeo_MenuBar::OnInitDialog() {
    for (const ItemTitle& t : kItemTitles) {
        auto& slot = items_[static_cast<size_t>(t.id - menubar::kFirstItemId)];
        if (t.id == IDC_MENU_ESC) {
            auto close = std::make_unique<CVNTUI_Skeo_Menu_Close>();
            close->SetMainWindow(mainDialog_);
            slot = std::move(close);
        } else {
            slot = std::make_unique<CVNTUI_Skeo_Menu>();
        }
        if (!slot->Attach(hwnd_, static_cast<UINT>(t.id), t.titleStringId))
            vnt::trace(L"CVNTUI_Skeo_MenuBar: no item window %d", t.id);
        slot->SetDpi(dpi_);
    }

    // The camera zoom panel belongs to the main dialog itself, the others to the bar; all of them
    // send their choices to the main dialog.
    zoomCam_.CreatePanel(mainDialog_, mainDialog_);
    CVNTUI_Skeo_MenuShow* const barPanels[] = {&timer_, &mirror_,   &resolution_, &exposure_, &exposureSlider_,
                                               &exposureMode_, &zoomPic_, &rotate_, &delete_};
    for (CVNTUI_Skeo_MenuShow* panel : barPanels) panel->CreatePanel(hwnd_, mainDialog_);
    // The system may give the bar a DPI of its own; the bar follows the one it was made for.
    for (CVNTUI_Skeo_MenuShow* panel : barPanels) panel->SetDpi(dpi_);
    zoomCam_.SetDpi(dpi_);

    const struct {
        int id;
        CVNTUI_Skeo_MenuShow* panel;
    } attached[] = {{IDC_MENU_ZOOM_CAM, &zoomCam_}, {IDC_MENU_TIMER, &timer_},
                    {IDC_MENU_MIRROR, &mirror_},     {IDC_MENU_RESOLUTION, &resolution_},
                    {IDC_MENU_EXPOSURE, &exposure_}, {IDC_MENU_EXPOSURE_MODE, &exposureMode_},
                    {IDC_MENU_ZOOM_PIC, &zoomPic_},  {IDC_MENU_ROTATE, &rotate_},
                    {IDC_MENU_DELETE, &delete_}};
    for (const auto& a : attached) {
        CVNTUI_Skeo_Menu* menu = item(a.id);
        menu->SetPanel(a.panel);
        menu->RefreshValue();
    }
    applyVisibility();
    return FALSE;
}

void CVNTUI_Skeo_MenuBar::layout(int width, int height) {
    for (const ItemTitle& t : kItemTitles) {
        CVNTUI_Skeo_Menu* menu = item(t.id);
        menubar::Span span;
        if (!menu || !menu->hwnd() || !menubar::itemSpan(t.id, height, span, scale())) continue;
        SetWindowPos(menu->hwnd(), nullptr, span.left, 0, span.width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Visibility follows the mode, whatever the size: a resize in photo mode keeps the photo items.
    applyVisibility();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void CVNTUI_Skeo_MenuBar::applyVisibility() {
    const bool camera = mode_ == ModeCamera;
    for (const ItemTitle& t : kItemTitles) {
        CVNTUI_Skeo_Menu* menu = item(t.id);
        if (!menu || !menu->hwnd()) continue;
        bool shown;
        if (t.id == IDC_MENU_EXPOSURE_MODE) {
            shown = camera && exposureKind_ == kAutoExposureKind;
        } else if (t.id >= IDC_MENU_ZOOM_PIC) {
            shown = !camera;
        } else {
            shown = camera;
        }
        ShowWindow(menu->hwnd(), shown ? SW_SHOWNA : SW_HIDE);
    }
}

void CVNTUI_Skeo_MenuBar::SetMode(int mode) {
    if (mode != ModeCamera && mode != ModePhoto) {
        vnt::trace(L"CVNTUI_Skeo_MenuBar: unknown mode %d", mode);
        return;
    }
    mode_ = mode;
    applyVisibility();
    if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CVNTUI_Skeo_MenuBar::SetExposureControlKind(int kind) {
    exposureKind_ = kind;
    applyVisibility();
}

bool CVNTUI_Skeo_MenuBar::reflectChoice(CVNTUI_Skeo_MenuShow& panel, int itemId, int command) {
    if (!panel.SelectCommand(command)) return false;
    item(itemId)->RefreshValue();
    return true;
}

void CVNTUI_Skeo_MenuBar::attachExposurePanel(CVNTUI_Skeo_MenuShow& panel, bool sliderMode) {
    CVNTUI_Skeo_Menu* menu = item(IDC_MENU_EXPOSURE);
    if (menu->panel() != &panel) {
        if (menu->panel()) menu->panel()->Close();
        menu->SetPanel(&panel);
    }
    menu->SetSliderMode(sliderMode);
}

bool CVNTUI_Skeo_MenuBar::ReflectCameraCommand(int value, int id) {
    if (!hwnd_) return false;
    if (within(id, ID_ZOOM_CAM_1X, ID_ZOOM_CAM_3X)) return reflectChoice(zoomCam_, IDC_MENU_ZOOM_CAM, id);
    if (within(id, ID_TIMER_OFF, ID_TIMER_10_SEC)) return reflectChoice(timer_, IDC_MENU_TIMER, id);
    if (within(id, ID_MIRROR_VERTICAL, ID_MIRROR_HORIZONTAL)) {
        mirror_.SetTick(id, value != 0);
        item(IDC_MENU_MIRROR)->RefreshValue();
        return true;
    }
    if (within(id, ID_RESOLUTION_1600X1200, ID_RESOLUTION_320X240))
        return reflectChoice(resolution_, IDC_MENU_RESOLUTION, id);
    if (within(id, ID_EXPOSURE_PLUS2, ID_EXPOSURE_MINUS2)) {
        attachExposurePanel(exposure_, false);
        return reflectChoice(exposure_, IDC_MENU_EXPOSURE, id);
    }
    if (id == ID_EXPOSURE_LEVEL) {
        attachExposurePanel(exposureSlider_, true);
        exposureSlider_.SetLevel(value);
        item(IDC_MENU_EXPOSURE)->RefreshValue();
        return true;
    }
    if (within(id, ID_EXPOSURE_MODE_ON, ID_EXPOSURE_MODE_OFF))
        return reflectChoice(exposureMode_, IDC_MENU_EXPOSURE_MODE, id);
    return false;
}

bool CVNTUI_Skeo_MenuBar::ReflectPhotoCommand(int id) {
    if (!hwnd_) return false;
    if (within(id, ID_ZOOM_PIC_100, ID_ZOOM_PIC_300)) return reflectChoice(zoomPic_, IDC_MENU_ZOOM_PIC, id);
    if (within(id, ID_ROTATE_RIGHT, ID_ROTATE_LEFT)) {
        item(IDC_MENU_ROTATE)->RefreshValue();
        return true;
    }
    if (within(id, ID_DELETE_PHOTO, ID_DELETE_PHOTO_LAST)) {
        item(IDC_MENU_DELETE)->RefreshValue();
        return true;
    }
    return false;
}

void CVNTUI_Skeo_MenuBar::ReloadTexts() {
    for (auto& menu : items_) {
        if (menu) menu->ReloadTexts();
    }
    // The exposure panel the item does not show now follows the language too, so that switching
    // between steps and slider never brings back the previous language.
    CVNTUI_Skeo_Menu* exposureItem = item(IDC_MENU_EXPOSURE);
    if (exposureItem && exposureItem->panel() == &exposure_) {
        exposureSlider_.ReloadTexts();
    } else {
        exposure_.ReloadTexts();
    }
}

void CVNTUI_Skeo_MenuBar::forwardKey(WPARAM key, LPARAM keyData) {
    if (mainDialog_) SendMessageW(mainDialog_, WM_KEYDOWN, key, keyData);
}

void CVNTUI_Skeo_MenuBar::OnOK() { forwardKey(VK_RETURN, 0); }

void CVNTUI_Skeo_MenuBar::OnCancel() { forwardKey(VK_ESCAPE, 0); }

void CVNTUI_Skeo_MenuBar::paint() {
    PAINTSTRUCT ps;
    HDC target = BeginPaint(hwnd_, &ps);
    RECT client{};
    GetClientRect(hwnd_, &client);
    {
        CMemDC_Ex dc(target, &client);
        menudraw::fillRect(dc, client, menudraw::kBackground);
        const skeo::DisplayScale scale = this->scale();
        menudraw::drawSeparator(dc, menubar::leadingSeparatorLeft(client.bottom, scale), client.bottom, scale);
    }
    EndPaint(hwnd_, &ps);
}

INT_PTR CVNTUI_Skeo_MenuBar::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (menubar::layoutApplies(HIWORD(lParam), scale())) layout(LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_DPICHANGED:
        // Floating, the bar is a window of its own: the main dialog places it again.
        SetDpi(HIWORD(wParam));
        return TRUE;
    case WM_PAINT:
        paint();
        return TRUE;
    case WM_ERASEBKGND:
        return SetMessageResult(1);
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            forwardKey(wParam, lParam);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return CDialogBase::DialogProc(message, wParam, lParam);
}
