// A slider drawn from a track image and a thumb image, moved by dragging or by keys. The parent is
// told of changes by posted messages: position changing and drag ended.
#pragma once

#include "framework/BackBuffer.h"
#include "toolkit/ControlDpi.h"
#include "framework/Wnd.h"
#include "toolkit/CGdiPlusBitmap.h"
#include "toolkit/SliderGeometry.h"

// wParam the control id, lParam the position.
constexpr UINT WM_GDIPSLIDER_POSCHANGING = 10449;
constexpr UINT WM_GDIPSLIDER_DRAGEND = 10450;

class CGdipSlider : public vnt::CWnd {
public:
    CGdipSlider() = default;

    bool Create(HWND parent, UINT id, int x, int y, bool vertical = true);
    bool Attach(HWND control, bool vertical = true);

    // The control takes the track image's size.
    bool LoadTrackImage(UINT id);
    bool LoadThumbImages(UINT normalId, UINT pressedId);
    // In 96-DPI pixels, as the 100 % images are drawn: the slider scales them to its DPI.
    void SetMargins(int start, int end);
    // Where the thumb stands across the bar (its left edge on a vertical bar), in 96-DPI pixels.
    void SetThumbCrossOffset(int offset);
    // Reloads the images for the DPI, takes the track's new size and scales the margins; the
    // parent's background must be handed again (RefreshBackground).
    void SetDpi(int dpi);
    // The DPI the images are loaded for: the window's once created, the system's before.
    int dpi() const { return dpi_.get(hwnd_); }
    void SetRange(int min, int max);
    void SetPos(int position);
    void SetPage(int page) { page_ = page; }
    void EnableSlider(bool enable);
    void ShowThumb(bool show);
    void RefreshBackground(HDC parentBackBuffer);

    int GetPos() const { return position_; }
    int GetRangeMin() const { return min_; }
    int GetRangeMax() const { return max_; }
    bool dragging() const { return dragging_; }
    bool focused() const { return focused_; }
    // The pixel of the thumb's centre along the bar.
    int thumbPixel() const { return geometry().pixelOf(position_); }
    toolkit::SliderGeometry geometry() const;
    // The thumb's left (vertical bar) or top edge across the bar, in pixels.
    int thumbCrossOffset() const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void prepare(bool vertical);
    bool loadTrack();
    bool loadThumbs();
    void fitToTrack();
    void paint(HDC dc);
    void onButtonDown(int x, int y);
    void onMouseMove(int x, int y);
    void onButtonUp();
    bool onKey(UINT key);
    void notify(UINT message);
    int along(int x, int y) const { return vertical_ ? y : x; }

    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int page_ = 20;
    int thumbWidth_ = 0;
    int thumbHeight_ = 0;
    toolkit::SliderMargins margins96_;
    toolkit::ControlDpi dpi_;
    UINT trackId_ = 0;
    UINT thumbId_ = 0;
    UINT pressedThumbId_ = 0;
    bool vertical_ = true;
    bool dragging_ = false;
    int grabOffset_ = 0;
    bool focused_ = false;
    bool enabled_ = true;
    bool thumbShown_ = true;
    bool pressedLook_ = true;
    CGdiPlusBitmapResource track_;
    CGdiPlusBitmapResource thumb_;
    CGdiPlusBitmapResource pressedThumb_;
    vnt::BackBuffer background_;
};
