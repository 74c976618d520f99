// The About box (template 160): a green, drop-shadowed box with the logo, the product title, the
// camera's firmware and the program's versions, the legal notice and the web link. It fades in,
// and a press anywhere on it fades it out and ends it with OK.
#pragma once

#include <string>

#include "app/VNTUI_Object.h"
#include "framework/BackBuffer.h"
#include "framework/Dialog.h"
#include "framework/Dpi.h"
#include "toolkit/CColorStatic.h"
#include "toolkit/CGdiPlusBitmap.h"
#include "toolkit/CXHyperLink.h"

class CVNTUI_Skeo_AboutBox : public vnt::CDialogBase, public VNTUI_Object {
public:
    static constexpr COLORREF kBackground = RGB(154, 198, 52);
    static constexpr COLORREF kText = RGB(255, 255, 255);
    static constexpr DWORD kFadeMs = 500;
    // The logo's left edge at 100 %.
    static constexpr int kLogoX = 20;

    CVNTUI_Skeo_AboutBox();

    // The camera's firmware version, shown after its label; empty shows the label alone.
    void SetFirmwareVersion(const std::wstring& version);
    const std::wstring& firmwareVersion() const { return firmware_; }

    void ReloadTexts() override;
    // The logo of that DPI (the box's own when it opens); the template's controls and fonts are
    // scaled by the dialog manager.
    void SetDpi(int dpi);
    int dpi() const { return dpi_; }
    // Where the logo starts, at the box's DPI.
    int logoLeft() const { return vnt::scalePx(kLogoX, dpi_); }
    const CGdiPlusBitmap& logo() const { return logo_; }
    // Ends an open box with OK at once, without the fade (the main dialog's OK path).
    void Close();
    // True while a box of this process fades out.
    static bool fading() { return fading_; }

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    // Enter and Escape close the box as a click does.
    void OnOK() override { fadeOutAndEnd(); }
    void OnCancel() override { fadeOutAndEnd(); }

private:
    void paintBackground(HDC dc);
    void fadeOutAndEnd();

    CColorStatic texts_[5];
    CXHyperLink link_;
    CGdiPlusBitmapResource logo_;
    std::wstring firmware_;
    bool ending_ = false;
    int dpi_ = vnt::kBaseDpi;
    static bool fading_;
};
