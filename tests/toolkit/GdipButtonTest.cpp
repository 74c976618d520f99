// Image buttons: their generated hover, pressed, disabled and toggled looks, read from the screen.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/Dpi.h"
#include "tests/support/WindowPixels.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/CGdipButton.h"

using testsupport::closeColour;
using testsupport::WindowPixels;
using toolkittest::kPanel;
using toolkittest::ToolkitTest;

namespace {

constexpr UINT kSettings = 301, kSettingsHover = 302, kSupport = 304, kCameraTab = 315, kCameraTabActive = 317;

struct Pixel {
    int x = -1;
    int y = -1;
    COLORREF colour = 0;
};

COLORREF over(const Gdiplus::Color& c, COLORREF background) {
    const int a = c.GetA();
    auto mix = [a](int top, int bottom) { return (top * a + bottom * (255 - a) + 127) / 255; };
    return RGB(mix(c.GetR(), GetRValue(background)), mix(c.GetG(), GetGValue(background)), mix(c.GetB(), GetBValue(background)));
}

int spread(COLORREF c) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return std::max({r, g, b}) - std::min({r, g, b});
}

// An opaque pixel of the image drawn for the DPI that the pressed look's shift visibly changes (the
// image over the background shifted right and down looks different); colourful when asked, so that
// grey differs from it. Also the first fully transparent pixel, if any.
void findPixels(UINT id, int dpi, Pixel& opaque, Pixel& clear, bool colourful = false) {
    CGdiPlusBitmapResource image;
    ASSERT_TRUE(image.LoadForDpi(id, dpi));
    Gdiplus::Bitmap* b = image.bitmap();
    const int shift = vnt::scalePx(1, dpi);
    for (int y = 0; y + shift < image.height(); ++y) {
        for (int x = 0; x + shift < image.width(); ++x) {
            Gdiplus::Color c, next;
            b->GetPixel(x, y, &c);
            b->GetPixel(x + shift, y + shift, &next);
            const COLORREF shown = over(next, kPanel);
            if (opaque.x < 0 && c.GetA() == 255 && !closeColour(c.ToCOLORREF(), shown, 30) &&
                (!colourful || spread(c.ToCOLORREF()) > 60))
                opaque = {x, y, c.ToCOLORREF()};
            if (clear.x < 0 && c.GetA() == 0) clear = {x, y, 0};
        }
    }
    ASSERT_GE(opaque.x, 0) << "image " << id << " has a pixel to look at";
}

int brighter(int channel) {
    const double v = channel * 1.05 + 0.05 * 255;
    return v > 255 ? 255 : static_cast<int>(v);
}

COLORREF brightened(COLORREF c) { return RGB(brighter(GetRValue(c)), brighter(GetGValue(c)), brighter(GetBValue(c))); }

COLORREF grey(COLORREF c) {
    const int g = static_cast<int>(0.3 * GetRValue(c) + 0.59 * GetGValue(c) + 0.11 * GetBValue(c));
    return RGB(g, g, g);
}

}  // namespace

class GdipButtonTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        dpi_ = vnt::windowDpi(host_->hwnd());
    }
    void findPixels(UINT id, Pixel& opaque, Pixel& clear, bool colourful = false) {
        ::findPixels(id, dpi_, opaque, clear, colourful);
    }
    int px(int value) const { return vnt::scalePx(value, dpi_); }

    void make(CGdipButton& button, UINT id, UINT image, int x, int y) {
        ASSERT_TRUE(button.SetImage(image));
        ASSERT_TRUE(button.Create(host_->hwnd(), id, x, y));
        button.MoveTo(x, y);
        button.RefreshBackground(host_->backBuffer().dc());
        pump();
    }

    int dpi_ = vnt::kBaseDpi;
};

TEST_F(GdipButtonTest, WithoutHoverImageHoverBrightensAndPressShiftsTheImageOnePixel) {
    Pixel opaque, clear;
    findPixels(kCameraTab, opaque, clear);
    CGdipButton button;
    make(button, 1017, kCameraTab, 20, 20);
    RECT rc = button.GetClientRect();
    EXPECT_EQ(rc.right, px(48));
    EXPECT_EQ(rc.bottom, px(70));

    WindowPixels standard(button.hwnd());
    EXPECT_EQ(button.shownState(), CGdipButton::Standard);
    EXPECT_TRUE(closeColour(standard.at(opaque.x, opaque.y), opaque.colour));
    if (clear.x >= 0) {
        EXPECT_TRUE(closeColour(standard.at(clear.x, clear.y), kPanel)) << "the parent shows through";
    }

    SendMessageW(button.hwnd(), WM_MOUSEHOVER, 0, MAKELPARAM(2, 2));
    ASSERT_TRUE(button.hovered());
    WindowPixels hover(button.hwnd());
    EXPECT_EQ(button.shownState(), CGdipButton::Hover);
    EXPECT_TRUE(closeColour(hover.at(opaque.x, opaque.y), brightened(opaque.colour), 3))
        << std::hex << hover.at(opaque.x, opaque.y) << " vs " << brightened(opaque.colour);

    SendMessageW(button.hwnd(), BM_SETSTATE, TRUE, 0);
    WindowPixels pressed(button.hwnd());
    EXPECT_EQ(button.shownState(), CGdipButton::Pressed);
    EXPECT_TRUE(closeColour(pressed.at(opaque.x + px(1), opaque.y + px(1)), opaque.colour))
        << "the normal image, one (96-DPI) pixel right and down";
    EXPECT_TRUE(closeColour(pressed.at(0, 0), kPanel)) << "the top-left corner uncovered by the shift";
    SendMessageW(button.hwnd(), BM_SETSTATE, FALSE, 0);

    SendMessageW(button.hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button.hovered());
    WindowPixels left(button.hwnd());
    EXPECT_EQ(button.shownState(), CGdipButton::Standard);
    EXPECT_TRUE(closeColour(left.at(opaque.x, opaque.y), opaque.colour));
}

TEST_F(GdipButtonTest, DisabledIsGreyAndTheFirstHoverImageStays) {
    Pixel opaque, clear, hoverOpaque, hoverClear;
    findPixels(kCameraTabActive, opaque, clear, true);
    findPixels(kSettingsHover, hoverOpaque, hoverClear);
    CGdipButton button;
    ASSERT_TRUE(button.SetHoverImage(kSettingsHover));
    EXPECT_FALSE(button.SetHoverImage(kSupport)) << "a second hover image is refused";
    EXPECT_EQ(button.hoverImageId(), kSettingsHover);
    make(button, 1013, kCameraTabActive, 20, 20);

    SendMessageW(button.hwnd(), WM_MOUSEHOVER, 0, 0);
    WindowPixels hover(button.hwnd());
    EXPECT_TRUE(closeColour(hover.at(hoverOpaque.x, hoverOpaque.y), hoverOpaque.colour)) << "the hover image as drawn";
    SendMessageW(button.hwnd(), WM_MOUSELEAVE, 0, 0);

    button.EnableButton(false);
    WindowPixels disabled(button.hwnd());
    EXPECT_EQ(button.shownState(), CGdipButton::Disabled);
    EXPECT_TRUE(closeColour(disabled.at(opaque.x, opaque.y), grey(opaque.colour), 3))
        << std::hex << disabled.at(opaque.x, opaque.y) << " vs " << grey(opaque.colour);
    const COLORREF d = disabled.at(opaque.x, opaque.y);
    EXPECT_TRUE(GetRValue(d) == GetGValue(d) && GetGValue(d) == GetBValue(d)) << "grey has no colour";

    // Hovering a disabled button changes nothing.
    SendMessageW(button.hwnd(), WM_MOUSEHOVER, 0, 0);
    WindowPixels still(button.hwnd());
    EXPECT_EQ(button.shownState(), CGdipButton::Disabled);
    button.EnableButton(true);
    WindowPixels enabled(button.hwnd());
    EXPECT_NE(button.shownState(), CGdipButton::Disabled);
}

TEST_F(GdipButtonTest, ToggleModeFlipsOnPressAndShowsTheToggledImage) {
    Pixel opaque, clear, activeOpaque, activeClear;
    findPixels(kCameraTab, opaque, clear);
    findPixels(kCameraTabActive, activeOpaque, activeClear);
    CGdipButton tab;
    tab.SetPressOffset(false);
    tab.SetToggleMode(true);
    ASSERT_TRUE(tab.SetAltImage(kCameraTabActive));
    make(tab, 1017, kCameraTab, 0, 124);
    host_->recordAlso(WM_COMMAND);

    SendMessageW(tab.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(tab.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    pump();
    EXPECT_TRUE(tab.toggled());
    WindowPixels toggled(tab.hwnd());
    EXPECT_EQ(tab.shownState(), CGdipButton::Toggled);
    EXPECT_TRUE(closeColour(toggled.at(activeOpaque.x, activeOpaque.y), activeOpaque.colour));

    // Without the press offset the pressed look is not shifted.
    SendMessageW(tab.hwnd(), BM_SETSTATE, TRUE, 0);
    WindowPixels pressed(tab.hwnd());
    EXPECT_EQ(tab.shownState(), CGdipButton::ToggledPressed);
    EXPECT_TRUE(closeColour(pressed.at(activeOpaque.x, activeOpaque.y), activeOpaque.colour));
    SendMessageW(tab.hwnd(), BM_SETSTATE, FALSE, 0);

    // A double click is a second click: it flips back.
    SendMessageW(tab.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(tab.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    pump();
    EXPECT_FALSE(tab.toggled());
    // A click reaches the parent as a command.
    bool clicked = false;
    for (const auto& r : host_->records()) clicked |= r.message == WM_COMMAND && LOWORD(r.wParam) == 1017;
    EXPECT_TRUE(clicked);
}

TEST_F(GdipButtonTest, SettingTheSameImageAgainKeepsTheStateImagesAndRefreshTakesANewBackground) {
    CGdipButton button;
    make(button, 1013, kSettings, 100, 20);
    WindowPixels first(button.hwnd());
    ASSERT_TRUE(button.cached());
    ASSERT_TRUE(button.SetImage(kSettings));
    EXPECT_TRUE(button.cached()) << "the same id does nothing";

    // The parent repainted in another colour behind the button.
    Pixel opaque, clear;
    findPixels(kSettings, opaque, clear);
    host_->backBuffer().fill(RGB(200, 30, 30));
    button.RefreshBackground(host_->backBuffer().dc());
    EXPECT_FALSE(button.cached());
    WindowPixels after(button.hwnd());
    if (clear.x >= 0) {
        EXPECT_TRUE(closeColour(after.at(clear.x, clear.y), RGB(200, 30, 30)));
    }
    EXPECT_TRUE(closeColour(after.at(opaque.x, opaque.y), opaque.colour));
}

namespace {

// Opaque pixels of the image that the window does not show as they are drawn.
int unlike(const WindowPixels& shown, const CGdiPlusBitmap& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            Gdiplus::Color c;
            image.bitmap()->GetPixel(x, y, &c);
            if (c.GetA() == 255 && !closeColour(shown.at(x, y), c.ToCOLORREF())) ++n;
        }
    }
    return n;
}

}  // namespace

TEST_F(GdipButtonTest, AtEveryDisplayScaleTheButtonShowsAndTakesTheSizeOfThatScalesImages) {
    CGdipButton button;
    ASSERT_TRUE(button.SetHoverImage(kSettingsHover));
    make(button, 1013, kSettings, 100, 20);
    EXPECT_EQ(button.dpi(), dpi_) << "made at its parent's DPI";
    for (int dpi : {96, 120, 144, 192, dpi_}) {
        SCOPED_TRACE(dpi);
        button.SetDpi(dpi);
        button.RefreshBackground(host_->backBuffer().dc());
        CGdiPlusBitmapResource normal, hover;
        ASSERT_TRUE(normal.LoadForDpi(kSettings, dpi));
        ASSERT_TRUE(hover.LoadForDpi(kSettingsHover, dpi));
        ASSERT_EQ(normal.width(), vnt::scalePx(24, dpi)) << "the image drawn for that scale";
        ASSERT_EQ(normal.height(), vnt::scalePx(16, dpi));
        const RECT rc = button.GetClientRect();
        EXPECT_EQ(rc.right, normal.width());
        EXPECT_EQ(rc.bottom, normal.height());
        const RECT place = button.GetRectInParent();
        EXPECT_EQ(place.left, 100) << "stays where it was";
        EXPECT_EQ(place.top, 20);
        EXPECT_EQ(unlike(WindowPixels(button.hwnd()), normal), 0) << "pixel for pixel, not a stretched image";
        SendMessageW(button.hwnd(), WM_MOUSEHOVER, 0, 0);
        EXPECT_EQ(unlike(WindowPixels(button.hwnd()), hover), 0) << "the hover image of that scale";
        SendMessageW(button.hwnd(), WM_MOUSELEAVE, 0, 0);
    }
    // An image set after the change comes at the new scale.
    button.SetDpi(192);
    ASSERT_TRUE(button.SetImage(kSupport));
    button.MoveTo(100, 20);
    EXPECT_EQ(button.GetClientRect().right, vnt::scalePx(24, 192));
    EXPECT_EQ(button.GetClientRect().bottom, vnt::scalePx(16, 192));
    // A DPI that is none changes nothing.
    button.SetDpi(0);
    EXPECT_EQ(button.dpi(), 192);
}

// The main window's buttons take images decoded ahead on another thread: they must look the same
// as images loaded on the spot, and images decoded for another scale must not be used.
TEST_F(GdipButtonTest, ImagesDecodedAheadLookAsLoadedOnesAndOnlyAtTheirOwnScale) {
    constexpr UINT kMissing = 59999;
    toolkit::SkinImageBatch batch({kSettings, kSettingsHover, kSupport, kMissing}, dpi_);
    CGdiPlusBitmapResource image;
    EXPECT_FALSE(batch.take(kCameraTab, image)) << "not asked for";
    EXPECT_FALSE(batch.take(kMissing, image)) << "no such image";
    EXPECT_TRUE(image.empty());

    CGdipButton button;
    ASSERT_TRUE(button.Create(host_->hwnd(), 1013, 100, 20));
    ASSERT_TRUE(button.SetImages(kSettings, kSettingsHover, batch));
    button.MoveTo(100, 20);
    button.RefreshBackground(host_->backBuffer().dc());
    pump();
    EXPECT_FALSE(batch.take(kSettings, image)) << "handed out once";
    CGdiPlusBitmapResource normal, hover;
    ASSERT_TRUE(normal.LoadForDpi(kSettings, dpi_));
    ASSERT_TRUE(hover.LoadForDpi(kSettingsHover, dpi_));
    EXPECT_EQ(button.GetClientRect().right, normal.width());
    EXPECT_EQ(unlike(WindowPixels(button.hwnd()), normal), 0);
    SendMessageW(button.hwnd(), WM_MOUSEHOVER, 0, 0);
    EXPECT_EQ(unlike(WindowPixels(button.hwnd()), hover), 0);
    SendMessageW(button.hwnd(), WM_MOUSELEAVE, 0, 0);

    const int other = dpi_ == 192 ? 96 : 192;
    toolkit::SkinImageBatch otherScale({kSupport, kSettingsHover}, other);
    CGdipButton second;
    ASSERT_TRUE(second.Create(host_->hwnd(), 1014, 140, 20));
    ASSERT_TRUE(second.SetImages(kSupport, kSettingsHover, otherScale));
    second.MoveTo(140, 20);
    EXPECT_EQ(second.GetClientRect().right, vnt::scalePx(24, dpi_)) << "loaded at its own scale instead";
    CGdiPlusBitmapResource wrongScale;
    EXPECT_TRUE(otherScale.take(kSupport, wrongScale)) << "left in the batch";
    EXPECT_EQ(wrongScale.width(), vnt::scalePx(24, other));
}
