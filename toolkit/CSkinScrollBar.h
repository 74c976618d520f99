// A scroll bar painted from a skin bitmap of 9 x 3 cells (columns: the vertical bar's up arrow,
// down arrow, thumb, track; the horizontal bar's left arrow, right arrow, thumb, track; the corner;
// rows: normal, hot, pressed). It sends its parent the scroll requests a platform bar would.
#pragma once

#include "framework/Dpi.h"
#include "framework/Wnd.h"
#include "toolkit/ScrollBarGeometry.h"

class CSkinScrollBar : public vnt::CWnd {
public:
    CSkinScrollBar() = default;

    bool Create(HWND parent, UINT id, bool vertical, HBITMAP skin, int x, int y, int width, int height);
    // A DPI change: the skin drawn for the new DPI (the caller's) and the shortest thumb at that DPI.
    // A skin that is no 9 x 3 grid is refused (traced) and the old one kept.
    bool SetDpi(int dpi, HBITMAP skin);
    int dpi() const { return dpi_; }
    // The size of a skin cell, which is also the bar's thickness.
    SIZE cell() const { return SIZE{cellWidth_, cellHeight_}; }

    // The range, page and position to show; ignored while the thumb is dragged.
    void SetScrollInfo(const SCROLLINFO& info);
    SCROLLINFO GetScrollInfo() const;
    bool vertical() const { return vertical_; }
    bool dragging() const { return dragPart_ == toolkit::ScrollPart::Thumb; }
    toolkit::ScrollBarGeometry geometry() const;
    toolkit::ScrollPart hotPart() const { return hot_; }
    toolkit::ScrollPart pressedPart() const { return pressed_; }
    // -1 when not tracking the thumb.
    int trackPosition() const { return trackPosition_; }

    static constexpr UINT_PTR kDelayTimer = 1;
    static constexpr UINT_PTR kRepeatTimer = 2;
    static constexpr UINT kRepeatDelayMs = 500;
    static constexpr UINT kRepeatIntervalMs = 100;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool takeSkin(HBITMAP skin);
    void paint(HDC dc);
    // One cell of the skin, stretched to the rectangle.
    void drawCell(HDC dc, int column, int row, const RECT& target, HDC skinDc) const;
    void tileCell(HDC dc, int column, int row, const RECT& target, HDC skinDc) const;
    int rowOf(toolkit::ScrollPart part) const;
    int along(LPARAM lParam) const;
    void send(int code, int position = 0);
    void sendPart(toolkit::ScrollPart part);
    // Whether a held arrow or track press should go on repeating.
    bool shouldRepeat() const;
    void onButtonDown(LPARAM lParam);
    void onMouseMove(LPARAM lParam);
    void onButtonUp();
    void onTimer(UINT_PTR id);

    HBITMAP skin_ = nullptr;
    int cellWidth_ = 0;
    int cellHeight_ = 0;
    int dpi_ = vnt::kBaseDpi;
    bool vertical_ = true;
    int min_ = 0;
    int max_ = 0;
    int page_ = 0;
    int position_ = 0;
    int trackPosition_ = -1;
    toolkit::ScrollPart hot_ = toolkit::ScrollPart::None;
    toolkit::ScrollPart pressed_ = toolkit::ScrollPart::None;
    toolkit::ScrollPart dragPart_ = toolkit::ScrollPart::None;
    int grab_ = 0;
    int lastPixel_ = 0;
    bool tracking_ = false;
};
