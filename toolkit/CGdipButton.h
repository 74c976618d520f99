// An owner-drawn push button drawn from PNG images over the parent's pixels, with generated hover,
// pressed and disabled looks and an optional toggled look.
#pragma once

#include <string>

#include "framework/BackBuffer.h"
#include "framework/Wnd.h"
#include "toolkit/CGdiPlusBitmap.h"
#include "toolkit/SkinImageBatch.h"
#include "toolkit/ControlDpi.h"
#include "toolkit/CToolTip.h"

class CGdipButton : public vnt::CWnd {
public:
    enum State { Background, Standard, Pressed, Hover, Disabled, Toggled, ToggledPressed, ToggledHover, StateCount };

    CGdipButton() = default;

    // A new child button, or a dialog's button taken over; either way made owner-drawn.
    bool Create(HWND parent, UINT id, int x, int y, const wchar_t* text = L"");
    bool Attach(HWND button);

    // The normal image; the same id again does nothing.
    bool SetImage(UINT id);
    // The first hover image set stays.
    bool SetHoverImage(UINT id);
    // Both at once, taken from the batch where it decoded them at this button's DPI.
    bool SetImages(UINT id, UINT hoverId, toolkit::SkinImageBatch& batch);
    // The image of the toggled look.
    bool SetAltImage(UINT id);
    // Moves the button and sizes it to its normal image.
    void MoveTo(int x, int y);
    // Reloads every image for the DPI and sizes the button to its normal image, in place.
    void SetDpi(int dpi);
    // The DPI the images are loaded for: the window's once created, the system's before.
    int dpi() const;
    // Takes the parent's back-buffer pixels under the button as its background and drops the
    // state images, which the next paint rebuilds.
    void RefreshBackground(HDC parentBackBuffer);

    void SetToggleMode(bool on) { toggleMode_ = on; }
    void SetToggled(bool toggled);
    void SetPressOffset(bool on);
    void EnableButton(bool enable);
    void SetTooltipText(const std::wstring& text);

    UINT imageId() const { return imageId_; }
    UINT hoverImageId() const { return hoverImageId_; }
    bool hovered() const { return hovered_; }
    bool toggled() const { return toggled_; }
    bool cached() const { return cached_; }
    // The state image the last paint showed.
    State shownState() const { return shown_; }

    bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void makeOwnerDrawn();
    void loadImages();
    int pressShift() const;
    void dropStates();
    void captureBackground();
    void buildStates();
    void drawItem(const DRAWITEMSTRUCT& item);
    // Background + image at the offset, through the colour matrix when one is given.
    void compose(State state, const CGdiPlusBitmap& image, int dx, int dy, const Gdiplus::ColorMatrix* matrix);
    int width() const;
    int height() const;

    CGdiPlusBitmapResource image_;
    CGdiPlusBitmapResource hoverImage_;
    CGdiPlusBitmapResource altImage_;
    UINT imageId_ = 0;
    UINT hoverImageId_ = 0;
    UINT altImageId_ = 0;
    toolkit::ControlDpi dpi_;
    vnt::BackBuffer states_[StateCount];
    State shown_ = Standard;
    bool cached_ = false;
    bool disabled_ = false;
    bool toggleMode_ = false;
    bool hovered_ = false;
    bool tracking_ = false;
    bool toggled_ = false;
    bool pressOffset_ = true;
    CToolTip tooltip_;
};
