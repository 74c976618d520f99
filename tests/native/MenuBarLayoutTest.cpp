// The menu bar's arithmetic: item places at the docked and the floating height, panel rows and
// sizes, the mirror item's value and the exposure slider's scale.
#include <gtest/gtest.h>

#include <climits>
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
