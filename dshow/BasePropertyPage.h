// IPropertyPage for our filters' pages: a child dialog from a template in this module, the page
// site, the dirty state and the connection to the edited object. Derived pages supply the hooks.
#pragma once

#include "dshow/ClassFactory.h"
#include "framework/ComObject.h"

#include <windows.h>
#include <ocidl.h>

#include <new>

namespace dshow {

class BasePropertyPage : public vnt::ComObject<IPropertyPage, IID_IPropertyPage> {
public:
    // IPropertyPage
    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    // Only the first object is edited; a count of 0 disconnects.
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT cmdShow) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override;
    // Calls OnApplyChanges only when something changed; a success makes the page clean.
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR helpDir) override;
    STDMETHODIMP TranslateAccelerator(MSG* msg) override;

protected:
    // Starts with one reference, owned by the creator.
    BasePropertyPage(UINT dialogId, UINT titleId) noexcept;
    ~BasePropertyPage() override;

    // object is not null; the page keeps what it needs from it.
    virtual HRESULT OnConnect(IUnknown* object) { return S_OK; }
    virtual HRESULT OnDisconnect() { return S_OK; }
    // The dialog exists while these run.
    virtual HRESULT OnActivate() { return S_OK; }
    virtual HRESULT OnDeactivate() { return S_OK; }
    virtual HRESULT OnApplyChanges() { return S_OK; }
    // The page dialog's messages after WM_INITDIALOG; the result is the dialog procedure's.
    virtual INT_PTR OnReceiveMessage(UINT message, WPARAM wParam, LPARAM lParam) { return FALSE; }

    // Null while the page is not active.
    HWND window() const noexcept { return hwnd_; }
    // Marks the page changed and tells the site, so that the frame enables its Apply button.
    void setDirty() noexcept;

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // The edited object is let go before the page goes, as a frame's SetObjects(0) would.
    void lastReleased() override;

    ModuleObject module_;
    const UINT dialogId_;
    const UINT titleId_;
    IPropertyPageSite* site_ = nullptr;
    HWND hwnd_ = nullptr;
    bool connected_ = false;
    bool dirty_ = false;
};

// For a factory entry's create function: pages are never aggregated.
template <class T>
HRESULT createPropertyPage(IUnknown* outer, REFIID riid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    T* page = new (std::nothrow) T();
    if (!page) return E_OUTOFMEMORY;
    const HRESULT hr = page->QueryInterface(riid, ppv);
    page->Release();
    return hr;
}

}  // namespace dshow
