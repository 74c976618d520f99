// A property sheet in the program's language with only OK and Cancel, both in the bottom-right
// corner. It closes through its buttons only: Enter presses the focused push button and an open
// drop-down list takes Enter and Escape; elsewhere both keys do nothing.
#pragma once

#include <vector>

#include "app/VNTUI_Object.h"
#include "framework/Wnd.h"
#include "toolkit/CVNTUI_PropertyPage.h"

class CVNTUI_PropertySheet : public vnt::CWnd, public VNTUI_Object {
public:
    static constexpr UINT kDefaultCaptionId = 9200;

    explicit CVNTUI_PropertySheet(UINT captionId = kDefaultCaptionId) : captionId_(captionId) {}

    void AddPage(CVNTUI_PropertyPage* page) { pages_.push_back(page); }
    // -1 for either keeps the platform's position.
    void SetPreferredPosition(int x, int y) {
        preferredX_ = x;
        preferredY_ = y;
    }

    // Shows the sheet over the owner, disabled meanwhile, until OK or Cancel; IDOK or IDCANCEL
    // (-1 when the sheet could not be shown).
    INT_PTR DoModal(HWND owner);
    // Asks the open sheet to close as its Cancel button does.
    void Close();

    UINT captionId() const { return captionId_; }
    size_t pageCount() const { return pages_.size(); }
    void ReloadTexts() override;
    // Puts OK and Cancel back in the corner with the margin of that DPI; the system scales
    // everything else of the sheet from its dialog units and fonts.
    void SetDpi(int dpi);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // After the platform's own initialisation.
    virtual void OnInitSheet();

private:
    static int CALLBACK SheetCallback(HWND hwnd, UINT message, LPARAM lParam);
    // Enter and Escape never close the sheet: true when the message was handled here and must not
    // reach the dialog manager.
    bool takeKey(const MSG& msg) const;

    UINT captionId_;
    std::vector<CVNTUI_PropertyPage*> pages_;
    int preferredX_ = -1;
    int preferredY_ = -1;
    INT_PTR result_ = IDCANCEL;
};
