// An option panel: the borderless list a menu-bar item drops down. Rows of 20 pixels from y 8,
// a check mark on the selected or ticked row, an icon at the right end. The panel is open from
// ShowAt until a row is chosen, Escape or Alt+F4, or until another window is in the foreground.
//
// Choices reach the main dialog as WM_COMMAND with wParam = MAKEWPARAM(command id, 0) and lParam
// the choice's second value: the mirror row's new tick state (1 or 0) for 32831/32832, the
// exposure level (1..15) for 32816, 0 for every other command.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "toolkit/CGdiPlusBitmap.h"
#include "toolkit/CVNTUI_Window.h"
#include "ui/DisplayScale.h"

class CVNTUI_Skeo_MenuShow : public CVNTUI_Window {
public:
    struct Row {
        int tick = 0;
        int command = 0;
        std::wstring text;
        int icon = 0;       // PNG id, 0 for none
        UINT stringId = 0;  // where ReloadTexts takes the text from; 0 keeps it fixed
    };

    static constexpr UINT kWatchTimer = 1000;
    static constexpr UINT kWatchInterval = 200;

    // width: at 96 DPI.
    CVNTUI_Skeo_MenuShow(int width, std::vector<Row> rows);
    ~CVNTUI_Skeo_MenuShow() override;

    // The hidden panel at its size for the owner's DPI, owned by owner; its choices go to mainWindow.
    bool CreatePanel(HWND owner, HWND mainWindow);
    // Font, images and size for that DPI.
    virtual void SetDpi(int dpi);
    int dpi() const { return dpi_; }

    virtual void ShowAt(int x, int y);
    virtual void Choose(int row);
    // Selects the row of that command and chooses it; false (and nothing done) if no row has it.
    virtual bool ChooseCommand(int id);
    virtual bool GetValueText(std::wstring& text) const;
    virtual int GetValueIcon() const;
    // 0: the hovered item shows the value icon itself.
    virtual int GetHoverIcon() const { return 0; }
    // Texts of the rows that come from the string table, in the current language.
    virtual void ReloadTexts();
    virtual void DrawRow(HDC dc, int row, const RECT& rect, bool hovered, bool selected);

    bool IsOpen() const;
    // Hides the panel and stops its watch timer.
    void Close();
    // Selects the row of that command; false if there is none.
    bool SelectCommand(int command);
    // Sets the tick flag of the row of that command; false if there is none.
    bool SetTick(int command, bool ticked);

    // At the panel's DPI.
    int panelWidth() const;
    int panelHeight() const;
    HFONT font() const { return font_.get(); }
    // Whether the panel draws the row's icon.
    bool showsIcon(int row) const { return drawIcons_ && hasRow(row) && rows_[static_cast<size_t>(row)].icon; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    const Row& row(int index) const { return rows_.at(static_cast<size_t>(index)); }
    int selectedRow() const { return selected_; }
    int hoveredRow() const { return hovered_; }
    HWND mainWindow() const { return mainWindow_; }

    // Paints the panel into its back buffer and shows it.
    void Redraw();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreated() override { Redraw(); }

    skeo::DisplayScale scale() const { return skeo::DisplayScale(dpi_); }
    // After the panel took a new DPI and size, before it is drawn again.
    virtual void OnDpiChanged() {}
    // Whether a row can take the hover (and so be chosen by Enter).
    virtual bool CanHover(int row) const { return row >= 0 && row < rowCount(); }
    // Paints into the back buffer after the rows and the frame.
    virtual void OnPainted() {}
    // WM_COMMAND to the main dialog; see the header comment for lParam.
    void SendCommand(int command, LPARAM value) const;
    int findRow(int command) const;
    // The image of a PNG id, decoded on first use; an empty holder when it cannot be.
    const CGdiPlusBitmap& image(int id);
    bool hasRow(int row) const { return row >= 0 && row < rowCount(); }

    std::vector<Row> rows_;
    int selected_ = 0;
    int hovered_ = 0;
    bool drawIcons_ = true;

private:
    void onMouseMove(int y);
    bool onKey(UINT key);
    void moveHover(int step);

    int panelWidth96_;
    int dpi_ = skeo::DisplayScale::kBaseDpi;
    HWND mainWindow_ = nullptr;
    COLORREF hoverColour_;
    vnt::FontHandle font_;
    std::map<int, std::unique_ptr<CGdiPlusBitmapResource>> images_;
};
