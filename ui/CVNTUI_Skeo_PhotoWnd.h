// The photo view (control 1001 of the main dialog): the selected photo fitted to the view, zoomed
// in six steps, dragged around with the left button when it is larger than the view, with a
// context menu on the right button.
#pragma once

#include "framework/BackBuffer.h"
#include "ui/CVNTUI_StaticPicture.h"
#include "ui/PictureGeometry.h"

namespace skeo {
class PhotoPrefetcher;
}

class CVNTUI_Skeo_PhotoWnd : public CVNTUI_StaticPicture {
public:
    CVNTUI_Skeo_PhotoWnd();
    ~CVNTUI_Skeo_PhotoWnd() override;

    // The view stays with the photo it was asked for even when that cannot be shown (its file gone
    // or damaged): pictureFileName() names it, so that copying it and opening its folder act on
    // the photo the user selected, not on the one shown before.
    int Load(const std::wstring& fileName, bool skipIfSame) override;
    void ReleasePicture() override;
    const std::wstring& pictureFileName() const override { return photoPath_; }

    int Render() override;
    // Shows the photo turned at once, in memory, while its file is turned elsewhere; false when
    // no photo is loaded.
    bool TurnShown(Gdiplus::RotateFlipType rotation);
    // Puts the photo's file on the clipboard as a one-file drop list; 0 when the clipboard cannot be
    // opened or there is no photo. A photo whose file is gone leaves the clipboard empty rather than
    // holding an earlier copy.
    int CopyToClipboard() override;

    // Where photos read ahead are taken from; none when not set. It must outlive the view's loads.
    void SetPrefetcher(skeo::PhotoPrefetcher* prefetcher) { prefetcher_ = prefetcher; }
    // Whether the photo shown last was taken ready from the prefetcher (tests, benchmark).
    bool lastLoadWasReady() const { return lastLoadWasReady_; }

    // Where the context menu's commands go; the view's top-level window when not set.
    void SetCommandTarget(HWND window) { commandTarget_ = window; }
    // The context menu in the current language (its first popup is shown).
    static vnt::MenuHandle LoadContextMenu();

    const skeo::PhotoViewLayout& layout() const { return layout_; }
    bool dragging() const { return dragging_; }

protected:
    void OnAttached() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void paint(HDC target);
    void ensureBackBuffer();
    void releaseScaled();
    void showContextMenu();

    vnt::BackBuffer backBuffer_;
    HDC imageDC_ = nullptr;
    HBITMAP scaled_ = nullptr;
    HGDIOBJ previousImage_ = nullptr;
    skeo::PhotoViewLayout layout_;
    POINT anchor_{-1, -1};
    bool dragging_ = false;
    HCURSOR hand_ = nullptr;
    HWND commandTarget_ = nullptr;
    std::wstring photoPath_;
    skeo::PhotoPrefetcher* prefetcher_ = nullptr;
    // The loaded photo already scaled to its first size by the prefetcher, used by the next Render
    // when the size is still right.
    vnt::BitmapHandle fitted_;
    skeo::PictureSize fittedSize_;
    bool lastLoadWasReady_ = false;
};
