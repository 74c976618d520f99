#include "ui/CVNTUI_Skeo_MainDlg.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

#include "app/VNTLanguageSelector.h"
#include "framework/Dpi.h"
#include "framework/Trace.h"
#include "framework/Window.h"
#include "library/JpegSize.h"
#include "library/PictureCodec.h"
#include "library/VNTSkeoDatabaseManager.h"
#include "resources/StringIds.h"
#include "resources/resource.h"
#include "settings/CVNTUI_Skeo_SettingsPropSheet.h"
#include "toolkit/SkinResource.h"
#include "ui/LocalizedMenu.h"
#include "ui/MainLayout.h"
#include "ui/PhotoPdfSaver.h"

using mainlayout::Box;

namespace {

constexpr COLORREF kPanelColour = RGB(40, 40, 40);
constexpr COLORREF kHeaderColour = RGB(61, 179, 204);
constexpr COLORREF kHeaderOutline = RGB(6, 149, 196);
constexpr COLORREF kInfoText = RGB(170, 170, 170);
constexpr COLORREF kSeparator = RGB(85, 85, 85);
constexpr UINT kFirstButton = IDC_BUTTON_SETTINGS;
constexpr UINT kHeaderImage = 300;
constexpr UINT kListSkin = 513;
constexpr DWORD kArrowRepeatMs = 300;

// Normal and hover images of buttons 1013-1022; the tabs' normal image follows the mode.
const struct {
    UINT normal;
    UINT hover;
} kButtonImages[10] = {
    {301, 302}, {304, 305}, {307, 308}, {310, 311}, {317, 317}, {318, 319}, {321, 323}, {400, 401}, {403, 404}, {406, 407},
};

const int kCameraOnly[] = {IDC_CAMERA_VIEW, IDC_ENTER_HINT};
const int kPhotoOnly[] = {IDC_PHOTO_VIEW, IDC_EVENT_LIST, IDC_PHOTO_INFO, 1010, 1011, 1012,
                          IDC_BUTTON_IMAGE_FOLDER, IDC_BUTTON_PREVIOUS, IDC_BUTTON_NEXT};
const int kWindowed[] = {IDC_BUTTON_SETTINGS, IDC_BUTTON_SUPPORT, IDC_BUTTON_MINIMIZE, IDC_BUTTON_CLOSE, IDC_TAB_CAMERA,
                         IDC_TAB_FULL_SCREEN, IDC_TAB_PHOTO, IDC_RIGHT_BORDER, IDC_BOTTOM_BORDER, IDC_RESIZE_GRIP};

HICON loadIcon(UINT id, int size) {
    return static_cast<HICON>(LoadImageW(vnt::resourceModule(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

std::wstring text(UINT id, const wchar_t* fallback = L"") {
    std::wstring value;
    if (!VNTLanguageSelector::instance().loadString(id, value)) value = fallback;
    return value;
}

void moveWindow(HWND window, const Box& box) {
    if (window) MoveWindow(window, box.left, box.top, box.width(), box.height(), TRUE);
}

// The key's press, and whether the window it goes to is ours.
bool isOurs(HWND dialog, HWND target) { return target == dialog || IsChild(dialog, target); }

}  // namespace

// The main dialog runs in the platform's modal loop, which hands each message to the thread's
// message filter before the focused control or the dialog manager sees it: the only place to take
// keys first.
class CVNTUI_Skeo_MainDlg::KeyHook {
public:
    explicit KeyHook(CVNTUI_Skeo_MainDlg& dialog) : dialog_(dialog) {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_MSGFILTER, &KeyHook::filter, nullptr, GetCurrentThreadId());
        if (!hook_) vnt::trace(L"CVNTUI_Skeo_MainDlg: no keyboard filter (error %lu)", GetLastError());
    }
    ~KeyHook() {
        if (hook_) UnhookWindowsHookEx(hook_);
        if (current_ == this) current_ = nullptr;
    }

private:
    static LRESULT CALLBACK filter(int code, WPARAM wParam, LPARAM lParam) {
        if (code == MSGF_DIALOGBOX && current_ && lParam) {
            const MSG& msg = *reinterpret_cast<const MSG*>(lParam);
            if (current_->dialog_.hwnd() && isOurs(current_->dialog_.hwnd(), msg.hwnd) &&
                current_->dialog_.PreTranslateKey(msg))
                return 1;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    CVNTUI_Skeo_MainDlg& dialog_;
    HHOOK hook_ = nullptr;
    static KeyHook* current_;
};

CVNTUI_Skeo_MainDlg::KeyHook* CVNTUI_Skeo_MainDlg::KeyHook::current_ = nullptr;

// The template names its own class, a copy of the system dialog class, and the strips' class.
void CVNTUI_Skeo_MainDlg::RegisterClasses() {
    CVNTUI_Skeo_Border::RegisterBorderClass();
    HINSTANCE module = vnt::resourceModule();
    WNDCLASSW wc{};
    if (GetClassInfoW(module, kClassName, &wc) || !GetClassInfoW(nullptr, L"#32770", &wc)) return;
    wc.hInstance = module;
    wc.lpszClassName = kClassName;
    if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        vnt::trace(L"CVNTUI_Skeo_MainDlg: cannot register %ls (error %lu)", kClassName, GetLastError());
}

const wchar_t CVNTUI_Skeo_MainDlg::kClassName[] = L"VNTUI_Skeo_MainDlg";

CVNTUI_Skeo_MainDlg::CVNTUI_Skeo_MainDlg() : CVNTUI_TrayIcon(IDD_SKEO_MAINDLG) {
    RegisterClasses();
    rightBorder_ = std::make_unique<CVNTUI_Skeo_Border>(LoadCursorW(nullptr, IDC_SIZEWE));
    bottomBorder_ = std::make_unique<CVNTUI_Skeo_Border>(LoadCursorW(nullptr, IDC_SIZENS));
    grip_ = std::make_unique<CVNTUI_Skeo_BorderResizeAid>(LoadCursorW(nullptr, IDC_HAND));
}

CVNTUI_Skeo_MainDlg::~CVNTUI_Skeo_MainDlg() {
    // The frame hooks the list: it goes before the strip is taken down with the window.
    if (listFrame_) listFrame_->Detach();
}

BOOL CVNTUI_Skeo_MainDlg::OnInitDialog() {
    // The buttons' images decode while the rest is set up: on their own they held the start of
    // the camera back by a sixth of a second.
    std::vector<UINT> imageIds;
    for (const auto& images : kButtonImages) imageIds.insert(imageIds.end(), {images.normal, images.hover});
    toolkit::SkinImageBatch buttonImages(std::move(imageIds), vnt::windowDpi(hwnd()));
    bigIcon_.reset(loadIcon(IDI_SKEO, GetSystemMetrics(SM_CXICON)));
    smallIcon_.reset(loadIcon(IDI_SKEO, GetSystemMetrics(SM_CXSMICON)));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

    trayIcon_.reset(loadIcon(IDI_SKEO_TRAY, GetSystemMetrics(SM_CXSMICON)));
    setTrayTip(L"Skeo");
    setTrayIcon(trayIcon_.get());
    setTrayMenu(IDR_TRAY_MENU);
    addTrayIcon();

    SetWindowTextW(hwnd(), L"Skeo");
    SetWindowLongPtrW(hwnd(), GWL_STYLE, GetWindowLongPtrW(hwnd(), GWL_STYLE) | WS_MINIMIZEBOX);

    // The desktop's size at once, so that full screen and ordinary resizing need no new one.
    fitBackBuffer(GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    const int dpi = vnt::windowDpi(hwnd());
    if (!skeo::DisplayScale::inRange(dpi)) vnt::trace(L"CVNTUI_Skeo_MainDlg: %d DPI laid out as %d", dpi, skeo::DisplayScale(dpi).dpi());
    scale_ = skeo::DisplayScale(dpi);
    header_.LoadForDpi(kHeaderImage, scale_.dpi());
    // The smallest window of photo mode, which the first switch to camera mode shortens.
    const mainlayout::Size smallest = mainlayout::minimumWindow(photoExtra(), scale_);
    windowRect_ = RECT{0, 0, smallest.width, smallest.height};

    sfButton_.SetBackgroundColor(kPanelColour);
    if (sfButton_.Create(hwnd())) {
        sfButton_.SetNotifyWindow(hwnd(), MSG_SNAPSHOT_REQUEST);
        sfButton_.Repaint();
    }
    countdown_.SetBackgroundColor(kPanelColour);
    if (countdown_.Create(hwnd()))
        countdown_.SetNotifyWindow(hwnd(), MSG_COUNTDOWN_DONE);
    exposureOSD_.SetBackgroundColor(kPanelColour);
    exposureOSD_.Create(hwnd());

    createControls();
    menuBar_ = std::make_unique<CVNTUI_Skeo_MenuBar>();
    if (menuBar_->Create(hwnd()))
        dockMenuBar();
    else
        vnt::trace(L"CVNTUI_Skeo_MainDlg: no menu bar");

    loadButtonImages(buttonImages);
    infoLine_.UpdateText();  // "No Pictures" until a photo is shown
    EnterCameraMode();
    CenterOnScreen();
    PlaceOverlays();
    keyHook_ = std::make_unique<KeyHook>(*this);
    ReloadTexts();
    return TRUE;
}

void CVNTUI_Skeo_MainDlg::createControls() {
    cameraView_.Attach(GetDlgItem(hwnd(), IDC_CAMERA_VIEW));
    cameraView_.SetNotify(hwnd(), MSG_CAMERA_CLICKED);
    cameraView_.SetBkColor(RGB(0, 0, 0));
    photoView_.Attach(GetDlgItem(hwnd(), IDC_PHOTO_VIEW));
    photoView_.SetBkColor(kPanelColour);
    photoView_.SetCommandTarget(hwnd());
    photoView_.SetPrefetcher(&prefetcher_);
    turner_.SetNotify(hwnd(), MSG_PHOTOS_TURNED);
    hint_.SubclassDlgItem(IDC_ENTER_HINT, hwnd());
    hint_.SetTextColor(kInfoText);
    hint_.SetBkColor(kPanelColour);
    infoLine_.SubclassDlgItem(IDC_PHOTO_INFO, hwnd());
    infoLine_.SetTextColor(kInfoText);
    infoLine_.SetBkColor(kPanelColour);
    for (int i = 0; i < 3; ++i) {
        separators_[i].SubclassDlgItem(IDC_INFO_SEPARATOR_FIRST + i, hwnd());
        separators_[i].SetBkColor(kSeparator);
    }
    rightBorder_->Attach(GetDlgItem(hwnd(), IDC_RIGHT_BORDER));
    bottomBorder_->Attach(GetDlgItem(hwnd(), IDC_BOTTOM_BORDER));
    grip_->Attach(GetDlgItem(hwnd(), IDC_RESIZE_GRIP));

    HWND list = GetDlgItem(hwnd(), IDC_EVENT_LIST);
    eventList_.Attach(list);
    listSkin_.reset(toolkit::LoadSkinBitmap(kListSkin, scale_.dpi()));
    listFrame_ = std::make_unique<CSkinScrollWnd>();
    if (!listSkin_ || !listFrame_->Attach(listSkin_.get(), list)) {
        vnt::trace(L"CVNTUI_Skeo_MainDlg: the photo strip runs without its skinned frame");
        listFrame_.reset();
    }
    for (UINT i = 0; i < 10; ++i) buttons_[i].Attach(GetDlgItem(hwnd(), static_cast<int>(kFirstButton + i)));
}

void CVNTUI_Skeo_MainDlg::loadButtonImages(toolkit::SkinImageBatch& decoded) {
    for (UINT i = 0; i < 10; ++i) {
        buttons_[i].SetImages(kButtonImages[i].normal, kButtonImages[i].hover, decoded);
        if (i >= 4 && i <= 6) buttons_[i].SetPressOffset(false);  // the mode tabs
    }
}

void CVNTUI_Skeo_MainDlg::dockMenuBar() {
    HWND bar = menuBar_ ? menuBar_->hwnd() : nullptr;
    if (!bar) return;
    // GetParent would name the owner of the floating bar: ask for the real parent.
    if (GetAncestor(bar, GA_PARENT) != hwnd()) {
        SetWindowLongPtrW(bar, GWL_STYLE, (GetWindowLongPtrW(bar, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
        SetParent(bar, hwnd());
    }
    SetWindowRgn(bar, nullptr, TRUE);
    const Box docked = layoutControls(windowRect_.right - windowRect_.left, windowRect_.bottom - windowRect_.top).dockedMenuBar;
    SetWindowPos(bar, nullptr, docked.left, docked.top, docked.width(), docked.height(), SWP_NOZORDER | SWP_SHOWWINDOW);
}

mainlayout::Controls CVNTUI_Skeo_MainDlg::layoutControls(int width, int height) const {
    return mainlayout::controls(width, height, mainlayout::extraFor(mode_ == ModePhoto, scale_), scale_);
}

void CVNTUI_Skeo_MainDlg::applyDpi(int dpi) {
    scale_ = skeo::DisplayScale(dpi);
    header_.LoadForDpi(kHeaderImage, scale_.dpi());
    for (CGdipButton& button : buttons_) button.SetDpi(scale_.dpi());
    hint_.SetDpi(scale_.dpi());
    sfButton_.SetDpi(scale_.dpi());
    countdown_.SetDpi(scale_.dpi());
    exposureOSD_.SetDpi(scale_.dpi());
    eventList_.SetDpi(scale_.dpi());
    grip_->SetDpi(scale_.dpi());
    for (CColorStatic& separator : separators_) separator.SetDpi(scale_.dpi());
    if (menuBar_) {
        menuBar_->SetDpi(scale_.dpi());
        if (mode_ == ModeFullScreen && menuBar_->hwnd()) SetWindowRgn(menuBar_->hwnd(), menuBar_->CreateFloatingRegion(), TRUE);
    }
    // The strip's frame draws from the skin it holds: the old one goes only once the new one is taken.
    vnt::BitmapHandle skin(toolkit::LoadSkinBitmap(kListSkin, scale_.dpi()));
    if (listFrame_ && skin && listFrame_->SetDpi(scale_.dpi(), skin.get())) listSkin_ = std::move(skin);
}

void CVNTUI_Skeo_MainDlg::onDpiChanged(int dpi, const RECT& suggested) {
    if (skeo::DisplayScale(dpi).dpi() == scale_.dpi()) return;
    vnt::trace(L"CVNTUI_Skeo_MainDlg: the display scale changed from %d to %d DPI", scale_.dpi(), dpi);
    const skeo::DisplayScale before = scale_;
    applyDpi(dpi);
    if (mode_ == ModeFullScreen) {
        // The picture fills the new monitor; the window to return to is rescaled now.
        const mainlayout::Size normal =
            mainlayout::rescaledWindow(windowRect_.right - windowRect_.left, false, before, scale_);
        windowRect_ = RECT{0, 0, normal.width, normal.height};
        LayoutWindow(windowRect_, true);
        return;
    }
    const mainlayout::Size size =
        mainlayout::rescaledWindow(windowRect_.right - windowRect_.left, mode_ == ModePhoto, before, scale_);
    SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (menuBar_ && menuBar_->hwnd()) dockMenuBar();
    LayoutWindow(RECT{0, 0, size.width, size.height}, false);
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CVNTUI_Skeo_MainDlg::showControls(const int* ids, size_t count, bool show) {
    for (size_t i = 0; i < count; ++i)
        if (HWND control = GetDlgItem(hwnd(), ids[i])) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
    // The strip's frame took the list's id; the list itself stays shown inside it.
}

void CVNTUI_Skeo_MainDlg::setModeTabImages() {
    const bool photo = mode_ == ModePhoto;
    buttons_[IDC_TAB_CAMERA - kFirstButton].SetImage(photo ? 315 : 317);
    buttons_[IDC_TAB_PHOTO - kFirstButton].SetImage(photo ? 323 : 321);
}

void CVNTUI_Skeo_MainDlg::EnterCameraMode() {
    if (mode_ == ModeCamera) return;
    const ViewMode previous = mode_;
    // First: moving the window places the overlays, which must no longer see full screen.
    mode_ = ModeCamera;
    if (previous == ModePhoto) windowRect_.bottom -= photoExtra();
    if (previous == ModeFullScreen) {
        // However full screen ends (Escape, the tabs, the tray), the next one starts with its controls.
        controlsHidden_ = 0;
        dockMenuBar();
        SetWindowPos(hwnd(), nullptr, normalOrigin_.x, normalOrigin_.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    showControls(kPhotoOnly, sizeof kPhotoOnly / sizeof kPhotoOnly[0], false);
    if (menuBar_) menuBar_->SetMode(CVNTUI_Skeo_MenuBar::ModeCamera);
    LayoutWindow(windowRect_, false);
    showControls(kWindowed, sizeof kWindowed / sizeof kWindowed[0], true);
    showControls(kCameraOnly, sizeof kCameraOnly / sizeof kCameraOnly[0], true);
    if (previous == ModeFullScreen) RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
}

void CVNTUI_Skeo_MainDlg::EnterPhotoMode() {
    if (mode_ == ModePhoto) return;
    // The self-timer was for the live picture, which photo mode leaves.
    countdown_.Cancel();
    if (mode_ == ModeFullScreen) EnterCameraMode();
    mode_ = ModePhoto;
    showControls(kCameraOnly, sizeof kCameraOnly / sizeof kCameraOnly[0], false);
    windowRect_.bottom += photoExtra();
    if (menuBar_) menuBar_->SetMode(CVNTUI_Skeo_MenuBar::ModePhoto);
    LayoutWindow(windowRect_, false);
    showControls(kWindowed, sizeof kWindowed / sizeof kWindowed[0], true);
    showControls(kPhotoOnly, sizeof kPhotoOnly / sizeof kPhotoOnly[0], true);
    HWND list = eventList_.hwnd();
    const int focused = list ? ListView_GetNextItem(list, -1, LVNI_FOCUSED | LVNI_SELECTED) : -1;
    if (focused >= 0) ListView_EnsureVisible(list, focused, FALSE);
}

void CVNTUI_Skeo_MainDlg::EnterFullScreen() {
    if (mode_ == ModeFullScreen) return;
    if (mode_ == ModePhoto) windowRect_.bottom -= photoExtra();
    mode_ = ModeFullScreen;
    showControls(kWindowed, sizeof kWindowed / sizeof kWindowed[0], false);
    showControls(kPhotoOnly, sizeof kPhotoOnly / sizeof kPhotoOnly[0], false);
    if (HWND hint = hint_.hwnd()) ShowWindow(hint, SW_HIDE);
    RECT normal;
    GetWindowRect(hwnd(), &normal);
    normalOrigin_ = POINT{normal.left, normal.top};
    // Sized by hand rather than maximised, because without a window manager to grant it a
    // maximise request leaves the window as it was.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &monitor)) {
        const Box whole{monitor.rcMonitor.left, monitor.rcMonitor.top, monitor.rcMonitor.right, monitor.rcMonitor.bottom};
        const Box work{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom};
        const Box window = mainlayout::fullScreenWindow(mainlayout::Monitor{whole, work});
        SetWindowPos(hwnd(), nullptr, window.left, window.top, window.width(), window.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (menuBar_ && menuBar_->hwnd()) {
        menuBar_->SetMode(CVNTUI_Skeo_MenuBar::ModeCamera);
        // A window of its own over the picture, owned so that it stays above the dialog.
        HWND bar = menuBar_->hwnd();
        SetParent(bar, nullptr);
        SetWindowLongPtrW(bar, GWL_STYLE, (GetWindowLongPtrW(bar, GWL_STYLE) & ~WS_CHILD) | WS_POPUP);
        SetWindowLongPtrW(bar, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hwnd()));
        // Its corners cut while it floats; docking takes the region away again.
        SetWindowRgn(bar, menuBar_->CreateFloatingRegion(), TRUE);
    }
    LayoutWindow(windowRect_, true);
    SetFocus(hwnd());
}

void CVNTUI_Skeo_MainDlg::fitBackBuffer(int width, int height) {
    const mainlayout::Size smallest = mainlayout::minimumWindow(photoExtra(), scale_);
    const int w = std::max({width, backBuffer_.width(), smallest.width});
    const int h = std::max({height, backBuffer_.height(), smallest.height});
    if (backBuffer_.valid() && backBuffer_.width() == w && backBuffer_.height() == h) return;
    vnt::WindowDC screen(hwnd());
    if (!backBuffer_.create(screen.get(), w, h))
        vnt::trace(L"CVNTUI_Skeo_MainDlg: no back buffer of %dx%d (error %lu)", w, h, GetLastError());
}

void CVNTUI_Skeo_MainDlg::paintBackBuffer(int w, int h, bool fullScreen) {
    if (!backBuffer_.valid()) return;
    if (fullScreen) {
        backBuffer_.fill(RECT{0, 0, w, h}, RGB(0, 0, 0));
        return;
    }
    const mainlayout::Controls c = layoutControls(w, h);
    backBuffer_.fill(RECT{0, 0, w, c.header.bottom}, kHeaderColour);
    header_.draw(backBuffer_.dc(), c.headerImage.x, c.headerImage.y);
    vnt::PenHandle pen(CreatePen(PS_SOLID, 1, kHeaderOutline));
    HGDIOBJ old = SelectObject(backBuffer_.dc(), pen.get());
    std::vector<POINT> outline;
    for (const auto& p : mainlayout::headerOutline(w, scale_)) outline.push_back(POINT{p.x, p.y});
    Polyline(backBuffer_.dc(), outline.data(), static_cast<int>(outline.size()));
    SelectObject(backBuffer_.dc(), old);
    backBuffer_.fill(RECT{0, c.header.bottom, w, h}, kPanelColour);
}

void CVNTUI_Skeo_MainDlg::placePictures(const mainlayout::Box& picture) {
    for (CVNTUI_StaticPicture* view : {static_cast<CVNTUI_StaticPicture*>(&cameraView_),
                                       static_cast<CVNTUI_StaticPicture*>(&photoView_)}) {
        moveWindow(view->hwnd(), picture);
        view->SetBoxSize(picture.width(), picture.height());
        view->Render();
    }
}

void CVNTUI_Skeo_MainDlg::LayoutWindow(const RECT& rect, bool fullScreen) {
    if (fullScreen) {
        RECT client;
        GetClientRect(hwnd(), &client);
        const Box picture = mainlayout::fullScreenPicture(client.right, client.bottom);
        SetWindowRgn(hwnd(), nullptr, TRUE);
        fitBackBuffer(client.right, client.bottom);
        paintBackBuffer(client.right, client.bottom, true);
        placePictures(picture);
        ShowWindow(cameraView_.hwnd(), SW_SHOW);
        InvalidateRect(hwnd(), nullptr, FALSE);
        PlaceOverlays();
        return;
    }
    windowRect_ = rect;
    const int W = rect.right - rect.left, H = rect.bottom - rect.top;
    const int extra = mainlayout::extraFor(mode_ == ModePhoto, scale_);
    const mainlayout::Controls c = mainlayout::controls(W, H, extra, scale_);

    std::vector<mainlayout::Point> outline = mainlayout::windowOutline(W, H, scale_);
    std::vector<POINT> points;
    for (const auto& p : outline) points.push_back(POINT{p.x, p.y});
    SetWindowRgn(hwnd(), CreatePolygonRgn(points.data(), static_cast<int>(points.size()), ALTERNATE), TRUE);
    fitBackBuffer(W, H);
    paintBackBuffer(W, H, false);

    // Settings, support, minimise and close stand in the order of their ids, as do the three tabs.
    for (int i = 0; i < 4; ++i) buttons_[IDC_BUTTON_SETTINGS - kFirstButton + i].MoveTo(c.topButtons[i].x, c.topButtons[i].y);

    const Box picture = mainlayout::pictureArea(W, H, extra, scale_);
    placePictures(picture);

    buttons_[IDC_TAB_CAMERA - kFirstButton].MoveTo(c.modeTabs[0].x, c.modeTabs[0].y);
    buttons_[IDC_TAB_PHOTO - kFirstButton].MoveTo(c.modeTabs[1].x, c.modeTabs[1].y);
    buttons_[IDC_TAB_FULL_SCREEN - kFirstButton].MoveTo(c.modeTabs[2].x, c.modeTabs[2].y);
    setModeTabImages();
    for (UINT i = 0; i < 10; ++i) buttons_[i].RefreshBackground(backBuffer_.dc());

    if (mode_ == ModePhoto) {
        moveWindow(buttons_[IDC_BUTTON_PREVIOUS - kFirstButton].hwnd(), c.previousButton);
        moveWindow(listFrame_ ? listFrame_->hwnd() : eventList_.hwnd(), c.listFrame);
        moveWindow(buttons_[IDC_BUTTON_NEXT - kFirstButton].hwnd(), c.nextButton);
        layoutInfoLine();
    }
    moveWindow(hint_.hwnd(), c.hint);
    moveWindow(rightBorder_->hwnd(), c.rightBorder);
    moveWindow(bottomBorder_->hwnd(), c.bottomBorder);
    moveWindow(grip_->hwnd(), c.grip);

    POINT origin{rect.left, rect.top};
    ClientToScreen(hwnd(), &origin);
    SetWindowPos(hwnd(), nullptr, origin.x, origin.y, W, H, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd(), nullptr, FALSE);
    PlaceOverlays();
}

void CVNTUI_Skeo_MainDlg::layoutInfoLine() {
    RECT r = cameraView_.GetRectInParent();
    if (mode_ == ModePhoto) r = photoView_.GetRectInParent();
    const Box picture{r.left, r.top, r.right, r.bottom};
    const int gaps[3] = {infoLine_.gapOffset(0), infoLine_.gapOffset(1), infoLine_.gapOffset(2)};
    const mainlayout::InfoLine line = mainlayout::infoLine(picture, infoLine_.textWidth(), gaps, scale_);
    moveWindow(buttons_[IDC_BUTTON_IMAGE_FOLDER - kFirstButton].hwnd(), line.folderButton);
    buttons_[IDC_BUTTON_IMAGE_FOLDER - kFirstButton].RefreshBackground(backBuffer_.dc());
    moveWindow(infoLine_.hwnd(), line.line);
    for (int i = 0; i < 3; ++i) moveWindow(separators_[i].hwnd(), line.separators[i]);
}

void CVNTUI_Skeo_MainDlg::placeOverlay(HWND overlay, int x, int y, int width, int height, bool show) {
    if (!overlay) return;
    // Raised into the topmost band and back: above the dialog without staying above everything.
    SetWindowPos(overlay, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE);
    SetWindowPos(overlay, HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : 0));
}

void CVNTUI_Skeo_MainDlg::PlaceOverlays() {
    if (!cameraView_.hwnd()) return;
    if (!IsWindowVisible(hwnd()) || mode_ == ModePhoto) {
        for (HWND overlay : {sfButton_.hwnd(), countdown_.hwnd(), exposureOSD_.hwnd()})
            if (overlay) ShowWindow(overlay, SW_HIDE);
        return;
    }
    RECT r;
    GetWindowRect(cameraView_.hwnd(), &r);
    const mainlayout::Overlays o = mainlayout::overlays(Box{r.left, r.top, r.right, r.bottom}, scale_);
    const auto place = [this](HWND overlay, const Box& box, bool show) {
        placeOverlay(overlay, box.left, box.top, box.width(), box.height(), show);
    };
    place(countdown_.hwnd(), o.countdown, false);
    place(exposureOSD_.hwnd(), o.exposure, false);
    if (mode_ == ModeFullScreen && menuBar_ && menuBar_->hwnd()) {
        place(menuBar_->hwnd(), o.floatingMenuBar, !controlsHidden_);
        if (controlsHidden_) ShowWindow(menuBar_->hwnd(), SW_HIDE);
    }
    const bool showButton = (mode_ == ModeCamera || !controlsHidden_) && !photoInProgress();
    place(sfButton_.hwnd(), o.snapshotBar, showButton);
    if (!showButton && sfButton_.hwnd()) ShowWindow(sfButton_.hwnd(), SW_HIDE);
}

void CVNTUI_Skeo_MainDlg::ShowExposureIndicator(int value) {
    if (!IsWindowVisible(hwnd()) || IsIconic(hwnd()) || mode_ == ModePhoto) {
        vnt::trace(L"CVNTUI_Skeo_MainDlg: exposure %d not shown, the picture is not on screen", value);
        return;
    }
    exposureOSD_.ShowValue(value);
}

void CVNTUI_Skeo_MainDlg::ReloadTexts() {
    if (menuBar_) menuBar_->ReloadTexts();
    if (HWND hint = hint_.hwnd()) {
        SetWindowTextW(hint, text(IDS_PRESS_ENTER_HINT).c_str());
        if (IsWindowVisible(hint)) InvalidateRect(hint, nullptr, TRUE);
    }
    if (!infoLine_.notice().empty()) {
        infoLine_.SetNotice(text(IDS_PHOTO_CANNOT_BE_SHOWN, L"Cannot be shown"));
        infoLine_.UpdateText();
        layoutInfoLine();
    }
}

void CVNTUI_Skeo_MainDlg::onPaint() {
    vnt::PaintDC paint(hwnd());
    if (IsIconic(hwnd())) {
        RECT client;
        GetClientRect(hwnd(), &client);
        DrawIcon(paint.get(), (client.right - GetSystemMetrics(SM_CXICON)) / 2,
                 (client.bottom - GetSystemMetrics(SM_CYICON)) / 2, bigIcon_.get());
        return;
    }
    RECT client;
    GetClientRect(hwnd(), &client);
    if (client.right > backBuffer_.width() || client.bottom > backBuffer_.height()) {
        // Sized by something other than a layout (a display that grew): the background anew.
        fitBackBuffer(client.right, client.bottom);
        paintBackBuffer(client.right, client.bottom, mode_ == ModeFullScreen);
    }
    backBuffer_.copyTo(paint.get(), 0, 0, client.right, client.bottom, 0, 0);
}

void CVNTUI_Skeo_MainDlg::onWindowPosChanging(WINDOWPOS* pos) {
    if (!startHidden_ || !pos || !(pos->flags & SWP_SHOWWINDOW)) return;
    startHidden_ = 0;
    // Taking the show out of the change keeps the dialog hidden; hiding it here would nest a change.
    pos->flags &= ~SWP_SHOWWINDOW;
    vnt::trace(L"CVNTUI_Skeo_MainDlg: started at log-on, staying in the notification area");
    if (sfButton_.hwnd()) ShowWindow(sfButton_.hwnd(), SW_HIDE);
    if (countdown_.hwnd()) ShowWindow(countdown_.hwnd(), SW_HIDE);
}

void CVNTUI_Skeo_MainDlg::onDragResize(POINT screenPoint) {
    if (mode_ == ModeFullScreen) return;
    POINT p = screenPoint;
    ScreenToClient(hwnd(), &p);
    int w = 0, h = 0;
    if (!mainlayout::dragResize(p.x, p.y, mainlayout::extraFor(mode_ == ModePhoto, scale_), w, h, scale_)) return;
    RECT wanted{0, 0, w, h};
    if (!EqualRect(&wanted, &windowRect_)) LayoutWindow(wanted, false);
}

void CVNTUI_Skeo_MainDlg::onCameraClicked() {
    if (mode_ != ModeFullScreen || countdown_.IsRunning()) return;
    controlsHidden_ = !controlsHidden_;
    const int show = controlsHidden_ ? SW_HIDE : SW_SHOWNOACTIVATE;
    if (sfButton_.hwnd()) ShowWindow(sfButton_.hwnd(), show);
    if (menuBar_ && menuBar_->hwnd()) ShowWindow(menuBar_->hwnd(), show);
}

void CVNTUI_Skeo_MainDlg::onLeaveFullScreen() {
    if (mode_ == ModeFullScreen) EnterCameraMode();
}

INT_PTR CVNTUI_Skeo_MainDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        onPaint();
        return TRUE;
    case WM_ERASEBKGND:
        return SetMessageResult(1);
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(bigIcon_.get());
    case MSG_PHOTOS_TURNED:
        onPhotosTurned();
        return TRUE;
    case WM_WINDOWPOSCHANGING:
        onWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
        return FALSE;
    case WM_SHOWWINDOW:
        if (!wParam) {
            if (sfButton_.hwnd()) ShowWindow(sfButton_.hwnd(), SW_HIDE);
            if (countdown_.hwnd()) ShowWindow(countdown_.hwnd(), SW_HIDE);
        }
        return FALSE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            OnCloseButton();
            return TRUE;
        }
        break;
    case WM_CLOSE:
        // From the task list or another program: what the close button does, camera let go.
        OnCloseButton();
        return SetMessageResult(0);
    case WM_MOUSEMOVE:
        // The strips and the grip hand their drags on in screen coordinates.
        if (wParam == MK_LBUTTON) onDragResize(vnt::PointFromLParam(lParam));
        return TRUE;
    case WM_MOVE:
        PlaceOverlays();
        return FALSE;
    case WM_DPICHANGED:
        // The framework has made sure the rectangle is a record of ours.
        onDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return SetMessageResult(0);
    case WM_WINDOWPOSCHANGED:
        // The overlays follow the dialog onto the screen; placed before, they were kept hidden.
        if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) PlaceOverlays();
        return FALSE;
    case WM_NCHITTEST: {
        if (mode_ == ModeFullScreen) break;
        // The whole surface outside the child controls drags the window.
        const LRESULT hit = DefWindowProcW(hwnd(), message, wParam, lParam);
        return SetMessageResult(hit == HTCLIENT ? HTCAPTION : hit);
    }
    case WM_QUIT:
        OnOK();
        return SetMessageResult(0);
    case WM_COMMAND: {
        // Panel choices carry their value in lParam, not a control.
        const UINT id = LOWORD(wParam);
        if (id >= ID_EXPOSURE_PLUS2 && id <= ID_EXPOSURE_LEVEL) {
            OnExposureCommand(id, static_cast<int>(lParam));
            return TRUE;
        }
        if (id == ID_MIRROR_VERTICAL || id == ID_MIRROR_HORIZONTAL) {
            OnMirrorCommand(id, static_cast<int>(lParam));
            return TRUE;
        }
        break;
    }
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (onListNotify(*reinterpret_cast<const NMHDR*>(lParam), &result)) return SetMessageResult(result);
        break;
    }
    case WM_KEYDOWN: {
        // Sent by the menu bar: floating in full screen it is a window of its own, whose keys the
        // keyboard filter never sees, so it hands Enter and Escape on here.
        MSG key{};
        key.hwnd = hwnd();
        key.message = message;
        key.wParam = wParam;
        key.lParam = lParam;
        if (PreTranslateKey(key)) return SetMessageResult(0);
        break;
    }
    case MSG_CAMERA_CLICKED:
        onCameraClicked();
        return SetMessageResult(0);
    case MSG_SNAPSHOT_REQUEST:
    case MSG_COUNTDOWN_DONE:
        return SetMessageResult(0);
    case MSG_LEAVE_FULLSCREEN:
        onLeaveFullScreen();
        return SetMessageResult(0);
    default:
        break;
    }
    return CVNTUI_TrayIcon::DialogProc(message, wParam, lParam);
}

bool CVNTUI_Skeo_MainDlg::onListNotify(const NMHDR& header, LRESULT* result) {
    if (header.hwndFrom != eventList_.hwnd()) return false;
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_FOCUSED)) {
            const int focused = ListView_GetNextItem(eventList_.hwnd(), -1, LVNI_FOCUSED);
            if (focused >= 0) ShowPhoto(focused);
        }
        *result = 0;
        return true;
    }
    if (header.code == NM_RCLICK) {
        showListContextMenu();
        *result = 0;
        return true;
    }
    return false;
}

void CVNTUI_Skeo_MainDlg::showListContextMenu() {
    static const MenuItemText kTexts[] = {
        {ID_CTX_DELETE, IDS_CTX_DELETE},
        {ID_CTX_COPY, IDS_CTX_COPY},
        {ID_CTX_SAVE_AS_PDF, IDS_CTX_SAVE_AS_PDF},
        {ID_CTX_GO_TO_IMAGE_FOLDER, IDS_CTX_GO_TO_IMAGE_FOLDER}};
    vnt::MenuHandle menu = LoadLocalizedMenu(IDR_LIST_CONTEXT_MENU, kTexts, sizeof kTexts / sizeof kTexts[0]);
    POINT cursor;
    GetCursorPos(&cursor);
    if (menu) TrackPopupInFront(GetSubMenu(menu.get(), 0), cursor, hwnd());
}

bool CVNTUI_Skeo_MainDlg::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case IDC_BUTTON_SETTINGS: OnSettingsButton(); return true;
    case IDC_BUTTON_SUPPORT: openSupportPage(); return true;
    case IDC_BUTTON_MINIMIZE: ShowWindow(hwnd(), SW_MINIMIZE); return true;
    case IDC_BUTTON_CLOSE: OnCloseButton(); return true;
    case IDC_TAB_CAMERA: EnterCameraMode(); return true;
    case IDC_TAB_FULL_SCREEN: EnterFullScreen(); return true;
    case IDC_TAB_PHOTO: EnterPhotoMode(); return true;
    case IDC_BUTTON_IMAGE_FOLDER: OnImageFolderButton(); return true;
    case IDC_BUTTON_PREVIOUS: eventList_.moveSelection(-1); return true;
    case IDC_BUTTON_NEXT: eventList_.moveSelection(1); return true;
    case ID_TRAY_OPEN: OnTrayOpen(); return true;
    case ID_TRAY_ABOUT: OnTrayAbout(); return true;
    case ID_TRAY_CLOSE: OnOK(); return true;
    case IDOK:
    case IDCANCEL:
        // Enter and Escape are the dialog's keys, taken before the dialog manager sees them; a
        // stray IDCANCEL (the close box) goes to the tray as the base does.
        if (id == IDCANCEL) CVNTUI_TrayIcon::OnCommand(id, code, control);
        return true;
    default:
        break;
    }
    if (id >= ID_ZOOM_CAM_1X && id <= ID_ZOOM_CAM_3X) OnZoomCamCommand(id);
    else if (id == ID_EXPOSURE_MODE_ON || id == ID_EXPOSURE_MODE_OFF) OnExposureModeCommand(id);
    else if (id >= ID_TIMER_OFF && id <= ID_TIMER_10_SEC) OnTimerCommand(id);
    else if (id >= ID_RESOLUTION_1600X1200 && id <= ID_RESOLUTION_320X240) OnResolutionCommand(id);
    else if (id >= ID_ZOOM_PIC_100 && id <= ID_ZOOM_PIC_300) OnZoomPicCommand(id);
    else if (id == ID_ROTATE_RIGHT || id == ID_ROTATE_LEFT) OnRotateCommand(id);
    else if (id == ID_DELETE_PHOTO || id == ID_DELETE_PHOTO_LAST) OnDeleteCommand(id);
    else if (id >= ID_CTX_ZOOM_IN && id <= ID_CTX_SAVE_AS_PDF) OnContextCommand(id);
    else return CVNTUI_TrayIcon::OnCommand(id, code, control);
    return true;
}

void CVNTUI_Skeo_MainDlg::openSupportPage() {
    const std::wstring url = text(IDS_SUPPORT_URL);
    if (url.empty()) return;
    const HINSTANCE result = ShellExecuteW(hwnd(), L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32) vnt::trace(L"CVNTUI_Skeo_MainDlg: cannot open %ls", url.c_str());
}

bool CVNTUI_Skeo_MainDlg::PreTranslateKey(const MSG& msg) {
    if (msg.message == WM_SYSKEYDOWN) {
        if (msg.wParam == VK_F4) OnCloseButton();
        return true;
    }
    if (msg.message == WM_MOUSEWHEEL) {
        if (mode_ == ModePhoto) {
            if (GET_WHEEL_DELTA_WPARAM(msg.wParam) > 0)
                ZoomPhotoIn();
            else
                ZoomPhotoOut();
        }
        return true;
    }
    if (msg.message != WM_KEYDOWN) return false;
    const WPARAM key = msg.wParam;
    if (mode_ != ModePhoto) {
        if (key == VK_ESCAPE) {
            SendMessageW(hwnd(), MSG_LEAVE_FULLSCREEN, 0, 0);
            return true;
        }
        if (key == VK_RETURN) {
            SendMessageW(hwnd(), MSG_SNAPSHOT_REQUEST, 0, 0);
            return true;
        }
        return false;
    }
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT: {
        // Held down, the key repeats far faster than photos can be looked at.
        static DWORD lastAccepted = 0;
        const DWORD now = GetTickCount();
        if (lastAccepted == 0 || now - lastAccepted >= kArrowRepeatMs) {
            lastAccepted = now ? now : 1;
            eventList_.moveSelection(key == VK_LEFT ? -1 : 1);
        }
        break;
    }
    case VK_DELETE:
        DeleteSelectedPhotos();
        break;
    case 'A':
        if (control && eventList_.hwnd()) ListView_SetItemState(eventList_.hwnd(), -1, LVIS_SELECTED, LVIS_SELECTED);
        break;
    case 'C':
        if (control) photoView_.CopyToClipboard();
        break;
    case 'S':
        if (control) OnContextCommand(ID_CTX_SAVE_AS_PDF);
        break;
    case VK_ADD:
    case VK_OEM_PLUS:
        ZoomPhotoIn();
        break;
    case VK_SUBTRACT:
    case VK_OEM_MINUS:
        ZoomPhotoOut();
        break;
    default:
        break;
    }
    return true;
}

void CVNTUI_Skeo_MainDlg::OnOK() {
    vnt::trace(L"CVNTUI_Skeo_MainDlg: OK path, ending the program");
    if (aboutBox_) aboutBox_->Close();
    keyHook_.reset();
    EndDialog(IDOK);
}

void CVNTUI_Skeo_MainDlg::OnSettingsButton() {
    if (settingsSheet_) {
        if (HWND sheet = GetLastActivePopup(hwnd())) BringToFront(sheet);
        return;
    }
    CVNTUI_Skeo_SettingsPropSheet sheet(VNTSkeoDatabaseManager::instance());
    settingsSheet_ = &sheet;
    sheet.DoModal(hwnd());
    settingsSheet_ = nullptr;
}

void CVNTUI_Skeo_MainDlg::OnCloseButton() {
    EnterCameraMode();
    countdown_.Cancel();
    if (sfButton_.hwnd()) ShowWindow(sfButton_.hwnd(), SW_HIDE);
    if (countdown_.hwnd()) ShowWindow(countdown_.hwnd(), SW_HIDE);
    MinimizeToTray();
    ShowWindow(hwnd(), SW_HIDE);
}

void CVNTUI_Skeo_MainDlg::OnTrayOpen() {
    if (!IsWindowVisible(hwnd())) RestoreFromTray();
    EnterCameraMode();
    BringToFront(hwnd());
    if (sfButton_.hwnd()) BringToFront(sfButton_.hwnd());
    CenterOnScreen();
    PlaceOverlays();
}

void CVNTUI_Skeo_MainDlg::OnTrayAbout() {
    if (aboutBox_) return;
    CVNTUI_Skeo_AboutBox box;
    aboutBox_ = &box;
    box.DoModal(nullptr);
    aboutBox_ = nullptr;
}

void CVNTUI_Skeo_MainDlg::OnZoomCamCommand(UINT id) {
    if (menuBar_) menuBar_->ReflectCameraCommand(0, static_cast<int>(id));
}

void CVNTUI_Skeo_MainDlg::OnTimerCommand(UINT id) {
    if (menuBar_) menuBar_->ReflectCameraCommand(0, static_cast<int>(id));
}

void CVNTUI_Skeo_MainDlg::OnMirrorCommand(UINT id, int newState) {
    if (menuBar_) menuBar_->ReflectCameraCommand(newState, static_cast<int>(id));
}

bool CVNTUI_Skeo_MainDlg::OnResolutionCommand(UINT id) {
    if (menuBar_) menuBar_->ReflectCameraCommand(0, static_cast<int>(id));
    return true;
}

void CVNTUI_Skeo_MainDlg::OnExposureCommand(UINT id, int level) {
    ShowExposureIndicator(id == ID_EXPOSURE_LEVEL ? level : static_cast<int>(id));
    if (menuBar_) menuBar_->ReflectCameraCommand(level, static_cast<int>(id));
}

void CVNTUI_Skeo_MainDlg::OnExposureModeCommand(UINT id) {
    if (menuBar_) menuBar_->ReflectCameraCommand(0, static_cast<int>(id));
}

void CVNTUI_Skeo_MainDlg::OnZoomPicCommand(UINT id) {
    photoView_.SetZoomStep(static_cast<int>(id) - ID_ZOOM_PIC_100);
    if (menuBar_) menuBar_->ReflectPhotoCommand(static_cast<int>(id));
}

bool CVNTUI_Skeo_MainDlg::ZoomPhotoIn() {
    if (mode_ != ModePhoto) return false;
    const int step = photoView_.zoomStep();
    OnZoomPicCommand(ID_ZOOM_PIC_100 + (step < 5 ? step + 1 : step));
    return true;
}

bool CVNTUI_Skeo_MainDlg::ZoomPhotoOut() {
    if (mode_ != ModePhoto) return false;
    const int step = photoView_.zoomStep();
    OnZoomPicCommand(ID_ZOOM_PIC_100 + (step > 0 ? step - 1 : step));
    return true;
}

void CVNTUI_Skeo_MainDlg::OnRotateCommand(UINT id) {
    OnZoomPicCommand(ID_ZOOM_PIC_100);
    const Gdiplus::RotateFlipType turn = id == ID_ROTATE_RIGHT ? Gdiplus::Rotate90FlipNone : Gdiplus::Rotate270FlipNone;
    const std::wstring shown = photoView_.pictureFileName();
    bool shownTurns = false;
    for (const VNTSkeoEvent& record : eventList_.selectedEvents()) {
        turner_.Turn(record.fullPath(), turn);
        shownTurns = shownTurns || record.fullPath() == shown;
    }
    // The photo shown turns at once on screen; its file follows on the worker.
    if (shownTurns && photoView_.hasPicture() && photoView_.TurnShown(turn)) {
        infoLine_.SetPhoto(shown, photoView_.pictureWidth(), photoView_.pictureHeight());
        infoLine_.UpdateText();
        layoutInfoLine();
    }
    if (menuBar_) menuBar_->ReflectPhotoCommand(static_cast<int>(id));
}

void CVNTUI_Skeo_MainDlg::onPhotosTurned() {
    const std::vector<std::pair<std::wstring, bool>> done = turner_.TakeFinished();
    std::vector<std::wstring> paths;
    for (const auto& [path, turned] : done) {
        paths.push_back(path);
        // With more turns of it to come, the last one's notice settles what is shown.
        if (path != photoView_.pictureFileName() || turner_.Pending(path)) continue;
        // On screen is the photo turned in memory, or the file as it was when it was shown again
        // before its turn was done; a file its turn left as it was is shown as it is.
        picture::Bytes bytes;
        int width = 0, height = 0;
        const bool sameShape = turned && photoView_.hasPicture() && picture::readFile(path.c_str(), bytes) &&
                               skeo::readJpegSize(bytes.data(), bytes.size(), width, height) &&
                               width == photoView_.pictureWidth() && height == photoView_.pictureHeight();
        if (!sameShape) showPhotoFile(path, false);
    }
    eventList_.reloadThumbnails(paths);
}

void CVNTUI_Skeo_MainDlg::OnDeleteCommand(UINT id) {
    DeleteSelectedPhotos();
    if (menuBar_) menuBar_->ReflectPhotoCommand(static_cast<int>(id));
}

void CVNTUI_Skeo_MainDlg::OnContextCommand(UINT id) {
    switch (id) {
    case ID_CTX_ZOOM_IN: ZoomPhotoIn(); break;
    case ID_CTX_ZOOM_OUT: ZoomPhotoOut(); break;
    case ID_CTX_ROTATE_RIGHT: OnRotateCommand(ID_ROTATE_RIGHT); break;
    case ID_CTX_ROTATE_LEFT: OnRotateCommand(ID_ROTATE_LEFT); break;
    case ID_CTX_DELETE: OnDeleteCommand(ID_DELETE_PHOTO); break;
    case ID_CTX_COPY: photoView_.CopyToClipboard(); break;
    case ID_CTX_SAVE_AS_PDF: SaveSelectedAsPdf(); break;
    default: break;  // "Go to Image Folder" is the controller's
    }
}

void CVNTUI_Skeo_MainDlg::ShowPhoto(int item) {
    const VNTSkeoEvent* record = eventList_.eventAt(item);
    if (!record) return;
    showPhotoFile(record->fullPath(), true);
    prefetchAround(item);
}

void CVNTUI_Skeo_MainDlg::prefetchAround(int item) {
    const int way = item < lastShownItem_ ? -1 : 1;
    lastShownItem_ = item;
    const int count = eventList_.itemCount();
    std::vector<std::wstring> paths;
    // The arrows wrap around at both ends, and so do the neighbours.
    for (int offset : {way, -way, 2 * way}) {
        const int neighbour = ((item + offset) % count + count) % count;
        const VNTSkeoEvent* record = neighbour != item ? eventList_.eventAt(neighbour) : nullptr;
        if (record && std::find(paths.begin(), paths.end(), record->fullPath()) == paths.end())
            paths.push_back(record->fullPath());
    }
    const RECT client = photoView_.GetClientRect();
    prefetcher_.want(paths, {photoView_.boxWidth(), photoView_.boxHeight()},
                     {client.right - client.left, client.bottom - client.top});
}

void CVNTUI_Skeo_MainDlg::showPhotoFile(const std::wstring& path, bool skipIfShown) {
    const int loaded = photoView_.Load(path, skipIfShown);
    if (loaded == 0) return;  // shown already
    // At 100 %; without a picture the view is cleared to its background.
    if (photoView_.zoomStep() != 0)
        photoView_.SetZoomStep(0);
    else
        photoView_.Render();
    if (loaded == 1) {
        infoLine_.SetPhoto(path, photoView_.pictureWidth(), photoView_.pictureHeight());
    } else {
        // Deleted or damaged behind our back: nothing of the photo shown before may stay.
        vnt::trace(L"CVNTUI_Skeo_MainDlg: %ls cannot be shown", path.c_str());
        infoLine_.SetUnavailable(path, text(IDS_PHOTO_CANNOT_BE_SHOWN, L"Cannot be shown"));
    }
    infoLine_.UpdateText();
    layoutInfoLine();
    if (menuBar_) menuBar_->ReflectPhotoCommand(ID_ZOOM_PIC_100 + photoView_.zoomStep());
}

void CVNTUI_Skeo_MainDlg::SaveSelectedAsPdf() {
    std::vector<std::wstring> photos;
    for (const VNTSkeoEvent& record : eventList_.selectedEvents()) photos.push_back(record.fullPath());
    if (photos.empty()) return;
    // A turn still in hand rewrites its photo: the PDF takes the photo as it is shown.
    turner_.WaitIdle();
    PhotoPdfSaver::save(hwnd(), photos, VNTSkeoDatabaseManager::instance().photoLibraryLocation());
    if (eventList_.hwnd()) SetFocus(eventList_.hwnd());
}

void CVNTUI_Skeo_MainDlg::DeleteSelectedPhotos() {
    HWND list = eventList_.hwnd();
    if (!list) return;
    SetFocus(list);
    if (ListView_GetSelectedCount(list) == 0) return;
    const std::wstring question = text(IDS_CONFIRM_DELETE, L"Delete selected photo(s)?");
    if (MessageBoxW(hwnd(), question.c_str(), L"Skeo", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
        SetFocus(list);
        return;
    }
    // A turn still in hand would write a deleted photo back.
    turner_.WaitIdle();
    const int count = eventList_.itemCount();
    const std::vector<int> selected = eventList_.selectedIndices();
    if (selected.empty()) return;
    VNTSkeoDatabaseManager& database = VNTSkeoDatabaseManager::instance();
    // By record: while the strip is still filling it holds only part of the index.
    for (int i : selected)
        if (const VNTSkeoEvent* record = eventList_.eventAt(i)) database.removeEvent(*record, count - i - 1);
    eventList_.removeItems(selected);
    const int left = eventList_.itemCount();
    if (left == 0) {
        photoView_.ReleasePicture();
        photoView_.Render();
        infoLine_.Clear();
        infoLine_.UpdateText();
        layoutInfoLine();
    } else {
        const int next = selected.front() < left ? selected.front() : left - 1;
        eventList_.selectOnly(next);
        ShowPhoto(next);
    }
    SetFocus(list);
}

void CVNTUI_Skeo_MainDlg::ShowTrayMenu(POINT point) {
    static const MenuItemText kTexts[] = {
        {ID_TRAY_OPEN, IDS_TRAY_OPEN}, {ID_TRAY_ABOUT, IDS_TRAY_ABOUT}, {ID_TRAY_CLOSE, IDS_TRAY_CLOSE}};
    vnt::MenuHandle menu = LoadLocalizedMenu(IDR_TRAY_MENU, kTexts, 3);
    HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup) return;
    SetMenuDefaultItem(popup, ID_TRAY_OPEN, FALSE);
    TrackTrayPopup(popup, point);
}
