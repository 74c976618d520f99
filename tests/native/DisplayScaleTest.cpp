// The scale a window takes from its DPI, its rounding and the skin set it picks.
#include "ui/DisplayScale.h"

#include <gtest/gtest.h>

using skeo::DisplayScale;

namespace {

TEST(DisplayScaleTest, PixelNumbersRoundToTheNearestHalvesAwayFromZero) {
    const struct {
        int dpi;
        int value;
        int expected;
    } cases[] = {
        {96, 694, 694},   {96, -3, -3},      {120, 694, 868},  {120, 578, 723},  {120, 2, 3},
        {120, -2, -3},    {120, 1, 1},       {144, 1, 2},      {144, -1, -2},    {144, 578, 867},
        {192, 694, 1388}, {192, 578, 1156},  {192, -51, -102}, {168, 3, 5},      {0, 40, 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dpi << " dpi, " << c.value);
        EXPECT_EQ(c.expected, DisplayScale(c.dpi).px(c.value));
    }
}

TEST(DisplayScaleTest, ADpiOutsideWhatDisplaysUseIsHeldAtTheNearestEnd) {
    EXPECT_FALSE(DisplayScale::inRange(0));
    EXPECT_FALSE(DisplayScale::inRange(72));
    EXPECT_FALSE(DisplayScale::inRange(DisplayScale::kMaxDpi + 1));
    EXPECT_TRUE(DisplayScale::inRange(96));
    EXPECT_EQ(96, DisplayScale(-200).dpi());
    EXPECT_EQ(694, DisplayScale(72).px(694));
    EXPECT_EQ(DisplayScale::kMaxDpi, DisplayScale(1 << 30).dpi());
    EXPECT_EQ(6940, DisplayScale(1 << 30).px(694));  // no overflow on the way
    EXPECT_TRUE(DisplayScale().isBase());
}

TEST(DisplayScaleTest, PercentRoundsAsPixelsDo) {
    const struct {
        int dpi;
        int percent;
    } cases[] = {{96, 100}, {107, 111}, {108, 113}, {120, 125}, {132, 138}, {144, 150}, {167, 174}, {192, 200}};
    for (const auto& c : cases) EXPECT_EQ(c.percent, DisplayScale(c.dpi).percent()) << c.dpi;
}

}  // namespace
