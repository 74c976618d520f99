// Every skin image the windows draw is in the shipped program at the size its window expects, at
// every display scale, and the image holder copes with what is missing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/ModulePath.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/CGdiPlusBitmap.h"
#include "toolkit/SkinResource.h"

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

// The display scales Windows offers, as DPI, and the scale of the image set each must get.
const struct {
    int dpi;
    int percent;
} kDisplayScales[] = {{96, 100}, {120, 125}, {144, 150}, {192, 200}};

// Only in this test program's resources, and only at 100 %.
constexpr UINT kUnscaledPng = 290;
constexpr UINT kUnscaledBitmap = 291;
constexpr UINT kMissing = 298;
constexpr UINT kScrollBarSkin = 513;

std::wstring skeoPath() {
    std::wstring path = vnt::modulePath();
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"Skeo.exe";
}

// The image's pixels as 32-bit ARGB rows; empty when it cannot be read.
std::vector<BYTE> argbPixels(const CGdiPlusBitmap& image) {
    Gdiplus::Bitmap* bitmap = image.bitmap();
    if (!bitmap) return {};
    Gdiplus::Rect all(0, 0, image.width(), image.height());
    Gdiplus::BitmapData data{};
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) return {};
    std::vector<BYTE> pixels(static_cast<size_t>(image.width()) * image.height() * 4);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(&pixels[static_cast<size_t>(y) * image.width() * 4], static_cast<const BYTE*>(data.Scan0) + y * data.Stride, image.width() * 4);
    bitmap->UnlockBits(&data);
    return pixels;
}

// A DIB section's size and bits.
struct DibPixels {
    int width = 0;
    int height = 0;
    std::vector<BYTE> bits;
};

DibPixels dibPixels(HBITMAP bitmap) {
    DibPixels result;
    DIBSECTION dib{};
    if (!bitmap || GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits) return result;
    result.width = dib.dsBm.bmWidth;
    result.height = dib.dsBm.bmHeight;
    const BYTE* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
    result.bits.assign(bits, bits + static_cast<size_t>(dib.dsBm.bmWidthBytes) * dib.dsBm.bmHeight);
    DeleteObject(bitmap);
    return result;
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

TEST_F(SkinImagesTest, EachDisplayScaleGetsItsOwnImagesAtTheirScaledSize) {
    HMODULE skeo = LoadLibraryExW(skeoPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(skeo, nullptr) << "Skeo.exe beside the tests";
    const DibPixels scrollBar = dibPixels(toolkit::LoadSkinBitmap(kScrollBarSkin, 96, skeo));
    ASSERT_GT(scrollBar.width, 0) << "BITMAP 513";
    for (const auto& scale : kDisplayScales) {
        for (const Size& s : kSkinImages) {
            for (UINT id = s.first; id <= s.last; ++id) {
                CGdiPlusBitmapResource image;
                ASSERT_TRUE(image.LoadForDpi(id, scale.dpi, L"PNG", skeo)) << "PNG " << id << " at " << scale.dpi << " DPI";
                EXPECT_EQ(image.width(), MulDiv(s.width, scale.percent, 100)) << "PNG " << id << " at " << scale.dpi << " DPI";
                EXPECT_EQ(image.height(), MulDiv(s.height, scale.percent, 100)) << "PNG " << id << " at " << scale.dpi << " DPI";
            }
        }
        // Its cells grow with the scale, so the bitmap grows by the same factor both ways.
        const DibPixels bar = dibPixels(toolkit::LoadSkinBitmap(kScrollBarSkin, scale.dpi, skeo));
        EXPECT_EQ(bar.width, MulDiv(scrollBar.width, scale.percent, 100)) << "BITMAP 513 at " << scale.dpi << " DPI";
        EXPECT_EQ(bar.height, MulDiv(scrollBar.height, scale.percent, 100)) << "BITMAP 513 at " << scale.dpi << " DPI";
    }
    FreeLibrary(skeo);
}

TEST_F(SkinImagesTest, AtNinetySixDpiEveryImageIsTheOneLoadedByItsIdAlone) {
    HMODULE skeo = LoadLibraryExW(skeoPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(skeo, nullptr) << "Skeo.exe beside the tests";
    for (const Size& s : kSkinImages) {
        for (UINT id = s.first; id <= s.last; ++id) {
            CGdiPlusBitmapResource byId, forDpi;
            ASSERT_TRUE(byId.Load(id, L"PNG", skeo)) << "PNG " << id;
            ASSERT_TRUE(forDpi.LoadForDpi(id, 96, L"PNG", skeo)) << "PNG " << id;
            EXPECT_TRUE(argbPixels(forDpi) == argbPixels(byId)) << "PNG " << id;
        }
    }
    const DibPixels byId = dibPixels(static_cast<HBITMAP>(
        LoadImageW(skeo, MAKEINTRESOURCEW(kScrollBarSkin), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    const DibPixels forDpi = dibPixels(toolkit::LoadSkinBitmap(kScrollBarSkin, 96, skeo));
    ASSERT_FALSE(byId.bits.empty());
    EXPECT_EQ(forDpi.width, byId.width);
    EXPECT_TRUE(forDpi.bits == byId.bits);
    FreeLibrary(skeo);
}

TEST_F(SkinImagesTest, AnImageTheNearerSetLacksIsTheHundredPercentOne) {
    for (const auto& scale : kDisplayScales) {
        CGdiPlusBitmapResource image;
        ASSERT_TRUE(image.LoadForDpi(kUnscaledPng, scale.dpi)) << scale.dpi << " DPI";
        EXPECT_EQ(image.width(), 6) << scale.dpi << " DPI";
        EXPECT_FALSE(image.LoadForDpi(kMissing, scale.dpi)) << scale.dpi << " DPI";
        EXPECT_TRUE(image.empty());

        EXPECT_EQ(dibPixels(toolkit::LoadSkinBitmap(kUnscaledBitmap, scale.dpi)).width, 108) << scale.dpi << " DPI";
        EXPECT_EQ(toolkit::LoadSkinBitmap(kMissing, scale.dpi), nullptr) << scale.dpi << " DPI";
    }
}
