#include "dshow/BasePropertyPage.h"

#include <cstring>

namespace dshow {

namespace {

// Lets the page be measured without its own procedure seeing a second dialog.
INT_PTR CALLBACK measureProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

BasePropertyPage::BasePropertyPage(UINT dialogId, UINT titleId) noexcept : dialogId_(dialogId), titleId_(titleId) {}

BasePropertyPage::~BasePropertyPage() {
    // A frame that let go without deactivating must not leave a window calling into freed memory.
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
    if (site_) site_->Release();
}

void BasePropertyPage::lastReleased() {
    if (connected_) OnDisconnect();
}

STDMETHODIMP BasePropertyPage::SetPageSite(IPropertyPageSite* site) {
    if (site) {
        if (site_) return E_UNEXPECTED;
        site->AddRef();
        site_ = site;
    } else if (site_) {
        site_->Release();
        site_ = nullptr;
    }
    return S_OK;
}

STDMETHODIMP BasePropertyPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (!rect) return E_POINTER;
    if (hwnd_) return E_UNEXPECTED;
    const HWND hwnd = CreateDialogParamW(thisModule(), MAKEINTRESOURCEW(dialogId_), parent,
                                         &BasePropertyPage::dialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd) {
        const DWORD error = GetLastError();
        return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
    }
    const HRESULT hr = OnActivate();
    if (FAILED(hr)) {
        DestroyWindow(hwnd);
        return hr;
    }
    return Move(rect);
}

STDMETHODIMP BasePropertyPage::Deactivate() {
    if (!hwnd_) return E_UNEXPECTED;
    const HRESULT hr = OnDeactivate();
    DestroyWindow(hwnd_);  // clears hwnd_ on its way out
    return hr;
}

STDMETHODIMP BasePropertyPage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) return E_POINTER;
    std::memset(info, 0, sizeof(*info));
    info->cb = sizeof(*info);

    const wchar_t* text = nullptr;
    const int length = LoadStringW(thisModule(), titleId_, reinterpret_cast<LPWSTR>(&text), 0);
    auto* title = static_cast<LPOLESTR>(CoTaskMemAlloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (!title) return E_OUTOFMEMORY;
    if (length > 0) std::memcpy(title, text, static_cast<size_t>(length) * sizeof(wchar_t));
    title[length] = L'\0';

    // Dialog units become pixels only through the template's font on a real window.
    const HWND probe = CreateDialogParamW(thisModule(), MAKEINTRESOURCEW(dialogId_), GetDesktopWindow(),
                                          &measureProc, 0);
    if (!probe) {
        CoTaskMemFree(title);
        const DWORD error = GetLastError();
        return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
    }
    RECT r{};
    GetWindowRect(probe, &r);
    DestroyWindow(probe);
    info->pszTitle = title;
    info->size.cx = r.right - r.left;
    info->size.cy = r.bottom - r.top;
    return S_OK;
}

STDMETHODIMP BasePropertyPage::SetObjects(ULONG count, IUnknown** objects) {
    if (count > 0 && (!objects || !objects[0])) return E_POINTER;
    if (connected_) {
        connected_ = false;
        OnDisconnect();
    }
    if (count == 0) return S_OK;
    const HRESULT hr = OnConnect(objects[0]);
    if (FAILED(hr)) {
        // Whatever the page took before failing is let go here, once.
        OnDisconnect();
        return hr;
    }
    connected_ = true;
    return S_OK;
}

STDMETHODIMP BasePropertyPage::Show(UINT cmdShow) {
    if (!hwnd_) return E_UNEXPECTED;
    ShowWindow(hwnd_, static_cast<int>(cmdShow));
    InvalidateRect(hwnd_, nullptr, TRUE);
    return S_OK;
}

STDMETHODIMP BasePropertyPage::Move(LPCRECT rect) {
    if (!rect) return E_POINTER;
    if (!hwnd_) return E_UNEXPECTED;
    MoveWindow(hwnd_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

STDMETHODIMP BasePropertyPage::IsPageDirty() { return dirty_ ? S_OK : S_FALSE; }

STDMETHODIMP BasePropertyPage::Apply() {
    if (!dirty_) return S_OK;
    const HRESULT hr = OnApplyChanges();
    if (SUCCEEDED(hr)) dirty_ = false;
    return hr;
}

STDMETHODIMP BasePropertyPage::Help(LPCOLESTR) { return E_NOTIMPL; }

// The frame's own dialog handling already moves the focus through the page's controls.
STDMETHODIMP BasePropertyPage::TranslateAccelerator(MSG* msg) { return msg ? S_FALSE : E_POINTER; }

void BasePropertyPage::setDirty() noexcept {
    dirty_ = true;
    if (site_) site_->OnStatusChange(PROPPAGESTATUS_DIRTY);
}

INT_PTR CALLBACK BasePropertyPage::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<BasePropertyPage*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
        return TRUE;
    }
    auto* self = reinterpret_cast<BasePropertyPage*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_NCDESTROY) {
        // The frame may destroy its window, and ours with it, before it deactivates the page.
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        return FALSE;
    }
    return self->OnReceiveMessage(message, wParam, lParam);
}

}  // namespace dshow
