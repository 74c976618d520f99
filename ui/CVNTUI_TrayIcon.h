// Dialog base that owns the program's icon in the notification area, its menu, and the moves
// between the notification area and the screen.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "app/VNTUI_Object.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"

constexpr UINT MSG_TRAY_NOTIFY = WM_USER + 1;

class CVNTUI_TrayIcon : public vnt::CDialogBase, public VNTUI_Object {
public:
    explicit CVNTUI_TrayIcon(UINT templateId);
    ~CVNTUI_TrayIcon() override;

    void MinimizeToTray();
    void RestoreFromTray();
    // Shows the window normally and makes it the foreground window, even from the background.
    static void BringToFront(HWND window);

    // The rectangle of the notification area, target of the minimise and restore animations.
    static RECT trayRect();

protected:
    virtual void OnTrayLeftDown(POINT point);
    virtual void OnTrayDoubleClick(POINT point);
    virtual void ShowTrayMenu(POINT point);
    virtual void OnTrayReserved() {}
    virtual void OnTrayMouseMove(POINT point);

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Cancel minimises to the tray; it never ends the dialog.
    void OnCancel() override;

    void setTrayTip(const wchar_t* tip);
    void setTrayIcon(HICON icon);
    bool setTrayMenu(UINT menuId);
    bool addTrayIcon();
    void removeTrayIcon();
    HMENU trayMenu() const { return menu_.get(); }
    // Tracks a tray popup at the point with this window as owner.
    void TrackTrayPopup(HMENU popup, POINT point);
    UINT defaultMenuItem() const { return defaultItem_; }

private:
    void onTrayNotify(WPARAM iconId, LPARAM mouseMessage);

    NOTIFYICONDATAW notifyIcon_{};
    vnt::MenuHandle menu_;
    UINT defaultItem_ = 0;
    POINT lastClick_{};
    bool doubleClick_ = false;
    vnt::WindowHandle trayOwner_;  // hidden top-level owner while in the tray
};
