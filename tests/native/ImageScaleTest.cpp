#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "library/ImageScale.h"

namespace {

std::vector<uint8_t> solid(int w, int h, int stride, uint8_t b, uint8_t g, uint8_t r) {
    std::vector<uint8_t> p(static_cast<size_t>(stride) * h, 0xEE);  // padding must never be read into pixels
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            p[y * stride + x * 3] = b;
            p[y * stride + x * 3 + 1] = g;
            p[y * stride + x * 3 + 2] = r;
        }
    return p;
}

TEST(ImageScale, AveragesTheAreaEachPixelCovers) {
    // 4 x 2 source: left half black, right half white -> 2 x 1: black, white; 1 x 1: mid grey.
    std::vector<uint8_t> src = solid(4, 2, 12, 0, 0, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 2; x < 4; ++x)
            for (int c = 0; c < 3; ++c) src[y * 12 + x * 3 + c] = 255;
    std::vector<uint8_t> two(6);
    skeo::downscaleBgr24(src.data(), 4, 2, 12, two.data(), 2, 1, 6);
    EXPECT_EQ(two, (std::vector<uint8_t>{0, 0, 0, 255, 255, 255}));
    std::vector<uint8_t> one(3);
    skeo::downscaleBgr24(src.data(), 4, 2, 12, one.data(), 1, 1, 3);
    EXPECT_EQ(one, (std::vector<uint8_t>{128, 128, 128}));
}

TEST(ImageScale, KeepsColoursAndChannelOrderAndIgnoresRowPadding) {
    const int w = 1600, h = 1200, stride = w * 3 + 4;
    const std::vector<uint8_t> src = solid(w, h, stride, 10, 20, 30);
    const int tw = 160, th = 120, tstride = tw * 3 + 2;
    std::vector<uint8_t> dst(static_cast<size_t>(tstride) * th, 0x55);
    skeo::downscaleBgr24(src.data(), w, h, stride, dst.data(), tw, th, tstride);
    for (int y = 0; y < th; ++y) {
        for (int x = 0; x < tw; ++x) {
            ASSERT_EQ(dst[y * tstride + x * 3], 10);
            ASSERT_EQ(dst[y * tstride + x * 3 + 1], 20);
            ASSERT_EQ(dst[y * tstride + x * 3 + 2], 30);
        }
        EXPECT_EQ(dst[y * tstride + tw * 3], 0x55) << "target padding left alone";
    }
}

TEST(ImageScale, OddSizesAndEnlargingStayInsideBothBuffers) {
    // Exact-size buffers: the sanitizer reports any read or write outside them.
    for (const auto& s : std::vector<std::array<int, 4>>{{7, 5, 3, 2}, {5, 7, 160, 120}, {1, 1, 3, 3}, {333, 1, 2, 1}}) {
        std::vector<uint8_t> src(static_cast<size_t>(s[0]) * 3 * s[1], 77);
        std::vector<uint8_t> dst(static_cast<size_t>(s[2]) * 3 * s[3]);
        skeo::downscaleBgr24(src.data(), s[0], s[1], s[0] * 3, dst.data(), s[2], s[3], s[2] * 3);
        for (uint8_t v : dst) ASSERT_EQ(v, 77);
    }
}

}  // namespace
