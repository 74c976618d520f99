// The menu bar's arithmetic: item places at the docked and the floating height, panel rows and
// sizes, the mirror item's value and the exposure slider's scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "ui/MenuBarLayout.h"

using namespace menubar;

namespace {

struct Place {
    int id;
    int docked;    // left in the 24-pixel bar
    int floating;  // left in the 30-pixel bar
    int width;
};

const Place kPlaces[] = {
    {1100, 4, 7, 110},   {1101, 114, 117, 110}, {1102, 224, 227, 110}, {1103, 334, 337, 145},
    {1104, 479, 482, 95}, {1105, 574, 577, 69},  {1106, 643, 646, 160}, {1107, 4, 7, 110},
    {1108, 114, 117, 110}, {1109, 224, 227, 110},
};

}  // namespace

TEST(MenuBarLayoutTest, ItemsStandWhereTheBarsHeightPutsThem) {
    for (const Place& p : kPlaces) {
        SCOPED_TRACE(p.id);
        Span docked, floating;
        ASSERT_TRUE(itemSpan(p.id, kDockedHeight, docked));
        ASSERT_TRUE(itemSpan(p.id, kFloatingHeight, floating));
        EXPECT_EQ(docked.left, p.docked);
        EXPECT_EQ(floating.left, p.floating);
        EXPECT_EQ(docked.width, p.width);
        EXPECT_EQ(floating.width, p.width);
    }
    Span none;
    EXPECT_FALSE(itemSpan(1099, kDockedHeight, none));
    EXPECT_FALSE(itemSpan(1110, kDockedHeight, none));
    EXPECT_FALSE(itemSpan(1023, kFloatingHeight, none));
}

TEST(MenuBarLayoutTest, TheCameraItemsFollowEachOtherAndOnlyTheFloatingBarShowsTheEscButton) {
    for (int height : {kDockedHeight, kFloatingHeight}) {
        Span previous, next;
        ASSERT_TRUE(itemSpan(1100, height, previous));
        for (int id = 1101; id <= 1106; ++id) {
            ASSERT_TRUE(itemSpan(id, height, next));
            EXPECT_EQ(next.left, previous.left + previous.width) << id;
            previous = next;
        }
    }
    Span esc;
    ASSERT_TRUE(itemSpan(1106, kDockedHeight, esc));
    EXPECT_GE(esc.left + escButtonLeft(esc.width), kDockedWidth) << "the docked bar cuts the button off";
    ASSERT_TRUE(itemSpan(1106, kFloatingHeight, esc));
    const int buttonLeft = esc.left + escButtonLeft(esc.width);
    EXPECT_LE(buttonLeft + kEscButtonWidth, kFloatingWidth) << "the floating bar shows it whole";
    EXPECT_GT(buttonLeft, kFloatingWidth - 60) << "at the right end";
    EXPECT_EQ(escButtonTop(kFloatingHeight), 4);
    EXPECT_EQ(escButtonTop(kDockedHeight), 1);
}

TEST(MenuBarLayoutTest, OnlyAHeightOfTwentyIsIgnoredAndSeparatorsAreCentred) {
    EXPECT_FALSE(layoutApplies(20));
    for (int h : {0, 19, 21, 24, 30}) EXPECT_TRUE(layoutApplies(h)) << h;
    EXPECT_EQ(leadingSeparatorLeft(kDockedHeight), 2);
    EXPECT_EQ(leadingSeparatorLeft(kFloatingHeight), 5);
    EXPECT_EQ(centredTop(kDockedHeight, kSeparatorHeight), 3);
    EXPECT_EQ(centredTop(kFloatingHeight, kSeparatorHeight), 6);
}

TEST(MenuBarLayoutTest, PanelRowsAreTwentyPixelsFromYEight) {
    EXPECT_EQ(panelHeight(6), 132);
    EXPECT_EQ(panelHeight(3), 72);
    EXPECT_EQ(panelHeight(9), 192);
    EXPECT_EQ(panelHeight(0), 12) << "the delete panel";
    EXPECT_EQ(panelHeight(-3), 12);
    EXPECT_EQ(rowTop(0), 8);
    EXPECT_EQ(rowTop(8), 168);

    struct Hit {
        int y;
        int row;  // with six rows
    };
    for (const Hit& h : {Hit{-5, -1}, Hit{0, -1}, Hit{7, -1}, Hit{8, 0}, Hit{27, 0}, Hit{28, 1}, Hit{127, 5},
                         Hit{128, -1} /* bottom margin */, Hit{131, -1}, Hit{500, -1}}) {
        EXPECT_EQ(rowHit(h.y, 6), h.row) << h.y;
    }
    EXPECT_EQ(rowAt(7), -1);
    EXPECT_EQ(rowAt(128), 6) << "past the last row, for the hover to show none";
    EXPECT_EQ(rowHit(8, 0), -1) << "a panel without rows";
}

TEST(MenuBarLayoutTest, UpAndDownWrapAround) {
    struct Step {
        int row, step, count, expected;
    };
    for (const Step& s : {Step{0, -1, 6, 5}, Step{5, +1, 6, 0}, Step{2, +1, 6, 3}, Step{2, -1, 6, 1},
                          Step{0, -1, 2, 1}, Step{1, +1, 2, 0}, Step{0, +1, 1, 0}, Step{0, -1, 1, 0},
                          Step{-1, +1, 3, 0}, Step{-1, -1, 3, 2}, Step{7, +1, 3, 0}, Step{7, -1, 3, 2},
                          Step{0, +1, 0, -1}}) {
        EXPECT_EQ(stepRow(s.row, s.step, s.count), s.expected) << s.row << " " << s.step << " of " << s.count;
    }
}

TEST(MenuBarLayoutTest, MirrorValueNamesTheTickedDirections) {
    EXPECT_EQ(mirrorValueText(true, false, L"Off"), L"H");
    EXPECT_EQ(mirrorValueText(true, true, L"Off"), L"H + V");
    EXPECT_EQ(mirrorValueText(false, true, L"Off"), L"V");
    EXPECT_EQ(mirrorValueText(false, false, L"\u95DC\u9589"), L"\u95DC\u9589");
}

TEST(MenuBarLayoutTest, ExposureLevelIsSixteenMinusTheSliderPositionWithinOneToFifteen) {
    for (int p = kSliderMin; p <= kSliderMax; ++p) {
        EXPECT_EQ(levelOfPosition(p), 16 - p);
        EXPECT_EQ(positionOfLevel(levelOfPosition(p)), p);
    }
    EXPECT_EQ(positionOfLevel(kDefaultExposureLevel), 12);
    struct Wild {
        int level, position;
    };
    for (const Wild& w : {Wild{0, 15}, Wild{-7, 15}, Wild{16, 1}, Wild{99, 1}, Wild{INT_MIN, 15}, Wild{INT_MAX, 1}}) {
        EXPECT_EQ(positionOfLevel(w.level), w.position) << w.level;
    }
    for (int p : {INT_MIN, -1, 0, 16, 40, INT_MAX}) {
        const int level = levelOfPosition(p);
        EXPECT_GE(level, 1) << p;
        EXPECT_LE(level, 15) << p;
    }
}

namespace {
const int kDpis[] = {96, 120, 144, 192};
}

TEST(MenuBarLayoutTest, SeparatorsAndTheItemsTextPlaceScaleWithTheBar) {
    const menubar::Box base = separatorAt(2, kDockedHeight);
    EXPECT_EQ(base.left, 2);
    EXPECT_EQ(base.top, 3);
    EXPECT_EQ(base.right, 4);
    EXPECT_EQ(base.bottom, 20);
    EXPECT_EQ(itemTextRoom(110), 83);
    for (int dpi : kDpis) {
        SCOPED_TRACE(dpi);
        const DisplayScale scale(dpi);
        for (int height : {dockedBar(scale).height, floatingBar(scale).height}) {
            const menubar::Box s = separatorAt(10, height, scale);
            EXPECT_EQ(s.width(), scale.px(kSeparatorWidth));
            EXPECT_EQ(s.height(), scale.px(kSeparatorHeight));
            EXPECT_LE(std::abs(s.top - (height - s.bottom)), 1) << "centred";
        }
        const int width = scale.px(110);
        EXPECT_EQ(itemTextLeft(scale), scale.px(8));
        EXPECT_EQ(itemTextLeft(scale) + itemTextRoom(width, scale), arrowLeft(width, scale)) << "text ends at the arrow";
        EXPECT_LE(trailingSeparatorLeft(width, scale) + scale.px(kSeparatorWidth), width);
        const BarSize button = escButtonSize(scale);
        EXPECT_EQ(button.width, scale.px(40));
        EXPECT_EQ(button.height, scale.px(23));
        const int top = escButtonTop(floatingBar(scale).height, scale);
        EXPECT_GE(top, 0);
        EXPECT_LE(top + button.height, floatingBar(scale).height) << "the button stands in the floating bar";
    }
}

TEST(MenuBarLayoutTest, PanelRowsTextsIconsAndFrameAtEveryScale) {
    // At 96 DPI: the text from 32 to the icon's 30 pixels at the right, a one-pixel frame.
    const menubar::Box row = rowBox(1, 110);
    EXPECT_EQ(row.top, 28);
    EXPECT_EQ(row.bottom, 48);
    EXPECT_EQ(row.right, 110);
    EXPECT_EQ(rowTextBox(row, true).left, 32);
    EXPECT_EQ(rowTextBox(row, true).right, 80);
    EXPECT_EQ(rowTextBox(row, false).right, 110);
    const menubar::Box icon = rowIconBox(row, 24, 16);
    EXPECT_EQ(icon.left, 80);
    EXPECT_EQ(icon.top, 30);
    const Frame frame = panelFrame(110, 72);
    EXPECT_EQ(frame.left.width(), 1);
    EXPECT_EQ(frame.left.height(), 72);
    EXPECT_EQ(frame.bottom.top, 71);
    EXPECT_EQ(frame.right.left, 109);
    EXPECT_EQ(panelLeft(300), 299);

    for (int dpi : kDpis) {
        SCOPED_TRACE(dpi);
        const DisplayScale scale(dpi);
        const int width = panelWidth(145, scale), height = panelHeight(6, scale);
        EXPECT_EQ(width, scale.px(145));
        for (int r = 0; r < 6; ++r) {
            const menubar::Box box = rowBox(r, width, scale);
            EXPECT_EQ(box.height(), scale.px(kRowHeight)) << r;
            EXPECT_EQ(box.bottom, rowBox(r + 1, width, scale).top) << "rows abut";
            EXPECT_EQ(rowHit(box.top, 6, scale), r);
            EXPECT_EQ(rowHit(box.bottom - 1, 6, scale), r);
            EXPECT_LE(box.bottom, height - scale.px(kPanelFrame)) << "above the frame";
            const menubar::Box text = rowTextBox(box, true, scale);
            EXPECT_EQ(text.left, scale.px(kRowTextLeft));
            const menubar::Box place = rowIconBox(box, scale.px(24), scale.px(16), scale);
            EXPECT_EQ(text.right, place.left) << "the text stops where the icon starts";
            EXPECT_LE(place.right, width - scale.px(kPanelFrame)) << "an icon clear of the frame";
            EXPECT_LE(std::abs((place.top - box.top) - (box.bottom - place.bottom)), 1) << "centred";
        }
        const Frame f = panelFrame(width, height, scale);
        for (const menubar::Box& side : {f.left, f.bottom, f.right})
            EXPECT_EQ(std::min(side.width(), side.height()), scale.px(kPanelFrame));
        EXPECT_EQ(f.right.right, width);
        EXPECT_EQ(f.bottom.bottom, height);
        EXPECT_EQ(panelLeft(500, scale), 500 - scale.px(1));
    }
    EXPECT_EQ(panelWidth(-5), 0) << "the delete panel's";
}
