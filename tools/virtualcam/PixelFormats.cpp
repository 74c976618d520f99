#include "tools/virtualcam/PixelFormats.h"

#include <cstdint>
#include <limits>

namespace vcam {

namespace {

// 16.16 fixed point, rounded from the exact BT.601 weights (Kr 0.299, Kb 0.114) scaled to the
// 219 luma and 224 chroma steps of limited range.
constexpr int fix(double v) { return static_cast<int>(v * 65536.0 + (v < 0 ? -0.5 : 0.5)); }

constexpr double kLuma = 219.0 / 255.0;
constexpr double kChroma = 224.0 / 255.0;
constexpr int kYR = fix(0.299 * kLuma), kYG = fix(0.587 * kLuma), kYB = fix(0.114 * kLuma);
constexpr int kUR = fix(-0.168736 * kChroma), kUG = fix(-0.331264 * kChroma), kUB = fix(0.5 * kChroma);
constexpr int kVR = fix(0.5 * kChroma), kVG = fix(-0.418688 * kChroma), kVB = fix(-0.081312 * kChroma);

constexpr int kY = fix(255.0 / 219.0);
constexpr int kRV = fix(1.402 * 255.0 / 224.0);
constexpr int kGU = fix(0.344136 * 255.0 / 224.0), kGV = fix(0.714136 * 255.0 / 224.0);
constexpr int kBU = fix(1.772 * 255.0 / 224.0);

constexpr int kHalf = 1 << 15;

// The sums below are offset so they are never negative: a right shift of a negative value is
// not portable before C++20.
uint8_t lumaOf(int r, int g, int b) { return static_cast<uint8_t>((kYR * r + kYG * g + kYB * b + (16 << 16) + kHalf) >> 16); }
uint8_t uOf(int r, int g, int b) { return static_cast<uint8_t>((kUR * r + kUG * g + kUB * b + (128 << 16) + kHalf) >> 16); }
uint8_t vOf(int r, int g, int b) { return static_cast<uint8_t>((kVR * r + kVG * g + kVB * b + (128 << 16) + kHalf) >> 16); }

uint8_t clampFixed(int v) {
    if (v <= 0) return 0;
    v >>= 16;
    return static_cast<uint8_t>(v > 255 ? 255 : v);
}

// Blue, green, red in memory order.
inline void storeYuv(int y, int u, int v, uint8_t* bgr) {
    const int luma = kY * (y - 16) + kHalf;
    const int du = u - 128, dv = v - 128;
    bgr[0] = clampFixed(luma + kBU * du);
    bgr[1] = clampFixed(luma - kGU * du - kGV * dv);
    bgr[2] = clampFixed(luma + kRV * dv);
}

bool holds(size_t frame, const uint8_t* buffer, size_t length) { return frame != 0 && buffer && length >= frame; }

size_t frameBytes(int width, int height, size_t stride) {
    if (width <= 0 || height <= 0) return 0;
    const size_t rows = static_cast<size_t>(height);
    if (stride > std::numeric_limits<size_t>::max() / rows) return 0;
    return stride * rows;
}

}  // namespace

size_t rgb24Stride(int width) {
    if (width <= 0 || static_cast<size_t>(width) > (std::numeric_limits<size_t>::max() - 3) / 3) return 0;
    return (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
}

size_t rgb24FrameBytes(int width, int height) { return frameBytes(width, height, rgb24Stride(width)); }

size_t yuy2FrameBytes(int width, int height) {
    if (width <= 0 || width % 2 != 0) return 0;
    return frameBytes(width, height, static_cast<size_t>(width) * 2);
}

Yuv rgbToYuv(uint8_t r, uint8_t g, uint8_t b) { return Yuv{lumaOf(r, g, b), uOf(r, g, b), vOf(r, g, b)}; }

void yuvToRgb(uint8_t y, uint8_t u, uint8_t v, uint8_t& r, uint8_t& g, uint8_t& b) {
    uint8_t bgr[3];
    storeYuv(y, u, v, bgr);
    b = bgr[0];
    g = bgr[1];
    r = bgr[2];
}

bool rgb24ToYuy2(const uint8_t* rgb, size_t rgbLength, int width, int height, uint8_t* yuy2, size_t yuy2Length) {
    const size_t rgbBytes = rgb24FrameBytes(width, height), yuyBytes = yuy2FrameBytes(width, height);
    if (!holds(rgbBytes, rgb, rgbLength) || !holds(yuyBytes, yuy2, yuy2Length)) return false;
    const size_t stride = rgb24Stride(width);
    for (int row = 0; row < height; ++row) {
        const uint8_t* s = rgb + static_cast<size_t>(height - 1 - row) * stride;
        uint8_t* d = yuy2 + static_cast<size_t>(row) * width * 2;
        for (int x = 0; x < width; x += 2, s += 6, d += 4) {
            const int b0 = s[0], g0 = s[1], r0 = s[2], b1 = s[3], g1 = s[4], r1 = s[5];
            d[0] = lumaOf(r0, g0, b0);
            d[2] = lumaOf(r1, g1, b1);
            // The pair's chroma from the sum of both pixels: twice the weights' range, so the
            // mean is taken in the same rounding step.
            const int r = r0 + r1, g = g0 + g1, b = b0 + b1;
            d[1] = static_cast<uint8_t>((kUR * r + kUG * g + kUB * b + (256 << 16) + (1 << 16)) >> 17);
            d[3] = static_cast<uint8_t>((kVR * r + kVG * g + kVB * b + (256 << 16) + (1 << 16)) >> 17);
        }
    }
    return true;
}

bool yuy2ToRgb24(const uint8_t* yuy2, size_t yuy2Length, int width, int height, uint8_t* rgb, size_t rgbLength) {
    const size_t rgbBytes = rgb24FrameBytes(width, height), yuyBytes = yuy2FrameBytes(width, height);
    if (!holds(rgbBytes, rgb, rgbLength) || !holds(yuyBytes, yuy2, yuy2Length)) return false;
    const size_t stride = rgb24Stride(width);
    for (int row = 0; row < height; ++row) {
        const uint8_t* s = yuy2 + static_cast<size_t>(row) * width * 2;
        uint8_t* d = rgb + static_cast<size_t>(height - 1 - row) * stride;
        for (int x = 0; x < width; x += 2, s += 4, d += 6) {
            storeYuv(s[0], s[1], s[3], d);
            storeYuv(s[2], s[1], s[3], d + 3);
        }
    }
    return true;
}

}  // namespace vcam
