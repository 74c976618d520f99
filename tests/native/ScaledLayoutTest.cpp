// The main window's and the menu bar's layout at 100, 125, 150 and 200 %: minimum sizes, 4:3
// pictures at every resize step, controls, popups, outlines and hit zones following the scale.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "ui/DisplayScale.h"
#include "ui/MainLayout.h"
#include "ui/MenuBarLayout.h"

using mainlayout::Box;
using skeo::DisplayScale;

namespace {

struct Scale {
    int dpi;
    int minimumWidth;
    int cameraHeight;
    int photoHeight;
};

const Scale kScales[] = {
    {96, 694, 578, 692},
    {110, 794, 661, 792},  // between the skin sets: 640 x 4/3 is no whole 4:3 step
    {120, 868, 723, 866},
    {144, 1041, 867, 1038},
    {192, 1388, 1156, 1384},
};

bool isFourToThree(const Box& b) { return b.width() * 3 == b.height() * 4; }

// Runs a check at every scale, in camera and in photo mode, with the smallest window of each.
template <typename Check>
void atEveryScaleAndMode(Check check) {
    for (const Scale& s : kScales) {
        SCOPED_TRACE(s.dpi);
        const DisplayScale scale(s.dpi);
        for (bool photo : {false, true}) {
            SCOPED_TRACE(photo ? "photo mode" : "camera mode");
            const int extra = mainlayout::extraFor(photo, scale);
            check(s, scale, photo, extra, mainlayout::minimumWindow(extra, scale));
        }
    }
}

TEST(ScaledLayoutTest, TheSmallestWindowHoldsA4To3PictureAtEveryScale) {
    atEveryScaleAndMode([](const Scale& s, const DisplayScale& scale, bool photo, int extra,
                           const mainlayout::Size& minimum) {
        EXPECT_EQ(s.minimumWidth, minimum.width);
        EXPECT_EQ(photo ? s.photoHeight : s.cameraHeight, minimum.height);
        // Dragging towards the top left snaps to it.
        int w = 0, h = 0;
        ASSERT_TRUE(mainlayout::dragResize(10, 10, extra, w, h, scale));
        EXPECT_EQ(minimum.width, w);
        EXPECT_EQ(minimum.height, h);
        const Box picture = mainlayout::pictureArea(w, h, extra, scale);
        EXPECT_TRUE(isFourToThree(picture)) << picture.width() << " x " << picture.height();
    });
}

TEST(ScaledLayoutTest, EveryResizeStepKeepsThePictureAt4To3AndNeverShrinksBelowTheMinimum) {
    atEveryScaleAndMode([](const Scale&, const DisplayScale& scale, bool, int extra, const mainlayout::Size& minimum) {
        int accepted = 0;
        for (int x = minimum.width - 40; x < minimum.width + 400; x += 7) {
            for (int y = minimum.height - 40; y < minimum.height + 300; y += 5) {
                int w = 0, h = 0;
                if (!mainlayout::dragResize(x, y, extra, w, h, scale)) continue;
                ++accepted;
                const Box picture = mainlayout::pictureArea(w, h, extra, scale);
                ASSERT_TRUE(isFourToThree(picture)) << x << ", " << y << " gave " << w << " x " << h;
                ASSERT_GE(w, minimum.width);
                ASSERT_GE(h, minimum.height);
                // The window follows the coordinate asking for more, to within one step.
                if (x >= minimum.width || y >= minimum.height) {
                    ASSERT_TRUE(w >= x - 3 || h >= y - 2);
                }
            }
        }
        EXPECT_GT(accepted, 1000);
    });
}

TEST(ScaledLayoutTest, AWindowMovedToAnotherScaleKeepsItsPictureSizeAndItsShape) {
    const DisplayScale at100(96), at125(120), at150(144), at200(192);
    // The smallest window stays the smallest; a larger one keeps its picture as large in 96-DPI pixels.
    for (bool photo : {false, true}) {
        SCOPED_TRACE(photo ? "photo mode" : "camera mode");
        const int extra96 = mainlayout::extraFor(photo, at100), extra192 = mainlayout::extraFor(photo, at200);
        const auto smallest = mainlayout::rescaledWindow(694, photo, at100, at200);
        EXPECT_EQ(1388, smallest.width);
        EXPECT_EQ(mainlayout::minimumWindow(extra192, at200).height, smallest.height);
        const auto larger = mainlayout::rescaledWindow(854, photo, at100, at200);  // an 800 x 600 picture
        EXPECT_EQ(1708, larger.width);
        EXPECT_EQ(1200 + 196 + extra192, larger.height);
        const auto back = mainlayout::rescaledWindow(larger.width, photo, at200, at100);
        EXPECT_EQ(854, back.width);
        EXPECT_EQ(600 + 98 + extra96, back.height);
    }
    // Between scales whose ratio leaves no whole step: rounded down to one, never under the minimum.
    for (const auto& [from, to] : {std::pair{at100, at125}, {at125, at150}, {at150, at100}, {at200, at125}}) {
        for (int width : {mainlayout::minimumWindow(0, from).width, 1400, 1777, 1999}) {
            const auto size = mainlayout::rescaledWindow(width, false, from, to);
            SCOPED_TRACE(testing::Message() << from.dpi() << " -> " << to.dpi() << ", " << width);
            EXPECT_TRUE(isFourToThree(mainlayout::pictureArea(size.width, size.height, 0, to)));
            const int minimum = mainlayout::minimumWindow(0, to).width;
            EXPECT_GE(size.width, minimum);
            if (size.width == minimum) continue;
            // Within one 4:3 step below the same picture in 96-DPI pixels.
            const int pictureBefore = width - from.px(54), pictureAfter = size.width - to.px(54);
            EXPECT_LE(pictureAfter * from.dpi(), pictureBefore * to.dpi());
            EXPECT_GT((pictureAfter + 4) * from.dpi(), pictureBefore * to.dpi());
        }
    }
}

TEST(ScaledLayoutTest, ControlsStandWhereTheScalePutsThem) {
    const struct {
        int dpi;
        mainlayout::Point close;
        mainlayout::Point photoTab;
        Box grip;
        Box dockedMenuBar;
        Box hint;
        Box rightBorder;
    } cases[] = {
        // Window 694 x 578 at 100 %, twice that at 200 %, 868 x 723 at 125 %, 1041 x 867 at 150 %.
        {96, {662, 9}, {0, 194}, {685, 569, 691, 575}, {48, 50, 694, 74}, {61, 558, 381, 572}, {691, 50, 694, 578}},
        {120, {828, 11}, {0, 243}, {857, 712, 864, 719}, {60, 63, 868, 93}, {76, 698, 476, 715}, {864, 63, 868, 723}},
        {144, {993, 14}, {0, 291}, {1027, 853, 1036, 862}, {72, 75, 1041, 111}, {92, 837, 572, 858}, {1036, 75, 1041, 867}},
        {192, {1324, 18}, {0, 388}, {1370, 1138, 1382, 1150}, {96, 100, 1388, 148}, {122, 1116, 762, 1144}, {1382, 100, 1388, 1156}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        const DisplayScale scale(c.dpi);
        const mainlayout::Size size = mainlayout::minimumWindow(0, scale);
        const mainlayout::Controls controls = mainlayout::controls(size.width, size.height, 0, scale);
        EXPECT_EQ(c.close.x, controls.topButtons[3].x);
        EXPECT_EQ(c.close.y, controls.topButtons[3].y);
        EXPECT_EQ(c.photoTab.y, controls.modeTabs[1].y);
        EXPECT_EQ(c.grip, controls.grip);
        EXPECT_EQ(c.dockedMenuBar, controls.dockedMenuBar);
        EXPECT_EQ(c.hint, controls.hint);
        EXPECT_EQ(c.rightBorder, controls.rightBorder);
        // The docked bar is the menu bar's own docked size, just under the header.
        const menubar::BarSize docked = menubar::dockedBar(scale);
        EXPECT_EQ(docked.width, controls.dockedMenuBar.width());
        EXPECT_EQ(docked.height, controls.dockedMenuBar.height());
        EXPECT_EQ(controls.header.bottom, controls.dockedMenuBar.top);
    }
}

TEST(ScaledLayoutTest, ThePhotoStripFollowsThePictureAtEveryScale) {
    atEveryScaleAndMode([](const Scale&, const DisplayScale& scale, bool photo, int extra,
                           const mainlayout::Size& size) {
        if (!photo) return;
        const Box picture = mainlayout::pictureArea(size.width, size.height, extra, scale);
        const mainlayout::Controls c = mainlayout::controls(size.width, size.height, extra, scale);
        // The strip and its buttons lie between the picture and the window's bottom border.
        for (const Box& b : {c.previousButton, c.listFrame, c.nextButton}) {
            EXPECT_GT(b.top, picture.bottom);
            EXPECT_LE(b.bottom, c.bottomBorder.top);
            EXPECT_GT(b.height(), 0);
        }
        EXPECT_LT(c.previousButton.right, c.listFrame.left);
        EXPECT_LT(c.listFrame.right, c.nextButton.left);
        EXPECT_LE(c.nextButton.right, c.rightBorder.left);
        // Edges are scaled, so a size may be one off the scaled size, never more.
        EXPECT_LE(std::abs(scale.px(78) - c.listFrame.height()), 1);
        EXPECT_LE(std::abs(scale.px(18) - c.nextButton.height()), 1);
        EXPECT_LE(std::abs(scale.px(13) - c.nextButton.width()), 1);
    });
}

TEST(ScaledLayoutTest, PopupsOverThePictureScaleAndStayCentred) {
    for (const Scale& s : kScales) {
        SCOPED_TRACE(s.dpi);
        const DisplayScale scale(s.dpi);
        const Box picture = mainlayout::boxAt(300, 200, scale.px(640), scale.px(480));
        const mainlayout::Overlays o = mainlayout::overlays(picture, scale);
        EXPECT_EQ(scale.px(166), o.snapshotBar.width());
        EXPECT_EQ(scale.px(32), o.snapshotBar.height());
        EXPECT_EQ(picture.right - scale.px(178), o.snapshotBar.left);
        EXPECT_EQ(picture.bottom - scale.px(50), o.snapshotBar.top);
        EXPECT_EQ(scale.px(40), o.countdown.width());
        EXPECT_EQ(scale.px(60), o.exposure.height());
        for (const Box& b : {o.countdown, o.exposure, o.floatingMenuBar}) {
            EXPECT_LE(std::abs((b.left - picture.left) - (picture.right - b.right)), 1);
            EXPECT_GE(b.top, picture.top);
            EXPECT_LE(b.bottom, picture.bottom);
        }
        const menubar::BarSize floating = menubar::floatingBar(scale);
        EXPECT_EQ(floating.width, o.floatingMenuBar.width());
        EXPECT_EQ(floating.height, o.floatingMenuBar.height());
    }
    // At 100 % where they always stood.
    const mainlayout::Overlays o = mainlayout::overlays(mainlayout::boxAt(51, 74, 640, 480));
    EXPECT_EQ(mainlayout::boxAt(51 + 300, 554 - 51, 40, 40), o.countdown);
    EXPECT_EQ(mainlayout::boxAt(51 + 290, 554 - 71, 60, 60), o.exposure);
    EXPECT_EQ(mainlayout::boxAt(691 - 178, 554 - 50, 166, 32), o.snapshotBar);
    EXPECT_EQ(mainlayout::boxAt(51 + (640 - 801) / 2, 86, 801, 30), o.floatingMenuBar);
}

// At 200 % every outline point is twice the 100 % one for a window twice the size.
TEST(ScaledLayoutTest, OutlinesDoubleAt200Percent) {
    const DisplayScale base, doubled(192);
    const auto window = mainlayout::windowOutline(694, 578);
    const auto window2 = mainlayout::windowOutline(1388, 1156, doubled);
    ASSERT_EQ(window.size(), window2.size());
    for (size_t i = 0; i < window.size(); ++i) {
        EXPECT_EQ(2 * window[i].x, window2[i].x) << i;
        EXPECT_EQ(2 * window[i].y, window2[i].y) << i;
    }
    // At 100 % the outline and the header's are the window's own numbers.
    EXPECT_EQ(331, window[12].y);
    EXPECT_EQ(126, window[13].y);
    const auto header = mainlayout::headerOutline(694);
    const auto header2 = mainlayout::headerOutline(1388, doubled);
    ASSERT_EQ(7u, header.size());
    EXPECT_EQ(49, header[4].y);
    EXPECT_EQ(693, header[4].x);
    EXPECT_EQ(99, header2[4].y) << "the last row of a header twice as high";
    EXPECT_EQ(1387, header2[4].x);
    EXPECT_EQ(96, header2[0].x);
    const auto bar = menubar::floatingBarOutline();
    const auto bar2 = menubar::floatingBarOutline(doubled);
    ASSERT_EQ(bar.size(), bar2.size());
    EXPECT_EQ(799, bar[2].x);
    EXPECT_EQ(27, bar[4].y);
    for (size_t i = 0; i < bar.size(); ++i) {
        EXPECT_EQ(2 * bar[i].x, bar2[i].x) << i;
        EXPECT_EQ(2 * bar[i].y, bar2[i].y) << i;
    }
}

TEST(ScaledLayoutTest, InfoLineScalesItsGapsAndStaysUnderThePicture) {
    const int gaps[3] = {100, 200, 0};
    atEveryScaleAndMode([&gaps](const Scale&, const DisplayScale& scale, bool photo, int extra,
                                const mainlayout::Size& size) {
        if (!photo) return;
        const Box picture = mainlayout::pictureArea(size.width, size.height, extra, scale);
        const mainlayout::InfoLine line = mainlayout::infoLine(picture, scale.px(372), gaps, scale);
        EXPECT_EQ(picture.bottom + scale.px(4), line.folderButton.top);
        EXPECT_EQ(scale.px(18), line.folderButton.width());
        EXPECT_EQ(scale.px(14), line.line.height());
        EXPECT_EQ(line.folderButton.left + scale.px(22), line.line.left);
        EXPECT_EQ(line.line.left + 100, line.separators[0].left) << "gaps are measured in the scaled font";
        EXPECT_EQ(scale.px(12), line.separators[1].height());
        EXPECT_EQ(0, line.separators[2].width());
        // Centred: text plus button as far from the left as the rest is from the right, within one.
        const int rightGap = picture.right - (line.line.left + scale.px(372)) - (scale.px(28) - scale.px(22));
        EXPECT_LE(std::abs((line.folderButton.left - picture.left) - rightGap), 1);
    });
}

TEST(ScaledLayoutTest, MenuItemsAbutAndPanelRowsHitWhereTheyAreDrawn) {
    for (const Scale& s : kScales) {
        SCOPED_TRACE(s.dpi);
        const DisplayScale scale(s.dpi);
        for (int height : {menubar::dockedBar(scale).height, menubar::floatingBar(scale).height}) {
            menubar::Span previous, next;
            ASSERT_TRUE(menubar::itemSpan(1100, height, previous, scale));
            EXPECT_EQ(scale.px(height == menubar::floatingBar(scale).height ? 7 : 4), previous.left);
            EXPECT_EQ(menubar::firstItemLeft(height, scale) - scale.px(2), menubar::leadingSeparatorLeft(height, scale));
            for (int id = 1101; id <= 1106; ++id) {
                ASSERT_TRUE(menubar::itemSpan(id, height, next, scale));
                EXPECT_EQ(previous.left + previous.width, next.left) << id;
                previous = next;
            }
            // The photo items take the camera items' first places.
            menubar::Span camera, photo;
            ASSERT_TRUE(menubar::itemSpan(1102, height, camera, scale));
            ASSERT_TRUE(menubar::itemSpan(1109, height, photo, scale));
            EXPECT_EQ(camera.left, photo.left);
            EXPECT_EQ(camera.width, photo.width);
        }
        // The docked bar cuts the ESC button off; the floating bar shows it whole.
        menubar::Span esc;
        ASSERT_TRUE(menubar::itemSpan(1106, menubar::dockedBar(scale).height, esc, scale));
        EXPECT_GE(esc.left + menubar::escButtonLeft(esc.width, scale), menubar::dockedBar(scale).width);
        ASSERT_TRUE(menubar::itemSpan(1106, menubar::floatingBar(scale).height, esc, scale));
        EXPECT_LE(esc.left + menubar::escButtonLeft(esc.width, scale) + scale.px(menubar::kEscButtonWidth),
                  menubar::floatingBar(scale).width);
        EXPECT_FALSE(menubar::layoutApplies(scale.px(20), scale));
        EXPECT_TRUE(menubar::layoutApplies(menubar::dockedBar(scale).height, scale));
        // Panel rows: a click on any pixel of a drawn row chooses that row; the margins choose none.
        const int rows = 6;
        for (int row = 0; row < rows; ++row) {
            const int top = menubar::rowTop(row, scale);
            EXPECT_EQ(row, menubar::rowHit(top, rows, scale));
            EXPECT_EQ(row, menubar::rowHit(top + scale.px(menubar::kRowHeight) - 1, rows, scale));
        }
        EXPECT_EQ(-1, menubar::rowHit(menubar::rowTop(0, scale) - 1, rows, scale));
        EXPECT_EQ(-1, menubar::rowHit(menubar::panelHeight(rows, scale) - 1, rows, scale));
        EXPECT_EQ(menubar::rowTop(rows, scale) + scale.px(4), menubar::panelHeight(rows, scale));
        EXPECT_EQ(scale.px(12), menubar::panelHeight(0, scale));
    }
}

}  // namespace
