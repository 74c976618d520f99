// The program's one main window: a borderless dialog (template 102, class "VNTUI_Skeo_MainDlg")
// that lives in the notification area when closed and ends only through its OK path.
#pragma once

#include "framework/Handles.h"
#include "ui/CVNTUI_Skeo_CameraWnd.h"
#include "ui/CVNTUI_TrayIcon.h"

class CVNTUI_Skeo_MainDlg : public CVNTUI_TrayIcon {
public:
    enum ViewMode { ModeCamera = 0, ModePhoto = 1, ModeFullScreen = 2 };

    CVNTUI_Skeo_MainDlg();
    ~CVNTUI_Skeo_MainDlg() override;

    // Set before the run when the program was started at log-on: the first show becomes a hide.
    void setStartedAtLogOn(bool flag) { startHidden_ = flag ? 1 : 0; }
    bool startedAtLogOn() const { return startHidden_ != 0; }

    ViewMode mode() const { return mode_; }

    // Hook operations; the main window controller overrides them.
    virtual void OnSettingsButton() {}
    virtual void OnCloseButton();
    virtual void OnImageFolderButton() {}
    virtual void OnTrayOpen();
    virtual void OnTrayAbout() {}

    void EnterCameraMode();

    // The live picture's window (control 1000); null before the dialog initialises.
    HWND cameraViewWindow() const { return cameraView_.hwnd(); }

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    // The OK path: ends the dialog and so the program.
    void OnOK() override;
    void ReloadTexts() override;
    // The tray menu in the current language, "Open" as its default item.
    void ShowTrayMenu(POINT point) override;

private:
    void onPaint();
    void onWindowPosChanging(WINDOWPOS* pos);

    vnt::IconHandle bigIcon_;
    vnt::IconHandle smallIcon_;
    vnt::IconHandle trayIcon_;
    ViewMode mode_ = ModePhoto;
    int startHidden_ = 0;
    RECT windowRect_{0, 0, 694, 692};
    CVNTUI_Skeo_CameraWnd cameraView_;
};
