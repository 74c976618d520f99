#include "ui/CVNTUI_Skeo_AboutBox.h"

#include "app/VNTLanguageSelector.h"
#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "framework/Trace.h"
#include "framework/Window.h"
#include "resources/StringIds.h"
#include "resources/resource.h"

namespace {

constexpr wchar_t kClassName[] = L"VNTUI_Skeo_AboutBox";
constexpr UINT kLogoImage = 499;

// The template names a class of its own, a copy of the system dialog class with a drop shadow:
// putting the shadow on the system class would give it to every dialog the process opens later.
void registerAboutBoxClass() {
    static bool registered = false;
    if (registered) return;
    HINSTANCE module = vnt::resourceModule();
    WNDCLASSW wc{};
    if (!GetClassInfoW(nullptr, L"#32770", &wc)) return;
    wc.hInstance = module;
    wc.lpszClassName = kClassName;
    wc.style |= CS_DROPSHADOW;
    registered = RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    if (!registered) vnt::trace(L"CVNTUI_Skeo_AboutBox: cannot register %s (error %lu)", kClassName, GetLastError());
}

}  // namespace

bool CVNTUI_Skeo_AboutBox::fading_ = false;

CVNTUI_Skeo_AboutBox::CVNTUI_Skeo_AboutBox() : CDialogBase(IDD_ABOUTBOX) { registerAboutBoxClass(); }

void CVNTUI_Skeo_AboutBox::SetFirmwareVersion(const std::wstring& version) {
    firmware_ = version;
    ReloadTexts();
}

BOOL CVNTUI_Skeo_AboutBox::OnInitDialog() {
    for (int i = 0; i < 5; ++i) {
        CColorStatic& text = texts_[i];
        text.SubclassDlgItem(IDC_ABOUT_TITLE + i, hwnd_);
        text.SetTransparent(true);
        text.SetTextColor(kText);
    }
    link_.Attach(GetDlgItem(hwnd_, IDC_ABOUT_LINK));
    link_.SetColours(kText, kText, kText);
    link_.SetFont(reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
    link_.SetBackgroundColour(kBackground);
    SetDpi(vnt::windowDpi(hwnd_));
    ReloadTexts();
    // Shown by the fade; the dialog manager's own show then finds it visible.
    if (!AnimateWindow(hwnd_, kFadeMs, AW_BLEND | AW_ACTIVATE)) ShowWindow(hwnd_, SW_SHOW);
    return TRUE;
}

void CVNTUI_Skeo_AboutBox::SetDpi(int dpi) {
    if (dpi <= 0) return;
    dpi_ = dpi;
    logo_.LoadForDpi(kLogoImage, dpi);
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void CVNTUI_Skeo_AboutBox::ReloadTexts() {
    if (!hwnd_) return;
    const VNTLanguageSelector& language = VNTLanguageSelector::instance();
    auto text = [&](UINT id) {
        std::wstring s;
        language.loadString(id, s);
        return s;
    };
    const std::wstring lines[5] = {text(IDS_ABOUT_TITLE), text(IDS_ABOUT_FIRMWARE_VERSION) + firmware_,
                                   text(IDS_ABOUT_SOFTWARE_VERSION) + text(IDS_VERSION), text(IDS_ABOUT_COPYRIGHT),
                                   text(IDS_ABOUT_RIGHTS)};
    // The statics repaint what lies under them only when shown (CColorStatic).
    for (int i = 0; i < 5; ++i) SetDlgItemTextW(hwnd_, IDC_ABOUT_TITLE + i, lines[i].c_str());
    const std::wstring address = text(IDS_ABOUT_WEB_ADDRESS);
    SetDlgItemTextW(hwnd_, IDC_ABOUT_LINK, address.c_str());
    link_.SetURL(address);
}

void CVNTUI_Skeo_AboutBox::paintBackground(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    vnt::BackBuffer buffer;
    if (!buffer.create(dc, client.right, client.bottom)) return;
    buffer.fill(kBackground);
    logo_.draw(buffer.dc(), logoLeft(), (client.bottom - logo_.height()) / 2);
    buffer.copyTo(dc);
}

void CVNTUI_Skeo_AboutBox::fadeOutAndEnd() {
    if (ending_ || fading_) return;
    ending_ = true;
    fading_ = true;
    // Activation must fall back to the owner as the box disappears, not to another program:
    // EndDialog would enable it only after the fade.
    if (HWND owner = GetWindow(hwnd_, GW_OWNER)) EnableWindow(owner, TRUE);
    if (!AnimateWindow(hwnd_, kFadeMs, AW_BLEND | AW_HIDE)) ShowWindow(hwnd_, SW_HIDE);
    fading_ = false;
    EndDialog(IDOK);
}

void CVNTUI_Skeo_AboutBox::Close() {
    if (!hwnd_ || ending_) return;
    ending_ = true;
    EndDialog(IDOK);
}

INT_PTR CVNTUI_Skeo_AboutBox::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        paintBackground(reinterpret_cast<HDC>(wParam));
        return SetMessageResult(1);
    case WM_PRINTCLIENT:
        // The fades draw the box through this.
        paintBackground(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_LBUTTONDOWN:
        fadeOutAndEnd();
        return TRUE;
    case WM_DPICHANGED:
        // The dialog manager scales the box and its template's fonts; the logo is ours.
        SetDpi(LOWORD(wParam));
        break;
    default:
        break;
    }
    return CDialogBase::DialogProc(message, wParam, lParam);
}
