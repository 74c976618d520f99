// Every skin image the windows draw is in the shipped program at the size its window expects, and
// the image holder copes with what is missing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ModulePath.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/CGdiPlusBitmap.h"

using toolkittest::ToolkitTest;

namespace {

struct Size {
    UINT first;
    UINT last;
    int width;
    int height;
};

// Ids and sizes as the windows lay them out.
const Size kSkinImages[] = {
    {300, 300, 230, 50},                                                   // header logo
    {301, 302, 24, 16},   {304, 305, 24, 16}, {307, 308, 24, 16}, {310, 311, 24, 16},  // header buttons
    {315, 315, 48, 70},   {317, 319, 48, 70}, {321, 321, 48, 70}, {323, 323, 48, 70},  // mode tabs
    {348, 348, 35, 20},                                                    // menu check mark
    {349, 350, 7, 5},                                                      // drop-down arrows
    {355, 359, 18, 24},                                                    // exposure steps
    {360, 360, 95, 160},  {361, 362, 18, 7},                               // exposure slider
    {365, 367, 18, 24},                                                    // auto exposure
    {370, 375, 30, 20},                                                    // zoom
    {380, 381, 30, 20},                                                    // rotate
    {400, 401, 18, 14},   {403, 404, 13, 18}, {406, 407, 13, 18},          // photo browser buttons
    {409, 409, 6, 6},                                                      // resize grip
    {420, 421, 35, 22},                                                    // leave full screen
    {425, 426, 166, 32},  {427, 428, 61, 32}, {430, 431, 27, 27},          // snapshot and focus bar
    {440, 450, 40, 40},                                                    // countdown digits
    {460, 475, 60, 60},   {480, 484, 60, 60},                              // exposure indicator
    {499, 499, 159, 93},                                                   // About logo
};

std::wstring skeoPath() {
    std::wstring path = vnt::modulePath();
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"Skeo.exe";
}

}  // namespace

class SkinImagesTest : public ToolkitTest {};

TEST_F(SkinImagesTest, EveryImageIsInTheProgramAtItsSize) {
    HMODULE skeo = LoadLibraryExW(skeoPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(skeo, nullptr) << "Skeo.exe beside the tests";
    int checked = 0;
    for (const Size& s : kSkinImages) {
        for (UINT id = s.first; id <= s.last; ++id) {
            CGdiPlusBitmapResource image;
            ASSERT_TRUE(image.Load(id, L"PNG", skeo)) << "PNG " << id;
            EXPECT_EQ(image.width(), s.width) << "PNG " << id;
            EXPECT_EQ(image.height(), s.height) << "PNG " << id;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 85);

    // The scroll-bar skin: 9 columns by 3 rows of square cells.
    HBITMAP skin = static_cast<HBITMAP>(LoadImageW(skeo, MAKEINTRESOURCEW(513), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(skin, nullptr) << "BITMAP 513";
    BITMAP info{};
    ASSERT_TRUE(GetObjectW(skin, sizeof info, &info));
    EXPECT_EQ(info.bmWidth % 9, 0);
    EXPECT_EQ(info.bmHeight % 3, 0);
    EXPECT_EQ(info.bmWidth / 9, info.bmHeight / 3);
    EXPECT_GE(info.bmWidth / 9, 8);
    DeleteObject(skin);
    FreeLibrary(skeo);
}

TEST_F(SkinImagesTest, MissingOrUndecodableImagesLeaveTheHolderEmptyAndDrawNothing) {
    CGdiPlusBitmapResource image;
    EXPECT_FALSE(image.Load(298));                // no such resource
    EXPECT_TRUE(image.empty());
    EXPECT_FALSE(image.Load(101, RT_DIALOG));     // a resource that is no image
    EXPECT_TRUE(image.empty());

    vnt::BackBuffer target;
    ASSERT_TRUE(target.create(nullptr, 8, 8));
    target.fill(RGB(1, 2, 3));
    image.draw(target.dc(), 0, 0);
    EXPECT_EQ(GetPixel(target.dc(), 4, 4), RGB(1, 2, 3));

    // Loading again replaces the image.
    ASSERT_TRUE(image.Load(300));
    EXPECT_EQ(image.width(), 230);
    ASSERT_TRUE(image.Load(409));
    EXPECT_EQ(image.width(), 6);
    EXPECT_FALSE(image.Load(298));
    EXPECT_TRUE(image.empty());
}
