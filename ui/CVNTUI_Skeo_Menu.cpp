#include "ui/CVNTUI_Skeo_Menu.h"

#include "app/VNTLanguageSelector.h"
#include "framework/Dpi.h"
#include "resources/StringIds.h"
#include "ui/CVNTUI_Skeo_MenuShow.h"
#include "ui/MenuBarLayout.h"
#include "ui/MenuDrawing.h"

namespace {
constexpr UINT kArrowImage = 349;
constexpr UINT kArrowHoveredImage = 350;
}  // namespace

const wchar_t CVNTUI_Skeo_Menu::kClassName[] = L"VNTSkeo_Menu";
int CVNTUI_Skeo_Menu::leaveChecks_ = 0;

CVNTUI_Skeo_Menu::CVNTUI_Skeo_Menu() : hand_(LoadCursorW(nullptr, IDC_HAND)) {}

CVNTUI_Skeo_Menu::~CVNTUI_Skeo_Menu() = default;

bool CVNTUI_Skeo_Menu::RegisterItemClass() {
    // No class cursor: each item sets its own.
    return RegisterWindowClass(kClassName, 0, nullptr, nullptr);
}

bool CVNTUI_Skeo_Menu::Attach(HWND dialog, UINT id, UINT titleStringId) {
    if (!SubclassDlgItem(id, dialog)) return false;
    titleStringId_ = titleStringId;
    if (titleStringId_) VNTLanguageSelector::instance().loadString(titleStringId_, title_);
    dpi_ = vnt::windowDpi(hwnd_);
    loadForDpi();
    const RECT client = GetClientRect();
    onSize(client.right, client.bottom);
    return true;
}

void CVNTUI_Skeo_Menu::loadForDpi() {
    titleFont_.reset(menudraw::createMenuFont(dpi_));
    valueFont_.reset(menudraw::createMenuFont(dpi_));
    arrow_.LoadForDpi(kArrowImage, dpi_);
    arrowHovered_.LoadForDpi(kArrowHoveredImage, dpi_);
    // The value images again, in the new set.
    const UINT icon = valueIconId_, hover = hoverIconId_;
    valueIconId_ = hoverIconId_ = 0;
    setIcon(valueIcon_, valueIconId_, icon);
    setIcon(hoverIcon_, hoverIconId_, hover);
}

void CVNTUI_Skeo_Menu::SetDpi(int dpi) {
    dpi = menudraw::usableDpi(dpi, L"CVNTUI_Skeo_Menu");
    if (dpi == dpi_ && titleFont_) return;
    dpi_ = dpi;
    loadForDpi();
    OnDpiChanged();
    Repaint();
}

void CVNTUI_Skeo_Menu::SetPanel(CVNTUI_Skeo_MenuShow* panel) { panel_ = panel; }

void CVNTUI_Skeo_Menu::SetSliderMode(bool on) {
    if (sliderMode_ == on) return;
    sliderMode_ = on;
    Repaint();
}

void CVNTUI_Skeo_Menu::RefreshValue() {
    value_.clear();
    UINT icon = 0, hover = 0;
    if (panel_ && (!panel_->GetValueText(value_) || value_.empty())) {
        value_.clear();
        icon = static_cast<UINT>(panel_->GetValueIcon());
        const int hoverId = panel_->GetHoverIcon();
        hover = hoverId ? static_cast<UINT>(hoverId) : icon;
    }
    setIcon(valueIcon_, valueIconId_, icon);
    setIcon(hoverIcon_, hoverIconId_, hover);
    Repaint();
}

void CVNTUI_Skeo_Menu::setIcon(CGdiPlusBitmapResource& holder, UINT& shownId, UINT id) {
    if (id == shownId) return;
    shownId = id;
    if (id) {
        holder.LoadForDpi(id, dpi_);
    } else {
        holder.Empty();
    }
}

void CVNTUI_Skeo_Menu::ReloadTexts() {
    if (panel_) panel_->ReloadTexts();
    RefreshValue();
    if (titleStringId_) VNTLanguageSelector::instance().loadString(titleStringId_, title_);
    Repaint();
}

bool CVNTUI_Skeo_Menu::panelOpen() const { return panel_ && panel_->IsOpen(); }

bool CVNTUI_Skeo_Menu::cursorInside() const {
    POINT p{};
    RECT rc{};
    return hwnd_ && GetCursorPos(&p) && GetWindowRect(hwnd_, &rc) && PtInRect(&rc, p) && WindowFromPoint(p) == hwnd_;
}

HCURSOR CVNTUI_Skeo_Menu::Cursor() const { return hand_; }

void CVNTUI_Skeo_Menu::Draw() {
    if (!backBuffer_.valid()) return;
    HDC dc = backBuffer_.dc();
    const int w = backBuffer_.width(), h = backBuffer_.height();
    menudraw::fillRect(dc, RECT{0, 0, w, h}, menudraw::kBackground);
    const COLORREF colour = hovered_ ? menudraw::kTextHovered : menudraw::kTextNormal;
    const skeo::DisplayScale scale = this->scale();
    int x = menubar::itemTextLeft(scale);
    if (!title_.empty()) {
        menudraw::drawLine(dc, titleFont_.get(), colour, title_, RECT{x, 0, w, h});
        x += menudraw::textWidth(dc, titleFont_.get(), title_);
    }
    menudraw::drawLine(dc, valueFont_.get(), colour, value_, RECT{x, 0, w, h});
    x += menudraw::textWidth(dc, valueFont_.get(), value_);
    if (!valueIcon_.empty()) {
        const CGdiPlusBitmap& icon = hovered_ && panelOpen() && !hoverIcon_.empty() ? hoverIcon_ : valueIcon_;
        icon.draw(dc, x, menubar::centredTop(h, icon.height()));
    }
    if (sliderMode_) {
        menudraw::drawLine(dc, valueFont_.get(), colour, L"-", RECT{menubar::sliderMarkLeft(w, scale), 0, w, h});
        return;
    }
    if (titleStringId_ != IDS_MENU_DELETE && titleStringId_ != IDS_MENU_AUTO_EXPOSURE) {
        const CGdiPlusBitmapResource& arrow = hovered_ ? arrowHovered_ : arrow_;
        arrow.draw(dc, menubar::arrowLeft(w, scale), menubar::centredTop(h, arrow.height()));
    }
    menudraw::drawSeparator(dc, menubar::trailingSeparatorLeft(w, scale), h, scale);
}

void CVNTUI_Skeo_Menu::Repaint() {
    Draw();
    Invalidate();
}

void CVNTUI_Skeo_Menu::onSize(int width, int height) {
    if (!hwnd_) return;
    vnt::WindowDC dc(hwnd_);
    backBuffer_.create(dc.get(), width, height);
    OnResized();
    Repaint();
}

void CVNTUI_Skeo_Menu::onMouseMove() {
    if (!tracking_) tracking_ = TrackMouseLeave();
    if (!hovered_) {
        hovered_ = true;
        Repaint();
    }
}

void CVNTUI_Skeo_Menu::onMouseLeave() {
    tracking_ = false;
    if (panelOpen()) {
        // The cursor went down into the panel: the item stays lit while the panel is open.
        SetTimer(hwnd_, kLeaveTimer, kLeaveInterval, nullptr);
        return;
    }
    hovered_ = false;
    Repaint();
}

void CVNTUI_Skeo_Menu::onLeaveTimer() {
    if (panelOpen()) {
        if (leaveChecks_++ == 0) Repaint();
        return;
    }
    KillTimer(hwnd_, kLeaveTimer);
    leaveChecks_ = 0;
    // Back on the item by now, it keeps its hover look; the next leave clears it.
    hovered_ = cursorInside();
    if (hovered_ && !tracking_) onMouseMove();
    Repaint();
}

void CVNTUI_Skeo_Menu::openPanel() {
    if (!panel_) return;
    RECT rc{};
    GetWindowRect(hwnd_, &rc);
    panel_->ShowAt(menubar::panelLeft(rc.left, scale()), rc.bottom);
    Repaint();
}

LRESULT CVNTUI_Skeo_Menu::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        backBuffer_.paint(hwnd_);
        return 0;
    case WM_SIZE:
        onSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(Cursor());
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        onMouseMove();
        return 0;
    case WM_MOUSELEAVE:
        onMouseLeave();
        return 0;
    case WM_TIMER:
        if (wParam == kLeaveTimer) {
            onLeaveTimer();
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        openPanel();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) return SendMessageW(GetParent(), message, wParam, lParam);
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
