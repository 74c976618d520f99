// Base of dialogs created from a template. The static dialog procedure binds the object at
// WM_INITDIALOG; messages that come before it get the default dialog handling.
#pragma once

#include "framework/Window.h"

namespace vnt {

class CDialogBase : public CWindowBase {
public:
    explicit CDialogBase(UINT templateId) : templateId_(templateId) {}

    // Runs the dialog in the system's modal loop; returns the value given to EndDialog.
    INT_PTR DoModal(HWND parent = nullptr);
    // Creates the dialog modeless (a child dialog when the template says so); the creator destroys it.
    bool Create(HWND parent);

    UINT templateId() const { return templateId_; }

protected:
    // Message handling of the dialog. The default handles WM_INITDIALOG and the OK and Cancel
    // commands; anything else is left to the default dialog procedure (returns FALSE).
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Returns TRUE to let the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Returns true when the command was handled.
    virtual bool OnCommand(UINT id, UINT code, HWND control);

    void EndDialog(INT_PTR result);
    // Sets the result a dialog procedure returns for messages that carry one (DWLP_MSGRESULT).
    INT_PTR SetMessageResult(LRESULT result);

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
};

}  // namespace vnt
