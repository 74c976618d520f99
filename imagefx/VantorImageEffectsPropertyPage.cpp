#include "imagefx/VantorImageEffectsPropertyPage.h"

#include "imagefx/resource.h"

#include <commctrl.h>

#include <cwchar>

namespace {

constexpr float kZoomSteps[kVantorZoomSteps] = {1.0f, 1.25f, 1.5f, 2.0f, 2.5f, 3.0f};

}  // namespace

int zoomStepOf(float zoom) noexcept {
    for (int i = 0; i < kVantorZoomSteps; ++i)
        if (zoom == kZoomSteps[i]) return i;  // the steps are exact in binary
    return 0;
}

float zoomOfStep(int step) noexcept { return step >= 0 && step < kVantorZoomSteps ? kZoomSteps[step] : 1.0f; }

CVantorImageEffectsPropertyPage::CVantorImageEffectsPropertyPage() noexcept
    : BasePropertyPage(IDD_VANTOR_EFFECTS_PAGE, IDS_VANTOR_EFFECTS_TITLE) {
    // The dialog's trackbar needs its window class before the page is measured or shown.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
}

HRESULT CVantorImageEffectsPropertyPage::OnConnect(IUnknown* object) {
    if (!object) return E_POINTER;
    HRESULT hr = object->QueryInterface(IID_IIPEffectVantor, reinterpret_cast<void**>(&effects_));
    if (FAILED(hr)) {
        effects_ = nullptr;
        return hr;
    }
    // A getter that fails leaves the page's own value, so the page still opens.
    effects_->get_Flip(&flip_);
    effects_->get_Mirror(&mirror_);
    effects_->get_Zoom(&zoom_);
    active_ = false;
    return S_OK;
}

HRESULT CVantorImageEffectsPropertyPage::OnDisconnect() {
    if (effects_) {
        effects_->Release();
        effects_ = nullptr;
    }
    return S_OK;
}

HRESULT CVantorImageEffectsPropertyPage::OnActivate() {
    const HWND page = window();
    CheckDlgButton(page, IDC_EFFECTS_FLIP, flip_ ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_EFFECTS_MIRROR, mirror_ ? BST_CHECKED : BST_UNCHECKED);
    showZoom(zoom_);
    const HWND trackbar = GetDlgItem(page, IDC_EFFECTS_ZOOM);
    SendMessageW(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(0, kVantorZoomSteps - 1));
    SendMessageW(trackbar, TBM_SETPOS, TRUE, zoomStepOf(zoom_));
    active_ = true;
    return S_OK;
}

HRESULT CVantorImageEffectsPropertyPage::OnDeactivate() {
    active_ = false;
    readControls();
    return S_OK;
}

HRESULT CVantorImageEffectsPropertyPage::OnApplyChanges() {
    if (!effects_) return E_POINTER;
    readControls();
    HRESULT hr = effects_->put_Flip(flip_);
    if (SUCCEEDED(hr)) hr = effects_->put_Mirror(mirror_);
    if (SUCCEEDED(hr)) hr = effects_->put_Zoom(zoom_);
    return hr;
}

INT_PTR CVantorImageEffectsPropertyPage::OnReceiveMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (active_ && HIWORD(wParam) == BN_CLICKED &&
            (LOWORD(wParam) == IDC_EFFECTS_MIRROR || LOWORD(wParam) == IDC_EFFECTS_FLIP))
            setDirty();
        return TRUE;
    case WM_HSCROLL:
        // A new zoom step is a change like a ticked box: without it, OK would drop the new zoom.
        if (active_ && reinterpret_cast<HWND>(lParam) == GetDlgItem(window(), IDC_EFFECTS_ZOOM)) {
            const int step = static_cast<int>(SendMessageW(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0));
            showZoom(zoomOfStep(step));
            setDirty();
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void CVantorImageEffectsPropertyPage::readControls() noexcept {
    const HWND page = window();
    if (!page) return;
    flip_ = IsDlgButtonChecked(page, IDC_EFFECTS_FLIP) == BST_CHECKED;
    mirror_ = IsDlgButtonChecked(page, IDC_EFFECTS_MIRROR) == BST_CHECKED;
    const int step = static_cast<int>(SendDlgItemMessageW(page, IDC_EFFECTS_ZOOM, TBM_GETPOS, 0, 0));
    zoom_ = zoomOfStep(step);
    showZoom(zoom_);
}

void CVantorImageEffectsPropertyPage::showZoom(float zoom) noexcept {
    wchar_t text[32];
    std::swprintf(text, sizeof(text) / sizeof(text[0]), L"%.2f", static_cast<double>(zoom));
    SetDlgItemTextW(window(), IDC_EFFECTS_ZOOM_VALUE, text);
}

HRESULT CreateVantorImageEffectsPropertyPage(IUnknown* outer, REFIID riid, void** ppv) noexcept {
    return dshow::createPropertyPage<CVantorImageEffectsPropertyPage>(outer, riid, ppv);
}
