#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cmath>
#include <limits>
#include <vector>

#include "imagefx/FrameKernels.h"

namespace {

using vantorfx::FrameFormat;
using vantorfx::Vector;
using vantorfx::ZoomWindow;

// Each vector path this processor can run, so each is held to the portable code.
std::vector<Vector> vectorLevels() {
    std::vector<Vector> levels;
    for (Vector v : {Vector::ssse3, Vector::avx2})
        if (v <= vantorfx::vectorSupport()) levels.push_back(v);
    if (levels.empty()) std::printf("note: this processor has no vector path to compare\n");
    return levels;
}

FrameFormat format(int w, int h, int stride, bool topDown = false) { return FrameFormat{w, h, 3, stride, topDown}; }

// Every pixel names its own column and memory row; row filler is 0xEE. Buffers are exactly one
// frame long, so the sanitizer reports any access past the last row.
std::vector<uint8_t> frame(const FrameFormat& f) {
    std::vector<uint8_t> p(vantorfx::frameBytes(f), 0xEE);
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            uint8_t* px = &p[static_cast<size_t>(y) * f.stride + x * 3];
            px[0] = static_cast<uint8_t>(x);
            px[1] = static_cast<uint8_t>(y);
            px[2] = static_cast<uint8_t>((x >> 8) | (y >> 8) << 4);
        }
    return p;
}

struct Where {
    int x, y;
};

Where at(const std::vector<uint8_t>& p, const FrameFormat& f, int x, int y) {
    const uint8_t* px = &p[static_cast<size_t>(y) * f.stride + x * 3];
    return {px[0] | (px[2] & 0x0F) << 8, px[1] | (px[2] >> 4) << 8};
}

void expectFillerUntouched(const std::vector<uint8_t>& p, const FrameFormat& f, uint8_t fill) {
    for (int y = 0; y < f.height; ++y)
        for (int i = f.width * 3; i < f.stride; ++i) ASSERT_EQ(p[static_cast<size_t>(y) * f.stride + i], fill);
}

TEST(FrameKernels, AcceptsOnlyWholeRgb24FramesThatFitTheAddressSpace) {
    FrameFormat f;
    struct Dib {
        int32_t w, h;
        int bits;
        bool accepted;
        int stride;
        bool topDown;
    };
    for (const Dib& d : std::vector<Dib>{{640, 480, 24, true, 1920, false},
                                         {5, 3, 24, true, 16, false},    // rows padded to 4 bytes
                                         {640, -480, 24, true, 1920, true},
                                         {480, 640, 24, true, 1440, false},  // portrait: zoom copes
                                         {0, 480, 24, false, 0, false},
                                         {-640, 480, 24, false, 0, false},
                                         {640, 0, 24, false, 0, false},
                                         {640, INT32_MIN, 24, false, 0, false},
                                         {640, 480, 32, false, 0, false},
                                         {640, 480, 16, false, 0, false},
                                         {INT32_MAX, 1, 24, false, 0, false}}) {
        SCOPED_TRACE(testing::Message() << d.w << " x " << d.h << " @" << d.bits);
        f = FrameFormat{};
        ASSERT_EQ(vantorfx::formatFromDib(d.w, d.h, d.bits, f), d.accepted);
        if (!d.accepted) continue;
        EXPECT_EQ(f.stride, d.stride);
        EXPECT_EQ(f.topDown, d.topDown);
        EXPECT_GT(f.height, 0);
    }
    EXPECT_FALSE(vantorfx::accepts(format(5, 3, 14)));  // stride shorter than a row
    EXPECT_FALSE(vantorfx::accepts(FrameFormat{4, 4, 4, 16, false}));
    EXPECT_TRUE(vantorfx::accepts(format(5, 3, 15)));  // unpadded rows are fine too
    // The largest frame the fields can describe overflows a 32-bit size_t but not a 64-bit one.
    const FrameFormat huge = format(INT_MAX / 3, INT_MAX, INT_MAX);
    EXPECT_EQ(vantorfx::frameBytes(huge), sizeof(size_t) == 8 ? size_t{INT_MAX} * size_t{INT_MAX} : 0u);
}

TEST(FrameKernels, RefusesShortMissingAndOverlappingBuffersWithoutTouchingThem) {
    const FrameFormat f = format(5, 3, 16);
    const std::vector<uint8_t> src = frame(f);
    EXPECT_TRUE(vantorfx::fitsBuffer(f, 48));
    EXPECT_FALSE(vantorfx::fitsBuffer(f, 47));
    EXPECT_FALSE(vantorfx::fitsBuffer(format(5, 3, 14), 1000));
    std::vector<uint8_t> dst(48, 0x55);
    vantorfx::ZoomScaler scaler;
    for (const vantorfx::Effects e : {vantorfx::Effects{}, vantorfx::Effects{true, true, 2.0f}}) {
        EXPECT_FALSE(vantorfx::transformFrame(f, e, src.data(), 47, dst.data(), 48, scaler));
        EXPECT_FALSE(vantorfx::transformFrame(f, e, src.data(), 48, dst.data(), 47, scaler));
        EXPECT_FALSE(vantorfx::transformFrame(f, e, nullptr, 48, dst.data(), 48, scaler));
        EXPECT_FALSE(vantorfx::transformFrame(f, e, src.data(), 48, nullptr, 48, scaler));
        EXPECT_FALSE(vantorfx::transformFrame(format(5, 3, 14), e, src.data(), 48, dst.data(), 48, scaler));
        EXPECT_EQ(dst, std::vector<uint8_t>(48, 0x55));
    }
    std::vector<uint8_t> both(64);
    EXPECT_FALSE(vantorfx::copyFrame(f, both.data(), 48, both.data() + 16, 48, true, false));
    EXPECT_FALSE(vantorfx::ZoomScaler().scale(src.data(), 48, dst.data(), 48));  // never prepared
}

TEST(FrameKernels, UnzoomedCasesMoveEachPixelWhereItBelongs) {
    struct Case {
        bool mirror, flip;
    };
    // Widths around the 16-pixel vector block, padded and unpadded rows, a single pixel.
    for (const FrameFormat& f : {format(4, 3, 12), format(5, 3, 16), format(7, 2, 21), format(17, 5, 52),
                                 format(33, 4, 99), format(1, 1, 3), format(640, 3, 1920)})
        for (const Case c : {Case{false, false}, Case{false, true}, Case{true, false}, Case{true, true}}) {
            SCOPED_TRACE(testing::Message() << f.width << " x " << f.height << " / " << f.stride << " mirror "
                                            << c.mirror << " flip " << c.flip);
            const std::vector<uint8_t> src = frame(f);
            std::vector<uint8_t> dst(src.size(), 0x55);
            ASSERT_TRUE(vantorfx::copyFrame(f, src.data(), src.size(), dst.data(), dst.size(), c.mirror, c.flip));
            for (int y = 0; y < f.height; ++y)
                for (int x = 0; x < f.width; ++x) {
                    const Where w = at(dst, f, x, y);
                    ASSERT_EQ(w.x, c.mirror ? f.width - 1 - x : x) << x << "," << y;
                    ASSERT_EQ(w.y, c.flip ? f.height - 1 - y : y) << x << "," << y;
                }
            expectFillerUntouched(dst, f, 0x55);
        }
}

TEST(FrameKernels, VectorAndPortableMirrorsAgree) {
    for (int w = 1; w <= 140; ++w) {
        std::vector<uint8_t> src(static_cast<size_t>(w) * 3);
        for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i * 37 + 11);
        std::vector<uint8_t> portable(src.size());
        vantorfx::detail::mirrorRow(src.data(), portable.data(), w, Vector::none);
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) ASSERT_EQ(portable[x * 3 + c], src[(w - 1 - x) * 3 + c]) << w;
        for (Vector level : vectorLevels()) {
            std::vector<uint8_t> vectored(src.size());
            vantorfx::detail::mirrorRow(src.data(), vectored.data(), w, level);
            ASSERT_EQ(vectored, portable) << "width " << w << " at vector level " << static_cast<int>(level);
        }
    }
}

TEST(FrameKernels, ZoomWindowsFollowTheWorkedExamplesAndStayInsideTheFrame) {
    struct Case {
        int w, h;
        bool topDown;
        float zoom;
        int scaledHeight, width, height, left, margin, firstRow;
    };
    const float inf = std::numeric_limits<float>::infinity();
    for (const Case& c : std::vector<Case>{
             {640, 480, false, 2.0f, 240, 320, 240, 160, 120, 119},  // memory rows 119 to 358
             {640, 480, false, 1.25f, 384, 512, 384, 64, 48, 47},
             {1280, 720, false, 2.0f, 360, 480, 360, 400, 180, 179},
             {640, 480, true, 2.0f, 240, 320, 240, 160, 120, 121},  // top-down: the same picture rows
             {480, 640, false, 1.25f, 512, 480, 510, 0, 65, 64},    // portrait: 4:3 wider than the frame
             {100, 480, false, 2.0f, 240, 100, 240, 0, 120, 119},   // narrow
             {640, 481, false, 1.001f, 480, 640, 480, 0, 0, 0},    // margin 0 would start at row -1
             {640, 480, false, 1e6f, 0, 4, 3, 318, 238, 237},      // window below one pixel
             {640, 480, false, inf, 0, 4, 3, 318, 238, 237},
             {2, 1, false, 3.0f, 0, 2, 1, 0, 0, 0}}) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << " zoom " << c.zoom << " top-down " << c.topDown);
        ZoomWindow z;
        ASSERT_TRUE(vantorfx::zoomWindow(format(c.w, c.h, c.w * 3, c.topDown), c.zoom, z));
        EXPECT_EQ(z.scaledHeight, c.scaledHeight);
        EXPECT_EQ(z.width, c.width);
        EXPECT_EQ(z.height, c.height);
        EXPECT_EQ(z.left, c.left);
        EXPECT_EQ(z.margin, c.margin);
        EXPECT_EQ(z.firstRow, c.firstRow);
    }
    for (int w : {1, 2, 3, 5, 64, 333, 640, 1600})
        for (int h : {1, 2, 3, 4, 7, 48, 481, 1200})
            for (bool topDown : {false, true})
                for (float zoom : {1.0001f, 1.25f, 1.5f, 2.0f, 2.5f, 3.0f, 7.0f, 500.0f}) {
                    ZoomWindow z;
                    ASSERT_TRUE(vantorfx::zoomWindow(format(w, h, w * 3, topDown), zoom, z));
                    ASSERT_TRUE(z.width >= 1 && z.height >= 1 && z.left >= 0 && z.firstRow >= 0 &&
                                z.left + z.width <= w && z.firstRow + z.height <= h)
                        << w << " x " << h << " zoom " << zoom;
                }
}

TEST(FrameKernels, OnlyFactorsAboveOneZoom) {
    for (float f : {1.0f, 0.5f, 0.0f, -2.0f, std::nanf("")}) {
        EXPECT_FALSE(vantorfx::zooms(f)) << f;
        ZoomWindow z;
        EXPECT_FALSE(vantorfx::zoomWindow(format(640, 480, 1920), f, z));
    }
    for (float f : {1.25f, 1.5f, 2.0f, 2.5f, 3.0f, std::nextafter(1.0f, 2.0f)}) EXPECT_TRUE(vantorfx::zooms(f)) << f;
    // A factor below 1 is no zoom: the frame passes as the unzoomed path would give it.
    const FrameFormat f = format(8, 6, 24);
    const std::vector<uint8_t> src = frame(f);
    std::vector<uint8_t> halved(src.size()), plain(src.size());
    vantorfx::ZoomScaler scaler;
    ASSERT_TRUE(vantorfx::transformFrame(f, {true, false, 0.5f}, src.data(), 144, halved.data(), 144, scaler));
    ASSERT_TRUE(vantorfx::copyFrame(f, src.data(), 144, plain.data(), 144, true, false));
    EXPECT_EQ(halved, plain);
}

TEST(FrameKernels, DoubleZoomEnlargesEachWindowPixelToTwoByTwo) {
    // 64 x 48 at 2.0: window 32 x 24 from column 16, memory row 11 (13 when top-down).
    struct Case {
        bool mirror, flip, topDown;
        int stride;
    };
    for (const Case c : {Case{false, false, false, 192}, Case{true, false, false, 192}, Case{false, true, false, 200},
                         Case{true, true, true, 200}}) {
        SCOPED_TRACE(testing::Message() << "mirror " << c.mirror << " flip " << c.flip << " top-down " << c.topDown);
        const FrameFormat f = format(64, 48, c.stride, c.topDown);
        const std::vector<uint8_t> src = frame(f);
        std::vector<uint8_t> dst(src.size(), 0x55);
        vantorfx::ZoomScaler scaler;
        ASSERT_TRUE(vantorfx::transformFrame(f, {c.mirror, c.flip, 2.0f}, src.data(), src.size(), dst.data(),
                                             dst.size(), scaler));
        const int first = c.topDown ? 13 : 11;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const Where w = at(dst, f, x, y);
                ASSERT_EQ(w.x, c.mirror ? 47 - x / 2 : 16 + x / 2) << x << "," << y;
                ASSERT_EQ(w.y, c.flip ? first + 23 - y / 2 : first + y / 2) << x << "," << y;
            }
        expectFillerUntouched(dst, f, 0x55);
    }
}

// Grey inside the zoom window, magenta outside: a blend with anything outside the window would
// leave a pixel whose channels differ.
std::vector<uint8_t> greyWindowFrame(const FrameFormat& f, const ZoomWindow& z) {
    std::vector<uint8_t> p(static_cast<size_t>(f.stride) * f.height, 0);
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            uint8_t* px = &p[static_cast<size_t>(y) * f.stride + x * 3];
            const bool inside = x >= z.left && x < z.left + z.width && y >= z.firstRow && y < z.firstRow + z.height;
            const uint8_t grey = static_cast<uint8_t>(20 + (x * 7 + y * 13) % 200);
            px[0] = inside ? grey : 255;
            px[1] = inside ? grey : 0;
            px[2] = inside ? grey : 255;
        }
    return p;
}

TEST(FrameKernels, ZoomTakesOnlyWindowPixelsAndKeepsItsCorners) {
    struct Case {
        int w, h;
        bool topDown;
        float zoom;
        bool mirror, flip;
    };
    // The margin-0 top-down frame's window holds the frame's last byte.
    for (const Case& c : std::vector<Case>{{1280, 720, false, 2.0f, false, false},
                                           {640, 480, false, 1.25f, true, false},
                                           {480, 640, false, 1.25f, true, true},
                                           {640, 481, true, 1.001f, false, true},
                                           {640, 481, true, 1.001f, true, false},
                                           {7, 5, false, 1.5f, true, false},
                                           {1, 1, false, 3.0f, false, false}}) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << " zoom " << c.zoom << " mirror " << c.mirror
                                        << " flip " << c.flip);
        const FrameFormat f = format(c.w, c.h, c.w * 3, c.topDown);
        ZoomWindow z;
        ASSERT_TRUE(vantorfx::zoomWindow(f, c.zoom, z));
        const std::vector<uint8_t> src = greyWindowFrame(f, z);
        std::vector<uint8_t> dst(src.size());
        vantorfx::ZoomScaler scaler;
        ASSERT_TRUE(vantorfx::transformFrame(f, {c.mirror, c.flip, c.zoom}, src.data(), src.size(), dst.data(),
                                             dst.size(), scaler));
        for (size_t i = 0; i < dst.size(); i += 3)
            ASSERT_TRUE(dst[i] == dst[i + 1] && dst[i + 1] == dst[i + 2]) << "pixel " << i / 3 << " took from outside";
        // The output's corners are the window's corners, unblended.
        const auto pixel = [&](const std::vector<uint8_t>& p, int x, int y) { return p[static_cast<size_t>(y) * f.stride + x * 3]; };
        const int left = z.left, right = z.left + z.width - 1, top = z.firstRow, bottom = z.firstRow + z.height - 1;
        EXPECT_EQ(pixel(dst, 0, 0), pixel(src, c.mirror ? right : left, c.flip ? bottom : top));
        EXPECT_EQ(pixel(dst, c.w - 1, c.h - 1), pixel(src, c.mirror ? left : right, c.flip ? top : bottom));
    }
}

// What the filter's zoom must look like: each output pixel's centre mapped into the window, the
// four window pixels around it weighted by distance, in double precision.
TEST(FrameKernels, ZoomIsBilinearWithinTwoStepsOfAnExactScale) {
    for (float zoom : {1.25f, 1.5f, 2.0f, 2.5f, 3.0f}) {
        for (bool mirror : {false, true}) {
            SCOPED_TRACE(testing::Message() << "zoom " << zoom << " mirror " << mirror);
            const FrameFormat f = format(160, 120, 480);
            ZoomWindow z;
            ASSERT_TRUE(vantorfx::zoomWindow(f, zoom, z));
            std::vector<uint8_t> src(static_cast<size_t>(f.stride) * f.height);
            for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>((i * 2654435761u) >> 24);
            std::vector<uint8_t> dst(src.size());
            vantorfx::ZoomScaler scaler;
            ASSERT_TRUE(vantorfx::transformFrame(f, {mirror, false, zoom}, src.data(), src.size(), dst.data(),
                                                 dst.size(), scaler));
            const auto position = [](int i, int out, int in) {
                return std::clamp((i + 0.5) * in / out - 0.5, 0.0, static_cast<double>(in - 1));
            };
            double worst = 0, total = 0;
            for (int y = 0; y < f.height; ++y)
                for (int x = 0; x < f.width; ++x) {
                    const double px = position(mirror ? f.width - 1 - x : x, f.width, z.width);
                    const double py = position(y, f.height, z.height);
                    const int x0 = static_cast<int>(px), y0 = static_cast<int>(py);
                    const int x1 = std::min(x0 + 1, z.width - 1), y1 = std::min(y0 + 1, z.height - 1);
                    const double fx = px - x0, fy = py - y0;
                    for (int ch = 0; ch < 3; ++ch) {
                        const auto s = [&](int cx, int cy) {
                            return double(src[static_cast<size_t>(z.firstRow + cy) * f.stride + (z.left + cx) * 3 + ch]);
                        };
                        const double exact = (s(x0, y0) * (1 - fx) + s(x1, y0) * fx) * (1 - fy) +
                                             (s(x0, y1) * (1 - fx) + s(x1, y1) * fx) * fy;
                        const int got = dst[static_cast<size_t>(y) * f.stride + x * 3 + ch];
                        worst = std::max(worst, std::fabs(got - exact));
                        total += std::fabs(got - exact);
                    }
                }
            // Weights in 1/128 steps, rounded across and then down: under two steps from the exact
            // value on noise, the worst case, and half a step on average.
            EXPECT_LT(worst, 2.0);
            EXPECT_LT(total / (3.0 * f.width * f.height), 0.5);
        }
    }
}

TEST(FrameKernels, TheVectorZoomEqualsThePortableOne) {
    struct Case {
        int w, h, stride;
        bool topDown;
        float zoom;
        bool mirror, flip;
    };
    // Widths that leave pixels after the last block of four, filler at the rows' ends, the last
    // row's load ending exactly at the frame's end.
    for (const Case& c : std::vector<Case>{{160, 120, 480, false, 2.0f, false, false},
                                           {161, 121, 484, true, 1.25f, true, false},
                                           {162, 120, 488, false, 3.0f, false, true},
                                           {163, 97, 489, false, 1.001f, true, true},
                                           {7, 5, 21, false, 1.5f, true, false},
                                           {640, 480, 1920, true, 2.5f, true, true}}) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << " zoom " << c.zoom);
        const FrameFormat f = format(c.w, c.h, c.stride, c.topDown);
        std::vector<uint8_t> src(static_cast<size_t>(f.stride) * f.height);
        for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>((i * 2654435761u) >> 24);
        std::vector<uint8_t> portable(src.size(), 0x55);
        vantorfx::ZoomScaler reference;
        reference.limitVector(Vector::none);
        ASSERT_TRUE(vantorfx::transformFrame(f, {c.mirror, c.flip, c.zoom}, src.data(), src.size(), portable.data(),
                                             portable.size(), reference));
        for (Vector level : vectorLevels()) {
            std::vector<uint8_t> vector(src.size(), 0x55);
            vantorfx::ZoomScaler fast;
            fast.limitVector(level);
            ASSERT_TRUE(vantorfx::transformFrame(f, {c.mirror, c.flip, c.zoom}, src.data(), src.size(),
                                                 vector.data(), vector.size(), fast));
            EXPECT_EQ(vector, portable) << "vector level " << static_cast<int>(level);
        }
    }
}

TEST(FrameKernels, TheVectorBlendOfTheZoomEqualsThePortableOne) {
    std::vector<uint8_t> a(203), b(203);
    for (size_t i = 0; i < a.size(); ++i) {
        a[i] = static_cast<uint8_t>((i * 977) % 256);
        b[i] = static_cast<uint8_t>(255 - (i * 577) % 256);
    }
    a[0] = b[0] = a[1] = b[1] = 255;  // the largest sum a lane holds
    for (int wb : {1, 32, 64, 100, 127}) {
        std::vector<uint8_t> portable(a.size());
        vantorfx::detail::blendRows(a.data(), b.data(), 128 - wb, wb, portable.data(), a.size(), Vector::none);
        for (Vector level : vectorLevels()) {
            std::vector<uint8_t> vector(a.size());
            vantorfx::detail::blendRows(a.data(), b.data(), 128 - wb, wb, vector.data(), a.size(), level);
            EXPECT_EQ(vector, portable) << wb << " at vector level " << static_cast<int>(level);
        }
        EXPECT_EQ(portable[0], 255);
        EXPECT_EQ(portable[2], (a[2] * (128 - wb) + b[2] * wb + 64) >> 7);
    }
}

}  // namespace

namespace {

// A window of one picture scaled to another size, rows of both with filler, every vector level
// against the portable code and that against the double-precision bilinear value.
TEST(BilinearScaler, AnyWindowToAnySizeIsBilinearAndLeavesFillerAlone) {
    using vantorfx::BilinearScaler;
    struct Case {
        BilinearScaler::Rows source;
        BilinearScaler::Window window;
        BilinearScaler::Rows target;
    };
    for (const Case& c : std::vector<Case>{{{37, 23, 112}, {0, 0, 37, 23}, {101, 77, 304}},
                                           {{640, 480, 1920}, {0, 0, 640, 480}, {1920, 1440, 5760}},
                                           {{90, 60, 272}, {10, 5, 33, 21}, {7, 5, 24}},
                                           {{5, 4, 16}, {0, 0, 5, 4}, {1, 1, 4}}}) {
        SCOPED_TRACE(testing::Message() << c.target.width << " x " << c.target.height);
        std::vector<uint8_t> src(static_cast<size_t>(c.source.stride) * c.source.height);
        for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>((i * 2654435761u) >> 24);
        const size_t bytes = static_cast<size_t>(c.target.stride) * c.target.height;
        std::vector<uint8_t> portable(bytes, 0xEE);
        BilinearScaler reference;
        reference.limitVector(Vector::none);
        ASSERT_TRUE(reference.prepare(c.source, c.window, c.target, false, false));
        ASSERT_TRUE(reference.scale(src.data(), src.size(), portable.data(), portable.size()));
        for (Vector level : vectorLevels()) {
            std::vector<uint8_t> vector(bytes, 0xEE);
            BilinearScaler fast;
            fast.limitVector(level);
            ASSERT_TRUE(fast.prepare(c.source, c.window, c.target, false, false));
            ASSERT_TRUE(fast.scale(src.data(), src.size(), vector.data(), vector.size()));
            EXPECT_EQ(vector, portable) << "vector level " << static_cast<int>(level);
        }
        const auto position = [](int i, int out, int in) {
            return std::clamp((i + 0.5) * in / out - 0.5, 0.0, static_cast<double>(in - 1));
        };
        double total = 0;
        for (int y = 0; y < c.target.height; ++y) {
            for (int x = 0; x < c.target.width; ++x) {
                const double px = position(x, c.target.width, c.window.width);
                const double py = position(y, c.target.height, c.window.height);
                const int x0 = static_cast<int>(px), y0 = static_cast<int>(py);
                const int x1 = std::min(x0 + 1, c.window.width - 1), y1 = std::min(y0 + 1, c.window.height - 1);
                const double fx = px - x0, fy = py - y0;
                for (int ch = 0; ch < 3; ++ch) {
                    const auto s = [&](int cx, int cy) {
                        return double(src[static_cast<size_t>(c.window.firstRow + cy) * c.source.stride +
                                          (c.window.left + cx) * 3 + ch]);
                    };
                    const double exact = (s(x0, y0) * (1 - fx) + s(x1, y0) * fx) * (1 - fy) +
                                         (s(x0, y1) * (1 - fx) + s(x1, y1) * fx) * fy;
                    const int got = portable[static_cast<size_t>(y) * c.target.stride + x * 3 + ch];
                    ASSERT_LT(std::fabs(got - exact), 2.0) << x << "," << y;
                    total += std::fabs(got - exact);
                }
            }
            for (int i = c.target.width * 3; i < c.target.stride; ++i)
                ASSERT_EQ(0xEE, portable[static_cast<size_t>(y) * c.target.stride + i]) << "filler of row " << y;
        }
        EXPECT_LT(total / (3.0 * c.target.width * c.target.height), 0.5);
    }
}

TEST(BilinearScaler, RefusesWindowsOutsideTheSourceAndOverlappingBuffers) {
    using vantorfx::BilinearScaler;
    BilinearScaler scaler;
    const BilinearScaler::Rows source{10, 10, 32}, target{20, 20, 60};
    EXPECT_FALSE(scaler.prepare(source, {5, 0, 6, 10}, target, false, false)) << "one column past the edge";
    EXPECT_FALSE(scaler.prepare(source, {0, -1, 10, 10}, target, false, false));
    EXPECT_FALSE(scaler.prepare(source, {0, 0, 0, 10}, target, false, false));
    EXPECT_FALSE(scaler.prepare({10, 10, 29}, {0, 0, 10, 10}, target, false, false)) << "stride short of a row";
    std::vector<uint8_t> src(320), dst(1200);
    EXPECT_FALSE(scaler.scale(src.data(), src.size(), dst.data(), dst.size())) << "never prepared";
    ASSERT_TRUE(scaler.prepare(source, {0, 0, 10, 10}, target, false, false));
    EXPECT_FALSE(scaler.scale(src.data(), src.size() - 1, dst.data(), dst.size()));
    EXPECT_FALSE(scaler.scale(src.data(), src.size(), dst.data(), dst.size() - 1));
    std::vector<uint8_t> shared(2000);
    EXPECT_FALSE(scaler.scale(shared.data() + 900, 320, shared.data(), 1200)) << "overlapping";
    EXPECT_TRUE(scaler.scale(src.data(), src.size(), dst.data(), dst.size()));
}

}  // namespace
