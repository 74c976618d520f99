#include "ui/CVNTUI_Skeo_MenuShow.h"

#include "app/VNTLanguageSelector.h"
#include "framework/Dpi.h"
#include "framework/Trace.h"
#include "ui/MenuBarLayout.h"
#include "ui/MenuDrawing.h"

namespace {
constexpr int kCheckMarkImage = 348;
}

CVNTUI_Skeo_MenuShow::CVNTUI_Skeo_MenuShow(int width, std::vector<Row> rows)
    : rows_(std::move(rows)), panelWidth96_(width), hoverColour_(menudraw::kRowHover),
      font_(menudraw::createMenuFont(dpi_)) {}

CVNTUI_Skeo_MenuShow::~CVNTUI_Skeo_MenuShow() = default;

bool CVNTUI_Skeo_MenuShow::CreatePanel(HWND owner, HWND mainWindow) {
    mainWindow_ = mainWindow;
    const int dpi = vnt::windowDpi(owner);
    if (dpi != dpi_) {
        dpi_ = menudraw::usableDpi(dpi, L"CVNTUI_Skeo_MenuShow");
        font_.reset(menudraw::createMenuFont(dpi_));
    }
    return Create(owner, panelWidth(), panelHeight());
}

void CVNTUI_Skeo_MenuShow::SetDpi(int dpi) {
    dpi = menudraw::usableDpi(dpi, L"CVNTUI_Skeo_MenuShow");
    if (dpi == dpi_) return;
    dpi_ = dpi;
    font_.reset(menudraw::createMenuFont(dpi_));
    images_.clear();
    if (hwnd_) {
        width_ = panelWidth();
        height_ = panelHeight();
        SetWindowPos(hwnd_, nullptr, 0, 0, width_, height_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        vnt::WindowDC dc(hwnd_);
        if (!backBuffer_.create(dc.get(), width_, height_))
            vnt::trace(L"CVNTUI_Skeo_MenuShow: no back buffer of %dx%d", width_, height_);
    }
    OnDpiChanged();
    Redraw();
}

int CVNTUI_Skeo_MenuShow::panelWidth() const { return menubar::panelWidth(panelWidth96_, scale()); }

int CVNTUI_Skeo_MenuShow::panelHeight() const { return menubar::panelHeight(rowCount(), scale()); }

bool CVNTUI_Skeo_MenuShow::IsOpen() const { return hwnd_ && IsWindowVisible(hwnd_); }

void CVNTUI_Skeo_MenuShow::ShowAt(int x, int y) {
    if (!hwnd_) return;
    Redraw();
    SetWindowPos(hwnd_, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    // Shown activated, so that the keys come here and the watch timer can tell when they stop to.
    SetForegroundWindow(hwnd_);
    SetFocus(hwnd_);
    SetTimer(hwnd_, kWatchTimer, kWatchInterval, nullptr);
}

void CVNTUI_Skeo_MenuShow::Close() {
    if (!hwnd_) return;
    KillTimer(hwnd_, kWatchTimer);
    ShowWindow(hwnd_, SW_HIDE);
}

void CVNTUI_Skeo_MenuShow::Choose(int row) {
    if (!hasRow(row) || !hwnd_) return;
    Close();
    SendCommand(rows_[static_cast<size_t>(row)].command, 0);
}

bool CVNTUI_Skeo_MenuShow::ChooseCommand(int id) {
    const int row = findRow(id);
    if (row < 0) {
        vnt::trace(L"CVNTUI_Skeo_MenuShow: no row for command %d", id);
        return false;
    }
    selected_ = row;
    Close();
    SendCommand(id, 0);
    return true;
}

bool CVNTUI_Skeo_MenuShow::GetValueText(std::wstring& text) const {
    if (!hasRow(selected_)) return false;
    text = rows_[static_cast<size_t>(selected_)].text;
    return true;
}

int CVNTUI_Skeo_MenuShow::GetValueIcon() const { return hasRow(selected_) ? rows_[static_cast<size_t>(selected_)].icon : 0; }

void CVNTUI_Skeo_MenuShow::ReloadTexts() {
    for (Row& r : rows_) {
        if (r.stringId) VNTLanguageSelector::instance().loadString(r.stringId, r.text);
    }
    Redraw();
}

int CVNTUI_Skeo_MenuShow::findRow(int command) const {
    for (int i = 0; i < rowCount(); ++i) {
        if (rows_[static_cast<size_t>(i)].command == command) return i;
    }
    return -1;
}

bool CVNTUI_Skeo_MenuShow::SelectCommand(int command) {
    const int row = findRow(command);
    if (row < 0) return false;
    selected_ = row;
    Redraw();
    return true;
}

bool CVNTUI_Skeo_MenuShow::SetTick(int command, bool ticked) {
    const int row = findRow(command);
    if (row < 0) return false;
    rows_[static_cast<size_t>(row)].tick = ticked ? 1 : 0;
    Redraw();
    return true;
}

void CVNTUI_Skeo_MenuShow::SendCommand(int command, LPARAM value) const {
    if (!mainWindow_) {
        vnt::trace(L"CVNTUI_Skeo_MenuShow: command %d has no main window to go to", command);
        return;
    }
    SendMessageW(mainWindow_, WM_COMMAND, MAKEWPARAM(command, 0), value);
}

const CGdiPlusBitmap& CVNTUI_Skeo_MenuShow::image(int id) {
    std::unique_ptr<CGdiPlusBitmapResource>& holder = images_[id];
    if (!holder) {
        holder = std::make_unique<CGdiPlusBitmapResource>();
        holder->LoadForDpi(static_cast<UINT>(id), dpi_);
    }
    return *holder;
}

void CVNTUI_Skeo_MenuShow::DrawRow(HDC dc, int row, const RECT& rect, bool hovered, bool selected) {
    const Row& r = rows_[static_cast<size_t>(row)];
    if (hovered) menudraw::fillRect(dc, rect, hoverColour_);
    if (selected || r.tick) image(kCheckMarkImage).draw(dc, rect.left, rect.top);
    const skeo::DisplayScale scale = this->scale();
    const menubar::Box box{rect.left, rect.top, rect.right, rect.bottom};
    if (showsIcon(row)) {
        const CGdiPlusBitmap& icon = image(r.icon);
        const menubar::Box place = menubar::rowIconBox(box, icon.width(), icon.height(), scale);
        icon.draw(dc, place.left, place.top);
    }
    const menubar::Box text = menubar::rowTextBox(box, showsIcon(row), scale);
    menudraw::drawLine(dc, font_.get(), RGB(255, 255, 255), r.text, RECT{text.left, text.top, text.right, text.bottom});
}

void CVNTUI_Skeo_MenuShow::Redraw() {
    if (!backBuffer_.valid()) return;
    HDC dc = backBuffer_.dc();
    const int w = backBuffer_.width(), h = backBuffer_.height();
    menudraw::fillRect(dc, RECT{0, 0, w, h}, background_);
    const skeo::DisplayScale scale = this->scale();
    for (int i = 0; i < rowCount(); ++i) {
        const menubar::Box box = menubar::rowBox(i, w, scale);
        DrawRow(dc, i, RECT{box.left, box.top, box.right, box.bottom}, i == hovered_, i == selected_);
    }
    // Left, bottom and right: the top edge meets the item above.
    const menubar::Frame frame = menubar::panelFrame(w, h, scale);
    for (const menubar::Box& side : {frame.left, frame.bottom, frame.right})
        menudraw::fillRect(dc, side, menudraw::kPanelFrame);
    OnPainted();
    Invalidate();
}

void CVNTUI_Skeo_MenuShow::onMouseMove(int y) {
    const int row = menubar::rowAt(y, scale());
    if (row < 0) return;
    if (row == hovered_ || (hasRow(row) && !CanHover(row))) return;
    hovered_ = row;
    Redraw();
}

void CVNTUI_Skeo_MenuShow::moveHover(int step) {
    int row = hovered_;
    for (int tries = 0; tries < rowCount(); ++tries) {
        row = menubar::stepRow(row, step, rowCount());
        if (CanHover(row)) {
            hovered_ = row;
            Redraw();
            return;
        }
    }
}

bool CVNTUI_Skeo_MenuShow::onKey(UINT key) {
    switch (key) {
    case VK_RETURN:
        Choose(hovered_);
        return true;
    case VK_ESCAPE:
        Close();
        return true;
    case VK_UP:
        moveHover(-1);
        return true;
    case VK_DOWN:
        moveHover(+1);
        return true;
    default:
        return false;
    }
}

LRESULT CVNTUI_Skeo_MenuShow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE:
        onMouseMove(static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_LBUTTONDOWN: {
        const int row = menubar::rowAt(static_cast<short>(HIWORD(lParam)), scale());
        if (row >= 0 && CanHover(row)) Choose(row);
        return 0;
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (onKey(static_cast<UINT>(wParam))) return 0;
        break;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4) {
            Close();
            return 0;
        }
        break;
    case WM_CLOSE:
        // Whatever asks the panel to close only hides it: it lives as long as the bar.
        Close();
        return 0;
    case WM_TIMER:
        if (wParam == kWatchTimer) {
            if (GetForegroundWindow() != hwnd_) Close();
            return 0;
        }
        break;
    default:
        break;
    }
    return CVNTUI_Window::WindowProc(message, wParam, lParam);
}
