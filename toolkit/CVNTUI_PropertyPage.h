// A page of a skinned property sheet, made from a dialog template; its texts follow the language.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <string>

#include "app/VNTUI_Object.h"
#include "framework/Dialog.h"

class CVNTUI_PropertyPage : public vnt::CDialogBase, public VNTUI_Object {
public:
    explicit CVNTUI_PropertyPage(UINT templateId) : CDialogBase(templateId) {}

    // The page description the sheet is built from.
    PROPSHEETPAGEW pageDescription();

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The page became current; false keeps the previous one.
    virtual bool OnSetActive() { return true; }
    // The page is about to be left; false keeps it (its data is not valid).
    virtual bool OnKillActive() { return true; }
    // OK was pressed and every page agreed to be left; false keeps the sheet open.
    virtual bool OnApply() { return true; }
    // Cancel was pressed.
    virtual void OnReset() {}

    // The control's text from the string table in the current language; false when missing.
    bool SetItemText(UINT controlId, UINT stringId, const std::wstring& suffix = std::wstring());
    bool IsChecked(UINT controlId) const;
    void Check(UINT controlId, bool checked);

private:
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};
