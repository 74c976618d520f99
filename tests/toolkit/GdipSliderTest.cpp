// The exposure slider's behaviour: positions 1 to 15 by keys and by dragging, and what its parent hears.
#include <gtest/gtest.h>

#include "framework/Dpi.h"
#include "tests/support/WindowPixels.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/CGdipSlider.h"

using testsupport::closeColour;
using testsupport::WindowPixels;
using toolkittest::ToolkitTest;

namespace {
constexpr UINT kSliderId = 1024;
}

class GdipSliderTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        dpi_ = vnt::windowDpi(host_->hwnd());
        ASSERT_TRUE(slider_.LoadTrackImage(360));
        ASSERT_TRUE(slider_.LoadThumbImages(361, 362));
        ASSERT_TRUE(slider_.Create(host_->hwnd(), kSliderId, 0, 8));
        slider_.SetMargins(0, 10);
        slider_.SetThumbCrossOffset(58);
        slider_.SetRange(1, 15);
        slider_.SetPage(3);
        slider_.SetPos(12);
        slider_.RefreshBackground(host_->backBuffer().dc());
        pump();
    }

    // Positions the parent was told of since the last call, and how many drags ended.
    std::vector<int> reported(int* dragsEnded = nullptr) {
        pump();
        std::vector<int> positions;
        int ended = 0;
        for (const auto& r : host_->records()) {
            if (r.message == WM_GDIPSLIDER_POSCHANGING) {
                EXPECT_EQ(r.wParam, kSliderId);
                positions.push_back(static_cast<int>(r.lParam));
            }
            if (r.message == WM_GDIPSLIDER_DRAGEND) ++ended;
        }
        host_->records().clear();
        if (dragsEnded) *dragsEnded = ended;
        return positions;
    }

    void key(UINT vk) { SendMessageW(slider_.hwnd(), WM_KEYDOWN, vk, 0); }
    void mouse(UINT message, int y) {
        SendMessageW(slider_.hwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(px(67), y));
    }
    int px(int value) const { return vnt::scalePx(value, dpi_); }

    CGdipSlider slider_;
    int dpi_ = vnt::kBaseDpi;
};

TEST_F(GdipSliderTest, TakesTheTrackImagesSizeAndAsksForTheArrowKeys) {
    const RECT rc = slider_.GetClientRect();
    EXPECT_EQ(rc.right, px(95));
    EXPECT_EQ(rc.bottom, px(160));
    EXPECT_EQ(slider_.dpi(), dpi_);
    EXPECT_EQ(SendMessageW(slider_.hwnd(), WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
}

TEST_F(GdipSliderTest, KeysMoveByOneOrAPageAndNeverLeaveTheRange) {
    key(VK_UP);
    key(VK_ADD);
    EXPECT_EQ(slider_.GetPos(), 10);
    key(VK_DOWN);
    key(VK_RIGHT);
    key(VK_SUBTRACT);
    EXPECT_EQ(slider_.GetPos(), 13);
    key(VK_PRIOR);
    EXPECT_EQ(slider_.GetPos(), 10);
    key(VK_NEXT);
    EXPECT_EQ(slider_.GetPos(), 13);
    key(VK_HOME);
    EXPECT_EQ(slider_.GetPos(), 1);
    key(VK_END);
    EXPECT_EQ(slider_.GetPos(), 15);
    const std::vector<int> first = reported();
    EXPECT_EQ(first, (std::vector<int>{11, 10, 11, 12, 13, 10, 13, 1, 15}));

    // Hammering every key at both ends.
    for (UINT vk : {VK_PRIOR, VK_UP, VK_LEFT, VK_ADD, VK_HOME, VK_NEXT, VK_DOWN, VK_RIGHT, VK_SUBTRACT, VK_END}) {
        for (int i = 0; i < 20; ++i) key(vk);
    }
    for (int p : reported()) {
        EXPECT_GE(p, 1);
        EXPECT_LE(p, 15);
    }
    EXPECT_EQ(slider_.GetPos(), 15);
}

TEST_F(GdipSliderTest, DraggingFollowsTheCursorWithinTheRangeAndEndsWithADragEndedNotice) {
    // Press away from the thumb: it jumps under the cursor.
    const int pixelOf3 = slider_.geometry().pixelOf(3);
    mouse(WM_LBUTTONDOWN, pixelOf3);
    EXPECT_TRUE(slider_.dragging());
    EXPECT_EQ(GetCapture(), slider_.hwnd());
    EXPECT_EQ(slider_.GetPos(), 3);
    for (int y : {-500, -1, 0, 40, 80, 120, 159, 160, 400, 3000}) mouse(WM_MOUSEMOVE, px(y));
    mouse(WM_MOUSEMOVE, slider_.geometry().pixelOf(7));
    mouse(WM_LBUTTONUP, 0);
    EXPECT_FALSE(slider_.dragging());
    EXPECT_NE(GetCapture(), slider_.hwnd());
    int ended = 0;
    const std::vector<int> positions = reported(&ended);
    ASSERT_FALSE(positions.empty());
    for (int p : positions) {
        EXPECT_GE(p, 1);
        EXPECT_LE(p, 15);
    }
    EXPECT_EQ(positions.front(), 3);
    EXPECT_NE(std::find(positions.begin(), positions.end(), 1), positions.end()) << "dragged to the top end";
    EXPECT_NE(std::find(positions.begin(), positions.end(), 15), positions.end()) << "dragged to the bottom end";
    EXPECT_EQ(positions.back(), 7);
    EXPECT_EQ(ended, 1);
}

TEST_F(GdipSliderTest, PressingOnTheThumbKeepsItsPositionAndShowsThePressedThumb) {
    slider_.SetPos(9);
    const int centre = slider_.thumbPixel();
    mouse(WM_LBUTTONDOWN, centre + 2);  // within half a thumb of its centre
    EXPECT_EQ(slider_.GetPos(), 9);
    EXPECT_TRUE(reported().empty()) << "no change, no notice";

    CGdiPlusBitmapResource normal, pressed;
    ASSERT_TRUE(normal.LoadForDpi(361, dpi_));
    ASSERT_TRUE(pressed.LoadForDpi(362, dpi_));
    Gdiplus::Color n, p;
    normal.bitmap()->GetPixel(px(9), px(3), &n);
    pressed.bitmap()->GetPixel(px(9), px(3), &p);
    ASSERT_NE(n.ToCOLORREF(), p.ToCOLORREF()) << "the two thumbs look different";
    // The thumb's pixel (9, 3) at 100 %, at the cross offset and centred on the position.
    const int x = px(58) + px(9), y = centre - normal.height() / 2 + px(3);
    EXPECT_EQ(slider_.thumbCrossOffset(), px(58));
    WindowPixels dragging(slider_.hwnd());
    EXPECT_TRUE(closeColour(dragging.at(x, y), p.ToCOLORREF()));
    mouse(WM_LBUTTONUP, centre + 2);
    WindowPixels released(slider_.hwnd());
    EXPECT_TRUE(closeColour(released.at(x, y), n.ToCOLORREF()));
}

TEST_F(GdipSliderTest, ADisabledSliderIgnoresThePressAndTheRangeClampsThePosition) {
    slider_.EnableSlider(false);
    mouse(WM_LBUTTONDOWN, 5);
    EXPECT_FALSE(slider_.dragging());
    EXPECT_EQ(slider_.GetPos(), 12);
    slider_.SetPos(99);
    EXPECT_EQ(slider_.GetPos(), 15);
    slider_.SetPos(-4);
    EXPECT_EQ(slider_.GetPos(), 1);
    slider_.SetRange(5, 8);
    EXPECT_EQ(slider_.GetPos(), 5);
}

TEST_F(GdipSliderTest, AtEveryDisplayScaleTheImagesMarginsAndRangeFollow) {
    for (int dpi : {96, 120, 144, 192, dpi_}) {
        SCOPED_TRACE(dpi);
        slider_.SetDpi(dpi);
        slider_.RefreshBackground(host_->backBuffer().dc());
        CGdiPlusBitmapResource track, thumb;
        ASSERT_TRUE(track.LoadForDpi(360, dpi));
        ASSERT_TRUE(thumb.LoadForDpi(361, dpi));
        ASSERT_EQ(track.height(), vnt::scalePx(160, dpi)) << "the track drawn for that scale";
        const RECT rc = slider_.GetClientRect();
        EXPECT_EQ(rc.right, track.width());
        EXPECT_EQ(rc.bottom, track.height());
        const toolkit::SliderGeometry g = slider_.geometry();
        EXPECT_EQ(g.thumb, thumb.height());
        EXPECT_EQ(g.endMargin, vnt::scalePx(10, dpi));
        EXPECT_EQ(slider_.thumbCrossOffset(), vnt::scalePx(58, dpi));

        // At the last position the thumb's far edge meets the end margin, as on the 100 % images.
        slider_.SetPos(15);
        EXPECT_EQ(g.pixelOf(15) - thumb.height() / 2 + thumb.height(), rc.bottom - g.endMargin);
        // The thumb is that scale's image, drawn unscaled where it belongs.
        const WindowPixels shown(slider_.hwnd());
        const int left = slider_.thumbCrossOffset(), top = g.pixelOf(15) - thumb.height() / 2;
        int unlike = 0;
        for (int y = 0; y < thumb.height(); ++y) {
            for (int x = 0; x < thumb.width(); ++x) {
                Gdiplus::Color c;
                thumb.bitmap()->GetPixel(x, y, &c);
                if (c.GetA() == 255 && !closeColour(shown.at(left + x, top + y), c.ToCOLORREF())) ++unlike;
            }
        }
        EXPECT_EQ(unlike, 0);

        // The whole range is still reached by dragging, and nothing past it.
        SendMessageW(slider_.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(left, 0));
        EXPECT_EQ(slider_.GetPos(), 1);
        SendMessageW(slider_.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(left, rc.bottom - 1));
        EXPECT_EQ(slider_.GetPos(), 15);
        SendMessageW(slider_.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(left, rc.bottom - 1));
        for (int p : reported()) {
            EXPECT_GE(p, 1);
            EXPECT_LE(p, 15);
        }
    }
}
