// The program's one main window: a borderless dialog (template 102, class "VNTUI_Skeo_MainDlg")
// hosting the live picture, the photo browser, the menu bar and its panels, three overlays and
// the tray icon. It owns layout, modes, keyboard routing and the photo-browser commands; the
// controller derives from it and overrides the hooks that touch camera, settings and library.
// It lives in the notification area when closed and ends only through its OK path.
#pragma once

#include <memory>

#include "framework/BackBuffer.h"
#include "framework/Handles.h"
#include "toolkit/CColorStatic.h"
#include "toolkit/CGdiPlusBitmap.h"
#include "toolkit/CGdipButton.h"
#include "toolkit/CSkinScrollWnd.h"
#include "ui/CVNTUI_Skeo_AboutBox.h"
#include "ui/CVNTUI_Skeo_Border.h"
#include "ui/CVNTUI_Skeo_CameraWnd.h"
#include "ui/CVNTUI_Skeo_CountdownWnd.h"
#include "ui/CVNTUI_Skeo_EventListCtrl.h"
#include "ui/CVNTUI_Skeo_ExposureOSDWnd.h"
#include "ui/CVNTUI_Skeo_Menu_Close.h"
#include "ui/CVNTUI_Skeo_MenuBar.h"
#include "ui/CVNTUI_Skeo_PhotoInfoStatic.h"
#include "ui/CVNTUI_Skeo_PhotoWnd.h"
#include "ui/PhotoPrefetcher.h"
#include "ui/PhotoTurner.h"
#include "ui/CVNTUI_Skeo_SFButtonWindow.h"
#include "ui/CVNTUI_TrayIcon.h"
#include "ui/MainLayout.h"

class CVNTUI_Skeo_SettingsPropSheet;

// Posted by the photo turner after each photo file it turned.
constexpr UINT MSG_PHOTOS_TURNED = WM_APP + 20;

class CVNTUI_Skeo_MainDlg : public CVNTUI_TrayIcon {
public:
    enum ViewMode { ModeCamera = 0, ModePhoto = 1, ModeFullScreen = 2 };

    CVNTUI_Skeo_MainDlg();
    ~CVNTUI_Skeo_MainDlg() override;

    static const wchar_t kClassName[];  // "VNTUI_Skeo_MainDlg"
    static void RegisterClasses();

    // Set before the run when the program was started at log-on: the first show becomes a hide.
    void setStartedAtLogOn(bool flag) { startHidden_ = flag ? 1 : 0; }
    bool startedAtLogOn() const { return startHidden_ != 0; }

    ViewMode mode() const { return mode_; }
    bool controlsHidden() const { return controlsHidden_ != 0; }

    // Hook operations, in this order; the controller overrides those that reach the camera,
    // the settings or the library.
    virtual void OnSettingsButton();
    virtual void OnCloseButton();
    virtual void OnImageFolderButton() {}
    virtual void OnTrayOpen();
    virtual void OnTrayAbout();
    virtual void OnZoomCamCommand(UINT id);
    virtual void OnTimerCommand(UINT id);
    virtual void OnMirrorCommand(UINT id, int newState);
    // True when the choice was taken.
    virtual bool OnResolutionCommand(UINT id);
    virtual void OnExposureCommand(UINT id, int level);
    virtual void OnExposureModeCommand(UINT id);
    virtual void OnZoomPicCommand(UINT id);
    virtual void OnRotateCommand(UINT id);
    virtual void OnDeleteCommand(UINT id);
    virtual void OnContextCommand(UINT id);
    virtual void LayoutWindow(const RECT& rect, bool fullScreen);

    void EnterCameraMode();
    void EnterPhotoMode();
    void EnterFullScreen();
    // Places the SF button, countdown and exposure windows over the picture (and, in full screen,
    // the floating menu bar); hides them when the picture is not shown.
    void PlaceOverlays();
    // Shows a new exposure on its indicator over the picture; nothing while the picture is not
    // on screen (in the tray, in photo mode), so it never appears on its own.
    void ShowExposureIndicator(int value);

    // Shows the photo of a strip item in the photo view with its information line.
    void ShowPhoto(int item);
    void DeleteSelectedPhotos();
    // The selected photos, in strip order, as one PDF file the user names.
    void SaveSelectedAsPdf();
    // Photo mode only; false (nothing done) in the other modes.
    bool ZoomPhotoIn();
    bool ZoomPhotoOut();

    // The parts the controller drives.
    HWND cameraViewWindow() const { return cameraView_.hwnd(); }
    CVNTUI_Skeo_CameraWnd& cameraView() { return cameraView_; }
    CVNTUI_Skeo_PhotoWnd& photoView() { return photoView_; }
    CVNTUI_Skeo_EventListCtrl& eventList() { return eventList_; }
    CVNTUI_Skeo_PhotoInfoStatic& infoLine() { return infoLine_; }
    CVNTUI_Skeo_SFButtonWindow& sfButtonWindow() { return sfButton_; }
    CVNTUI_Skeo_CountdownWnd& countdownWindow() { return countdown_; }
    CVNTUI_Skeo_ExposureOSDWnd& exposureIndicator() { return exposureOSD_; }
    CVNTUI_Skeo_MenuBar* menuBar() const { return menuBar_.get(); }
    CVNTUI_Skeo_SettingsPropSheet* settingsSheet() const { return settingsSheet_; }
    CVNTUI_Skeo_AboutBox* aboutBox() const { return aboutBox_; }
    // The rectangle of the last normal layout, in client coordinates.
    const RECT& windowRect() const { return windowRect_; }
    // The DPI the window is laid out and drawn at.
    int dpi() const { return scale_.dpi(); }

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    // The OK path: closes an open About box and ends the dialog, and so the program.
    void OnOK() override;
    void ReloadTexts() override;
    // The tray menu in the current language, "Open" as its default item.
    void ShowTrayMenu(POINT point) override;
    // Keys before the focused control sees them; true when the key was taken.
    virtual bool PreTranslateKey(const MSG& msg);
    // From a snapshot request until the view shows the live picture again: the SF button stays away.
    virtual bool photoInProgress() const { return countdown_.IsRunning(); }

    // While a sheet or box runs modally from a hook, the controller fills it through these.
    void setSettingsSheet(CVNTUI_Skeo_SettingsPropSheet* sheet) { settingsSheet_ = sheet; }
    void setAboutBox(CVNTUI_Skeo_AboutBox* box) { aboutBox_ = box; }

private:
    class KeyHook;

    void createControls();
    // The buttons' normal and hover images, from what `decoded` made ahead where it could.
    void loadButtonImages(toolkit::SkinImageBatch& decoded);
    // Makes the back buffer anew when the window needs more than it covers; it never shrinks.
    void fitBackBuffer(int width, int height);
    void paintBackBuffer(int width, int height, bool fullScreen);
    // Both picture views take the picture area and are told its size.
    void placePictures(const mainlayout::Box& picture);
    void setModeTabImages();
    void showControls(const int* ids, size_t count, bool show);
    void layoutInfoLine();
    // Shows a photo file with its information line, or says that it cannot be shown.
    void showPhotoFile(const std::wstring& path, bool skipIfShown);
    // The photos the turner has finished: their thumbnails anew, and the photo shown read again
    // where its turn failed.
    void onPhotosTurned();
    // Has the photos around `item` read ahead, those the way the user is going first.
    void prefetchAround(int item);
    void onPaint();
    void onWindowPosChanging(WINDOWPOS* pos);
    void onDragResize(POINT screenPoint);
    void onCameraClicked();
    void onLeaveFullScreen();
    void dockMenuBar();
    // Images, fonts and sizes of everything the window owns for a DPI; the caller lays out again.
    void applyDpi(int dpi);
    // Moved to a monitor of another scale: the suggested place, the same picture size in 96-DPI pixels.
    void onDpiChanged(int dpi, const RECT& suggested);
    int photoExtra() const { return mainlayout::extraFor(true, scale_); }
    mainlayout::Controls layoutControls(int width, int height) const;
    bool onListNotify(const NMHDR& header, LRESULT* result);
    void showListContextMenu();
    void openSupportPage();
    void placeOverlay(HWND overlay, int x, int y, int width, int height, bool show);

    vnt::IconHandle bigIcon_;
    vnt::IconHandle smallIcon_;
    vnt::IconHandle trayIcon_;
    CVNTUI_Skeo_SFButtonWindow sfButton_;
    CVNTUI_Skeo_CountdownWnd countdown_;
    CVNTUI_Skeo_ExposureOSDWnd exposureOSD_;
    CVNTUI_Skeo_AboutBox* aboutBox_ = nullptr;
    CVNTUI_Skeo_SettingsPropSheet* settingsSheet_ = nullptr;
    CVNTUI_Skeo_CameraWnd cameraView_;
    skeo::PhotoPrefetcher prefetcher_;  // before the view, which takes from it
    skeo::PhotoTurner turner_;
    int lastShownItem_ = -1;
    CVNTUI_Skeo_PhotoWnd photoView_;
    CVNTUI_Skeo_EventListCtrl eventList_;
    std::unique_ptr<CSkinScrollWnd> listFrame_;
    vnt::BitmapHandle listSkin_;
    std::unique_ptr<CVNTUI_Skeo_MenuBar> menuBar_;
    std::unique_ptr<CVNTUI_Skeo_Border> rightBorder_;
    std::unique_ptr<CVNTUI_Skeo_Border> bottomBorder_;
    std::unique_ptr<CVNTUI_Skeo_BorderResizeAid> grip_;
    CVNTUI_Skeo_PhotoInfoStatic infoLine_;
    CColorStatic hint_;
    CColorStatic separators_[3];
    CGdipButton buttons_[10];  // controls 1013-1022
    ViewMode mode_ = ModePhoto;
    int startHidden_ = 0;
    int controlsHidden_ = 0;
    CGdiPlusBitmapResource header_;
    vnt::BackBuffer backBuffer_;
    skeo::DisplayScale scale_;
    RECT windowRect_{0, 0, 0, 0};  // set for the window's DPI when it is created
    POINT normalOrigin_{0, 0};  // where the window stood before full screen
    std::unique_ptr<KeyHook> keyHook_;
};
