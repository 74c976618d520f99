#include <gtest/gtest.h>

#include <vector>

#include "tools/virtualcam/PixelFormats.h"
#include "tools/virtualcam/TestPicture.h"

namespace {

using vcam::ImageControls;
using vcam::Rgb;
namespace tp = vcam::testpicture;

struct Size {
    int w, h;
};
const Size kCameraSizes[] = {{1600, 1200}, {1280, 1024}, {1024, 768}, {800, 600}, {640, 480}, {320, 240}};

struct Frame {
    int w, h;
    std::vector<uint8_t> bytes;
    // Picture coordinates: y counts down from the top row.
    Rgb at(int x, int y) const {
        const uint8_t* p = &bytes[static_cast<size_t>(h - 1 - y) * vcam::rgb24Stride(w) + x * 3];
        return Rgb{p[2], p[1], p[0]};
    }
    Rgb centreOf(const tp::Rect& r) const { return at(r.left + r.width / 2, r.top + r.height / 2); }
};

Frame render(vcam::TestPicture& picture, uint64_t n) {
    Frame f{picture.width(), picture.height(), std::vector<uint8_t>(picture.frameBytes() + 64, 0xEE)};
    EXPECT_TRUE(picture.render(n, f.bytes.data(), f.bytes.size()));
    return f;
}

bool near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

int luma(Rgb c) { return c.r * 299 + c.g * 587 + c.b * 114; }

}  // namespace

TEST(TestPicture, OrientationMarksBarsAndCentreAtEveryCameraSize) {
    for (const Size& s : kCameraSizes) {
        SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h));
        vcam::TestPicture picture;
        ASSERT_TRUE(picture.setSize(s.w, s.h));
        ASSERT_EQ(vcam::rgb24FrameBytes(s.w, s.h), picture.frameBytes());
        const Frame f = render(picture, 0);
        // The corners as memory holds them: the first memory row is the picture's bottom.
        const size_t last = f.bytes.size() - 64 - vcam::rgb24Stride(s.w);
        auto memory = [&](size_t offset) { return Rgb{f.bytes[offset + 2], f.bytes[offset + 1], f.bytes[offset]}; };
        EXPECT_EQ(tp::kBottomLeft, memory(0));
        EXPECT_EQ(tp::kBottomRight, memory((s.w - 1) * 3));
        EXPECT_EQ(tp::kTopLeft, memory(last));
        EXPECT_EQ(tp::kTopRight, memory(last + (s.w - 1) * 3));
        // Marks a sixth of the height wide, so a 2x zoom still leaves them apart.
        const int u = s.h / 12;
        EXPECT_EQ(tp::kTopLeft, f.at(2 * u - 1, 2 * u - 1));
        EXPECT_NE(tp::kTopLeft, f.at(2 * u, 2 * u - 1));

        // Bars left to right, at their centres, above the centre mark.
        const int y = 3 * u;
        const Rgb bars[8] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                             {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {0, 0, 0}};
        for (int i = 0; i < 8; ++i) EXPECT_EQ(bars[i], f.at((2 * i + 1) * s.w / 16, y)) << "bar " << i;
        // The ramp runs from black at the left to white at the right.
        EXPECT_EQ((Rgb{0, 0, 0}), f.at(2 * u, u));
        EXPECT_EQ((Rgb{255, 255, 255}), f.at(s.w - 2 * u - 1, u));

        // Centre mark: white inside, black ring, symmetric about the centre.
        const int cx = s.w / 2, cy = s.h / 2;
        EXPECT_EQ(tp::kInk, f.at(cx, cy));
        EXPECT_EQ(tp::kInk, f.at(cx - 1, cy - 1));
        EXPECT_EQ(tp::kPaper, f.at(cx - u, cy));
        EXPECT_EQ(tp::kPaper, f.at(cx + u - 1, cy));
        EXPECT_NE(tp::kPaper, f.at(cx + u, cy));
        EXPECT_NE(tp::kPaper, f.at(cx - u - 1, cy));

        uint32_t counter = 99;
        EXPECT_TRUE(tp::readCounter(f.bytes.data(), f.bytes.size(), s.w, s.h, counter));
        EXPECT_EQ(0u, counter);
    }
}

TEST(TestPicture, CounterAndBlockMoveFromFrameToFrameAndNothingElse) {
    vcam::TestPicture picture;
    ASSERT_TRUE(picture.setSize(640, 480));
    const tp::Layout l = tp::layout(640, 480);
    const Frame a = render(picture, 41), b = render(picture, 42);
    uint32_t counter = 0;
    ASSERT_TRUE(tp::readCounter(b.bytes.data(), b.bytes.size(), 640, 480, counter));
    EXPECT_EQ(42u, counter);
    EXPECT_EQ(tp::moverLeft(l, 41) + l.moverStep, tp::moverLeft(l, 42));
    const int mid = l.moverBand.top + l.moverBand.height / 2;
    EXPECT_EQ(tp::kInk, b.at(tp::moverLeft(l, 42) + l.moverWidth - 1, mid));
    EXPECT_EQ(tp::kPaper, a.at(tp::moverLeft(l, 42) + l.moverWidth - 1, mid));
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (!l.moverBand.contains(x, y) && !l.counter.contains(x, y)) {
                ASSERT_EQ(a.at(x, y), b.at(x, y)) << x << "," << y;
            }

    for (uint64_t n : {0ull, 7ull, 999999ull, 1000000ull, 1234567ull, 0xFFFFFFFFFFull}) {
        const Frame f = render(picture, n);
        ASSERT_TRUE(tp::readCounter(f.bytes.data(), f.bytes.size(), 640, 480, counter));
        EXPECT_EQ(n % 1000000, counter);
        const int left = tp::moverLeft(l, n);
        EXPECT_TRUE(left >= 0 && left + l.moverWidth <= 640);
    }
    // A blank frame has no counter to read.
    std::vector<uint8_t> blank(picture.frameBytes(), 0);
    EXPECT_FALSE(tp::readCounter(blank.data(), blank.size(), 640, 480, counter));
    EXPECT_FALSE(tp::readCounter(blank.data(), blank.size() - 1, 640, 480, counter));
}

TEST(TestPicture, ImageControlsChangeThePicture) {
    const ImageControls defaults;
    for (int v = 0; v < 256; v += 5) {
        const uint8_t c = static_cast<uint8_t>(v);
        ASSERT_EQ((Rgb{c, c, c}), vcam::adjustColour(defaults, Rgb{c, c, c}));
        ASSERT_EQ((Rgb{c, uint8_t(255 - v), uint8_t(v / 2)}), vcam::adjustColour(defaults, Rgb{c, uint8_t(255 - v), uint8_t(v / 2)}));
    }

    vcam::TestPicture picture;
    ASSERT_TRUE(picture.setSize(320, 240));
    const Frame plain = render(picture, 5);
    const tp::Layout l = tp::layout(320, 240);
    const int barY = 3 * l.unit;
    auto bar = [&](const Frame& f, int i) { return f.at((2 * i + 1) * 320 / 16, barY); };

    ImageControls bright;
    bright.brightness = 200;  // +72
    picture.setControls(bright);
    Frame f = render(picture, 5);
    EXPECT_EQ((Rgb{255, 72, 72}), f.centreOf(l.topLeft));
    EXPECT_EQ((Rgb{255, 255, 255}), bar(f, 0));
    EXPECT_EQ((Rgb{72, 72, 72}), bar(f, 7));

    ImageControls flat;
    flat.contrast = 8;  // half the spread around 128
    picture.setControls(flat);
    f = render(picture, 5);
    EXPECT_TRUE(near(Rgb{160, 160, 160}, bar(f, 0), 1));
    EXPECT_TRUE(near(Rgb{64, 64, 64}, bar(f, 7), 1));
    uint32_t counter = 0;
    ASSERT_TRUE(tp::readCounter(f.bytes.data(), f.bytes.size(), 320, 240, counter));
    EXPECT_EQ(5u, counter);

    ImageControls grey;
    grey.saturation = 0;
    picture.setControls(grey);
    f = render(picture, 5);
    for (int i = 0; i < 8; ++i) {
        const Rgb c = bar(f, i);
        EXPECT_TRUE(c.r == c.g && c.g == c.b) << "bar " << i;
        EXPECT_NEAR(luma(bar(plain, i)), luma(c), 2000) << "bar " << i;
    }

    ImageControls turned;
    turned.hue = 180;  // red turns towards cyan
    picture.setControls(turned);
    f = render(picture, 5);
    const Rgb red = f.centreOf(l.topLeft);
    EXPECT_TRUE(red.r < red.g && red.r < red.b);

    // Gamma lifts or lowers the middle of the ramp and keeps its ends.
    const int midX = l.ramp.left + l.ramp.width / 2;
    for (int gamma : {32, 127}) {
        ImageControls g;
        g.gamma = gamma;
        picture.setControls(g);
        f = render(picture, 5);
        const int mid = f.at(midX, l.unit).r, before = plain.at(midX, l.unit).r;
        EXPECT_TRUE(gamma > 64 ? mid > before + 20 : mid < before - 20) << gamma;
        EXPECT_EQ(0, f.at(l.ramp.left, l.unit).r);
        EXPECT_EQ(255, f.at(l.ramp.left + l.ramp.width - 1, l.unit).r);
    }

    // Values beyond a control's range count as its end; defaults again give the plain picture.
    ImageControls over, top;
    over.brightness = 1000;
    top.brightness = 255;
    EXPECT_EQ(vcam::adjustColour(top, Rgb{10, 100, 200}), vcam::adjustColour(over, Rgb{10, 100, 200}));
    picture.setControls(defaults);
    EXPECT_EQ(plain.bytes, render(picture, 5).bytes);
}

TEST(TestPicture, RefusesOddSizesAndShortBuffersWithoutWriting) {
    vcam::TestPicture picture;
    std::vector<uint8_t> buffer(vcam::rgb24FrameBytes(640, 480), 0xEE);
    EXPECT_FALSE(picture.render(0, buffer.data(), buffer.size()));  // no size yet
    for (Size s : {Size{159, 120}, Size{160, 119}, Size{4097, 480}, Size{0, 0}, Size{-640, 480}})
        EXPECT_FALSE(picture.setSize(s.w, s.h)) << s.w << "x" << s.h;
    ASSERT_TRUE(picture.setSize(640, 480));
    EXPECT_FALSE(picture.setSize(100, 100));
    EXPECT_EQ(640, picture.width());
    EXPECT_FALSE(picture.render(0, buffer.data(), buffer.size() - 1));
    EXPECT_FALSE(picture.render(0, nullptr, buffer.size()));
    EXPECT_EQ(std::vector<uint8_t>(buffer.size(), 0xEE), buffer);

    // An odd width pads its rows; the whole frame is written, filler as zeros.
    ASSERT_TRUE(picture.setSize(161, 121));
    const size_t stride = vcam::rgb24Stride(161);
    ASSERT_EQ(stride * 121, picture.frameBytes());
    std::vector<uint8_t> odd(picture.frameBytes(), 0xEE);
    ASSERT_TRUE(picture.render(3, odd.data(), odd.size()));
    for (int y = 0; y < 121; ++y) ASSERT_EQ(0, odd[y * stride + stride - 1]) << y;
    uint32_t counter = 0;
    ASSERT_TRUE(tp::readCounter(odd.data(), odd.size(), 161, 121, counter));
    EXPECT_EQ(3u, counter);
}
