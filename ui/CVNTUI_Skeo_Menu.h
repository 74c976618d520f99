// One item of the menu bar (window class "VNTSkeo_Menu"): a title, the current value as text or
// icon, and a drop-down arrow; a click opens its option panel right under it.
#pragma once

#include <string>

#include "framework/BackBuffer.h"
#include "framework/Handles.h"
#include "framework/Wnd.h"
#include "toolkit/CGdiPlusBitmap.h"
#include "ui/DisplayScale.h"

class CVNTUI_Skeo_MenuShow;

class CVNTUI_Skeo_Menu : public vnt::CWnd {
public:
    static const wchar_t kClassName[];
    static constexpr UINT kLeaveTimer = 1357;
    static constexpr UINT kLeaveInterval = 300;

    CVNTUI_Skeo_Menu();
    ~CVNTUI_Skeo_Menu() override;

    // The class the bar's template names; registered before the template is created.
    static bool RegisterItemClass();

    // Takes over the dialog's item window at the dialog's DPI; its title comes from the string id
    // (0: none).
    bool Attach(HWND dialog, UINT id, UINT titleStringId);
    // Fonts and images for that DPI; the bar sizes the item.
    void SetDpi(int dpi);
    int dpi() const { return dpi_; }

    // The panel the item opens (not owned); null opens nothing.
    void SetPanel(CVNTUI_Skeo_MenuShow* panel);
    CVNTUI_Skeo_MenuShow* panel() const { return panel_; }
    void SetSliderMode(bool on);
    bool sliderMode() const { return sliderMode_; }

    // Shows the panel's current value.
    void RefreshValue();
    // The panel's row texts, the value and the title in the current language.
    void ReloadTexts();

    const std::wstring& titleText() const { return title_; }
    const std::wstring& valueText() const { return value_; }
    UINT valueIconId() const { return valueIconId_; }
    UINT hoverIconId() const { return hoverIconId_; }
    bool hovered() const { return hovered_; }
    // What the item draws with.
    HFONT titleFont() const { return titleFont_.get(); }
    HFONT valueFont() const { return valueFont_.get(); }
    const CGdiPlusBitmap& arrowImage() const { return arrow_; }
    const CGdiPlusBitmap& valueIcon() const { return valueIcon_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Paints the item into its back buffer.
    virtual void Draw();
    virtual void OnResized() {}
    // After the DPI changed, before the item is drawn again.
    virtual void OnDpiChanged() {}
    virtual HCURSOR Cursor() const;
    // Paints and shows the item.
    void Repaint();
    skeo::DisplayScale scale() const { return skeo::DisplayScale(dpi_); }

    vnt::BackBuffer backBuffer_;

private:
    void onSize(int width, int height);
    void onMouseMove();
    void onMouseLeave();
    void onLeaveTimer();
    void openPanel();
    bool panelOpen() const;
    bool cursorInside() const;
    void loadForDpi();
    // Loads the image of that id (none for 0) unless it is the one shown.
    void setIcon(CGdiPlusBitmapResource& holder, UINT& shownId, UINT id);

    bool hovered_ = false;
    bool tracking_ = false;
    CVNTUI_Skeo_MenuShow* panel_ = nullptr;
    vnt::FontHandle titleFont_;
    vnt::FontHandle valueFont_;
    UINT titleStringId_ = 0;
    std::wstring title_;
    std::wstring value_;
    CGdiPlusBitmapResource arrow_;
    CGdiPlusBitmapResource arrowHovered_;
    CGdiPlusBitmapResource valueIcon_;
    CGdiPlusBitmapResource hoverIcon_;
    UINT valueIconId_ = 0;
    UINT hoverIconId_ = 0;
    bool sliderMode_ = false;
    int dpi_ = skeo::DisplayScale::kBaseDpi;
    HCURSOR hand_;

    // The leave checks of all items repaint only on the first tick while a panel stays open.
    static int leaveChecks_;
};
