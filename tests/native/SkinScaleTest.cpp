// Which skin set serves a DPI, and the ids of an image in each set (the ids make-skins writes).
#include <gtest/gtest.h>

#include <climits>

#include "toolkit/SkinScale.h"

using toolkit::skinImageId;
using toolkit::skinScaleForDpi;

TEST(SkinScaleTest, EachDpiGetsTheNearestSetAndTiesGoToTheLargerOne) {
    const struct {
        int dpi;
        int percent;
    } cases[] = {
        {96, 100},   {120, 125},     {144, 150}, {192, 200},   // the display scales Windows offers
        {72, 100},   {107, 100},     {108, 125},               // 108 is midway between 100 and 125 %
        {131, 125},  {132, 150},     {167, 150}, {168, 200},   // 175 % is midway between 150 and 200 %
        {240, 200},  {288, 200},     {INT_MAX, 200},           // beyond the largest set
        {0, 100},    {-96, 100},     {INT_MIN, 100},           // no DPI at all
    };
    for (const auto& c : cases) EXPECT_EQ(skinScaleForDpi(c.dpi).percent, c.percent) << c.dpi << " DPI";
}

TEST(SkinScaleTest, AnImageOfEachSetHasTheHundredPercentIdPlusTheSetsOffset) {
    const struct {
        unsigned id;
        int dpi;
        unsigned scaledId;
    } cases[] = {
        {300, 96, 300},   {300, 120, 1300}, {300, 144, 2300}, {300, 192, 3300},   // header
        {513, 96, 513},   {513, 120, 1513}, {513, 144, 2513}, {513, 192, 3513},   // scroll-bar bitmap
        {499, 192, 3499}, {409, 0, 409},
    };
    for (const auto& c : cases) EXPECT_EQ(skinImageId(c.id, skinScaleForDpi(c.dpi)), c.scaledId) << c.id << " at " << c.dpi;
}
