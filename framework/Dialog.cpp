#include "framework/Dialog.h"

#include "framework/Wnd.h"

namespace vnt {

INT_PTR CDialogBase::DoModal(HWND parent) {
    return DialogBoxParamW(resourceModule(), MAKEINTRESOURCEW(templateId_), parent, &CDialogBase::StaticDialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool CDialogBase::Create(HWND parent) {
    if (hwnd_) return false;
    return CreateDialogParamW(resourceModule(), MAKEINTRESOURCEW(templateId_), parent, &CDialogBase::StaticDialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR CALLBACK CDialogBase::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialogBase* self = static_cast<CDialogBase*>(fromHandle(hwnd));
    if (message == WM_INITDIALOG) {
        // A dialog starts once, from its creation: a later WM_INITDIALOG from anyone else carries a
        // number, not the object, and would build the dialog a second time.
        if (self) return FALSE;
        self = reinterpret_cast<CDialogBase*>(lParam);
        if (self) self->bind(hwnd);
    }
    if (!self) return FALSE;
    if (isForeignPointerMessage(hwnd, message, lParam)) return FALSE;
    const INT_PTR result = self->DialogProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) self->unbind();
    return result;
}

INT_PTR CDialogBase::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT reflected = 0;
    if (ReflectToControl(message, wParam, lParam, &reflected)) {
        // A dialog procedure returns a colour request's brush itself, every other result through DWLP_MSGRESULT.
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) return static_cast<INT_PTR>(reflected);
        return SetMessageResult(reflected);
    }
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

bool CDialogBase::OnCommand(UINT id, UINT, HWND) {
    switch (id) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}

void CDialogBase::EndDialog(INT_PTR result) {
    if (hwnd_) ::EndDialog(hwnd_, result);
}

INT_PTR CDialogBase::SetMessageResult(LRESULT result) {
    SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace vnt
