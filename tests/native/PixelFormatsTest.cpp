#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "tools/virtualcam/PixelFormats.h"

namespace {

using vcam::Yuv;

struct Known {
    uint8_t r, g, b;
    Yuv yuv;
};

// BT.601 limited range, rounded from the exact weights.
const Known kKnown[] = {
    {0, 0, 0, {16, 128, 128}},       {255, 255, 255, {235, 128, 128}}, {255, 0, 0, {81, 90, 240}},
    {0, 255, 0, {145, 54, 34}},      {0, 0, 255, {41, 240, 110}},      {255, 255, 0, {210, 16, 146}},
    {0, 255, 255, {170, 166, 16}},   {255, 0, 255, {106, 202, 222}},   {128, 128, 128, {126, 128, 128}},
};

// A bottom-up RGB24 frame whose every pixel pair shares one colour, picked from x and the row.
std::vector<uint8_t> pairFrame(int w, int h) {
    std::vector<uint8_t> f(vcam::rgb24FrameBytes(w, h), 0xEE);
    const size_t stride = vcam::rgb24Stride(w);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &f[y * stride + x * 3];
            p[0] = static_cast<uint8_t>((x / 2) * 37 + y * 11);
            p[1] = static_cast<uint8_t>((x / 2) * 91 + y * 5);
            p[2] = static_cast<uint8_t>((x / 2) * 13 + y * 29);
        }
    return f;
}

}  // namespace

TEST(PixelFormats, KnownColoursBothWays) {
    for (const Known& k : kKnown) {
        const Yuv yuv = vcam::rgbToYuv(k.r, k.g, k.b);
        EXPECT_EQ(k.yuv.y, yuv.y) << int(k.r) << "," << int(k.g) << "," << int(k.b);
        EXPECT_EQ(k.yuv.u, yuv.u) << int(k.r) << "," << int(k.g) << "," << int(k.b);
        EXPECT_EQ(k.yuv.v, yuv.v) << int(k.r) << "," << int(k.g) << "," << int(k.b);
        uint8_t r = 0, g = 0, b = 0;
        vcam::yuvToRgb(k.yuv.y, k.yuv.u, k.yuv.v, r, g, b);
        EXPECT_LE(std::abs(r - k.r), 1);
        EXPECT_LE(std::abs(g - k.g), 1);
        EXPECT_LE(std::abs(b - k.b), 1);
    }
    // Black and white come back exactly; values outside the studio swing clamp instead of wrapping.
    uint8_t r = 1, g = 1, b = 1;
    vcam::yuvToRgb(16, 128, 128, r, g, b);
    EXPECT_TRUE(r == 0 && g == 0 && b == 0);
    vcam::yuvToRgb(235, 128, 128, r, g, b);
    EXPECT_TRUE(r == 255 && g == 255 && b == 255);
    vcam::yuvToRgb(255, 128, 128, r, g, b);
    EXPECT_TRUE(r == 255 && g == 255 && b == 255);
    vcam::yuvToRgb(0, 128, 128, r, g, b);
    EXPECT_TRUE(r == 0 && g == 0 && b == 0);
    vcam::yuvToRgb(16, 255, 128, r, g, b);  // blue 256.2, green -49.8
    EXPECT_TRUE(r == 0 && g == 0 && b == 255);
    vcam::yuvToRgb(16, 128, 255, r, g, b);  // red 202.7, green -103.2
    EXPECT_TRUE(r == 203 && g == 0 && b == 0);
}

TEST(PixelFormats, RoundTripStaysWithinTwoLevels) {
    int worst = 0;
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15) {
                const Yuv yuv = vcam::rgbToYuv(uint8_t(r), uint8_t(g), uint8_t(b));
                uint8_t r2, g2, b2;
                vcam::yuvToRgb(yuv.y, yuv.u, yuv.v, r2, g2, b2);
                worst = std::max({worst, std::abs(r2 - r), std::abs(g2 - g), std::abs(b2 - b)});
            }
    EXPECT_LE(worst, 2);

    // Whole frames, with row filler (width 6 has 18 bytes of pixels in a 20-byte row).
    for (int w : {6, 320, 1600}) {
        const int h = w == 1600 ? 1200 : 5;
        const std::vector<uint8_t> src = pairFrame(w, h);
        std::vector<uint8_t> yuy2(vcam::yuy2FrameBytes(w, h)), back(src.size(), 0xEE);
        ASSERT_TRUE(vcam::rgb24ToYuy2(src.data(), src.size(), w, h, yuy2.data(), yuy2.size()));
        ASSERT_TRUE(vcam::yuy2ToRgb24(yuy2.data(), yuy2.size(), w, h, back.data(), back.size()));
        const size_t stride = vcam::rgb24Stride(w);
        for (int y = 0; y < h; ++y) {
            for (int i = 0; i < w * 3; ++i)
                ASSERT_LE(std::abs(back[y * stride + i] - src[y * stride + i]), 2) << w << ": " << i << "," << y;
            for (size_t i = w * 3; i < stride; ++i) ASSERT_EQ(0xEE, back[y * stride + i]);
        }
    }
}

TEST(PixelFormats, YuyvIsTopDownAndPairsShareTheirMeanChroma) {
    const int w = 4, h = 2;
    std::vector<uint8_t> rgb(vcam::rgb24FrameBytes(w, h), 0);
    // Memory row 1 is the top of the picture: red and blue, then white and black.
    const uint8_t top[] = {0, 0, 200, 200, 0, 0, 255, 255, 255, 0, 0, 0};
    std::copy(std::begin(top), std::end(top), rgb.begin() + vcam::rgb24Stride(w));
    std::vector<uint8_t> yuy2(vcam::yuy2FrameBytes(w, h));
    ASSERT_TRUE(vcam::rgb24ToYuy2(rgb.data(), rgb.size(), w, h, yuy2.data(), yuy2.size()));
    const Yuv red = vcam::rgbToYuv(200, 0, 0), blue = vcam::rgbToYuv(0, 0, 200), mean = vcam::rgbToYuv(100, 0, 100);
    EXPECT_EQ(red.y, yuy2[0]);
    EXPECT_EQ(blue.y, yuy2[2]);
    EXPECT_EQ(mean.u, yuy2[1]);
    EXPECT_EQ(mean.v, yuy2[3]);
    EXPECT_EQ(235, yuy2[4]);
    EXPECT_EQ(16, yuy2[6]);
    EXPECT_EQ(128, yuy2[5]);
    // The bottom row is black.
    EXPECT_EQ(std::vector<uint8_t>({16, 128, 16, 128, 16, 128, 16, 128}), std::vector<uint8_t>(yuy2.begin() + 8, yuy2.end()));

    // And back: the first YUY2 row lands in the last memory row.
    std::vector<uint8_t> back(rgb.size(), 0xEE);
    ASSERT_TRUE(vcam::yuy2ToRgb24(yuy2.data(), yuy2.size(), w, h, back.data(), back.size()));
    const size_t upper = vcam::rgb24Stride(w);
    EXPECT_EQ(0, back[0]);
    EXPECT_EQ(255, back[upper + 6]);
}

TEST(PixelFormats, RefusesOddWidthsShortBuffersAndEmptySizes) {
    EXPECT_EQ(0u, vcam::yuy2FrameBytes(639, 480));
    EXPECT_EQ(0u, vcam::yuy2FrameBytes(640, 0));
    EXPECT_EQ(0u, vcam::rgb24FrameBytes(-4, 4));
    EXPECT_EQ(640u * 480 * 2, vcam::yuy2FrameBytes(640, 480));
    EXPECT_EQ(size_t(12), vcam::rgb24Stride(3));
    EXPECT_EQ(size_t(16) * 3, vcam::rgb24FrameBytes(5, 3));

    std::vector<uint8_t> rgb(vcam::rgb24FrameBytes(640, 480), 1), yuy2(vcam::yuy2FrameBytes(640, 480), 2);
    const std::vector<uint8_t> rgbBefore = rgb, yuyBefore = yuy2;
    EXPECT_FALSE(vcam::rgb24ToYuy2(rgb.data(), rgb.size(), 639, 480, yuy2.data(), yuy2.size()));
    EXPECT_FALSE(vcam::rgb24ToYuy2(rgb.data(), rgb.size() - 1, 640, 480, yuy2.data(), yuy2.size()));
    EXPECT_FALSE(vcam::rgb24ToYuy2(rgb.data(), rgb.size(), 640, 480, yuy2.data(), yuy2.size() - 1));
    EXPECT_FALSE(vcam::rgb24ToYuy2(nullptr, rgb.size(), 640, 480, yuy2.data(), yuy2.size()));
    EXPECT_FALSE(vcam::yuy2ToRgb24(yuy2.data(), yuy2.size() - 1, 640, 480, rgb.data(), rgb.size()));
    EXPECT_FALSE(vcam::yuy2ToRgb24(yuy2.data(), yuy2.size(), 640, 480, rgb.data(), rgb.size() - 1));
    EXPECT_FALSE(vcam::yuy2ToRgb24(yuy2.data(), yuy2.size(), 641, 480, rgb.data(), rgb.size()));
    EXPECT_FALSE(vcam::yuy2ToRgb24(yuy2.data(), yuy2.size(), 640, -480, rgb.data(), rgb.size()));
    EXPECT_EQ(rgbBefore, rgb);
    EXPECT_EQ(yuyBefore, yuy2);
}
